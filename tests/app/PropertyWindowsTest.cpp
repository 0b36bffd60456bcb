// The inspector's windows against a real site: what each page enables, how
// a change reaches the records, the undo history and the screen, and that a
// page reloads what it stored.
#include "DialogTestPort.h"
#include "app/inspector/EffectsTabs.h"
#include "app/inspector/FillTab.h"
#include "app/inspector/Inspector.h"
#include "app/inspector/LinkTab.h"
#include "app/inspector/MouseOverTab.h"
#include "app/inspector/ObjectTabs.h"
#include "app/inspector/PageTabs.h"
#include "app/inspector/StylesTab.h"
#include "controls/ColorControl.h"
#include "controls/ControlCodes.h"
#include "controls/GradientControl.h"
#include "controls/SliderControl.h"
#include "controls/WheelControl.h"
#include "editor/EditorContext.h"
#include "model/BackgroundFill.h"
#include "model/ButtonText.h"
#include "model/CounterObject.h"
#include "model/Document.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/ShapeObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/UndoCommands.h"
#include "model/UndoHistory.h"
#include "services/Settings.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSet>
#include <QTabWidget>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <cmath>

namespace {
// Counts what the page asks its windows to draw again.
struct CRepaintCounter : CPageObserver {
    int repaints = 0;
    void OnPageRepaint(CPage&, const CRect&) override { ++repaints; }
};

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

void Type(QAbstractSpinBox* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// A user's finished change of a control the core drives (colour chooser,
// gradient picker): the value is set and the control says it changed.
void Finish(CControlBase* control, int code) {
    emit control->changed(control->Id(), code);
}
} // namespace

class PropertyWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void tabsFollowWhatTheObjectCan();
    void sliderDragShowsEveryValueAndRecordsOneStep();
    void switchedOffEffectsStoreQuietly();
    void webAddressesLoseTheirScheme();
    void everyControlRoundTrips();
    void overLongTextsAreRefusedAndReloaded();
    void pageAndMouseOverWindows();
    void mnemonicsReachTheShownTab();
    void followTheDarkPalette();

private:
    CPageItem& Add(std::unique_ptr<CPageObject> object);
    void Select(CPageItem& item);
    int Steps() const;

    std::unique_ptr<CQueuedPort> m_ui;
    std::unique_ptr<CPlumeDoc> m_doc;
    CSettings m_settings;
    CEditorContext m_editor;
    std::unique_ptr<CInspector> m_inspector;
    CPage* m_page = nullptr;
    CPageItem* m_rect = nullptr;
};

void PropertyWindowsTest::init() {
    m_ui = std::make_unique<CQueuedPort>();
    m_doc = std::make_unique<CPlumeDoc>(*m_ui, "Pagewright");
    auto site = std::make_unique<CSite>("Test", CBackgroundFill(), 400, 300, CColor(0, 0, 255),
                                        CColor(128, 0, 128));
    m_page = &site->AddPage(std::make_unique<CPage>(*site, "Side1", "En"));
    site->AddPage(std::make_unique<CPage>(*site, "Side2", "To"));
    m_page->SetHistory(std::make_unique<CUndoHistory>(*m_page, CPage::kUndoSteps));
    QVERIFY(m_doc->NewSite(std::move(site)));
    m_settings.SetShowAdvancedTextHelp(false);
    m_inspector = std::make_unique<CInspector>(m_editor, m_settings, *m_ui, m_doc.get(), nullptr);
    m_inspector->SetPage(m_page);
    m_rect = &Add(std::make_unique<CRectObject>(DPOINT{100, 80}, CObjectSize{60, 40}));
    Select(*m_rect);
}

void PropertyWindowsTest::cleanup() {
    m_inspector.reset();
    m_doc.reset();
}

CPageItem& PropertyWindowsTest::Add(std::unique_ptr<CPageObject> object) {
    CPageItem& item = m_page->InsertItem(std::move(object));
    m_page->RenderAll();
    return item;
}

void PropertyWindowsTest::Select(CPageItem& item) {
    m_page->SelectOnly(item);
}

int PropertyWindowsTest::Steps() const {
    return static_cast<int>(static_cast<CUndoHistory&>(m_page->History()).Generation());
}

void PropertyWindowsTest::tabsFollowWhatTheObjectCan() {
    auto* counter = &Add(std::make_unique<CCounterObject>(0, DPOINT{300, 200}));
    struct Case {
        const char* what;
        std::function<void()> select;
        bool object, effects, fill, link, mouseOver, label;
    } cases[] = {
        {"rectangle", [&] { Select(*m_rect); }, true, true, true, true, true, true},
        {"counter", [&] { Select(*counter); }, true, false, false, false, false, false},
        {"nothing", [&] { m_page->DeselectAll(); }, false, false, false, false, false, false},
        {"rectangle and counter", [&] {
             Select(*m_rect);
             m_page->AddToSelection(*counter);
         }, true, true, false, true, true, true},
    };
    for (const Case& c : cases) {
        c.select();
        m_inspector->Refresh();
        QVERIFY2(m_inspector->Find<CObjectInfoTab>()->X()->isEnabled() == c.object, c.what);
        QVERIFY2(m_inspector->Find<CShadowTab>()->Switch()->isEnabled() == c.effects, c.what);
        QVERIFY2(m_inspector->Find<CGlowTab>()->Softness()->Slider()->isEnabled() == c.effects, c.what);
        QVERIFY2(m_inspector->Find<CFillTab>()->Widgets().solid->isEnabled() == c.fill, c.what);
        QVERIFY2(m_inspector->Find<CStylesTab>()->Button(1)->isEnabled() == c.fill, c.what);
        QVERIFY2(m_inspector->Find<CLinkTab>()->UseLink()->isEnabled() == c.link, c.what);
        QVERIFY2(m_inspector->Find<CMouseOverTab>()->Create()->isEnabled() == c.mouseOver, c.what);
        QVERIFY2(m_inspector->Find<CButtonTextTab>()->Label()->isEnabled() == c.label, c.what);
    }
    // A counter's own page offers its four pictures.
    Select(*counter);
    auto* info = m_inspector->Find<CObjectInfoTab>();
    QCOMPARE(info->KindPages()->currentIndex(), 2);
    QCOMPARE(info->CounterType()->count(), 4);
    QCOMPARE(info->CounterType()->itemText(3), QStringLiteral("Type 4"));
}

void PropertyWindowsTest::sliderDragShowsEveryValueAndRecordsOneStep() {
    auto* glow = m_inspector->Find<CGlowTab>();
    glow->Switch()->click();
    QVERIFY(m_rect->Current().GetEffects()->glowOn);
    const int before = Steps();
    CSliderControl* slider = glow->Transparency()->Slider();
    slider->resize(420, 24);
    slider->show();
    QSet<QString> shown;
    const int y = slider->ThumbRect().center().y();
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->ThumbRect().center().x(), y));
    for (int x = 0; x < slider->width(); ++x) {
        QTest::mouseMove(slider, QPoint(x, y));
        shown.insert(glow->Transparency()->ValueLabel()->text());
    }
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 1, y));
    for (int v = 0; v <= 100; ++v) QVERIFY2(shown.contains(QString::asprintf("%3d%%", v)), qPrintable(QString::number(v)));
    QCOMPARE(Steps(), before + 1);
    QCOMPARE(m_rect->Current().GetEffects()->glowTransparency, 100);
    QCOMPARE(m_page->History().UndoLabel(), std::string("effekter"));
}

void PropertyWindowsTest::switchedOffEffectsStoreQuietly() {
    CRepaintCounter counter;
    m_page->AddObserver(&counter);
    auto* shadow = m_inspector->Find<CShadowTab>();
    const int before = Steps();
    shadow->Direction()->Wheel()->WheelSetValue(40);
    Finish(shadow->Direction()->Wheel(), ctl::kWheelChanged);
    QCOMPARE(m_rect->Current().GetEffects()->shadowAngle, 40);
    QCOMPARE(Steps(), before);
    QCOMPARE(counter.repaints, 0);
    QVERIFY(!m_doc->Site()->IsSaved());

    shadow->Switch()->click();
    QVERIFY(m_rect->Current().GetEffects()->shadowOn);
    QCOMPARE(shadow->Direction()->Value(), 40);
    QCOMPARE(shadow->Direction()->ValueLabel()->text(), QStringLiteral("40"));
    QCOMPARE(Steps(), before + 1);
    QVERIFY(counter.repaints > 0);
    m_page->RemoveObserver(&counter);
}

void PropertyWindowsTest::webAddressesLoseTheirScheme() {
    const std::pair<const char*, const char*> cases[] = {
        {"HTTP://host.dk", "host.dk"},      {"  http://www.a.dk/x  ", "www.a.dk/x"},
        {"Http:\\\\host", "host"},          {"http:/host", "host"},
        {"http:\\host", "host"},            {"https://host", "https://host"},
        {"host.dk", "host.dk"},             {"   ", ""},
    };
    for (const auto& [typed, stored] : cases) QCOMPARE(NormaliseWebAddress(typed), std::string(stored));

    auto* link = m_inspector->Find<CLinkTab>();
    link->UseLink()->click();
    link->Kind(CObjectLink::typeUrl)->click();
    Type(link->Url(), QStringLiteral("HTTP://host.example"));
    QCOMPARE(m_rect->Current().GetLink()->url, std::string("host.example"));
    QCOMPARE(m_rect->Current().GetLink()->type, int(CObjectLink::typeUrl));
    QCOMPARE(link->Url()->text(), QStringLiteral("host.example"));
}

void PropertyWindowsTest::everyControlRoundTrips() {
    auto* text = &Add(std::make_unique<CTextObject>(DPOINT{200, 200}, CObjectSize{120, 40}));
    {
        auto& layout = static_cast<CTextObject&>(text->Current()).Layout();
        for (char c : std::string("Hej")) layout.Append(uint8_t(c), DefaultCharStyle());
    }
    auto* shadow = m_inspector->Find<CShadowTab>();
    auto* edges = m_inspector->Find<CEdgesTab>();
    auto* glow = m_inspector->Find<CGlowTab>();
    auto* fill = m_inspector->Find<CFillTab>();
    auto* link = m_inspector->Find<CLinkTab>();
    auto* info = m_inspector->Find<CObjectInfoTab>();
    auto* label = m_inspector->Find<CButtonTextTab>();
    auto* alt = m_inspector->Find<CAltTextTab>();
    const CPageObject& r = m_rect->Current();
    auto fx = [&] { return *r.GetEffects(); };
    auto lbl = [&] { return *static_cast<const CShapeObject&>(r).GetButtonText(); };

    struct Case {
        const char* what;
        std::function<void()> set;                 // through the window
        std::function<bool()> stored;              // in the record
        std::function<bool()> shown;               // after reloading
    };
    const Case cases[] = {
        {"shadow type", [&] { shadow->Switch()->click(); shadow->TypeBox()->setCurrentIndex(2); emit shadow->TypeBox()->activated(2); },
         [&] { return fx().shadowOn && fx().shadowType == 2; }, [&] { return shadow->TypeBox()->currentIndex() == 2; }},
        {"shadow distance", [&] { shadow->Distance()->Slider()->SetValue(17); Finish(shadow->Distance()->Slider(), ctl::kSliderChanged); },
         [&] { return fx().shadowDistance == 17; }, [&] { return shadow->Distance()->ValueLabel()->text() == " 17%"; }},
        {"shadow softness", [&] { shadow->Softness()->Slider()->SetValue(33); Finish(shadow->Softness()->Slider(), ctl::kSliderChanged); },
         [&] { return fx().shadowSize == 33; }, [&] { return shadow->Softness()->Value() == 33; }},
        {"shadow colour", [&] { shadow->Colour()->SetColor(CColor(10, 20, 30)); Finish(shadow->Colour(), ctl::kColorChanged); },
         [&] { return fx().shadowColour == CColor(10, 20, 30); }, [&] { return shadow->Colour()->GetColor() == CColor(10, 20, 30); }},
        {"edges", [&] { edges->Switch()->click(); edges->Sunken()->click(); edges->TypeBox()->setCurrentIndex(3); emit edges->TypeBox()->activated(3); },
         [&] { return fx().edgesOn && fx().edgesStyle == 1 && fx().edgesType == 3; }, [&] { return edges->Sunken()->isChecked() && edges->TypeBox()->currentText() == "Indgravering"; }},
        {"edges direction", [&] { edges->Direction()->Wheel()->WheelSetValue(200); Finish(edges->Direction()->Wheel(), ctl::kWheelChanged); },
         [&] { return fx().edgesAngle == 200; }, [&] { return edges->Direction()->ValueLabel()->text() == "200"; }},
        {"glow", [&] { glow->Switch()->click(); glow->Softness()->Slider()->SetValue(12); Finish(glow->Softness()->Slider(), ctl::kSliderChanged); },
         [&] { return fx().glowOn && fx().glowSize == 12; }, [&] { return glow->Softness()->Value() == 12 && glow->Switch()->isChecked(); }},
        {"glow colour", [&] { glow->Colour()->SetColor(CColor(1, 200, 3)); Finish(glow->Colour(), ctl::kColorChanged); },
         [&] { return fx().glowColour == CColor(1, 200, 3); }, [&] { return glow->Colour()->GetColor() == CColor(1, 200, 3); }},
        {"fill colour", [&] { fill->Widgets().colour->SetColor(CColor(200, 0, 0)); Finish(fill->Widgets().colour, ctl::kColorChanged); },
         [&] { return r.GetFill()->GetType() == CObjectFill::fillSolid && r.GetFill()->GetColour() == CColor(200, 0, 0); },
         [&] { return fill->Widgets().solid->isChecked(); }},
        {"picked colour", [&] { m_editor.SetPickedColor(CColor(0, 99, 0)); fill->Widgets().picked->click(); },
         [&] { return r.GetFill()->GetColour() == CColor(0, 99, 0); }, [&] { return fill->Widgets().colour->GetColor() == CColor(0, 99, 0); }},
        {"gradient", [&] { GRADIENTCOLORS g; CGradientControl::GetPredefinedGradient(g, 3); fill->Widgets().gradientPicker->ChangeGradient(g); Finish(fill->Widgets().gradientPicker, ctl::kGradientChanged); },
         [&] { GRADIENTCOLORS g; CGradientControl::GetPredefinedGradient(g, 3); return r.GetFill()->GetType() == CObjectFill::fillGradient && fill->Widgets().gradientPicker->IsGradientEqual(&g); },
         [&] { return fill->Widgets().gradient->isChecked(); }},
        {"gradient direction", [&] { fill->Direction()->Wheel()->WheelSetValue(90); Finish(fill->Direction()->Wheel(), ctl::kWheelChanged); },
         [&] { return r.GetFill()->GetGradient().angle == 90; }, [&] { return fill->Direction()->Value() == 90; }},
        {"texture", [&] { fill->Texture(2)->click(); },
         [&] { return r.GetFill()->GetImagePath() == CFillTab::TexturePath(2); }, [&] { return fill->Widgets().picture->isChecked(); }},
        {"link page", [&] { link->UseLink()->click(); link->Kind(0)->click(); link->PageBox()->setCurrentIndex(1); emit link->PageBox()->activated(1); },
         [&] { return r.GetLink()->enabled && r.GetLink()->type == 0 && r.GetLink()->page == 1; }, [&] { return link->PageBox()->currentText() == "Side2"; }},
        {"link e-mail", [&] { link->Kind(1)->click(); Type(link->Email(), "a@b.dk"); },
         [&] { return r.GetLink()->type == 1 && r.GetLink()->email == "a@b.dk"; }, [&] { return link->Kind(1)->isChecked(); }},
        {"link document", [&] { link->Kind(3)->click(); Type(link->Document(), "rapport.pdf"); },
         [&] { return r.GetLink()->document == "rapport.pdf"; }, [&] { return link->Document()->text() == "rapport.pdf"; }},
        {"position", [&] { Type(info->X(), "150"); Type(info->Y(), "90"); },
         [&] { return std::lround(r.GetCenter().x) == 150 && std::lround(r.GetCenter().y) == 90; }, [&] { return info->X()->value() == 150; }},
        {"angle", [&] { Type(info->Angle(), "45"); },
         [&] { return std::abs(r.GetAngle() - M_PI / 4) < 1e-9; }, [&] { return info->Angle()->text() == "45.0" || info->Angle()->text() == "45,0"; }},
        {"label", [&] { Type(label->Label(), "Klik"); label->Styles().bold->click(); label->Styles().align[2]->click(); },
         [&] { return lbl().text == "Klik" && lbl().bold && lbl().alignment == 2; }, [&] { return label->Label()->text() == "Klik" && label->Styles().bold->isChecked(); }},
        {"label size and shadow", [&] { label->Size()->setCurrentIndex(7); emit label->Size()->activated(7); label->Shadow()->click(); Type(label->ShadowDistance(), "3"); },
         [&] { return lbl().fontSize == 18 && lbl().shadow && lbl().shadowDistance == 3; }, [&] { return label->Size()->currentText() == "18" && label->ShadowDistance()->value() == 3; }},
        {"alternative text", [&] { Type(alt->Text(), "Knap"); },
         [&] { return *r.GetAltText() == "Knap"; }, [&] { return alt->Text()->text() == "Knap"; }},
    };
    for (const Case& c : cases) {
        const int before = Steps();
        c.set();
        QVERIFY2(c.stored(), c.what);
        QVERIFY2(Steps() > before, c.what);
        // Another object and back: the windows load from the records.
        Select(*text);
        Select(*m_rect);
        QVERIFY2(c.shown(), c.what);
    }

    // The text's own controls act on every character.
    Select(*text);
    auto& t = static_cast<CTextObject&>(text->Current());
    QCOMPARE(info->KindPages()->currentIndex(), 1);
    info->Size()->setCurrentIndex(4);
    emit info->Size()->activated(4);
    info->Styles().italic->click();
    info->Styles().align[1]->click();
    QCOMPARE(int(t.Layout().StyleAt(0, 2).fontSize), 18);
    QVERIFY(t.Layout().StyleAt(0, 0).italic);
    QCOMPARE(t.Layout().alignment, 1);
    info->PlainText()->click();
    QVERIFY(t.Advanced());
    QVERIFY(m_inspector->Find<CShadowTab>()->Switch()->isEnabled());
    QVERIFY(UndoCommand(m_page));
    QVERIFY(!t.Advanced());
    QVERIFY(!m_inspector->Find<CShadowTab>()->Switch()->isEnabled());
    QVERIFY(info->PlainText()->isChecked());
}

void PropertyWindowsTest::overLongTextsAreRefusedAndReloaded() {
    auto* link = m_inspector->Find<CLinkTab>();
    auto* label = m_inspector->Find<CButtonTextTab>();
    auto* alt = m_inspector->Find<CAltTextTab>();
    link->UseLink()->click();
    const CPageObject& r = m_rect->Current();
    auto lbl = [&] { return static_cast<const CShapeObject&>(r).GetButtonText()->text; };
    struct Case {
        const char* what;
        QRadioButton* kind; // a link's field counts only with its kind chosen
        QLineEdit* field;
        std::function<std::string()> stored;
        const char* caption;
    } cases[] = {
        {"e-mail", link->Kind(1), link->Email(), [&] { return r.GetLink()->email; }, "Link"},
        {"web address", link->Kind(2), link->Url(), [&] { return r.GetLink()->url; }, "Link"},
        {"document", link->Kind(3), link->Document(), [&] { return r.GetLink()->document; }, "Link"},
        {"button text", nullptr, label->Label(), lbl, "Knap tekst"},
        {"alternative text", nullptr, alt->Text(), [&] { return *r.GetAltText(); }, "Alternativ tekst"},
    };
    const QString kept = QStringLiteral("kept.dk");
    const QString tooLong(2049, QLatin1Char('x')); // the records hold 2048 bytes
    for (const Case& c : cases) {
        if (c.kind) c.kind->click();
        Type(c.field, kept);
        QVERIFY2(c.stored() == "kept.dk", c.what);
        const int before = Steps();
        const std::size_t asked = m_ui->asked.size();
        m_ui->messages.push_back(EAnswer::Ok);
        c.field->setText(tooLong);
        QTest::keyClick(c.field, Qt::Key_Return);
        QVERIFY2(m_ui->Drained() && m_ui->asked.size() == asked + 1, c.what);
        QVERIFY2(m_ui->asked.back() == c.caption, c.what);
        QVERIFY2(c.stored() == "kept.dk", c.what);
        QVERIFY2(c.field->text() == kept, c.what); // the field shows what was kept
        QVERIFY2(Steps() == before, c.what);
    }
}

void PropertyWindowsTest::pageAndMouseOverWindows() {
    auto* pageInfo = m_inspector->Find<CPageInfoTab>();
    Type(pageInfo->Title(), QStringLiteral("Forsiden"));
    QCOMPARE(m_page->WebName(), std::string("Forsiden"));
    Type(pageInfo->PageWidth(), QStringLiteral("640"));
    QCOMPARE(m_page->Width(), 640);
    m_ui->messages.push_back(EAnswer::Ok);
    Type(pageInfo->Identifier(), QStringLiteral("Side2")); // taken: refused, the old one stays
    QVERIFY(m_ui->Drained());
    QCOMPARE(m_page->Identifier(), std::string("Side1"));
    QCOMPARE(pageInfo->Identifier()->text(), QStringLiteral("Side1"));

    auto* background = m_inspector->Find<CBackgroundTab>();
    background->Widgets().colour->SetColor(CColor(1, 2, 3));
    Finish(background->Widgets().colour, ctl::kColorChanged);
    QCOMPARE(m_page->Background().GetColour(), CColor(1, 2, 3));
    const bool across = m_page->Background().IsHorizontal();
    QCOMPARE(background->Horizontal()->isChecked(), across);
    background->Horizontal()->click();
    QCOMPARE(m_page->Background().IsHorizontal(), !across);
    QCOMPARE(m_page->History().UndoLabel(), std::string("sideegenskaber"));

    auto* over = m_inspector->Find<CMouseOverTab>();
    QVERIFY(!over->Remove()->isEnabled());
    over->Create()->click();
    QVERIFY(m_rect->HasMouseOver());
    QVERIFY(over->Twin()->isChecked());
    Type(over->OffsetX(), QStringLiteral("42"));
    QCOMPARE(m_rect->MouseOver()->GetOffsetX(), 42);
    QCOMPARE(m_page->History().UndoLabel(), std::string("MusOver indstillinger"));
    QVERIFY(SetInspectedMouseOverOffset(*m_page, 150, -300)); // a stored value is clamped too
    QCOMPARE(m_rect->MouseOver()->GetOffsetX(), 100);
    QCOMPARE(m_rect->MouseOver()->GetOffsetY(), -100);
    QCOMPARE(over->OffsetY()->value(), -100);
    // The other windows edit the twin while it is chosen.
    auto* fill = m_inspector->Find<CFillTab>();
    fill->Widgets().colour->SetColor(CColor(0, 200, 0));
    Finish(fill->Widgets().colour, ctl::kColorChanged);
    QCOMPARE(m_rect->MouseOver()->GetFill()->GetColour(), CColor(0, 200, 0));
    QVERIFY(!(m_rect->Normal().GetFill()->GetColour() == CColor(0, 200, 0)));
    over->Original()->click();
    QVERIFY(!m_rect->IsEditingMouseOver());
    QVERIFY(!(fill->Widgets().colour->GetColor() == CColor(0, 200, 0)));
    over->Remove()->click();
    QVERIFY(!m_rect->HasMouseOver());
    QVERIFY(UndoCommand(m_page));
    QVERIFY(m_rect->HasMouseOver());
    QVERIFY(over->Remove()->isEnabled());

    // Styles: a preset is one step and shows in the effects window.
    const int before = Steps();
    m_inspector->Find<CStylesTab>()->Button(13)->click();
    QVERIFY(m_inspector->Find<CShadowTab>()->Switch()->isChecked());
    QCOMPARE(Steps(), before + 1);

    // Without a page every window is disabled.
    m_page->DeselectAll();
    m_inspector->SetPage(nullptr);
    QVERIFY(!pageInfo->Title()->isEnabled());
}

void PropertyWindowsTest::mnemonicsReachTheShownTab() {
    // The windows float over the main window, whose menu bar stays reachable
    // from them: "&Side" competes with the effect pages' "&Slå til".
    QMainWindow owner;
    owner.menuBar()->addMenu(QStringLiteral("&Side"))->addAction(QStringLiteral("Ny side"));
    QMenu* view = owner.menuBar()->addMenu(QStringLiteral("&Vis"));
    view->addAction(QStringLiteral("Inspektør"));
    owner.show();
    m_inspector = std::make_unique<CInspector>(m_editor, m_settings, *m_ui, m_doc.get(), &owner);
    const auto release = qScopeGuard([this] { m_inspector.reset(); }); // before its owner
    m_inspector->SetPage(m_page);
    m_inspector->Show(CInspector::kEffects);
    QWidget* window = m_inspector->Window(CInspector::kEffects);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    m_inspector->Tabs(CInspector::kEffects)->setCurrentIndex(2);
    QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(m_rect->Current().GetEffects()->glowOn);
    QVERIFY(!m_rect->Current().GetEffects()->shadowOn);
    // A letter the window does not use still opens the main window's menu.
    QTest::keyClick(window, Qt::Key_V, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activePopupWidget(), view);
    view->close();
}

void PropertyWindowsTest::followTheDarkPalette() {
    // On a dark desktop every window takes its colours; only the pictures the
    // controls draw (grooves, dials, swatches, style samples) keep their own.
    const QPalette light = QApplication::palette();
    QPalette dark(QColor(53, 53, 53));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    QApplication::setPalette(dark);
    const auto restore = qScopeGuard([&] { QApplication::setPalette(light); });
    for (int w = 0; w < CInspector::kWindowCount; ++w) {
        m_inspector->Show(w);
        QWidget* window = m_inspector->Window(w);
        QCoreApplication::processEvents();
        const QImage shot = window->grab().toImage();
        qsizetype bright = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) bright += qGray(shot.pixel(x, y)) > 160;
        if (w == CInspector::kEffects) KeepPicture(window, "inspector-dark");
        QVERIFY2(bright * 5 < shot.width() * qsizetype(shot.height()),
                 qPrintable(window->windowTitle() + QStringLiteral(": %1 bright pixels").arg(bright)));
    }
}

QTEST_MAIN(PropertyWindowsTest)
#include "PropertyWindowsTest.moc"
