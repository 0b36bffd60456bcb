#include "cli/BuildCommand.h"
#include "cli/OutputOptions.h"
#include "cli/AccessPrint.h"
#include "qtsettings/QtSettingsStore.h"
#include "sitebuild/SiteBuilder.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "publish/DownloadListBuilder.h"
#include "services/Cp1252.h"
#include "services/CurrentSettings.h"
#include "services/Settings.h"
#include "services/StringTable.h"
#include "services/UserInteraction.h"
#include <ostream>

namespace {

// Prints a line whenever the build starts a phase or a page.
class CProgressLines : public CProgress {
public:
    explicit CProgressLines(std::ostream& out) : m_out(out) {}
    void SetPhase(const std::string& text) override { m_phase = text; }
    void SetPage(const std::string& text) override {
        if (!text.empty()) m_out << "  " << m_phase << ' ' << text << '\n';
    }
    void SetRange(long long) override {}
    void SetPos(long long) override {}
    bool IsCancelled() override { return false; }

private:
    std::ostream& m_out;
    std::string m_phase;
};

// The console port, with the status window shown as progress lines.
class CBuildInteraction : public CUserInteraction {
public:
    CBuildInteraction(CUserInteraction& inner, std::ostream& out) : m_inner(inner), m_out(out) {}
    EAnswer Message(const CMessage& msg) override { return m_inner.Message(msg); }
    CChoiceResult Choose(const CChoice& choice) override { return m_inner.Choose(choice); }
    std::filesystem::path ChooseFile(const CFileRequest& request) override {
        return m_inner.ChooseFile(request);
    }
    std::filesystem::path ChooseFolder(const std::string& title,
                                       const std::filesystem::path& start) override {
        return m_inner.ChooseFolder(title, start);
    }
    bool AskText(const std::string& caption, const std::string& label, std::string& text) override {
        return m_inner.AskText(caption, label, text);
    }
    std::unique_ptr<CProgress> OpenProgress(int, const std::string&) override {
        return std::make_unique<CProgressLines>(m_out);
    }
    bool OpenInBrowser(const std::filesystem::path& file) override {
        return m_inner.OpenInBrowser(file);
    }
    void BeginWait() override { m_inner.BeginWait(); }
    void EndWait() override { m_inner.EndWait(); }

private:
    CUserInteraction& m_inner;
    std::ostream& m_out;
};

} // namespace

int RunBuild(const CParsedCommand& command, CCommandEnv& env) {
    const std::string& file = command.arguments[0];
    const std::filesystem::path outDir = command.arguments[1];
    std::string error;
    std::unique_ptr<CSite> site = LoadSiteFile(file, &env.ui, &error);
    if (!site) {
        env.err << "pagewright: cannot read " << file << ": " << error << '\n';
        return kExitFailure;
    }
    // Relative download paths lie next to the site file.
    site->path = std::filesystem::absolute(file).string();
    DownloadList downloads;
    if (const auto missing = RebuildDownloadList(*site, downloads)) {
        env.err << "pagewright: build: page " << missing->page + 1 << ", item " << missing->item + 1
                << " offers a file that is not there: " << cp1252::ToUtf8(missing->path) << '\n';
        return kExitFailure;
    }
    BuildSettings settings = BuildSettings::InFolder(outDir, command.Has("--preview"));
    // The designer's background settings apply to the built pages.
    CSettings user = CurrentSettings();
    CQtSettingsStore store;
    user.Load(store, CSettingsEnvironment::FromSystem(1024, 768));
    settings.repeatBackground = user.GetRepeatBackgroundFill();
    settings.outsideColour = user.GetSolidBackgroundFill().GetCOLORREF();
    // Nobody is there to answer the large-picture question, and its safe
    // answer would stop every build of a site with a big picture.
    settings.largeObjectWarning = false;
    settings.jobs = command.Has("--jobs") ? command.Number("--jobs") : user.GetBuildJobs();
    ApplyOutputOptions(command, user);
    settings.hiDpi = user.GetBuildHiDpi();
    settings.webp = user.GetBuildWebp();
    settings.phones = user.GetBuildPhones();

    CBuildInteraction ui(env.ui, env.out);
    SiteBuilder builder(settings, &ui, &downloads);
    env.out << "Building " << file << " into " << outDir.string() << '\n';
    const BuildResult result = builder.Build(*site);
    switch (result.code) {
    case BuildOk:
        env.out << "Built " << site->PageCount() << " page" << (site->PageCount() == 1 ? "" : "s")
                << ": " << (outDir / kFrontPageFile).string() << '\n';
        PrintPageWeights(result.pageWeights, env.out);
        PrintAccessReport(result.accessibility, env.out);
        return kExitOk;
    case BuildInvalid: {
        env.err << "pagewright: build: page " << cp1252::ToUtf8(result.pageName) << ": "
                << result.reason;
        if (result.item) {
            const CPage* page = site->FindPage(result.pageName);
            if (page) env.err << " (item " << page->IndexOf(*result.item) + 1 << ")";
        }
        env.err << '\n';
        return kExitFailure;
    }
    case BuildNoFolder:
        env.err << "pagewright: build: " << CStringTable::Get(IDS_BUILD_NO_FOLDER) << ": "
                << outDir.string() << '\n';
        return kExitFailure;
    case BuildWriteFailed:
        if (!result.failure)
            env.err << "pagewright: build: cannot write the pages into " << outDir.string() << '\n';
        else
            env.err << "pagewright: build: cannot write " << result.failure.Detail() << '\n';
        return kExitFailure;
    default:
        env.err << "pagewright: build: cancelled\n";
        return kExitFailure;
    }
}
