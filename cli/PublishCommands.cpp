#include "cli/PublishCommands.h"
#include "cli/AccessPrint.h"
#include "qtsettings/QtSettingsStore.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "publish/FtpSession.h"
#include "publish/PublishEnvironment.h"
#include "publish/PrivateFolders.h"
#include "publish/PublishRecord.h"
#include "publish/Publisher.h"
#include "cli/OutputOptions.h"
#include "services/CurrentSettings.h"
#include "services/FtpProfile.h"
#include "services/Settings.h"
#include "services/UserInteraction.h"
#include <charconv>
#include <cstdlib>
#include <ostream>

namespace fs = std::filesystem;

namespace {

// The password comes from the environment, never from the command line,
// where every user of the machine could read it in the process list.
constexpr const char* kPasswordVariable = "PAGEWRIGHT_FTP_PASSWORD";

// Prints a line whenever a status window shows a new page or file.
class CProgressLines : public CProgress {
public:
    CProgressLines(std::ostream& out, std::string caption)
        : m_out(out), m_caption(std::move(caption)) {}
    void SetPhase(const std::string& text) override {
        m_phase = text;
        if (!text.empty() && text != m_lastPhase) m_out << m_caption << ": " << text << '\n';
        m_lastPhase = text;
    }
    void SetPage(const std::string& text) override {
        if (!text.empty() && text != m_page) m_out << "  " << text << '\n';
        m_page = text;
    }
    void SetRange(long long) override {}
    void SetPos(long long) override {}
    bool IsCancelled() override { return false; }

private:
    std::ostream& m_out;
    std::string m_caption, m_phase, m_lastPhase, m_page;
};

// The console port with the status windows printed as lines.
class CLinesInteraction : public CUserInteraction {
public:
    CLinesInteraction(CUserInteraction& inner, std::ostream& out) : m_inner(inner), m_out(out) {}
    EAnswer Message(const CMessage& msg) override { return m_inner.Message(msg); }
    CChoiceResult Choose(const CChoice& choice) override { return m_inner.Choose(choice); }
    fs::path ChooseFile(const CFileRequest& request) override {
        return m_inner.ChooseFile(request);
    }
    fs::path ChooseFolder(const std::string& title, const fs::path& start) override {
        return m_inner.ChooseFolder(title, start);
    }
    bool AskText(const std::string& caption, const std::string& label, std::string& text) override {
        return m_inner.AskText(caption, label, text);
    }
    std::unique_ptr<CProgress> OpenProgress(int, const std::string& caption) override {
        return std::make_unique<CProgressLines>(m_out, caption);
    }
    bool OpenInBrowser(const fs::path& file) override { return m_inner.OpenInBrowser(file); }
    void BeginWait() override { m_inner.BeginWait(); }
    void EndWait() override { m_inner.EndWait(); }

private:
    CUserInteraction& m_inner;
    std::ostream& m_out;
};

// Everything a publishing command works with, set up from the options.
struct CRun {
    CLinesInteraction ui;
    CSettings settings;
    CPublishRecord record;
    DownloadList downloads;
    CPublishEnvironment env;
    std::unique_ptr<CSite> site;

    CRun(CCommandEnv& cmd)
        : ui(cmd.ui, cmd.out), env{ui,        settings,
                                   record,    CPublishRecord::DefaultFile(),
                                   downloads, pw::DefaultBuildFolder(),
                                   {},        {},
                                   {},        {},
                                   {}} {
        settings = CurrentSettings();
        record.Read(env.recordFile);
    }
};

bool LoadSettings(const CParsedCommand& command, CSettings& settings, std::ostream& err) {
    const auto environment = CSettingsEnvironment::FromSystem(1024, 768);
    if (command.Has("--settings")) {
        const std::string file = command.Value("--settings");
        if (!fs::is_regular_file(file)) {
            err << "pagewright: " << command.name << ": no settings file " << file << '\n';
            return false;
        }
        CQtSettingsStore store(QString::fromStdString(file));
        settings.Load(store, environment);
    } else {
        CQtSettingsStore store;
        settings.Load(store, environment);
    }
    if (command.Has("--server")) settings.SetFtpServer(command.Value("--server"));
    if (command.Has("--user")) settings.SetFtpUser(command.Value("--user"));
    if (command.Has("--catalog")) {
        // The same rule as the settings dialog: no folder above the login
        // folder, no names the server may read differently.
        if (!IsValidCatalog(command.Value("--catalog"))) {
            err << "pagewright: " << command.name << ": --catalog " << command.Value("--catalog")
                << " is not a usable folder name (\".\" and \"..\" are not allowed, nor names "
                   "starting with a digit)\n";
            return false;
        }
        settings.SetFtpCatalog(command.Value("--catalog"));
    }
    if (const char* password = std::getenv(kPasswordVariable); password && *password)
        settings.SetFtpPassword(password);
    ApplyOutputOptions(command, settings);
    return true;
}

bool CheckConnection(const CRun& run, const CParsedCommand& command, std::ostream& err) {
    if (ConnectionComplete(run.env)) return true;
    err << "pagewright: " << command.name
        << ": the FTP settings are incomplete: server, user and password are needed (for SFTP "
           "a key file or a running ssh-agent will do for the password; and the proxy's "
           "server, user and password when a proxy is set). Enter them in the "
           "designer's \"Internet Opsætning\", or give --server and --user with the password in "
        << kPasswordVariable << ".\n";
    return false;
}

bool OpenSite(CRun& run, const std::string& file, CCommandEnv& env) {
    std::string error;
    run.site = LoadSiteFile(file, &env.ui, &error);
    if (!run.site) {
        env.err << "pagewright: cannot read " << file << ": " << error << '\n';
        return false;
    }
    // The same file as the last publish: only the pages changed since go.
    run.site->path = fs::absolute(file).string();
    run.record.ApplyTo(*run.site);
    return true;
}

int Finish(CPublisher::EResult result, const char* what, CCommandEnv& env) {
    switch (result) {
    case CPublisher::EResult::Done:
        return kExitOk;
    case CPublisher::EResult::Stopped:
        env.err << "pagewright: " << what << ": stopped\n";
        return kExitFailure;
    default:
        env.err << "pagewright: " << what << ": failed\n";
        return kExitFailure;
    }
}

} // namespace

const std::vector<COptionSpec>& ConnectionOptions() {
    // Port, passive mode and the connection kind come from the settings
    // file; these are the values one run most often needs to change.
    // --accept-host-key trusts an SFTP server whose key is not known yet
    // (the key is stored; a changed key is still refused).
    static const std::vector<COptionSpec> options = {{"--settings", "INI"},
                                                     {"--server", "HOST"},
                                                     {"--user", "NAME"},
                                                     {"--catalog", "FOLDER"},
                                                     {"--accept-host-key"}};
    return options;
}

int RunExport(const CParsedCommand& command, CCommandEnv& env) {
    CRun run(env);
    // The background settings of the designer apply to the exported pages.
    if (!LoadSettings(command, run.settings, env.err)) return kExitFailure;
    // Nobody is there to answer the large-picture question, and its safe
    // answer would stop every export of a site with a big picture.
    run.settings.SetShowLargeObjectWarning(false);
    if (!OpenSite(run, command.arguments[0], env)) return kExitFailure;
    CPublisher publisher(run.env);
    const fs::path folder = fs::absolute(command.arguments[1]);
    const auto result = publisher.Export(run.site.get(), folder);
    if (result == CPublisher::EResult::Done) {
        env.out << "Exported to " << (publisher.LastRoot() / "default.htm").string() << '\n';
        PrintPageWeights(publisher.LastPageWeights(), env.out);
        PrintAccessReport(publisher.LastAccessReport(), env.out);
    }
    return Finish(result, "export", env);
}

int RunPublish(const CParsedCommand& command, CCommandEnv& env) {
    CRun run(env);
    if (!LoadSettings(command, run.settings, env.err)) return kExitFailure;
    run.settings.SetShowLargeObjectWarning(false);
    if (!CheckConnection(run, command, env.err)) return kExitFailure;
    if (!OpenSite(run, command.arguments[0], env)) return kExitFailure;
    CPublisher publisher(run.env);
    const auto mode = command.Has("--all")      ? CPublisher::ESendMode::Everything
                      : command.Has("--verify") ? CPublisher::ESendMode::Verify
                                                : CPublisher::ESendMode::Changes;
    const auto result = publisher.Send(run.site.get(), mode);
    if (result == CPublisher::EResult::Done) PrintPageWeights(publisher.LastPageWeights(), env.out);
    return Finish(result, "publish", env);
}

int RunRemove(const CParsedCommand& command, CCommandEnv& env) {
    CRun run(env);
    if (!LoadSettings(command, run.settings, env.err)) return kExitFailure;
    if (!CheckConnection(run, command, env.err)) return kExitFailure;
    if (!command.assumeYes) {
        env.err << "pagewright: remove deletes the published site from "
                << CFtpSession::Destination(run.env)
                << "; run 'pagewright --yes remove' to confirm\n";
        return kExitFailure;
    }
    CPublisher publisher(run.env);
    return Finish(publisher.Remove(), "remove", env);
}
