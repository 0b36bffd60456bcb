#include "app/Startup.h"
#include "app/MainFrame.h"
#include "app/QtInteraction.h"
#include "app/Recovery.h"
#include "render/Rendering.h"
#include "services/StringTable.h"
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

namespace pw::startup {

bool ColourDepthOk(int bitsPerPixel) {
    return bitsPerPixel > 15;
}

bool BrowserInstalled() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (query.waitForFinished(3000) && query.exitCode() == 0 &&
        !query.readAllStandardOutput().trimmed().isEmpty())
        return true;
    static const char* const kPrograms[] = {
        "x-www-browser", "sensible-browser", "firefox", "firefox-esr", "chromium",
        "chromium-browser", "google-chrome", "epiphany-browser", "konqueror", "falkon"};
    for (const char* program : kPrograms)
        if (!QStandardPaths::findExecutable(QLatin1String(program)).isEmpty()) return true;
    return false;
}

namespace {

void Refuse(const std::string& text) {
    QMessageBox::critical(nullptr, QStringLiteral("Pagewright"), QString::fromStdString(text));
}

bool AskRecovery() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Gendan arbejde"),
                    QStringLiteral("Pagewright blev ikke afsluttet normalt sidste gang. Der er "
                                   "gemt en kopi af de ændringer der ikke blev gemt.\n\n"
                                   "Vil du gendanne hjemmesiden?"));
    QPushButton* restore = box.addButton(QStringLiteral("&Gendan"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("&Kassér"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    return box.clickedButton() == restore;
}

} // namespace

CStartupResult Start(const QStringList& files, CStartupHooks hooks) {
    CStartupResult result;
    if (!hooks.colourDepth)
        hooks.colourDepth = [] {
            const QScreen* screen = QGuiApplication::primaryScreen();
            return screen ? screen->depth() : 24;
        };
    if (!hooks.browserInstalled) hooks.browserInstalled = BrowserInstalled;
    if (!hooks.refuse) hooks.refuse = Refuse;
    if (!hooks.offerRecovery) hooks.offerRecovery = AskRecovery;
    if (!hooks.startupDialog) hooks.startupDialog = [](CMainFrame& f) { return f.RunStartupDialog(); };

    result.steps.push_back("colour depth");
    if (!ColourDepthOk(hooks.colourDepth())) {
        hooks.refuse(CStringTable::Get(IDS_NEED_16BIT_COLOUR));
        result.exitCode = 1;
        return result;
    }
    result.steps.push_back("browser");
    if (!hooks.browserInstalled()) {
        hooks.refuse(CStringTable::Get(IDS_NEED_BROWSER));
        result.exitCode = 1;
        return result;
    }
    result.steps.push_back("main window");
    result.frame = std::make_unique<CMainFrame>(nullptr, hooks.settingsPath);
    CMainFrame& frame = *result.frame;
    InstallRendering(&frame.Interaction());
    if (hooks.show) {
        frame.show();
        frame.raise();
    }

    bool haveSite = false;
    if (CRecovery::Pending()) {
        result.steps.push_back("recovery");
        if (hooks.offerRecovery()) {
            haveSite = frame.RestoreRecovered();
        } else {
            frame.Recovery().Discard();
        }
    }
    if (!haveSite && !files.isEmpty()) {
        result.steps.push_back("command line");
        frame.OpenSite(ToPath(files.front()));
    } else if (!haveSite && frame.Settings().GetShowStartUpDialog()) {
        result.steps.push_back("start-up dialog");
        hooks.startupDialog(frame);
    }
    result.steps.push_back("inspector");
    frame.RestoreInspector();
    return result;
}

} // namespace pw::startup
