#pragma once
#include "build/BuildTypes.h"

class CSite;
class CUserInteraction;

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

private:
    BuildSettings m_settings;
    CUserInteraction* m_ui;
    const DownloadList* m_downloads;
    std::vector<BuildPage> m_pages;
};
