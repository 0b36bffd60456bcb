#pragma once
#include <filesystem>
#include <memory>
#include <optional>

class CSite;
class SiteBuilder;
struct BuildSettings;
struct CPublishEnvironment;

// The four ways a site leaves the designer: preview in a browser, export to
// a folder, publish to the web server, and removal from it. Each runs
// modally to its end and reports through the user-interaction port.
class CPublisher {
public:
    enum class EResult {
        Done,    // finished as asked
        Stopped, // the user declined or cancelled; nothing more was shown
        Failed   // something went wrong and has been reported
    };
    enum class ESendMode { Changes, Everything };

    explicit CPublisher(CPublishEnvironment& env) : m_env(env) {}

    // Builds into the temporary preview folder and opens the front page.
    EResult Preview(CSite* site);
    // Builds into <folder>/My_Homepage_Export with the start page under its
    // four names and the download files. An empty folder asks for one,
    // starting at the remembered export folder; the folder is remembered.
    EResult Export(CSite* site, std::filesystem::path folder = {});
    // Publishes. Without a mode the user picks one ("Send" dialog).
    EResult Send(CSite* site, std::optional<ESendMode> mode = std::nullopt);
    // Removes the published site from the server after asking.
    EResult Remove();

    // Where the last successful build went (the preview's front page lies
    // in its root folder).
    const std::filesystem::path& LastRoot() const { return m_lastRoot; }

private:
    // Settings complete, or made complete through the settings dialog.
    bool EnsureConnectionSettings();
    // Rebuilds the download list; a missing file is reported and shown.
    bool RebuildDownloads(CSite& site);
    // Builds the site into `root`. Reports failures the way the caller's
    // flow wants them and returns the builder only after a complete build.
    std::unique_ptr<SiteBuilder> Build(CSite& site, const std::filesystem::path& root, bool preview,
                                       bool forSend, EResult& failure);
    BuildSettings MakeBuildSettings(const std::filesystem::path& root, bool preview) const;
    // The start page's other names and the Download folder of an export.
    bool CopyExtras(const CSite& site, const BuildSettings& build);

    CPublishEnvironment& m_env;
    std::filesystem::path m_lastRoot;
};
