#include "sitebuild/AccessReport.h"
#include "model/ButtonText.h"
#include "model/ObjectFill.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PicturePaths.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "services/Cp1252.h"
#include "services/StringTable.h"
#include "sitebuild/OwnWords.h"
#include "sitebuild/PageClassify.h"
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

bool IsFile(const std::string& cp1252Path) {
    std::error_code ec;
    return !cp1252Path.empty() && fs::is_regular_file(fs::path(cp1252::ToUtf8(cp1252Path)), ec);
}

// The local file a file: address names ("file:///home/x.pdf", "file:/x").
std::string FileAddressPath(const std::string& url) {
    std::string path = url.substr(5);
    if (path.rfind("//", 0) == 0) {
        path.erase(0, 2);
        // An empty host or "localhost" before the path.
        const std::size_t slash = path.find('/');
        path = slash == std::string::npos ? std::string() : path.substr(slash);
    }
    // Percent escapes as a browser reads them.
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() &&
            std::isxdigit(static_cast<unsigned char>(path[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(path[i + 2]))) {
            out += static_cast<char>(std::stoi(path.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += path[i];
        }
    }
    return out;
}

void Add(std::vector<CAccessFinding>& out, CAccessFinding finding, const BuildPage& page,
         const BuildItem& item) {
    finding.page = page.page ? page.page->Identifier() : page.keyName;
    finding.item = item.item;
    finding.itemNumber = item.zIndex + 1;
    // One finding per item and target: a link in many places of a text
    // counts once.
    for (const CAccessFinding& known : out)
        if (known.item == finding.item && known.kind == finding.kind &&
            known.detail == finding.detail)
            return;
    out.push_back(std::move(finding));
}

} // namespace

bool NeedsAltText(const BuildItem& item) {
    if (!item.item) return false;
    const CPageObject& object = item.item->Current();
    if (object.GetKind() == KIND_COUNTER) return false;
    if (!OwnWords(object).empty()) return true;
    if (const CObjectLink* link = object.GetLink(); link && link->enabled) return true;
    if (item.item->HasMouseOver() && item.item->MouseOver()) return true;
    const CObjectFill* fill = object.GetFill();
    return fill && fill->IsPicture() &&
           (fill->GetType() == CObjectFill::fillImage ||
            fill->GetType() == CObjectFill::fillHeldImage);
}

bool CheckLink(const CObjectLink& link, const CSite& site, CAccessFinding& finding) {
    if (!link.enabled) return false;
    switch (link.type) {
    case CObjectLink::typePage:
        if (link.page >= 0 && link.page < site.PageCount()) return false;
        finding.kind = EAccessFinding::MissingPage;
        finding.detail = std::to_string(link.page + 1);
        return true;
    case CObjectLink::typeDocument:
        if (IsFile(picture_paths::FromStored(link.document, site.path, nullptr))) return false;
        finding.kind = EAccessFinding::MissingFile;
        finding.detail = link.document;
        return true;
    case CObjectLink::typeUrl:
        if (!StartsWithNoCase(link.url, "file:") || IsFile(FileAddressPath(link.url))) return false;
        finding.kind = EAccessFinding::MissingFile;
        finding.detail = link.url;
        return true;
    default:
        return false;
    }
}

void CheckPageTextsAndLinks(const CSite& site, const BuildPage& page, bool previewMode,
                            std::vector<CAccessFinding>& out) {
    for (const BuildItem& item : page.items) {
        if (!item.item) continue;
        CAccessFinding finding;
        if (item.htmlText) {
            for (const LinkRun& run : item.linkRuns)
                if (CheckLink(run.link, site, finding)) Add(out, finding, page, item);
            continue;
        }
        if (!IsImageItem(item, previewMode)) continue;
        if (item.altText.empty() && NeedsAltText(item)) {
            finding.kind = EAccessFinding::MissingAltText;
            Add(out, finding, page, item);
        }
        if (const CObjectLink* link = item.item->Current().GetLink();
            link && CheckLink(*link, site, finding))
            Add(out, finding, page, item);
    }
}

void SortFindings(std::vector<CAccessFinding>& findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const CAccessFinding& a, const CAccessFinding& b) {
                         if (a.itemNumber != b.itemNumber) return a.itemNumber < b.itemNumber;
                         return a.kind < b.kind;
                     });
}

std::string DescribeFinding(const CAccessFinding& finding) {
    const std::string page = cp1252::ToUtf8(finding.page);
    const std::string item = std::to_string(finding.itemNumber);
    const std::string detail = cp1252::ToUtf8(finding.detail);
    switch (finding.kind) {
    case EAccessFinding::MissingAltText:
        return CStringTable::FillIn(CStringTable::Get(IDS_ACCESS_NO_ALT_TEXT), {page, item});
    case EAccessFinding::MissingPage:
        return CStringTable::FillIn(CStringTable::Get(IDS_ACCESS_MISSING_PAGE),
                                    {page, item, detail});
    case EAccessFinding::MissingFile:
        return CStringTable::FillIn(CStringTable::Get(IDS_ACCESS_MISSING_FILE),
                                    {page, item, detail});
    case EAccessFinding::LowContrast: {
        // One decimal with the Danish decimal comma, rounded down so that a
        // ratio just under the limit never reads as the limit itself.
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "%.1f", std::floor(finding.contrast * 10.0) / 10.0);
        std::string text = ratio;
        std::replace(text.begin(), text.end(), '.', ',');
        return CStringTable::FillIn(CStringTable::Get(IDS_ACCESS_LOW_CONTRAST),
                                    {page, item, detail, text});
    }
    }
    return {};
}

std::string DescribeReportHeading(std::size_t count) {
    if (count == 0) return CStringTable::Get(IDS_ACCESS_NOTHING_FOUND);
    return CStringTable::FillIn(CStringTable::Get(IDS_ACCESS_HEADING), {std::to_string(count)});
}
