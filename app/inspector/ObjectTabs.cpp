#include "app/inspector/ObjectTabs.h"
#include "app/dialogs/DialogKit.h"
#include "app/dialogs/Dialogs.h"
#include "controls/ColorControl.h"
#include "model/ButtonText.h"
#include "model/CharStyle.h"
#include "model/CounterObject.h"
#include "model/FormObject.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/ShapeObject.h"
#include "model/TextObject.h"
#include "services/Failure.h"
#include "services/FontEngine.h"
#include "services/UserInteraction.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <numbers>

using pw::dialogs::FromModel;
using pw::dialogs::FromUtf8;
using pw::dialogs::ToModel;
using pw::dialogs::ToUtf8;
using pw::inspector::Caption;

namespace {
enum EKindPage { kNoKind, kTextKind, kCounterKind, kHtmlKind, kFormKind };

// Four lines lined up left, centred or right, drawn at the button's scale.
QIcon AlignIcon(int alignment, qreal ratio) {
    QPixmap pixmap(QSize(16, 16) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    const int widths[4] = {12, 8, 12, 6};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const qreal x = alignment == 0 ? 2 : alignment == 1 ? (16 - w) / 2.0 : 14 - w;
        p.drawLine(QPointF(x, 3.5 + i * 3), QPointF(x + w, 3.5 + i * 3));
    }
    return QIcon(pixmap);
}

QToolButton* Toggle(const QString& text, const QString& tip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

void FillFaces(QComboBox* box) {
    for (const std::string& face : CFontEngine::Instance().Faces()) box->addItem(FromUtf8(face));
}

QSpinBox* CoordinateBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(-100000, 100000);
    box->setKeyboardTracking(false);
    return box;
}

int SizeIndex(const int* sizes, int count, int points) {
    const int* found = std::min_element(sizes, sizes + count, [points](int a, int b) {
        return std::abs(a - points) < std::abs(b - points);
    });
    return static_cast<int>(found - sizes);
}

} // namespace

// ---------------------------------------------------------------- style buttons

QWidget* CStyleButtons::Build(QWidget* parent, std::function<void(int, bool)> toggled,
                              std::function<void(int)> aligned) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    bold = Toggle(QStringLiteral("F"), QStringLiteral("Fed"), row);
    italic = Toggle(QStringLiteral("K"), QStringLiteral("Kursiv"), row);
    underline = Toggle(QStringLiteral("U"), QStringLiteral("Understreget"), row);
    QFont f = bold->font();
    f.setBold(true);
    bold->setFont(f);
    f = italic->font();
    f.setItalic(true);
    italic->setFont(f);
    f = underline->font();
    f.setUnderline(true);
    underline->setFont(f);
    QToolButton* toggles[3] = {bold, italic, underline};
    for (int i = 0; i < 3; ++i) {
        layout->addWidget(toggles[i]);
        QObject::connect(toggles[i], &QToolButton::clicked, row, [toggled, i](bool on) { toggled(i, on); });
    }
    layout->addSpacing(8);
    const char* const tips[3] = {"Venstrestillet", "Centreret", "Højrestillet"};
    for (int a = 0; a < 3; ++a) {
        align[a] = Toggle(QString(), QString::fromUtf8(tips[a]), row);
        align[a]->setIcon(AlignIcon(a, row->devicePixelRatioF()));
        align[a]->setAutoExclusive(true);
        layout->addWidget(align[a]);
        QObject::connect(align[a], &QToolButton::clicked, row, [aligned, a] { aligned(a); });
    }
    layout->addStretch(1);
    return row;
}

void CStyleButtons::Load(bool b, bool i, bool u, int alignment) {
    bold->setChecked(b);
    italic->setChecked(i);
    underline->setChecked(u);
    align[std::clamp(alignment, 0, 2)]->setChecked(true);
}

// ---------------------------------------------------------------- info

CObjectInfoTab::CObjectInfoTab(CInspectorContext& context, QWidget* parent)
    : CInspectorTab(context, parent), m_x(CoordinateBox(this)), m_y(CoordinateBox(this)),
      m_angle(new QDoubleSpinBox(this)), m_kinds(new QStackedWidget(this)) {
    m_angle->setRange(0.0, 360.0);
    m_angle->setDecimals(1);
    m_angle->setWrapping(true);
    m_angle->setKeyboardTracking(false);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Caption(QStringLiteral("&x:"), m_x, this), 0, 0);
    grid->addWidget(m_x, 0, 1);
    grid->addWidget(Caption(QStringLiteral("&y:"), m_y, this), 0, 2);
    grid->addWidget(m_y, 0, 3);
    grid->addWidget(Caption(QStringLiteral("&Rotation:"), m_angle, this), 1, 0);
    grid->addWidget(m_angle, 1, 1);
    grid->addWidget(m_kinds, 2, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
    m_kinds->addWidget(new QWidget(m_kinds));
    m_kinds->addWidget(TextPage());
    m_kinds->addWidget(CounterPage());
    m_kinds->addWidget(HtmlPage());
    m_kinds->addWidget(FormPage());

    auto move = [this] {
        if (CPage* page = Page()) MoveInspectedTo(*page, m_x->value(), m_y->value());
        Applied();
    };
    connect(m_x, &QSpinBox::editingFinished, this, move);
    connect(m_y, &QSpinBox::editingFinished, this, move);
    connect(m_angle, &QDoubleSpinBox::editingFinished, this, [this] {
        if (CPage* page = Page())
            TurnInspectedTo(*page, m_angle->value() * 2.0 * std::numbers::pi / 360.0);
        Applied();
    });
}

QWidget* CObjectInfoTab::TextPage() {
    auto* page = new QWidget(m_kinds);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 6, 0, 0);
    m_face = new QComboBox(page);
    FillFaces(m_face);
    m_size = new QComboBox(page);
    for (int i = 1; i <= 7; ++i) m_size->addItem(QString::number(i));
    m_colour = new CColorControl(page);
    m_colour->setFixedSize(m_colour->sizeHint());
    m_plain = new QCheckBox(QStringLiteral("&Benyt standard tekst"), page);
    grid->addWidget(Caption(QStringLiteral("&Skrift:"), m_face, page), 0, 0);
    grid->addWidget(m_face, 0, 1, 1, 3);
    grid->addWidget(Caption(QStringLiteral("S&tørrelse:"), m_size, page), 1, 0);
    grid->addWidget(m_size, 1, 1);
    grid->addWidget(Caption(QStringLiteral("Farve:"), m_colour, page), 1, 2, Qt::AlignRight);
    grid->addWidget(m_colour, 1, 3);
    grid->addWidget(m_styles.Build(
                        page,
                        [this](int which, bool on) {
                            Restyle([which, on](CCharStyle& s) {
                                (which == 0 ? s.bold : which == 1 ? s.italic : s.underline) = on;
                            });
                        },
                        [this](int alignment) {
                            if (CPage* p = Page()) AlignInspectedText(*p, alignment);
                            Applied();
                        }),
                    2, 0, 1, 4);
    grid->addWidget(m_plain, 3, 0, 1, 4);
    grid->setColumnStretch(1, 1);

    connect(m_face, &QComboBox::activated, this, [this](int index) {
        Restyle([index](CCharStyle& s) { s.fontIndex = static_cast<uint16_t>(index); });
    });
    connect(m_size, &QComboBox::activated, this, [this](int index) {
        const int points = kTextSizes[std::clamp(index, 0, 6)];
        Restyle([points](CCharStyle& s) { s.fontSize = static_cast<uint16_t>(points); });
    });
    connect(m_colour, &CControlBase::changed, this, [this](int, int) {
        const int32_t colour = static_cast<int32_t>(m_colour->GetColor().GetCOLORREF());
        Restyle([colour](CCharStyle& s) { s.color = colour; });
    });
    connect(m_plain, &QCheckBox::clicked, this, [this](bool plain) {
        CPage* p = Page();
        if (p && SetInspectedTextAdvanced(*p, !plain) && !plain)
            pw::dialogs::AdvancedTextHelp(m_context.settings, m_context.ui);
        Applied();
    });
    return page;
}

QWidget* CObjectInfoTab::CounterPage() {
    auto* page = new QWidget(m_kinds);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 6, 0, 0);
    m_counter = new QComboBox(page);
    for (int i = 1; i <= CCounterObject::kStyleCount; ++i) m_counter->addItem(QStringLiteral("Type %1").arg(i));
    grid->addWidget(Caption(QStringLiteral("&Billede:"), m_counter, page), 0, 0);
    grid->addWidget(m_counter, 0, 1);
    grid->setColumnStretch(1, 1);
    connect(m_counter, &QComboBox::activated, this, [this](int style) {
        if (CPage* p = Page()) SetInspectedCounterStyle(*p, style);
        Applied();
    });
    return page;
}

QWidget* CObjectInfoTab::HtmlPage() {
    auto* page = new QWidget(m_kinds);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 6, 0, 0);
    m_html = new QPushButton(QStringLiteral("Rediger &HTML"), page);
    layout->addWidget(m_html);
    layout->addStretch(1);
    connect(m_html, &QPushButton::clicked, this, &CObjectInfoTab::editHtmlRequested);
    return page;
}

QWidget* CObjectInfoTab::FormPage() {
    auto* page = new QWidget(m_kinds);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 6, 0, 0);
    m_receiver = new QLineEdit(page);
    m_formProperties = new QPushButton(QStringLiteral("&Egenskaber..."), page);
    grid->addWidget(Caption(QStringLiteral("&Din email adresse:"), m_receiver, page), 0, 0, 1, 2);
    grid->addWidget(m_receiver, 1, 0, 1, 2);
    grid->addWidget(m_formProperties, 2, 0);
    grid->setColumnStretch(1, 1);
    connect(m_receiver, &QLineEdit::editingFinished, this, [this] {
        if (CPage* p = Page()) SetInspectedFormReceiver(*p, ToModel(m_receiver->text().trimmed()));
        Applied();
    });
    connect(m_formProperties, &QPushButton::clicked, this, [this] {
        const auto* form = Page() ? dynamic_cast<const CFormObject*>(InspectedObject(*Page())) : nullptr;
        if (!form) return;
        m_context.ui.Inform("Formular",
                            "Formularen sender sine felter med e-post til " +
                                ToUtf8(FromModel(form->GetReceiver())) + ".\n\nFelterne:\n" +
                                ToUtf8(FromModel(form->GetFormHtml())));
    });
    return page;
}

void CObjectInfoTab::Restyle(const std::function<void(CCharStyle&)>& change) {
    if (CPage* page = Page()) RestyleInspectedText(*page, change);
    Applied();
}

void CObjectInfoTab::Refresh() {
    CPage* page = Page();
    if (!EnableAll(page && CanInspect(*page, EInspectorNeed::Object))) {
        m_kinds->setCurrentIndex(kNoKind);
        return;
    }
    const CPageItem& item = *InspectedItem(*page);
    const CPageObject& object = item.Current();
    const DPOINT centre = object.GetCenter();
    m_x->setValue(static_cast<int>(std::floor(centre.x + 0.5)));
    m_y->setValue(static_cast<int>(std::floor(centre.y + 0.5)));
    m_angle->setValue(object.GetAngle() * 360.0 / (2.0 * std::numbers::pi));
    const CObjectSet* set = item.Set();
    m_angle->setEnabled(object.CanRotate() && page->SelectedItemCount() == 1 && set);

    switch (object.GetKind()) {
    case KIND_TEXT: {
        m_kinds->setCurrentIndex(kTextKind);
        const auto& text = static_cast<const CTextObject&>(object);
        const CCharStyle style = InspectedTextStyle(*page);
        m_face->setCurrentIndex(style.fontIndex);
        m_size->setCurrentIndex(SizeIndex(kTextSizes, 7, style.fontSize));
        m_colour->SetColor(CColor(static_cast<COLORREF>(style.color)));
        m_styles.Load(style.bold, style.italic, style.underline, text.Layout().alignment);
        m_plain->setChecked(!text.Advanced());
        break;
    }
    case KIND_COUNTER:
        m_kinds->setCurrentIndex(kCounterKind);
        m_counter->setCurrentIndex(static_cast<const CCounterObject&>(object).GetCounterStyle());
        break;
    case KIND_HTML:
        m_kinds->setCurrentIndex(kHtmlKind);
        break;
    case KIND_FORM:
        m_kinds->setCurrentIndex(kFormKind);
        m_receiver->setText(FromModel(static_cast<const CFormObject&>(object).GetReceiver()));
        break;
    default:
        m_kinds->setCurrentIndex(kNoKind);
        break;
    }
}

// ---------------------------------------------------------------- button label

CButtonTextTab::CButtonTextTab(CInspectorContext& context, QWidget* parent)
    : CInspectorTab(context, parent), m_face(new QComboBox(this)), m_size(new QComboBox(this)),
      m_text(new QLineEdit(this)), m_colour(new CColorControl(this)),
      m_shadow(new QCheckBox(QStringLiteral("B&enyt"), this)), m_distance(new QSpinBox(this)),
      m_shadowColour(new CColorControl(this)) {
    FillFaces(m_face);
    for (int size : kSizes) m_size->addItem(QString::number(size));
    m_colour->setFixedSize(m_colour->sizeHint());
    m_shadowColour->setFixedSize(m_shadowColour->sizeHint());
    m_distance->setRange(0, 20);
    m_distance->setKeyboardTracking(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Caption(QStringLiteral("&Tekst:"), m_text, this), 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 3);
    grid->addWidget(Caption(QStringLiteral("&Skrift:"), m_face, this), 1, 0);
    grid->addWidget(m_face, 1, 1, 1, 3);
    grid->addWidget(Caption(QStringLiteral("St&ørrelse:"), m_size, this), 2, 0);
    grid->addWidget(m_size, 2, 1);
    grid->addWidget(Caption(QStringLiteral("Farve:"), m_colour, this), 2, 2, Qt::AlignRight);
    grid->addWidget(m_colour, 2, 3);
    grid->addWidget(m_styles.Build(
                        this,
                        [this](int which, bool on) {
                            Apply([which, on](CButtonText& l) {
                                (which == 0 ? l.bold : which == 1 ? l.italic : l.underline) = on;
                            });
                        },
                        [this](int alignment) {
                            Apply([alignment](CButtonText& l) { l.alignment = alignment; });
                        }),
                    3, 0, 1, 4);
    auto* shadow = new QGroupBox(QStringLiteral("Skygge indstillinger"), this);
    auto* sg = new QGridLayout(shadow);
    sg->addWidget(m_shadow, 0, 0, 1, 2);
    sg->addWidget(Caption(QStringLiteral("&Afstand:"), m_distance, shadow), 1, 0);
    sg->addWidget(m_distance, 1, 1);
    sg->addWidget(Caption(QStringLiteral("Farve:"), m_shadowColour, shadow), 2, 0);
    sg->addWidget(m_shadowColour, 2, 1, Qt::AlignLeft);
    m_shadow->setParent(shadow);
    m_distance->setParent(shadow);
    m_shadowColour->setParent(shadow);
    grid->addWidget(shadow, 4, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);

    connect(m_text, &QLineEdit::editingFinished, this, [this] {
        const std::string text = ToModel(m_text->text());
        Apply([text](CButtonText& l) { l.text = text; });
    });
    connect(m_face, &QComboBox::activated, this, [this](int index) {
        const std::string face = ToModel(m_face->itemText(index));
        Apply([face](CButtonText& l) { l.font = face; });
    });
    connect(m_size, &QComboBox::activated, this, [this](int index) {
        const int size = kSizes[std::clamp(index, 0, 15)];
        Apply([size](CButtonText& l) { l.fontSize = size; });
    });
    connect(m_colour, &CControlBase::changed, this, [this](int, int) {
        const CColor c = m_colour->GetColor();
        Apply([c](CButtonText& l) { l.color = c; });
    });
    connect(m_shadow, &QCheckBox::clicked, this, [this](bool on) {
        Apply([on](CButtonText& l) { l.shadow = on; });
    });
    connect(m_distance, &QSpinBox::editingFinished, this, [this] {
        const int d = m_distance->value();
        Apply([d](CButtonText& l) { l.shadowDistance = d; });
    });
    connect(m_shadowColour, &CControlBase::changed, this, [this](int, int) {
        const CColor c = m_shadowColour->GetColor();
        Apply([c](CButtonText& l) { l.shadowColor = c; });
    });
}

void CButtonTextTab::Apply(const std::function<void(CButtonText&)>& change) {
    CFailure refused;
    if (CPage* page = Page()) EditButtonText(*page, change, &refused);
    // Reloaded before the message, so the field shows what the record kept.
    Applied();
    if (refused) m_context.ui.Error("Knap tekst", refused.Detail());
}

void CButtonTextTab::Refresh() {
    CPage* page = Page();
    if (!EnableAll(page && CanInspect(*page, EInspectorNeed::ButtonText))) return;
    const CButtonText& label =
        *static_cast<const CShapeObject*>(InspectedObject(*page))->GetButtonText();
    m_text->setText(FromModel(label.text));
    const int face = m_face->findText(FromModel(label.font), Qt::MatchFixedString);
    m_face->setCurrentIndex(face);
    m_size->setCurrentIndex(SizeIndex(kSizes, 16, label.fontSize));
    m_colour->SetColor(label.color);
    m_styles.Load(label.bold, label.italic, label.underline, label.alignment);
    m_shadow->setChecked(label.shadow);
    m_distance->setValue(label.shadowDistance);
    m_shadowColour->SetColor(label.shadowColor);
}

// ---------------------------------------------------------------- alternative text

CAltTextTab::CAltTextTab(CInspectorContext& context, QWidget* parent)
    : CInspectorTab(context, parent), m_text(new QLineEdit(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Caption(QStringLiteral("&Alternativ tekst:"), m_text, this));
    layout->addWidget(m_text);
    layout->addStretch(1);
    connect(m_text, &QLineEdit::editingFinished, this, [this] {
        CFailure refused;
        if (CPage* page = Page()) EditAltText(*page, ToModel(m_text->text()), &refused);
        // Reloaded before the message, so the field shows what the record kept.
        Applied();
        if (refused) m_context.ui.Error("Alternativ tekst", refused.Detail());
    });
}

void CAltTextTab::Refresh() {
    CPage* page = Page();
    const std::string* text =
        page && CanInspect(*page, EInspectorNeed::Object) ? InspectedObject(*page)->GetAltText() : nullptr;
    if (!EnableAll(text != nullptr)) {
        m_text->clear();
        return;
    }
    m_text->setText(FromModel(*text));
}
