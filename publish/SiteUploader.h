#pragma once
#include "sitebuild/BuildTypes.h"
#include "publish/FtpSession.h"
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class CProgress;
class CSite;
struct CPublishEnvironment;

// Sends a freshly built site to the server: connects, makes its way into the
// catalog, sends the files of every pending page and the download files the
// user agrees to, and on success records the publish. One object per run.
class CSiteUploader {
public:
    // One file to send.
    struct CFile {
        std::filesystem::path local;
        std::string remote;
        bool binary = true;
        std::string label; // what the status window shows while it goes
        uintmax_t size = 0;
    };

    // `pages` are the records of the build that wrote `build`'s folders.
    CSiteUploader(CPublishEnvironment& env, CSite& site, const std::vector<BuildPage>& pages,
                  const BuildSettings& build);
    ~CSiteUploader();
    CSiteUploader(const CSiteUploader&) = delete;
    CSiteUploader& operator=(const CSiteUploader&) = delete;

    // True after a complete run; every failure has been reported.
    bool Run();
    // After a failed Run: the user stopped it, and nothing was shown.
    bool Stopped() const { return m_session.Stopped(); }
    // Where the connection's time went.
    const CFtpTimings& Timings() const { return m_session.Timings(); }

    // The files of the pending pages in sending order: per page its HTML
    // file, its background picture and its items' pictures (the mouse-over
    // picture after the normal one), then the two notice pages. The front
    // page is not among them: it goes under four names of its own.
    std::vector<CFile> PageFiles() const;
    // Bytes the status window counts: the list plus four times the front
    // page when it is pending.
    uintmax_t TotalBytes(const std::vector<CFile>& files) const;

private:
    bool EnterCatalog();
    bool PrepareFilesFolder();
    bool SendFrontPage();
    bool SendFiles(const std::vector<CFile>& files);
    bool SendDownloads();
    bool Put(const CFile& file);
    int OnProgress(int bytes);
    bool FrontPagePending() const;
    void Finish();

    CPublishEnvironment& m_env;
    CSite& m_site;
    const std::vector<BuildPage>& m_pages;
    BuildSettings m_build;
    CFtpSession m_session;
    std::unique_ptr<CProgress> m_progress;
    long long m_sent = 0;
    long long m_range = 1;
};
