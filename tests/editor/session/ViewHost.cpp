// A test-only window around one page view, for scripted sessions with real X
// events until the designer's main window hosts the views: the tools are
// switched by function key (F1 arrow, F3 text, F4 rectangle, F5 circle, F7
// picture, F8 pipette, F9 counter, F10 HTML, F11 form; the numbers are the
// tool ids), F12 gives the selection a gradient from the toolbox colour,
// Ctrl+Z / Ctrl+Y undo and redo, Ctrl+S saves.
//
//   pw-viewhost SITEFILE   (a missing file becomes a new one-page site)
#include "app/QtInteraction.h"
#include "editor/EditorContext.h"
#include "editor/PlumeView.h"
#include "model/Document.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/UndoCommands.h"
#include "model/UndoHistory.h"
#include "render/Rendering.h"
#include "services/Gradient.h"
#include "model/ObjectFill.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QStatusBar>
#include <cstdio>
#include <filesystem>

namespace {
class CHostWindow : public QMainWindow {
public:
    CHostWindow(CPlumeDoc& doc, CPage& page, std::filesystem::path file)
        : m_doc(doc), m_page(page), m_file(std::move(file)) {
        m_view = new CPlumeView(doc, page, m_context, this);
        // No frame: page and window coordinates agree for the scripts.
        m_view->setFrameShape(QFrame::NoFrame);
        setCentralWidget(m_view);
        connect(m_view, &CPlumeView::statusText, statusBar(),
                [this](const QString& text) { statusBar()->showMessage(text); });
        m_context.SetCurrentColor(CColor(200, 40, 40));
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        static const std::pair<int, ETool> kTools[] = {
            {Qt::Key_F1, ETool::Arrow},   {Qt::Key_F3, ETool::Text},    {Qt::Key_F4, ETool::Rectangle},
            {Qt::Key_F5, ETool::Circle},  {Qt::Key_F7, ETool::Picture}, {Qt::Key_F8, ETool::Pipette},
            {Qt::Key_F9, ETool::Counter}, {Qt::Key_F10, ETool::Html},   {Qt::Key_F11, ETool::Form}};
        for (const auto& [k, tool] : kTools)
            if (key->key() == k) {
                m_context.SetTool(tool);
                return true;
            }
        if (key->key() == Qt::Key_F12) {
            GiveGradient();
            return true;
        }
        if (ctrl && key->key() == Qt::Key_Z) return UndoCommand(&m_page), true;
        if (ctrl && key->key() == Qt::Key_Y) return RedoCommand(&m_page), true;
        if (ctrl && key->key() == Qt::Key_S) {
            const bool saved = m_doc.OnSaveDocument(m_file);
            std::fprintf(stderr, "pw-viewhost: %s %s\n", saved ? "saved" : "could not save",
                         m_file.c_str());
            return true;
        }
        return QMainWindow::eventFilter(watched, event);
    }

private:
    // What the toolbox colour does to a selected shape: a gradient from it.
    void GiveGradient() {
        if (m_page.SelectedSetCount() == 0 || m_view->EditedText()) return;
        m_page.RecordUndo(EUndoKind::Fill);
        const CColor colour = m_context.CurrentColor();
        for (const auto& set : m_page.Sets()) {
            if (!set->IsSelected()) continue;
            for (CPageItem* item : set->Items()) {
                CObjectFill* fill = item->Current().GetFill();
                if (!fill) continue;
                CFillGradient gradient;
                gradient.startColour = colour;
                gradient.endColour = CColor(255, 255, 255);
                gradient.kind = 4;
                gradient.angle = 45;
                fill->SetGradient(gradient);
                item->Current().Invalidate();
                item->Current().PrepareAndRender(m_page.TileBuffer());
            }
        }
        m_page.MarkModified();
        m_page.Repaint();
    }

    CPlumeDoc& m_doc;
    CPage& m_page;
    std::filesystem::path m_file;
    CEditorContext m_context;
    CPlumeView* m_view = nullptr;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pw-viewhost SITEFILE\n");
        return 2;
    }
    InstallRendering(nullptr);
    const std::filesystem::path file = argv[1];
    CQtInteraction ui;
    CPlumeDoc doc(ui, "Pagewright");
    if (std::filesystem::exists(file)) {
        if (!doc.OnOpenDocument(file)) return 1;
    } else {
        auto site = std::make_unique<CSite>(file.string());
        CPage& page = site->AddPage(std::make_unique<CPage>(*site, "p1", "index"));
        site->SetFrontPage(page);
        doc.NewSite(std::move(site));
    }
    CSite& site = *doc.Site();
    if (site.PageCount() == 0) return 1;
    CPage& page = site.PageAt(0);
    page.RenderAll();
    CHostWindow window(doc, page, file);
    window.setWindowTitle(QStringLiteral("pw-viewhost"));
    window.resize(page.Width() + 40, std::min(page.Height(), 700) + 60);
    window.move(0, 0);
    window.show();
    return app.exec();
}
