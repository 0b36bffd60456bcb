#pragma once
#include "sitebuild/BuildTypes.h"
#include "publish/FtpSession.h"
#include "publish/PublishManifest.h"
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <memory>
#include <string>
#include <vector>

class CProgress;
class CSite;
struct CPublishEnvironment;

// Sends a freshly built site to the server: connects, makes its way into the
// catalog, and sends exactly the files that differ from what the manifest
// says the server holds (the download files only when the user agrees),
// then deletes the files an earlier publish put there that the new build no
// longer has. On success it records the publish. One object per run.
class CSiteUploader {
public:
    // The folder of the catalog a file goes into.
    enum class EFolder { Catalog, Files, Download };

    // One file of the built site.
    struct CFile {
        std::filesystem::path local;
        std::string remote; // its name in its folder
        EFolder folder = EFolder::Files;
        bool binary = true;
        std::string label; // what the status window shows while it goes
        uintmax_t size = 0;
        std::string page; // the page a download belongs to (for the question)
        // Its path below the catalog, as the manifest names it.
        std::string Path() const;
    };

    // `pages` are the records of the build that wrote `build`'s folders.
    // What the run compares the build with.
    enum class EBasis {
        Manifest, // what the last publish recorded
        Server,   // that, checked against the sizes the server lists (someone
                  // else may have changed or deleted files)
        Nothing   // send every file
    };
    CSiteUploader(CPublishEnvironment& env, CSite& site, const std::vector<BuildPage>& pages,
                  const BuildSettings& build, EBasis basis = EBasis::Manifest);
    ~CSiteUploader();
    CSiteUploader(const CSiteUploader&) = delete;
    CSiteUploader& operator=(const CSiteUploader&) = delete;

    // True after a complete run; every failure has been reported.
    bool Run();
    // After a failed Run: the user stopped it, and nothing was shown.
    bool Stopped() const { return m_session.Stopped(); }
    // Where the connection's time went.
    const CFtpTimings& Timings() const { return m_session.Timings(); }

    // Every file of the built site in sending order: the pictures, the
    // download files, the pages, the notice pages, and the front page under
    // its four names last, so a visitor never gets a page whose pictures
    // are not there yet. Over several connections (CSettings::
    // GetPublishConnections) the pictures and downloads all arrive before
    // the first page starts, and the pages before the front page.
    std::vector<CFile> SiteFiles() const;
    // The paths (below the catalog) the last run sent and deleted.
    const std::vector<std::string>& Sent() const { return m_sent; }
    const std::vector<std::string>& Deleted() const { return m_deleted; }

    // Where the manifest of the configured destination lives.
    static std::filesystem::path ManifestFile(const CPublishEnvironment& env);
    static std::string ManifestKey(const CPublishEnvironment& env);

private:
    bool EnterCatalog();
    bool PrepareFilesFolder();
    // After a run that did not finish: deletes the upload files it left
    // (".pw-upload.NAME", ".pw-old.NAME") and forgets NAME in the manifest,
    // so that it is sent again.
    bool SweepUnfinished();
    // Drops from the manifest every file the server does not list with a
    // size the file can have there.
    bool CheckManifestAgainstServer(const std::vector<CFile>& all);
    // Picks what must go: the files that differ from the manifest, and the
    // download files the user agrees to.
    std::vector<CFile> FilesToSend(const std::vector<CFile>& all);
    bool SendFiles(const std::vector<CFile>& files);
    // SendFiles over up to `connections` connections at once (ParallelSend.cpp).
    bool SendParallel(const std::vector<CFile>& files, int connections);
    // Notes a file that arrived (any sending thread).
    void Arrived(const CFile& file);
    bool DeleteLeftovers(const std::vector<CFile>& all);
    bool ChangeFolder(EFolder folder);
    bool Put(const CFile& file);
    int OnProgress(int bytes);
    void SaveManifest();
    void Finish();

    CPublishEnvironment& m_env;
    CSite& m_site;
    const std::vector<BuildPage>& m_pages;
    BuildSettings m_build;
    EBasis m_basis;
    CFtpSession m_session;
    CPublishManifest m_manifest;
    std::filesystem::path m_manifestFile;
    std::string m_manifestKey;
    std::map<std::string, CPublishManifest::CEntry> m_hashes; // by local path
    std::unique_ptr<CProgress> m_progress;
    EFolder m_folder = EFolder::Catalog;
    long long m_bytes = 0;
    // While files go over several connections: the bytes they sent, and
    // whether the user asked to stop; the threads touch nothing else of the
    // run but the manifest and the sent list, under the lock.
    bool m_parallel = false;
    std::atomic<long long> m_parallelBytes{0};
    std::atomic<bool> m_cancel{false};
    std::mutex m_lock;
    long long m_range = 1;
    std::vector<std::string> m_sent;
    std::vector<std::string> m_deleted;
};
