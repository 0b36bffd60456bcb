#include "app/inspector/EffectsTabs.h"
#include "controls/ColorControl.h"
#include "model/Effects.h"
#include "model/Page.h"
#include "model/PageObject.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QRadioButton>

using pw::inspector::Caption;

namespace {
const QStringList kThreeTypes = {QStringLiteral("Ydre"), QStringLiteral("Indre"),
                                 QStringLiteral("Begge")};

QGridLayout* Grid(QWidget* page) {
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(20, 1);
    return grid;
}

CColorControl* ColourButton(QGridLayout* grid, int row, QWidget* page,
                            const std::function<void(CColor)>& apply) {
    auto* colour = new CColorControl(page);
    colour->setFixedSize(colour->sizeHint());
    grid->addWidget(Caption(QStringLiteral("Farve:"), colour, page), row, 0);
    grid->addWidget(colour, row, 1, Qt::AlignLeft);
    QObject::connect(colour, &CControlBase::changed, page,
                     [colour, apply](int, int) { apply(colour->GetColor()); });
    return colour;
}
} // namespace

// ---------------------------------------------------------------- common

void CEffectTab::Change(const std::function<void(CEffects&)>& change) {
    CPage* page = Page();
    if (!page) return;
    const CPageObject* object = InspectedObject(*page);
    if (!object || !object->GetEffects()) return;
    CEffects probe(*object->GetEffects());
    EditEffects(*page, On(probe), change);
    Applied();
}

void CEffectTab::AddSwitchAndType(QGridLayout* grid, const QStringList& types,
                                  std::function<int32_t&(CEffects&)> type) {
    m_on = new QCheckBox(QStringLiteral("&Slå til:"), this);
    m_on->setLayoutDirection(Qt::RightToLeft);
    grid->addWidget(m_on, 0, 0, 1, 2, Qt::AlignLeft);
    connect(m_on, &QCheckBox::clicked, this, [this](bool on) {
        CPage* page = Page();
        if (!page) return;
        // Switching is always shown, on or off.
        EditEffects(*page, true, [this, on](CEffects& e) { On(e) = on; });
        Applied();
    });
    m_type = new QComboBox(this);
    m_type->addItems(types);
    m_typeField = std::move(type);
    grid->addWidget(Caption(QStringLiteral("&Type:"), m_type, this), 1, 0);
    grid->addWidget(m_type, 1, 1, 1, 2);
    connect(m_type, &QComboBox::activated, this,
            [this](int index) { Change([this, index](CEffects& e) { m_typeField(e) = index; }); });
}

const CEffects* CEffectTab::LoadCommon() {
    CPage* page = Page();
    if (!EnableAll(page && CanInspect(*page, EInspectorNeed::Effects))) return nullptr;
    const CEffects* effects = InspectedObject(*page)->GetEffects();
    if (!EnableAll(effects != nullptr)) return nullptr;
    m_on->setChecked(On(const_cast<CEffects&>(*effects)));
    m_type->setCurrentIndex(m_typeField(const_cast<CEffects&>(*effects)));
    return effects;
}

// ---------------------------------------------------------------- shadow

CShadowTab::CShadowTab(CInspectorContext& context, QWidget* parent) : CEffectTab(context, parent) {
    QGridLayout* grid = Grid(this);
    AddSwitchAndType(grid, kThreeTypes, [](CEffects& e) -> int32_t& { return e.shadowType; });
    m_distance = new CPercentRow(grid, 2, QStringLiteral("&Forskydning:"), this, [this](int v) {
        Change([v](CEffects& e) { e.shadowDistance = v; });
    });
    m_softness = new CPercentRow(grid, 3, QStringLiteral("&Blødhed:"), this,
                                 [this](int v) { Change([v](CEffects& e) { e.shadowSize = v; }); });
    m_transparency = new CPercentRow(grid, 4, QStringLiteral("&Gennemsigtighed:"), this, [this](int v) {
        Change([v](CEffects& e) { e.shadowTransparency = v; });
    });
    m_direction = new CDirectionRow(grid, 5, QStringLiteral("&Retning:"), this,
                                    [this](int v) { Change([v](CEffects& e) { e.shadowAngle = v; }); });
    m_colour = ColourButton(grid, 6, this,
                            [this](CColor c) { Change([c](CEffects& e) { e.shadowColour = c; }); });
}

bool& CShadowTab::On(CEffects& effects) const {
    return effects.shadowOn;
}

void CShadowTab::Refresh() {
    const CEffects* e = LoadCommon();
    if (!e) return;
    m_distance->SetValue(e->shadowDistance);
    m_softness->SetValue(e->shadowSize);
    m_transparency->SetValue(e->shadowTransparency);
    m_direction->SetValue(e->shadowAngle);
    m_colour->SetColor(e->shadowColour);
}

// ---------------------------------------------------------------- edges

CEdgesTab::CEdgesTab(CInspectorContext& context, QWidget* parent) : CEffectTab(context, parent) {
    QGridLayout* grid = Grid(this);
    AddSwitchAndType(grid, kThreeTypes + QStringList{QStringLiteral("Indgravering")},
                     [](CEffects& e) -> int32_t& { return e.edgesType; });
    m_softness = new CPercentRow(grid, 2, QStringLiteral("&Blødhed:"), this,
                                 [this](int v) { Change([v](CEffects& e) { e.edgesSize = v; }); });
    m_transparency = new CPercentRow(grid, 3, QStringLiteral("&Gennemsigtighed:"), this, [this](int v) {
        Change([v](CEffects& e) { e.edgesTransparency = v; });
    });
    m_direction = new CDirectionRow(grid, 4, QStringLiteral("&Retning:"), this,
                                    [this](int v) { Change([v](CEffects& e) { e.edgesAngle = v; }); });
    m_raised = new QRadioButton(QStringLiteral("&Op"), this);
    m_sunken = new QRadioButton(QStringLiteral("&Ned"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_raised, 0);
    group->addButton(m_sunken, 1);
    auto* styles = new QHBoxLayout;
    styles->addWidget(m_raised);
    styles->addWidget(m_sunken);
    styles->addStretch(1);
    grid->addLayout(styles, 5, 1, 1, 2);
    connect(group, &QButtonGroup::idClicked, this,
            [this](int style) { Change([style](CEffects& e) { e.edgesStyle = style; }); });
}

bool& CEdgesTab::On(CEffects& effects) const {
    return effects.edgesOn;
}

void CEdgesTab::Refresh() {
    const CEffects* e = LoadCommon();
    if (!e) return;
    m_softness->SetValue(e->edgesSize);
    m_transparency->SetValue(e->edgesTransparency);
    m_direction->SetValue(e->edgesAngle);
    (e->edgesStyle == 1 ? m_sunken : m_raised)->setChecked(true);
}

// ---------------------------------------------------------------- glow

CGlowTab::CGlowTab(CInspectorContext& context, QWidget* parent) : CEffectTab(context, parent) {
    QGridLayout* grid = Grid(this);
    AddSwitchAndType(grid, kThreeTypes, [](CEffects& e) -> int32_t& { return e.glowType; });
    m_softness = new CPercentRow(grid, 2, QStringLiteral("&Blødhed:"), this,
                                 [this](int v) { Change([v](CEffects& e) { e.glowSize = v; }); });
    m_transparency = new CPercentRow(grid, 3, QStringLiteral("&Gennemsigtighed:"), this, [this](int v) {
        Change([v](CEffects& e) { e.glowTransparency = v; });
    });
    m_colour = ColourButton(grid, 4, this,
                            [this](CColor c) { Change([c](CEffects& e) { e.glowColour = c; }); });
}

bool& CGlowTab::On(CEffects& effects) const {
    return effects.glowOn;
}

void CGlowTab::Refresh() {
    const CEffects* e = LoadCommon();
    if (!e) return;
    m_softness->SetValue(e->glowSize);
    m_transparency->SetValue(e->glowTransparency);
    m_colour->SetColor(e->glowColour);
}
