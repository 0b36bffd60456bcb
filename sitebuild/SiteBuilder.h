#pragma once
#include "sitebuild/BuildTypes.h"
#include "sitebuild/ExportedImages.h"
#include "sitebuild/ImageOutput.h"
#include <memory>
#include <string>

class CLinkUrls;
class CPageObject;
class CProgress;
class CRegionPixels;
class CRegionRenderer;
class CSite;
class CUserInteraction;
struct CBuildTiles;

// Runs one build of a site into a folder, from start to end, and is then
// thrown away. Shows a status window through the port and polls it for
// Cancel between pages and image items.
class SiteBuilder {
public:
    // `downloads` (may be null) is read for download links; the caller fills it.
    SiteBuilder(const BuildSettings& settings, CUserInteraction* ui,
                const DownloadList* downloads = nullptr);
    ~SiteBuilder();
    SiteBuilder(const SiteBuilder&) = delete;
    SiteBuilder& operator=(const SiteBuilder&) = delete;

    BuildResult Build(CSite& site);

    // The settings as the build left them (the large-object warning may have
    // been switched off by the user during the build).
    const BuildSettings& Settings() const { return m_settings; }

    // The page records of the last build, kept until the builder goes:
    // publishing reads from them which files each page needs on the server.
    const std::vector<BuildPage>& Pages() const { return m_pages; }

    // Progress weights of the phases, out of CProgress::kRange.
    static constexpr int kFirstPhaseWeight = 100000;
    static constexpr int kDataPhaseWeight = 700000;
    static constexpr int kWritingPhaseWeight = 100000;

private:
    // The phases, in build order; each returns BuildOk or the code that ends
    // the build.
    BuildResult Classify(CSite& site);
    BuildResult Validate();
    int MakeFolders();
    int BuildData();
    int WriteFiles(const CSite& site);
    // Data phase of one page: styles, background, item images and links.
    int BuildPageData(BuildPage& page);
    int BuildItemImages(BuildPage& page, int index, CRegionRenderer& renderer);
    int BuildMouseOverImages(BuildPage& page, int index, CRegionRenderer& renderer);
    // Renders one state of an item into one of the builder's two pixel
    // buffers; null when there is nothing to render.
    const CRegionPixels* RenderState(CRegionRenderer& renderer, BuildItem& built,
                                     CPageObject* state, const CRect& rect, int buffer);
    // The large-object question; false when the user stops the build.
    bool AcceptLargeObject(const BuildPage& page, const CRect& a, const CRect& b);
    void ResolveLink(BuildPage& page, BuildItem& built);

    void SetPhase(int textId);
    void SetPage(const std::string& identifier);
    void Advance(int step);
    void SetPos(long long pos);
    bool Cancelled();
    std::string ImageUrl(const BuildPage& page, const std::string& file) const;

    BuildSettings m_settings;
    CUserInteraction* m_ui;
    const DownloadList* m_downloads;
    std::vector<BuildPage> m_pages;

    CSite* m_site = nullptr; // during Build
    std::unique_ptr<CProgress> m_progress;
    long long m_position = 0;
    std::unique_ptr<CBuildTiles> m_tiles;
    std::unique_ptr<CRegionPixels> m_pixels[2]; // normal and mouse-over state
    std::unique_ptr<CLinkUrls> m_links;
    CExportedImages m_exported;
    BackgroundImageMap m_backgrounds;
    int m_imageCounter = 0;
};
