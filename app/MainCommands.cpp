// The menu bar, the main toolbar, the toolbox and the rules that enable,
// check and name their commands.
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/inspector/Inspector.h"
#include "app/PageFrame.h"
#include "app/PreviewWindow.h"
#include "app/QtImages.h"
#include "app/QtInteraction.h"
#include "app/Recovery.h"
#include "app/dialogs/Dialogs.h"
#include "editor/ClipboardCommands.h"
#include "editor/EditorContext.h"
#include "editor/PlumeView.h"
#include "model/Arrange.h"
#include "model/Document.h"
#include "model/Grouping.h"
#include "model/Guides.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageProperties.h"
#include "model/ScaleToImageFill.h"
#include "model/Site.h"
#include "model/UndoHistory.h"
#include "services/Cp1252.h"
#include "services/StringTable.h"
#include <QActionGroup>
#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>

namespace {

QString U(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The menu text of a string-table entry: the part before the tab is the
// text, the rest the accelerator shown beside it (Qt draws that itself).
QString MenuText(int id) {
    QString text = U(CStringTable::Get(id));
    return text.section(QLatin1Char('\t'), 0, 0);
}

struct SToolEntry {
    ETool tool;
    const char* tip; // the toolbox's tooltip strings 5500..5509
    QStyle::StandardPixmap fallback;
    const char* glyph;
};

const SToolEntry kTools[] = {
    {ETool::Arrow, "Pile-værktøjet", QStyle::SP_ArrowUp, "➚"},
    {ETool::Text, "Tekst-værktøjet", QStyle::SP_FileIcon, "T"},
    {ETool::Rectangle, "Firkant-værktøjet", QStyle::SP_FileIcon, "▭"},
    {ETool::Circle, "Cirkel-værktøjet", QStyle::SP_FileIcon, "◯"},
    {ETool::Picture, "Billed-værktøjet", QStyle::SP_FileIcon, "▨"},
    {ETool::Pipette, "Pipette-værktøjet", QStyle::SP_FileIcon, "✎"},
    {ETool::Counter, "Tæller-værktøjet", QStyle::SP_FileIcon, "#"},
    {ETool::Html, "Html-værktøjet", QStyle::SP_FileIcon, "</>"},
    {ETool::Form, "Formular-værktøjet", QStyle::SP_FileIcon, "✉"},
};

QString SwatchStyle(const CColor& c) {
    return QStringLiteral("background: %1; border: 1px solid #404040;").arg(pw::ToQColor(c).name());
}

} // namespace

QAction* CMainFrame::Action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* CMainFrame::AddCommand(int id, const QString& text, const QKeySequence& key,
                                std::function<void()> run, std::function<bool()> enabled) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setObjectName(QStringLiteral("cmd%1").arg(id));
    if (!key.isEmpty()) action->setShortcut(key);
    m_actions[id] = action;
    if (enabled) m_enableRules[id] = std::move(enabled);
    m_runners[id] = std::move(run);
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    return action;
}

void CMainFrame::RunCommand(int id) {
    auto rule = m_enableRules.find(id);
    // A shortcut can fire between two updates; the rule is asked again.
    if (rule != m_enableRules.end() && !rule->second()) return;
    m_runners.at(id)();
    UpdateCommands();
    RefreshPanes();
}

void CMainFrame::PageCommand(const std::function<bool(CPage&)>& command) {
    CPageFrame* frame = ActiveFrame();
    if (!frame) return;
    if (command(frame->Page())) {
        frame->Page().RenderAll();
        frame->View()->viewport()->update();
    }
}

void CMainFrame::CreateCommands() {
    using namespace cmd;
    const auto site = [this] { return Site() != nullptr; };
    const auto noSite = [this] { return Site() == nullptr; };
    const auto page = [this] { return ActivePage(); };
    const auto editable = [this] {
        CPage* p = ActivePage();
        return p && !p->IsEditingText();
    };

    // File
    AddCommand(kNewSite, QStringLiteral("&Ny hjemmeside..."), QKeySequence::New,
               [this] { NewSiteWithWizard(); }, noSite);
    AddCommand(kNewFromTemplate, QStringLiteral("Ny hjemmeside ud fra &skabelon..."), {},
               [this] { ChooseTemplate(); });
    AddCommand(kOpenSite, QStringLiteral("&Åbn hjemmeside..."), QKeySequence::Open, [this] {
        if (m_doc->OpenWithDialog()) SiteOpenedWindows();
    });
    AddCommand(kSave, QStringLiteral("&Gem"), QKeySequence::Save, [this] {
        if (m_doc->Save()) m_recovery->Discard();
    }, site);
    AddCommand(kSaveAs, QStringLiteral("Gem &som..."), {}, [this] {
        if (m_doc->SaveAs()) m_recovery->Discard();
    }, site);
    AddCommand(kSaveAsTemplate, QStringLiteral("Gem som s&kabelon..."), {},
               [this] { m_doc->SaveAsTemplate(); }, site);
    AddCommand(kCloseSite, QStringLiteral("&Luk hjemmeside"), {}, [this] { CloseSite(); }, site);
    for (int i = 0; i < CPlumeDoc::kMaxRecentFiles; ++i)
        AddCommand(kRecentFirst + i, QString(), {}, [this, i] { OpenRecent(i); },
                   [this, i] { return i < static_cast<int>(m_doc->RecentFiles().size()); });
    AddCommand(kExit, QStringLiteral("&Afslut"), QKeySequence(Qt::CTRL | Qt::Key_Q),
               [this] { close(); });

    // Edit
    AddCommand(kUndo, QStringLiteral("&Fortryd"), QKeySequence(Qt::CTRL | Qt::Key_Z),
               [this] { PageCommand([](CPage& p) { return p.History().Undo(); }); },
               [editable, page] { return editable() && page()->History().CanUndo(); });
    AddCommand(kRedo, QStringLiteral("&Gentag"), QKeySequence(Qt::CTRL | Qt::Key_Y),
               [this] { PageCommand([](CPage& p) { return p.History().Redo(); }); },
               [editable, page] { return editable() && page()->History().CanRedo(); });
    // The clipboard acts on the page view in front.
    const auto view = [this]() -> CPlumeView* {
        CPageFrame* f = ActiveFrame();
        return f ? f->View() : nullptr;
    };
    namespace clip = pw::editor_clipboard;
    AddCommand(kCut, QStringLiteral("&Klip"), QKeySequence::Cut, [view] { clip::Cut(*view()); },
               [view] { return view() && clip::CanCopy(*view()); });
    AddCommand(kCopy, QStringLiteral("K&opier"), QKeySequence::Copy,
               [view] { clip::Copy(*view()); }, [view] { return view() && clip::CanCopy(*view()); });
    AddCommand(kPaste, QStringLiteral("&Sæt ind"), QKeySequence::Paste,
               [view] { clip::Paste(*view()); }, [view] { return view() && clip::CanPaste(*view()); });
    AddCommand(kCopyBackground, QStringLiteral("Kopier &baggrund"), {},
               [view] { clip::CopyBackground(*view()); }, [view] { return view() != nullptr; });
    AddCommand(kPasteBackground, QStringLiteral("Sæt baggrund &ind"), {},
               [view] { clip::PasteBackground(*view()); },
               [view] { return view() && clip::CanPasteBackground(*view()); });
    AddCommand(kDelete, QStringLiteral("S&let"), QKeySequence::Delete, [this] {
        PageCommand([](CPage& p) {
            p.RecordUndo(EUndoKind::Delete);
            p.History().KeepRemoved(p.DeleteSelected());
            return true;
        });
    }, [editable, page] { return editable() && page()->SelectedSetCount() > 0; });
    AddCommand(kSelectAll, QStringLiteral("Vælg &alt"), QKeySequence::SelectAll, [this] {
        PageCommand([](CPage& p) {
            p.SelectAll();
            return true;
        });
    }, [editable, page] { return editable() && page()->ItemCount() > 0; });

    // Page
    AddCommand(kNewPage, QStringLiteral("&Ny side..."), {}, [this] { AddPage(); },
               [this] { return CanAddPage(Site()); });
    AddCommand(kShowPage, QStringLiteral("&Vis side"), {}, [] {}, site);
    AddCommand(kDeletePage, QStringLiteral("Sl&et side"), {}, [this] { DeleteActivePage(); },
               [this] { return Site() && CanDeletePage(static_cast<int>(PageFrames().size())); });
    AddCommand(kPageProperties, QStringLiteral("Side&egenskaber..."), {}, [this] {
        if (CPage* p = ActivePage(); p && pw::dialogs::PageProperties(this, *m_doc, *p))
            if (CPageFrame* f = ActiveFrame()) f->UpdateTitle();
    }, editable);
    AddCommand(kSiteProperties, QStringLiteral("&Standardindstillinger for nye sider..."), {},
               [this] { pw::dialogs::SiteProperties(this, *m_doc); },
               [this, page] { return Site() && !(page() && page()->IsEditingText()); });
    AddCommand(kMetaTags, QStringLiteral("Nøgleord og &beskrivelse..."), {},
               [this] { pw::dialogs::MetaTags(this, *m_doc); }, site);
    AddCommand(kHeadHtml, QStringLiteral("&Html hoved..."), {}, [this] {
        if (CPage* p = ActivePage()) pw::dialogs::HeadHtml(this, *m_doc, *p);
    }, editable);

    // Arrange
    const std::pair<int, EStackCommand> stacks[] = {{kBringToFront, EStackCommand::BringToFront},
                                                    {kSendToBack, EStackCommand::SendToBack},
                                                    {kBringForward, EStackCommand::BringForward},
                                                    {kSendBackward, EStackCommand::SendBackward}};
    const char* const stackTexts[] = {"Placer &forrest", "Placer &bagerst", "Flyt &frem",
                                      "Flyt &tilbage"};
    for (int i = 0; i < 4; ++i) {
        const EStackCommand c = stacks[i].second;
        AddCommand(stacks[i].first, QString::fromUtf8(stackTexts[i]), {},
                   [this, c] { PageCommand([c](CPage& p) { return Stack(p, c); }); },
                   [page, c] { return CanStack(page(), c); });
    }
    const std::pair<int, EAlignCommand> aligns[] = {{kAlignLeft, EAlignCommand::Left},
                                                    {kAlignRight, EAlignCommand::Right},
                                                    {kAlignTop, EAlignCommand::Top},
                                                    {kAlignBottom, EAlignCommand::Bottom}};
    const char* const alignTexts[] = {"Juster til &venstre", "Juster til &højre",
                                      "Juster til &top", "Juster til &bund"};
    for (int i = 0; i < 4; ++i) {
        const EAlignCommand c = aligns[i].second;
        AddCommand(aligns[i].first, QString::fromUtf8(alignTexts[i]), {},
                   [this, c] { PageCommand([c](CPage& p) { return Align(p, c); }); },
                   [page] { return CanAlign(page()); });
    }
    AddCommand(kSpaceHorizontal, QStringLiteral("Fordel mellem &vandrette hjælpelinier"), {},
               [this] { PageCommand([](CPage& p) { return SpaceEvenly(p, true); }); },
               [page] { return CanSpaceEvenly(page(), true); });
    AddCommand(kSpaceVertical, QStringLiteral("Fordel mellem &lodrette hjælpelinier"), {},
               [this] { PageCommand([](CPage& p) { return SpaceEvenly(p, false); }); },
               [page] { return CanSpaceEvenly(page(), false); });
    AddCommand(kCentreBetweenGuides, QStringLiteral("&Centrer mellem hjælpelinier"), {},
               [this] { PageCommand([](CPage& p) { return CentreBetweenGuides(p); }); },
               [page] { return CanCentreBetweenGuides(page()); });
    AddCommand(kGroup, MenuText(IDS_MENU_GROUP_UNGROUP), QKeySequence(Qt::CTRL | Qt::Key_G),
               [this] { PageCommand([](CPage& p) { return GroupOrUngroup(p); }); },
               [page] { return GroupActionOf(page()) != EGroupAction::None; });
    AddCommand(kScaleToImageFill, QStringLiteral("&Skaler efter billedfyld"), {},
               [this] { PageCommand([](CPage& p) { return ScaleToImageFill(p); }); },
               [page] { return page() && CanScaleToImageFill(*page()); });
    const auto clicked = [this](bool horizontal) -> std::optional<int32_t> {
        CPageFrame* f = ActiveFrame();
        if (!f || !f->HasContextPoint()) return std::nullopt;
        return horizontal ? f->ContextPoint().y() : f->ContextPoint().x();
    };
    AddCommand(kInsertHorizontalGuide, QStringLiteral("Indsæt &vandret hjælpelinie"), {},
               [this, clicked] {
                   const auto at = clicked(true);
                   PageCommand([at](CPage& p) { return InsertGuide(p, true, at); });
               },
               [page] { return CanInsertGuide(page(), true); });
    AddCommand(kInsertVerticalGuide, QStringLiteral("Indsæt &lodret hjælpelinie"), {},
               [this, clicked] {
                   const auto at = clicked(false);
                   PageCommand([at](CPage& p) { return InsertGuide(p, false, at); });
               },
               [page] { return CanInsertGuide(page(), false); });
    AddCommand(kUseGuides, QStringLiteral("&Brug hjælpelinier"), {}, [this] {
        PageCommand([](CPage& p) {
            ToggleUseGuides(p);
            return true;
        });
    }, page)->setCheckable(true);
    AddCommand(kHideGuides, MenuText(IDS_MENU_HIDE_GUIDES), {}, [this] {
        PageCommand([](CPage& p) {
            ToggleHideGuides(p);
            return true;
        });
    }, page);
    AddCommand(kRemoveGuides, QStringLiteral("&Fjern hjælpelinier"), {},
               [this] { PageCommand([](CPage& p) { return RemoveGuides(p); }); },
               [this, page] { return !m_context->GuidesLocked() && CanRemoveGuides(page()); });
    AddCommand(kLockGuides, QStringLiteral("Lås &hjælpelinier"), {},
               [this] { m_context->SetGuidesLocked(!m_context->GuidesLocked()); })
        ->setCheckable(true);

    // Insert
    AddCommand(kInsertSnippet, QStringLiteral("&Html kode fra biblioteket..."), {}, [this] {
        if (CPage* p = ActivePage()) pw::dialogs::InsertSnippet(this, *m_doc, *p);
    }, editable);

    // Site
    AddCommand(kPreview, QStringLiteral("&Aftest hjemmesiden"), QKeySequence(Qt::Key_F5),
               [this] { PreviewSite(); }, site);
    AddCommand(kExport, QStringLiteral("&Eksporter hjemmesiden..."), {},
               [this] { PublishCommand(kExport); }, site);
    AddCommand(kPublish, QStringLiteral("&Udgiv hjemmesiden..."), {},
               [this] { PublishCommand(kPublish); }, site);
    AddCommand(kSendChanges, QStringLiteral("Send æ&ndringer"), {},
               [this] { PublishCommand(kSendChanges); }, site);
    AddCommand(kRemoveSite, QStringLiteral("&Fjern hjemmesiden fra serveren..."), {},
               [this] { PublishCommand(kRemoveSite); });
    AddCommand(kInternetSettings, QStringLiteral("&Internet indstillinger..."), {},
               [this] { pw::dialogs::InternetSettings(this, m_settings); });
    AddCommand(kPreferences, QStringLiteral("&Indstillinger..."), {},
               [this] { pw::dialogs::Preferences(this, m_settings); });

    // View
    const std::pair<int, const char*> inspectors[] = {
        {kInspectorPage, "&Side"},     {kInspectorObject, "&Objekt"}, {kInspectorLink, "&Link"},
        {kInspectorFill, "&Fyld"},     {kInspectorEffect, "&Effekter"},
        {kInspectorStyles, "S&tilarter"}, {kInspectorMouseOver, "&MusOver"}};
    for (int i = 0; i < 7; ++i)
        AddCommand(inspectors[i].first, QString::fromUtf8(inspectors[i].second), {},
                   [this, i] { ShowInspectorPage(i); })
            ->setCheckable(true);
    AddCommand(kHideInspector, QStringLiteral("Skjul &inspektør"), {},
               [this] { m_inspector->Hide(); }, [this] { return m_inspector && m_inspector->IsVisible(); });
    AddCommand(kViewToolbar, QStringLiteral("&Værktøjslinie"), {},
               [this] { m_mainBar->setVisible(!m_mainBar->isVisible()); })
        ->setCheckable(true);
    AddCommand(kViewToolbox, QStringLiteral("Værktøjs&kasse"), {},
               [this] { m_toolbox->setVisible(!m_toolbox->isVisible()); })
        ->setCheckable(true);
    AddCommand(kViewStatusBar, QStringLiteral("&Statuslinie"), {},
               [this] { statusBar()->setVisible(!statusBar()->isVisible()); })
        ->setCheckable(true);

    // Help
    AddCommand(kHelp, QStringLiteral("&Hjælp"), QKeySequence::HelpContents, [this] {
        const QString manual = ManualPath();
        if (manual.isEmpty() || !m_ui->OpenInBrowser(ToPath(manual)))
            SetPaneText(kMessagePane, QStringLiteral("Vejledningen kunne ikke åbnes."));
    });
    AddCommand(kAbout, QStringLiteral("&Om Pagewright..."), {}, [this] {
        m_ui->Inform("Om Pagewright",
                     "Pagewright " + QApplication::applicationVersion().toStdString() +
                         "\nDesigner af små hjemmesider.");
    });

    // Tools: one checked at a time, following the context both ways.
    auto* tools = new QActionGroup(this);
    for (const SToolEntry& entry : kTools) {
        const ETool tool = entry.tool;
        QAction* action = AddCommand(cmd::kToolBase + static_cast<int>(tool),
                                     QString::fromUtf8(entry.tip), {},
                                     [this, tool] { m_context->SetTool(tool); });
        action->setCheckable(true);
        action->setToolTip(QString::fromUtf8(entry.tip));
        action->setChecked(tool == m_context->Tool());
        tools->addAction(action);
    }
    connect(m_context, &CEditorContext::toolChanged, this, [this](ETool tool) {
        if (QAction* a = Action(cmd::kToolBase + static_cast<int>(tool))) a->setChecked(true);
    });
}

void CMainFrame::CreateMenus() {
    using namespace cmd;
    QMenuBar* bar = menuBar();
    const auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else
                menu->addAction(Action(id));
        }
    };
    const auto track = [this](QMenu* menu) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    };

    QMenu* file = bar->addMenu(QStringLiteral("&Filer"));
    add(file, {kNewSite, kNewFromTemplate, kOpenSite, 0, kSave, kSaveAs, kSaveAsTemplate, 0,
               kCloseSite, 0});
    m_recentMenu = file;
    for (int i = 0; i < CPlumeDoc::kMaxRecentFiles; ++i) file->addAction(Action(kRecentFirst + i));
    file->addSeparator();
    add(file, {kExit});
    track(file);

    QMenu* edit = bar->addMenu(QStringLiteral("&Rediger"));
    add(edit, {kUndo, kRedo, 0, kCut, kCopy, kPaste, kDelete, 0, kCopyBackground,
               kPasteBackground, 0, kSelectAll});
    track(edit);

    QMenu* pageMenu = bar->addMenu(QStringLiteral("&Side"));
    add(pageMenu, {kNewPage, kDeletePage, kPageProperties});
    m_showPageMenu = new QMenu(this);
    m_showPageMenu->setObjectName(QStringLiteral("ShowPageMenu"));
    Action(kShowPage)->setMenu(m_showPageMenu);
    pageMenu->addAction(Action(kShowPage));
    connect(m_showPageMenu, &QMenu::aboutToShow, this, [this] { FillShowPageMenu(m_showPageMenu); });
    pageMenu->addSeparator();
    add(pageMenu, {kSiteProperties, kMetaTags, kHeadHtml});
    track(pageMenu);

    QMenu* arrange = bar->addMenu(QStringLiteral("&Arranger"));
    add(arrange, {kBringToFront, kSendToBack, kBringForward, kSendBackward, 0, kAlignLeft,
                  kAlignRight, kAlignTop, kAlignBottom, 0, kSpaceHorizontal, kSpaceVertical,
                  kCentreBetweenGuides, 0, kGroup, kScaleToImageFill, 0});
    QMenu* guides = arrange->addMenu(QStringLiteral("&Hjælpelinier"));
    add(guides, {kInsertHorizontalGuide, kInsertVerticalGuide, 0, kUseGuides, kHideGuides,
                 kLockGuides, 0, kRemoveGuides});
    track(arrange);
    track(guides);

    QMenu* insert = bar->addMenu(QStringLiteral("&Indsæt"));
    add(insert, {kInsertSnippet});
    track(insert);

    QMenu* siteMenu = bar->addMenu(QStringLiteral("&Hjemmeside"));
    add(siteMenu, {kPreview, kExport, 0, kPublish, kSendChanges, kRemoveSite, 0,
                   kInternetSettings, kPreferences});
    track(siteMenu);

    QMenu* view = bar->addMenu(QStringLiteral("&Vis"));
    QMenu* inspector = view->addMenu(QStringLiteral("&Inspektør"));
    add(inspector, {kInspectorPage, kInspectorObject, kInspectorLink, kInspectorFill,
                    kInspectorEffect, kInspectorStyles, kInspectorMouseOver, 0, kHideInspector});
    add(view, {kViewToolbar, kViewToolbox, kViewStatusBar});
    track(view);
    track(inspector);

    QMenu* help = bar->addMenu(QStringLiteral("Hjæl&p"));
    add(help, {kHelp, 0, kAbout});

    // The page window's right-click menu: what acts on the page under the pointer.
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("PageContextMenu"));
    add(m_contextMenu, {kCut, kCopy, kPaste, kDelete, 0, kBringToFront, kSendToBack,
                        kBringForward, kSendBackward, 0, kGroup, 0, kInsertHorizontalGuide,
                        kInsertVerticalGuide, kUseGuides, kHideGuides, kLockGuides, kRemoveGuides, 0,
                        kPageProperties});
    track(m_contextMenu);
}

void CMainFrame::CreateToolbars() {
    using namespace cmd;
    m_mainBar = addToolBar(QStringLiteral("Værktøjslinie"));
    m_mainBar->setObjectName(QStringLiteral("MainToolBar"));
    m_mainBar->setAllowedAreas(Qt::TopToolBarArea | Qt::LeftToolBarArea | Qt::RightToolBarArea);
    QStyle* s = style();
    const std::pair<int, QStyle::StandardPixmap> buttons[] = {
        {kNewSite, QStyle::SP_FileIcon},          {kOpenSite, QStyle::SP_DialogOpenButton},
        {kSave, QStyle::SP_DialogSaveButton},     {kNewPage, QStyle::SP_FileDialogNewFolder},
        {kPreview, QStyle::SP_ComputerIcon},      {kPublish, QStyle::SP_DriveNetIcon}};
    for (const auto& [id, pixmap] : buttons) {
        QAction* action = Action(id);
        action->setIcon(s->standardIcon(pixmap));
        action->setToolTip(action->text().remove(QLatin1Char('&')).remove(QStringLiteral("...")));
        m_mainBar->addAction(action);
    }
    // "Vis Side": the page list as a drop-down button.
    m_showPageButton = new QToolButton(m_mainBar);
    m_showPageButton->setObjectName(QStringLiteral("ShowPageButton"));
    m_showPageButton->setText(QStringLiteral("Vis Side"));
    m_showPageButton->setToolTip(QStringLiteral("Vis en side af hjemmesiden"));
    m_showPageButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_showPageButton->setPopupMode(QToolButton::InstantPopup);
    auto* buttonMenu = new QMenu(m_showPageButton);
    buttonMenu->setObjectName(QStringLiteral("ShowPageButtonMenu"));
    connect(buttonMenu, &QMenu::aboutToShow, this, [this, buttonMenu] { FillShowPageMenu(buttonMenu); });
    m_showPageButton->setMenu(buttonMenu);
    m_mainBar->addSeparator();
    m_mainBar->addWidget(m_showPageButton);
}

void CMainFrame::CreateToolbox() {
    m_toolbox = new QToolBar(QStringLiteral("Værktøjskasse"), this);
    m_toolbox->setObjectName(QStringLiteral("Toolbox"));
    m_toolbox->setOrientation(Qt::Vertical);
    m_toolbox->setAllowedAreas(Qt::LeftToolBarArea | Qt::RightToolBarArea);
    m_toolbox->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addToolBar(Qt::LeftToolBarArea, m_toolbox);
    for (const SToolEntry& entry : kTools) {
        QAction* action = Action(cmd::kToolBase + static_cast<int>(entry.tool));
        // The glyph is the action's icon text: a button takes its text from
        // the action again whenever the action changes (checked as the
        // current tool), and the tool's long name would widen the toolbox.
        action->setIconText(QString::fromUtf8(entry.glyph));
        m_toolbox->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(m_toolbox->widgetForAction(action))) {
            button->setToolTip(QString::fromUtf8(entry.tip));
            button->setMinimumSize(34, 30);
            QFont font = button->font();
            font.setPointSizeF(font.pointSizeF() * 1.3);
            button->setFont(font);
        }
    }
    m_toolbox->addSeparator();
    // The current colour (click: choose another) and the colour the pipette picked.
    m_currentSwatch = new QToolButton(m_toolbox);
    m_currentSwatch->setObjectName(QStringLiteral("CurrentColour"));
    m_currentSwatch->setToolTip(QStringLiteral("Udvalgt Farve-værktøjet"));
    m_currentSwatch->setFixedSize(30, 22);
    m_toolbox->addWidget(m_currentSwatch);
    m_pickedSwatch = new QLabel(m_toolbox);
    m_pickedSwatch->setObjectName(QStringLiteral("PickedColour"));
    m_pickedSwatch->setToolTip(QStringLiteral("Farven pipetten samlede op"));
    m_pickedSwatch->setFixedSize(30, 14);
    m_toolbox->addWidget(m_pickedSwatch);
    connect(m_currentSwatch, &QToolButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(
            pw::ToQColor(m_context->CurrentColor()), this, QStringLiteral("Vælg farve"),
            QColorDialog::DontUseNativeDialog);
        if (chosen.isValid())
            m_context->SetCurrentColor(CColor(static_cast<uint8_t>(chosen.red()),
                                              static_cast<uint8_t>(chosen.green()),
                                              static_cast<uint8_t>(chosen.blue())));
    });
    connect(m_context, &CEditorContext::currentColorChanged, this, &CMainFrame::UpdateColourSwatches);
    connect(m_context, &CEditorContext::pickedColorChanged, this, &CMainFrame::UpdateColourSwatches);
    UpdateColourSwatches();
}

void CMainFrame::UpdateColourSwatches() {
    m_currentSwatch->setStyleSheet(SwatchStyle(m_context->CurrentColor()));
    m_pickedSwatch->setStyleSheet(SwatchStyle(m_context->PickedColor()));
}

void CMainFrame::FillShowPageMenu(QMenu* menu) {
    menu->clear();
    CSite* site = Site();
    if (!site) return;
    const std::vector<std::string> entries = ShowPageMenuEntries(*site);
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        QAction* entry = menu->addAction(U(cp1252::ToUtf8(entries[static_cast<size_t>(i)])));
        CPage* target = &site->PageAt(i);
        entry->setCheckable(true);
        entry->setChecked(target == ActivePage());
        connect(entry, &QAction::triggered, this, [this, target] {
            ShowPage(*target);
            UpdateCommands();
            RefreshPanes();
        });
    }
}

void CMainFrame::UpdateRecentFiles() {
    const auto& recent = m_doc->RecentFiles();
    for (int i = 0; i < CPlumeDoc::kMaxRecentFiles; ++i) {
        QAction* action = Action(cmd::kRecentFirst + i);
        const bool used = i < static_cast<int>(recent.size());
        action->setVisible(used);
        if (used)
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(
                ToQString(recent[static_cast<size_t>(i)].filename())));
    }
}

void CMainFrame::UpdateCommands() {
    for (auto& [id, rule] : m_enableRules) m_actions[id]->setEnabled(rule());
    CPage* page = ActivePage();
    // The step's label ("&Fortryd flyt"); the accelerator is the action's own.
    const auto plain = [](const std::string& text) {
        return U(text).section(QLatin1Char('\t'), 0, 0);
    };
    Action(cmd::kUndo)->setText(plain(UndoMenuText(page ? page->History().UndoLabel() : "")));
    Action(cmd::kRedo)->setText(plain(RedoMenuText(page ? page->History().RedoLabel() : "")));
    Action(cmd::kGroup)->setText(MenuText(GroupMenuTextId(page)));
    Action(cmd::kHideGuides)
        ->setText(MenuText(page ? HideGuidesMenuTextId(*page) : IDS_MENU_HIDE_GUIDES));
    Action(cmd::kUseGuides)->setChecked(page && page->useGuides);
    Action(cmd::kLockGuides)->setChecked(m_context->GuidesLocked());
    Action(cmd::kViewToolbar)->setChecked(m_mainBar && m_mainBar->isVisible());
    Action(cmd::kViewToolbox)->setChecked(m_toolbox && m_toolbox->isVisible());
    Action(cmd::kViewStatusBar)->setChecked(statusBar()->isVisible());
    const int inspectorIds[] = {cmd::kInspectorPage,   cmd::kInspectorObject,
                                cmd::kInspectorLink,   cmd::kInspectorFill,
                                cmd::kInspectorEffect, cmd::kInspectorStyles,
                                cmd::kInspectorMouseOver};
    for (int i = 0; i < 7; ++i)
        Action(inspectorIds[i])
            ->setChecked(m_inspector && m_inspector->IsVisible() && m_inspectorPage == i);
    if (m_showPageButton) m_showPageButton->setEnabled(Site() != nullptr);
    UpdateRecentFiles();
    if (Site() && m_idle && !m_idle->isActive()) m_idle->start();
}
