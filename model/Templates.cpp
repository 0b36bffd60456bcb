#include "model/Templates.h"
#include "model/Document.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/TextObject.h"
#include <algorithm>
#include <cctype>
#include <system_error>

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsTemplateFile(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.is_regular_file(ec) && Lower(entry.path().extension().string()) == ".pws";
}

bool NameLess(const std::string& a, const std::string& b) {
    return Lower(a) < Lower(b);
}

void ResetObjectLinks(CPageObject& object) {
    if (CObjectLink* link = object.GetLink()) ResetLink(*link, false);
    if (auto* text = dynamic_cast<CTextObject*>(&object)) {
        CTextLayout& layout = text->Layout();
        const int last = layout.ParagraphCount() - 1;
        const CTextPos end{last, static_cast<int>(layout.Paragraph(last).text.size())};
        layout.Restyle(CTextPos{0, 0}, end, [](CCharStyle& style) { ResetLink(style.link, true); });
        ResetLink(layout.defaultStyle.link, true);
    }
}

} // namespace

bool FindTemplates(const fs::path& folder, std::vector<CTemplateCategory>& categories) {
    categories.clear();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return false;
    std::vector<fs::path> files;
    std::vector<fs::path> subFolders;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_directory(ec))
            subFolders.push_back(entry.path());
        else if (IsTemplateFile(entry))
            files.push_back(entry.path());
    }
    std::sort(subFolders.begin(), subFolders.end());
    for (const fs::path& sub : subFolders)
        for (const auto& entry : fs::directory_iterator(sub, ec))
            if (IsTemplateFile(entry)) files.push_back(entry.path());

    for (const fs::path& file : files) {
        std::string category, name;
        if (!ReadSiteInfo(file, category, name)) continue;
        auto it = std::find_if(categories.begin(), categories.end(),
                               [&](const CTemplateCategory& c) { return c.name == category; });
        if (it == categories.end()) {
            categories.push_back({category, {}, {}});
            it = categories.end() - 1;
        }
        it->names.push_back(name);
        it->paths.push_back(file);
    }
    std::stable_sort(categories.begin(), categories.end(),
                     [](const auto& a, const auto& b) { return NameLess(a.name, b.name); });
    for (CTemplateCategory& category : categories) {
        std::vector<std::size_t> order(category.names.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return NameLess(category.names[a], category.names[b]);
        });
        CTemplateCategory sorted{category.name, {}, {}};
        for (std::size_t i : order) {
            sorted.names.push_back(category.names[i]);
            sorted.paths.push_back(category.paths[i]);
        }
        category = std::move(sorted);
    }
    return true;
}

void ResetLink(CObjectLink& link, bool textRun) {
    if (!link.enabled || link.type != CObjectLink::typePage) link.page = 0;
    if (!link.enabled || link.type != CObjectLink::typeEmail)
        link.email = CObjectLink::kDefaultEmail;
    if (!link.enabled || link.type != CObjectLink::typeUrl) link.url = CObjectLink::kDefaultUrl;
    if (link.type != CObjectLink::typeDocument) link.document.clear();
    if (textRun && !link.enabled) link.type = CObjectLink::typePage;
}

void ResetSiteLinks(CSite& site) {
    for (const auto& page : site.Pages())
        for (const auto& item : page->Items()) {
            ResetObjectLinks(item->Normal());
            if (item->MouseOver()) ResetObjectLinks(*item->MouseOver());
        }
}

bool OpenTemplate(CPlumeDoc& doc, const fs::path& path) {
    if (!doc.OpenFile(path)) return false;
    CSite& site = *doc.Site();
    site.path.clear();
    ResetSiteLinks(site);
    site.MarkSaved();
    doc.RefreshTitle();
    return true;
}
