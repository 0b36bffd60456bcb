#pragma once
#include "app/inspector/InspectorTab.h"
#include "model/Observers.h"
#include <QObject>
#include <QPoint>
#include <array>
#include <vector>

class CPlumeDoc;
class CToolWindowMnemonics;
class QTabWidget;

// The inspector: seven small tool windows (page, object, link, fill,
// effects, styles, mouse-over), one shown at a time at one shared place,
// each a tabbed set of property pages for the page in the active page
// window and the first object of its selection. It listens to that page and
// its site and reloads every page after any change of page, selection,
// items, undo or redo.
class CInspector final : public QObject,
                         public CPageObserver,
                         public CSiteObserver,
                         public CDocumentObserver {
    Q_OBJECT
public:
    enum EWindow { kPage, kObject, kLink, kFill, kEffects, kStyles, kMouseOver, kWindowCount };

    CInspector(CEditorContext& editor, CSettings& settings, CUserInteraction& ui, CPlumeDoc* doc,
               QWidget* owner);
    ~CInspector() override;

    // The page the windows show (null: every page disabled).
    void SetPage(CPage* page);
    CPage* Page() const { return m_context.page; }

    // Shows window 0..6 (anything else: the last) where the shown one was.
    void Show(int window);
    void Hide();
    bool IsVisible() const;
    int Current() const { return m_current; }
    QWidget* Window(int window) const { return m_windows[static_cast<std::size_t>(window)]; }
    QTabWidget* Tabs(int window) const { return m_tabs[static_cast<std::size_t>(window)]; }
    // Where the windows stand (their top-left corner on the screen).
    QPoint Position() const;
    void MoveTo(QPoint position);

    // Reloads every page from the model.
    void Refresh();
    // A page view's notification (selection, geometry, text changes).
    void OnViewNotify(int code);
    // Opens the HTML editor for the inspected HTML object.
    void EditHtml();

    // The property pages in window order (tests, screenshots).
    const std::vector<CInspectorTab*>& Pages() const { return m_pages; }
    template <class T> T* Find() const {
        for (CInspectorTab* page : m_pages)
            if (auto* found = qobject_cast<T*>(page)) return found;
        return nullptr;
    }

    // CPageObserver
    void OnPageSizeChanged(CPage&) override { Refresh(); }
    void OnItemsChanged(CPage&) override { Refresh(); }
    void OnSelectionChanged(CPage&) override { Refresh(); }
    void OnPagePropertiesChanged(CPage&) override { Refresh(); }
    // CSiteObserver
    void OnPageAdded(CSite&, CPage&) override { Refresh(); }
    void OnPageRemoved(CSite&, CPage& page, int) override;
    void OnPageRenamed(CSite&, CPage&) override { Refresh(); }
    // CDocumentObserver
    void OnSiteClosed() override { SetPage(nullptr); }

signals:
    void visibilityChanged();

private:
    void AddWindow(EWindow window, const char* title, std::vector<std::pair<CInspectorTab*, QString>> pages);
    bool eventFilter(QObject* watched, QEvent* event) override;

    CInspectorContext m_context;
    CPlumeDoc* m_doc;
    CSite* m_site = nullptr;
    std::array<QWidget*, kWindowCount> m_windows{};
    std::array<QTabWidget*, kWindowCount> m_tabs{};
    std::vector<CInspectorTab*> m_pages;
    CToolWindowMnemonics* m_mnemonics;
    int m_current = kPage;
    bool m_refreshing = false;
};
