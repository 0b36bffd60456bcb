// The main window's document flows: new, open, templates, close, pages,
// preview and publishing, help, and the start-up dialog.
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/PageFrame.h"
#include "app/PreviewWindow.h"
#include "app/QtInteraction.h"
#include "app/Recovery.h"
#include "app/SiteDialogs.h"
#include "app/StartupDialog.h"
#include "app/dialogs/Dialogs.h"
#include "editor/PlumeView.h"
#include "model/Document.h"
#include "model/Page.h"
#include "model/PageProperties.h"
#include "model/Site.h"
#include "model/Templates.h"
#include "publish/PublishEnvironment.h"
#include "publish/PrivateFolders.h"
#include "publish/PublishRecord.h"
#include "publish/Publisher.h"
#include "services/Cp1252.h"
#include "services/DataFolders.h"
#include <QDesktopServices>
#include <QFileInfo>
#include <QMdiArea>
#include <QTimer>
#include <ctime>

namespace fs = std::filesystem;

bool CMainFrame::NewSiteWithWizard() {
    if (Site()) return false;
    CNewSiteDialog dialog(m_settings, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    return OpenNewSite(dialog.MakeSite());
}

bool CMainFrame::OpenNewSite(std::unique_ptr<CSite> site) {
    if (!m_doc->NewSite(std::move(site))) return false;
    SiteOpenedWindows();
    return true;
}

bool CMainFrame::OpenSite(const fs::path& path) {
    if (!m_doc->OpenFile(path)) return false;
    SiteOpenedWindows();
    return true;
}

bool CMainFrame::OpenTemplateFile(const fs::path& path) {
    if (!OpenTemplate(*m_doc, path)) return false;
    SiteOpenedWindows();
    for (CPageFrame* frame : PageFrames()) frame->View()->viewport()->update();
    return true;
}

bool CMainFrame::ChooseTemplate() {
    std::vector<CTemplateCategory> categories;
    if (!FindTemplates(CTemplateDialog::Folder(), categories) || categories.empty()) {
        m_ui->Error(template_texts::kNoneCaption, template_texts::kNoneText,
                    template_texts::kNoneId);
        return false;
    }
    CTemplateDialog dialog(std::move(categories), this);
    dialog.resize(640, 400);
    if (dialog.exec() != QDialog::Accepted || dialog.Chosen().empty()) return false;
    return OpenTemplateFile(dialog.Chosen());
}

bool CMainFrame::CloseSite() {
    if (!m_doc->Close()) return false;
    m_recovery->Discard();
    return true;
}

bool CMainFrame::RestoreRecovered() {
    if (!m_recovery->Restore()) return false;
    SiteOpenedWindows();
    return true;
}

void CMainFrame::OpenRecent(int index) {
    const auto& recent = m_doc->RecentFiles();
    if (index < 0 || index >= static_cast<int>(recent.size())) return;
    const fs::path path = recent[static_cast<size_t>(index)];
    OpenSite(path);
}

void CMainFrame::AddPage() {
    CSite* site = Site();
    if (!site || !CanAddPage(site)) return;
    if (!CheckPageWindowLimit(static_cast<int>(PageFrames().size()), true, *m_ui)) return;
    const std::string proposed = site->MakeUniquePageIdentifier();
    for (;;) {
        CNewPageDialog dialog(proposed, this);
        if (dialog.exec() != QDialog::Accepted) return;
        CPage* page = AddNamedPage(*site, cp1252::FromUtf8(dialog.Identifier()),
                                   cp1252::FromUtf8(dialog.WebName()), *m_ui);
        if (page) {
            OpenPageWindow(*page);
            return;
        }
    }
}

void CMainFrame::DeleteActivePage() {
    CSite* site = Site();
    CPageFrame* frame = ActiveFrame();
    if (!site || !frame || !CanDeletePage(static_cast<int>(PageFrames().size()))) return;
    CPage& page = frame->Page();
    // The page's window must go in the same step as the page: nothing may
    // paint the page once it is destroyed.
    frame->Detach();
    if (ConfirmAndDeletePage(*site, page, *m_ui) < 0) {
        frame->Attach();
        return;
    }
    frame->CloseQuietly();
    delete frame;
    if (CPageFrame* next = ActiveFrame()) site->SetCurrentPage(&next->Page());
}

// ---------------------------------------------------------------- preview and publishing

namespace {

// What publishing keeps between commands: the record of the last publish
// (ftpfile.dat) and the download list of the site.
struct CPublishState {
    CPublishRecord record;
    DownloadList downloads;
    bool read = false;
};

CPublishState& PublishState() {
    static CPublishState state;
    if (!state.read) {
        state.record.Read(CPublishRecord::DefaultFile());
        state.read = true;
    }
    return state;
}

std::array<int16_t, 5> Now() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {static_cast<int16_t>(local.tm_year + 1900), static_cast<int16_t>(local.tm_mon + 1),
            static_cast<int16_t>(local.tm_mday), static_cast<int16_t>(local.tm_hour),
            static_cast<int16_t>(local.tm_min)};
}

} // namespace

bool CMainFrame::PreviewSite(bool ownWindow) {
    CSite* site = Site();
    if (!site) return false;
    CPublishState& state = PublishState();
    auto env = std::make_unique<CPublishEnvironment>(CPublishEnvironment{
        *m_ui, m_settings, state.record, CPublishRecord::DefaultFile(), state.downloads,
        pw::DefaultBuildFolder(), {}, {}, {}, {}, Now});
    const bool useOwn = (ownWindow || m_settings.GetUseBuiltInBrowser()) &&
                        qEnvironmentVariableIsEmpty("PW_NO_WEBENGINE");
    const CPage* front = site->FrontPage();
    const QSize pageSize = front ? QSize(front->Width(), front->Height()) : QSize(740, 600);
    if (useOwn) {
        m_ui->browserHook = [this, pageSize](const fs::path& file) {
            if (!m_preview) {
                m_preview = new CPreviewWindow(this);
                m_preview->onFailure = [this](const QUrl& url) {
                    QDesktopServices::openUrl(url);
                    SetPaneText(kMessagePane,
                                QStringLiteral("Den indbyggede browser kunne ikke vise siden; "
                                               "den vises i skrivebordets browser."));
                };
            }
            m_preview->ShowPage(CQtInteraction::BrowserUrl(file), pageSize);
            return true;
        };
    }
    auto publisher = std::make_unique<CPublisher>(*env);
    const bool done = publisher->Preview(site) == CPublisher::EResult::Done;
    m_ui->browserHook = nullptr;
    if (done) ShowAccessReport(publisher->LastAccessReport());
    // The built pages stay until the next preview (the publisher removes them
    // when it goes): the browser is still reading them.
    m_previewPublisher = std::move(publisher);
    m_previewEnv = std::move(env);
    return done;
}

void CMainFrame::PublishCommand(int which) {
    CPublishState& state = PublishState();
    CPublishEnvironment env{*m_ui,          m_settings, state.record, CPublishRecord::DefaultFile(),
                            state.downloads, pw::DefaultBuildFolder(), {}, {}, {}, {}, Now};
    env.saveAs = [this] { return m_doc->SaveAs(); };
    env.editInternetSettings = [this] { return pw::dialogs::InternetSettings(this, m_settings); };
    env.showItem = [this](const CPage& page, const CPageItem*) {
        ShowPage(const_cast<CPage&>(page));
    };
    CPublisher publisher(env);
    CPublisher::EResult result = CPublisher::EResult::Stopped;
    switch (which) {
    case cmd::kExport:
        result = publisher.Export(Site());
        break;
    case cmd::kPublish:
        result = publisher.Send(Site());
        break;
    case cmd::kSendChanges:
        result = publisher.Send(Site(), CPublisher::ESendMode::Changes);
        break;
    case cmd::kRemoveSite:
        publisher.Remove();
        return;
    default:
        return;
    }
    if (result == CPublisher::EResult::Done) ShowAccessReport(publisher.LastAccessReport());
}

void CMainFrame::ShowAccessReport(const std::vector<CAccessFinding>& findings) {
    // A clean report only updates a window the user keeps open; it does not
    // pop up to say that all is well.
    if (findings.empty() && !(m_accessReport && m_accessReport->isVisible())) return;
    if (!m_accessReport) {
        m_accessReport = new CAccessReportWindow(this);
        m_accessReport->setObjectName(QStringLiteral("AccessReport"));
        m_accessReport->onShow = [this](const CAccessFinding& finding) {
            CSite* site = Site();
            CPage* page = site ? site->FindPage(finding.page) : nullptr;
            if (!page) return;
            ShowPage(*page);
            // The item may have been deleted since the build.
            for (const auto& item : page->Items())
                if (item.get() == finding.item) page->SelectOnly(*item);
        };
    }
    m_accessReport->SetFindings(findings);
    m_accessReport->show();
    m_accessReport->raise();
}

// ---------------------------------------------------------------- help and start-up

QString CMainFrame::ManualPath() {
    const fs::path manual = CDataFolders::DataFolder() / "manual" / "index.html";
    std::error_code ec;
    return fs::is_regular_file(manual, ec) ? ToQString(manual) : QString();
}

bool CMainFrame::RunStartupDialog() {
    CStartupDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) return false;
    m_settings.SetShowStartUpDialog(!dialog.DoNotShowAgain());
    switch (dialog.Choice()) {
    case CStartupDialog::EChoice::NewSite:
        return NewSiteWithWizard();
    case CStartupDialog::EChoice::Open:
        if (!m_doc->OpenWithDialog()) return false;
        SiteOpenedWindows();
        return true;
    case CStartupDialog::EChoice::Template:
        return ChooseTemplate();
    default:
        return false;
    }
}
