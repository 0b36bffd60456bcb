#pragma once
#include "sitebuild/BuildTypes.h"
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CRunLock;
class CSite;
class SiteBuilder;
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
    // Changes: what differs from the last publish; Everything: every file;
    // Verify: what differs from the last publish or from what the server
    // lists (files changed or deleted there by someone else).
    enum class ESendMode { Changes, Everything, Verify };

    explicit CPublisher(CPublishEnvironment& env) : m_env(env) {}
    // Removes the folders of its preview and publish runs.
    ~CPublisher();
    CPublisher(const CPublisher&) = delete;
    CPublisher& operator=(const CPublisher&) = delete;

    // Builds into a preview folder of its own and opens the front page.
    EResult Preview(CSite* site);
    // Builds into <folder>/My_Homepage_Export with the start page under its
    // four names and the download files. An empty folder asks for one,
    // starting at the remembered export folder; the folder is remembered.
    EResult Export(CSite* site, std::filesystem::path folder = {});
    // Publishes: builds into a folder of its own and sends what differs from
    // the server (everything for ESendMode::Everything). Without a mode the
    // user picks one ("Send" dialog). A second publish of the same site or
    // to the same destination while one runs is refused.
    EResult Send(CSite* site, std::optional<ESendMode> mode = std::nullopt);
    // Removes the published site from the server after asking.
    EResult Remove();

    // Where the last successful build went (the preview's front page lies
    // in its root folder). Kept until the next run of the same kind.
    const std::filesystem::path& LastRoot() const { return m_lastRoot; }
    // The paths (below the catalog) the last Send sent and deleted.
    const std::vector<std::string>& LastSent() const { return m_lastSent; }
    const std::vector<std::string>& LastDeleted() const { return m_lastDeleted; }
    // The picture weight of every page of the last successful build.
    const std::vector<PageWeight>& LastPageWeights() const { return m_lastWeights; }
    // The accessibility report of the last successful build (see
    // AccessReport.h for the text of each finding).
    const std::vector<CAccessFinding>& LastAccessReport() const { return m_lastAccess; }

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
    // A fresh private folder for one run, replacing `previous`; empty (and
    // reported) when none can be made.
    std::filesystem::path NewRunFolder(std::filesystem::path& previous, const char* prefix);
    // The catalog names no folder above the login folder, or is corrected.
    bool EnsureValidCatalog();
    // Refuses with a message when another run holds `lock`.
    bool Locked(const CRunLock& lock);

    CPublishEnvironment& m_env;
    std::filesystem::path m_lastRoot;
    std::filesystem::path m_previewRun, m_publishRun;
    std::vector<std::string> m_lastSent, m_lastDeleted;
    std::vector<PageWeight> m_lastWeights;
    std::vector<CAccessFinding> m_lastAccess;
};
