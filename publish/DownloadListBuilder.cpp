#include "publish/DownloadListBuilder.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "services/RelinkMaps.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/PicturePaths.h"
#include "services/Cp1252.h"

namespace fs = std::filesystem;

namespace {

bool IsDownload(const CObjectLink& link) {
    return link.enabled && link.type == CObjectLink::typeDocument;
}

bool SamePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CRelinkMaps::ToLower(a) == CRelinkMaps::ToLower(b);
}

// The download paths of one object in the order the page offers them; runs
// of characters that share a path count once.
void CollectObjectPaths(const CPageObject& object, std::vector<std::string>& out) {
    if (object.GetKind() == KIND_TEXT) {
        const auto& text = static_cast<const CTextObject&>(object);
        if (!text.Advanced()) {
            const CTextLayout& layout = text.Layout();
            const std::string* previous = nullptr;
            for (int para = 0; para < layout.ParagraphCount(); ++para) {
                const CParagraph& paragraph = layout.Paragraph(para);
                for (uint16_t id : paragraph.styles) {
                    const CObjectLink& link = layout.Style(id).link;
                    if (!IsDownload(link)) {
                        previous = nullptr;
                        continue;
                    }
                    if (!previous || *previous != link.document) out.push_back(link.document);
                    previous = &link.document;
                }
            }
        }
    }
    // The text's own link too: a text that ends up drawn as a picture
    // carries it as the picture's link.
    if (const CObjectLink* link = object.GetLink(); link && IsDownload(*link))
        out.push_back(link->document);
}

std::vector<std::string> ItemPaths(const CPageItem& item) {
    std::vector<std::string> paths;
    CollectObjectPaths(item.Normal(), paths);
    if (item.HasMouseOver() && item.MouseOver()) CollectObjectPaths(*item.MouseOver(), paths);
    return paths;
}

bool NameTaken(const DownloadList& list, const std::string& name) {
    for (const DownloadEntry& entry : list)
        if (SamePath(entry.fileName, name)) return true;
    return false;
}

std::string LastComponent(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FreeName(const DownloadList& list, const std::string& name) {
    if (!NameTaken(list, name)) return name;
    const size_t dot = name.rfind('.');
    const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    // Counting on past 32767 costs nothing and keeps two files from ever
    // sharing a name in the Download folder.
    for (long i = 0;; ++i) {
        std::string candidate = base + std::to_string(i) + extension;
        if (!NameTaken(list, candidate)) return candidate;
    }
}

} // namespace

std::vector<std::string> PageDownloadPaths(const CPage& page) {
    std::vector<std::string> paths;
    for (const auto& item : page.Items())
        for (std::string& path : ItemPaths(*item)) {
            bool seen = false;
            for (const std::string& known : paths)
                seen = seen || SamePath(known, path);
            if (!seen) paths.push_back(std::move(path));
        }
    return paths;
}

fs::path DownloadSourceFile(const std::string& storedPath, const CSite& site) {
    return fs::path(cp1252::ToUtf8(picture_paths::FromStored(storedPath, site.path, nullptr)));
}

std::optional<CMissingDownload> RebuildDownloadList(const CSite& site, DownloadList& list) {
    list.clear();
    for (int p = 0; p < site.PageCount(); ++p) {
        const CPage& page = site.PageAt(p);
        for (int i = 0; i < page.ItemCount(); ++i) {
            for (const std::string& path : ItemPaths(*page.Items()[static_cast<size_t>(i)])) {
                std::error_code ec;
                if (!fs::is_regular_file(DownloadSourceFile(path, site), ec))
                    return CMissingDownload{path, p, i};
                if (FindDownload(list, path)) continue;
                list.push_back({path, FreeName(list, LastComponent(path))});
            }
        }
    }
    return std::nullopt;
}

const DownloadEntry* FindDownload(const DownloadList& list, const std::string& sourcePath) {
    for (const DownloadEntry& entry : list)
        if (SamePath(entry.sourcePath, sourcePath)) return &entry;
    return nullptr;
}
