#include "sitebuild/LinkUrls.h"
#include "sitebuild/HtmlOutput.h"
#include "model/ObjectLink.h"
#include <algorithm>
#include <cctype>

namespace {
const std::string kFilesPrefix = std::string(kFilesFolderName) + "/";
} // namespace

CLinkUrls::CLinkUrls(const std::vector<BuildPage>& pages, bool previewMode,
                     const DownloadList* downloads)
    : m_pages(pages), m_preview(previewMode), m_downloads(downloads) {}

std::string CLinkUrls::FileUrl(const std::string& file, const BuildPage& from) const {
    return from.frontPage ? kFilesPrefix + file : file;
}

std::string CLinkUrls::PageUrl(const BuildPage& target, const BuildPage& from) const {
    if (target.fileName.find(kFrontPageFile) != std::string::npos)
        return from.frontPage ? std::string(kFrontPageFile) : "../" + std::string(kFrontPageFile);
    return FileUrl(target.fileName, from);
}

std::string CLinkUrls::DownloadName(const std::string& sourcePath) const {
    if (!m_downloads) return {};
    // The list holds each path once whatever its letter case, so links that
    // spell it differently find the same entry.
    const auto same = [](const std::string& a, const std::string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    };
    for (const DownloadEntry& entry : *m_downloads)
        if (same(entry.sourcePath, sourcePath)) return entry.fileName;
    return {};
}

std::string CLinkUrls::Resolve(const CObjectLink& link, const BuildPage& from) const {
    switch (link.type) {
    case CObjectLink::typePage: {
        if (m_pages.empty()) return {};
        const int last = static_cast<int>(m_pages.size()) - 1;
        const int index = std::clamp(link.page, 0, last);
        return PageUrl(m_pages[static_cast<std::size_t>(index)], from);
    }
    case CObjectLink::typeEmail:
        return "mailto:" + link.email;
    case CObjectLink::typeUrl:
        // An address typed with its scheme is taken as it is; "http://" in
        // front of it again would make a link that leads nowhere.
        if (link.url.find("://") != std::string::npos) return link.url;
        return "http://" + link.url;
    case CObjectLink::typeDocument: {
        const std::string name = htmlout::UrlSegment(DownloadName(link.document));
        if (m_preview) return name;
        const std::string folder = std::string(kDownloadFolderName) + "/";
        return from.frontPage ? kFilesPrefix + folder + name : folder + name;
    }
    default:
        return {};
    }
}
