#include "model/Document.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageProperties.h"
#include "model/SafeSave.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/BackgroundFill.h"
#include "services/ByteStream.h"
#include "services/ByteWriter.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <cctype>

namespace {

using namespace document_texts;
namespace fs = std::filesystem;

bool HasExtension(const fs::path& path, const char* extension) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == extension;
}

} // namespace

CPlumeDoc::CPlumeDoc(CUserInteraction& ui, std::string displayName)
    : m_ui(ui), m_displayName(std::move(displayName)) {}

CPlumeDoc::~CPlumeDoc() = default;

bool CPlumeDoc::NewSite(std::unique_ptr<CSite> site) {
    if (m_site || !site) return false;
    m_site = std::move(site);
    m_site->AddObserver(&m_titleFollower);
    RefreshTitle();
    return true;
}

void CPlumeDoc::DeleteContents() {
    if (!m_site) return;
    m_observers.ForEach([](CDocumentObserver& o) { o.OnSiteClosed(); });
    m_site.reset();
    m_renderFailed.clear();
    RefreshTitle();
}

std::string CPlumeDoc::Title() const {
    std::string title = m_displayName;
    if (!m_site) return title;
    title += " - ";
    title +=
        m_site->path.empty() ? std::string(kUntitled) : fs::path(m_site->path).filename().string();
    if (!m_site->IsSaved()) title += '*';
    return title;
}

void CPlumeDoc::RefreshTitle() const {
    const std::string title = Title();
    m_observers.ForEach([&](CDocumentObserver& o) { o.OnTitleChanged(title); });
}

void CPlumeDoc::AddRecentFile(const fs::path& path) {
    if (HasExtension(path, ".pws")) return;
    m_recent.erase(std::remove(m_recent.begin(), m_recent.end(), path), m_recent.end());
    m_recent.insert(m_recent.begin(), path);
    if (m_recent.size() > kMaxRecentFiles) m_recent.resize(kMaxRecentFiles);
}

bool CPlumeDoc::AskSavePath(fs::path& path, bool asTemplate) const {
    CFileRequest request;
    request.mode = CFileRequest::Mode::Save;
    request.start = path;
    request.filters = {asTemplate ? "Pagewright Template (*.pws)" : "Pagewright Homepage (*.pwu)"};
    request.defaultSuffix = asTemplate ? "pws" : "pwu";
    const fs::path chosen = m_ui.ChooseFile(request);
    if (chosen.empty()) return false;
    path = safe_save::ForceExtension(chosen, asTemplate ? ".pws" : ".pwu");
    return true;
}

bool CPlumeDoc::SaveIfWanted() {
    if (m_site->IsSaved()) return true;
    switch (m_ui.AskYesNoCancel(kChangesCaption, kChangesText, kChangesId)) {
    case EAnswer::No:
        return true;
    case EAnswer::Yes:
        break;
    default:
        return false;
    }
    fs::path path = m_site->path;
    const bool newName = path.empty();
    if (newName && !AskSavePath(path = lastFolder / kUntitled, false)) return false;
    m_observers.ForEach([](CDocumentObserver& o) { o.OnEndTextEdits(); });
    if (!SafeSave(*m_site, path, m_ui)) return false;
    if (newName) AddRecentFile(path);
    lastFolder = path.parent_path();
    m_observers.ForEach([](CDocumentObserver& o) { o.OnWriteProfiles(); });
    return true;
}

bool CPlumeDoc::OpenFile(const fs::path& path) {
    if (m_site) {
        if (!m_ui.AskYesNo(kCloseCaption, kCloseText, kCloseId)) return false;
        if (!SaveIfWanted()) return false;
        DeleteContents();
    }
    CWaitScope wait(m_ui);
    if (!OnOpenDocument(path)) return false;
    AddRecentFile(path);
    RefreshTitle();
    return true;
}

bool CPlumeDoc::OpenWithDialog() {
    CFileRequest request;
    request.mode = CFileRequest::Mode::Open;
    request.start = lastFolder;
    request.filters = {"Pagewright Homepage (*.pwu)"};
    const fs::path chosen = m_ui.ChooseFile(request);
    if (chosen.empty() || !OpenFile(chosen)) return false;
    lastFolder = chosen.parent_path();
    return true;
}

bool CPlumeDoc::OnOpenDocument(const fs::path& path) {
    std::string error;
    std::unique_ptr<CSite> site = LoadSiteFile(path, &m_ui, &error);
    if (!site) {
        m_ui.Error(kOpenFailCaption, kOpenFailText, kOpenFailId);
        return false;
    }
    m_site = std::move(site);
    m_site->AddObserver(&m_titleFollower);
    m_observers.ForEach([this](CDocumentObserver& o) { o.OnSiteOpened(*m_site); });
    return true;
}

bool CPlumeDoc::OnSaveDocument(const fs::path& path) {
    if (!m_site) return false;
    m_observers.ForEach([](CDocumentObserver& o) { o.OnEndTextEdits(); });
    fs::path target = path;
    if (!SafeSave(*m_site, target, m_ui)) return false;
    m_observers.ForEach([](CDocumentObserver& o) { o.OnWriteProfiles(); });
    m_site->MarkSaved();
    return true;
}

void CPlumeDoc::FinishSave(const fs::path& path, bool newName) {
    if (newName) AddRecentFile(path);
    lastFolder = path.parent_path();
    RefreshTitle();
}

bool CPlumeDoc::SaveWithPrompt(bool alwaysAsk) {
    if (!m_site) return false;
    fs::path path = m_site->path;
    const bool newName = alwaysAsk || path.empty();
    if (newName) {
        if (path.empty()) path = lastFolder;
        if (!AskSavePath(path, false)) return false;
        m_site->path = path.string();
        lastFolder = path.parent_path();
    }
    bool ok;
    {
        CWaitScope wait(m_ui);
        ok = OnSaveDocument(path);
    }
    if (ok) {
        // A save that needed another name keeps the name that worked.
        FinishSave(m_site->path, newName);
        return true;
    }
    m_ui.Error(kSaveFailCaption, kSaveFailText, kSaveFailId);
    if (alwaysAsk) RefreshTitle();
    return false;
}

bool CPlumeDoc::Save() {
    return SaveWithPrompt(false);
}

bool CPlumeDoc::SaveAs() {
    return SaveWithPrompt(true);
}

bool CPlumeDoc::SaveAsTemplate() {
    if (!m_site) return false;
    std::string category, name;
    if (!m_ui.AskText(kNamesCaption, kCategoryLabel, category) ||
        !m_ui.AskText(kNamesCaption, kTemplateLabel, name))
        return false;
    // The names have one-byte lengths in the file: refused here, with a
    // message, rather than by a save that could never succeed.
    CFailure failure;
    if (!TextFitsRecord(category, kMaxTinyStringLength, "Kategorien", &failure) ||
        !TextFitsRecord(name, kMaxTinyStringLength, "Skabelonens navn", &failure)) {
        m_ui.Error(kNamesCaption, failure.Detail());
        return false;
    }
    fs::path path = lastFolder;
    if (!AskSavePath(path, true)) return false;
    m_observers.ForEach([](CDocumentObserver& o) { o.OnEndTextEdits(); });
    CSiteSaveOptions options;
    options.asTemplate = true;
    options.category = category;
    options.templateName = name;
    options.targetPath = path.string();
    options.ui = &m_ui;
    // The site itself still has no file of its own: it stays unsaved.
    options.markSaved = false;
    CByteWriter writer;
    if (!SaveSite(*m_site, writer, options) || !safe_save::ReplaceFile(path, writer.Data())) {
        m_ui.Error(kSaveFailCaption, kSaveFailText, kSaveFailId);
        return false;
    }
    m_site->path.clear();
    RefreshTitle();
    return true;
}

bool CPlumeDoc::Close() {
    if (!m_site) return true;
    if (!SaveIfWanted()) return false;
    DeleteContents();
    return true;
}

bool CPlumeDoc::CanCloseFrame() {
    m_observers.ForEach([](CDocumentObserver& o) { o.OnEndTextEdits(); });
    if (!m_site) return true;
    if (PageWindowCount() > 1) return true;
    const bool ok = SaveIfWanted();
    RefreshTitle();
    return ok;
}

bool CPlumeDoc::OnIdle(long idleCount) {
    if (!m_site) return false;
    if (idleCount < kIdleCallsBeforeRendering) return true;
    return RenderOnePiece();
}

bool CPlumeDoc::RenderOnePiece() {
    if (!m_site) return false;
    // With page windows open only the pages they show are rendered ahead;
    // without any (a headless run) every page is.
    const bool windowed = PageWindowCount() > 0;
    for (const auto& pagePtr : m_site->Pages()) {
        CPage& page = *pagePtr;
        if (windowed && !page.IsShown()) continue;
        CBackgroundFill& background = page.Background();
        if (background.NeedsRender() && !m_renderFailed.count(&background)) {
            // A fill that cannot be rendered is not tried again at every idle call.
            if (!background.Render() || background.NeedsRender())
                m_renderFailed.insert(&background);
            page.Repaint();
            return true;
        }
        const CPageObject* edited = page.EditedText();
        for (const auto& item : page.Items()) {
            CPageObject& object = item->Current();
            if (!object.IsDirty() || m_renderFailed.count(&object)) continue;
            if (edited == &object) return false;
            if (!object.PrepareAndRender(page.TileBuffer()) || object.IsDirty())
                m_renderFailed.insert(&object);
            page.Repaint(item->GetRect());
            return true;
        }
    }
    return false;
}

int CPlumeDoc::PageWindowCount() const {
    int count = 0;
    m_observers.ForEach([&](CDocumentObserver& o) { count += o.PageWindowCount(); });
    return count;
}
