#pragma once
#include "sitebuild/BuildTypes.h"
#include <string>
#include <vector>

class CObjectLink;

// The relative references of a built site. The front page lies in the root
// folder and everything else in My_Homepage_Files, so a URL depends on which
// page refers: from the front page other files are reached through the
// files folder, from the other pages directly, and the front page itself
// through "../".
class CLinkUrls {
public:
    // `pages` are the build's pages in site order; both they and `downloads`
    // (may be null) must outlive this object.
    CLinkUrls(const std::vector<BuildPage>& pages, bool previewMode, const DownloadList* downloads);

    // An image or background file of the files folder.
    std::string FileUrl(const std::string& file, const BuildPage& from) const;
    // Another page of the build (or the same one).
    std::string PageUrl(const BuildPage& target, const BuildPage& from) const;
    // Where a link record leads: page links (clamped to the last page), e-mail,
    // web addresses and downloads. Item links and text links both use it.
    std::string Resolve(const CObjectLink& link, const BuildPage& from) const;

    // The name a download file got in the site's Download folder; empty when
    // the path is not in the list.
    std::string DownloadName(const std::string& sourcePath) const;

private:
    const std::vector<BuildPage>& m_pages;
    bool m_preview;
    const DownloadList* m_downloads;
};
