// A site made in code, a real FTP server and everything the publish flows
// need around them.
#pragma once
#include "model/ObjectLink.h"
#include "publish/PublishEnvironment.h"
#include "publish/PublishRecord.h"
#include "publish/Publisher.h"
#include "services/Settings.h"
#include "services/StringIds.h"
#include "tests/sitebuild/SiteBuildTestSupport.h"
#include "tests/support/FtpServer.h"
#include "tests/support/SshServer.h"
#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>

namespace publishtest {

namespace fs = std::filesystem;
using buildtest::ReadFileBytes;
using pwtest::CScriptedInteraction;

// An upload status window whose "Afbryd" is pressed at a given moment.
class CCancelAt : public CProgress {
public:
    using Clock = std::chrono::steady_clock;
    CCancelAt(Clock::time_point at, bool& seen) : m_at(at), m_seen(seen) {}
    void SetPhase(const std::string&) override {}
    void SetPage(const std::string&) override {}
    void SetRange(long long) override {}
    void SetPos(long long) override {}
    bool IsCancelled() override { return m_seen = m_seen || Clock::now() >= m_at; }
    bool PollWhileWaiting() override { return IsCancelled(); }

private:
    Clock::time_point m_at;
    bool& m_seen;
};

// The scripted port, pressing "Afbryd" in the upload status window a given
// time after it opened.
class CInteraction : public CScriptedInteraction {
public:
    std::optional<std::chrono::milliseconds> cancelUploadAfter;
    CCancelAt::Clock::time_point cancelledAt; // when it was pressed
    bool cancelSeen = false;                  // and the upload asked after that
    // Runs before a dialog is answered, to change the world behind it.
    std::function<void(const CChoice&)> beforeChoice;
    CChoiceResult Choose(const CChoice& choice) override {
        if (beforeChoice) beforeChoice(choice);
        return CScriptedInteraction::Choose(choice);
    }
    std::unique_ptr<CProgress> OpenProgress(int id, const std::string& caption) override {
        if (id != IDD_UPLOAD_STATUS || !cancelUploadAfter)
            return CScriptedInteraction::OpenProgress(id, caption);
        cancelledAt = CCancelAt::Clock::now() + *cancelUploadAfter;
        cancelSeen = false;
        return std::make_unique<CCancelAt>(cancelledAt, cancelSeen);
    }
};

// Every file below a folder, as relative path -> bytes.
inline std::map<std::string, std::string> Tree(const fs::path& folder) {
    std::map<std::string, std::string> out;
    if (!fs::is_directory(folder)) return out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            out[fs::relative(e.path(), folder).generic_string()] = ReadFileBytes(e.path());
    return out;
}

inline std::string Lf(std::string text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

// The picture files a built page refers to, read from its HTML.
inline std::set<std::string> PicturesOf(const fs::path& htmlFile) {
    const std::string html = ReadFileBytes(htmlFile);
    static const std::regex picture(R"((IMG_\d+|Side\d+_IMG_BCK)\.(jpg|gif|png|bmp|jpeg))");
    std::set<std::string> out;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), picture);
         it != std::sregex_iterator(); ++it)
        out.insert(it->str());
    return out;
}

struct CPublishFixture {
    pwtest::TempDir dir;
    buildtest::CSiteFixture made; // the site and its pages
    CInteraction ui;
    CSettings settings;
    CPublishRecord record;
    DownloadList downloads;
    CPublishEnvironment env{ui,        settings,    record, dir / "data" / "ftpfile.dat",
                            downloads, dir / "tmp", {},     {},
                            {},        {},          {}};
    CPublisher publisher{env};
    int saveAsCalls = 0;
    int settingsDialogCalls = 0;
    std::string zipA, zipB;

    CSite& Site() { return made.site; }

    CPublishFixture() {
        fs::create_directories(dir / "tmp");
        env.now = [] { return std::array<int16_t, 5>{2026, 12, 8, 6, 30}; };
        env.saveAs = [this] { return ++saveAsCalls, false; };
        env.editInternetSettings = [this] { return ++settingsDialogCalls, false; };
        settings.SetShowLargeObjectWarning(false);
        // The classic build: the flows compare pages and pictures byte for
        // byte between builds.
        settings.SetBuildHiDpi(false);
        settings.SetBuildWebp(false);
        settings.SetBuildPhones(false);
        MakeSite();
    }

    // The test sshd by SFTP with its key; its host key is known unless
    // `knownKey` is false. The known-hosts file is the fixture's own.
    void Connect(const pwtest::SshServer& server, const std::string& catalog = "www/site",
                 bool knownKey = true) {
        settings.SetFtpServer("127.0.0.1");
        settings.SetFtpPort(server.Port());
        settings.SetFtpUser(server.User());
        settings.SetFtpPassword("");
        settings.SetFtpKind(EConnectionKind::Sftp);
        settings.SetFtpKeyFile(server.KeyFile().string());
        settings.SetFtpCatalog(catalog);
        env.ftpOptions.knownHosts = dir / "known_hosts";
        if (knownKey) std::ofstream(env.ftpOptions.knownHosts) << server.KnownHostsLine();
    }

    void Connect(const pwtest::FtpServer& server, const std::string& catalog = "www/site") {
        settings.SetFtpServer("127.0.0.1");
        settings.SetFtpPort(server.Port());
        settings.SetFtpUser(server.User());
        settings.SetFtpPassword(server.Password());
        settings.SetFtpPassive(true);
        settings.SetFtpCatalog(catalog);
    }

    std::string WriteFile(const std::string& relative, const std::string& bytes) {
        const fs::path file = dir / relative;
        fs::create_directories(file.parent_path());
        buildtest::WriteFileBytes(file, bytes);
        return file.string();
    }

    static CObjectLink Download(const std::string& path) {
        CObjectLink link;
        link.type = CObjectLink::typeDocument;
        link.enabled = true;
        link.document = path;
        return link;
    }

    // Front page: two shapes, one with a mouse-over twin, and a text.
    // Page 2: gradient background, a shape offering a.zip/x.zip.
    // Page 3: a shape offering b/x.zip (so it becomes x0.zip).
    void MakeSite() {
        Site().path = (dir / "site.pwu").string();
        zipA = WriteFile("a/x.zip", std::string(3000, 'A'));
        zipB = WriteFile("b/x.zip", std::string(5000, 'B'));
        CPage& front = made.AddPage("Forside");
        buildtest::AddRect(front, {20, 20, 220, 120}, CColor(200, 40, 40));
        auto& button = buildtest::AddRect(front, {300, 20, 400, 60}, CColor(40, 40, 200));
        buildtest::AddMouseOver(front, button, CColor(40, 200, 40));
        buildtest::AddText(front, 20, 200, "Velkommen til siden");
        CPage& second = made.AddPage("Om");
        auto background = std::make_unique<CBackgroundFill>(CColor(10, 80, 160));
        background->SetType(CBackgroundFill::fillGradient);
        second.SetBackground(std::move(background));
        auto& a = buildtest::AddRect(second, {50, 50, 150, 150}, CColor(250, 200, 0));
        a.SetLink(std::make_unique<CObjectLink>(Download(zipA)));
        CPage& third = made.AddPage("Kontakt");
        auto& b = buildtest::AddRect(third, {60, 60, 260, 160}, CColor(0, 120, 60));
        b.SetLink(std::make_unique<CObjectLink>(Download(zipB)));
    }

    // The folder of the last preview or publish build.
    fs::path Built() const { return publisher.LastRoot(); }
};

} // namespace publishtest
