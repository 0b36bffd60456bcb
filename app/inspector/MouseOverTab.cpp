#include "app/inspector/MouseOverTab.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

using pw::inspector::Caption;

namespace {
QSpinBox* OffsetBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(-CPageObject::kMaxOffset, CPageObject::kMaxOffset);
    box->setKeyboardTracking(false);
    return box;
}
} // namespace

CMouseOverTab::CMouseOverTab(CInspectorContext& context, QWidget* parent)
    : CInspectorTab(context, parent), m_create(new QPushButton(QStringLiteral("S&kab MusOver"), this)),
      m_remove(new QPushButton(QStringLiteral("F&jern MusOver"), this)),
      m_original(new QRadioButton(QStringLiteral("&Originalt objekt"), this)),
      m_twin(new QRadioButton(QStringLiteral("&MusOver objekt"), this)), m_x(OffsetBox(this)),
      m_y(OffsetBox(this)),
      m_same(new QCheckBox(QStringLiteral("&Benyt samme tekst for MusOver og original"), this)) {
    auto* grid = new QGridLayout(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_create);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 0, 1, 4);
    grid->addWidget(m_original, 1, 0, 1, 4);
    grid->addWidget(m_twin, 2, 0, 1, 4);
    grid->addWidget(Caption(QStringLiteral("Offset MusOver:"), m_x, this), 3, 0, 1, 4);
    grid->addWidget(Caption(QStringLiteral("&x:"), m_x, this), 4, 0);
    grid->addWidget(m_x, 4, 1);
    grid->addWidget(Caption(QStringLiteral("&y:"), m_y, this), 4, 2);
    grid->addWidget(m_y, 4, 3);
    grid->addWidget(m_same, 5, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);

    auto after = [this](bool (*edit)(CPage&)) {
        return [this, edit] {
            if (CPage* page = Page()) edit(*page);
            Applied();
        };
    };
    connect(m_create, &QPushButton::clicked, this, after(&AddInspectedMouseOver));
    connect(m_remove, &QPushButton::clicked, this, after(&RemoveInspectedMouseOver));
    connect(m_original, &QRadioButton::clicked, this, [this] {
        if (CPage* page = Page()) EditInspectedTwin(*page, false);
        Applied();
    });
    connect(m_twin, &QRadioButton::clicked, this, [this] {
        if (CPage* page = Page()) EditInspectedTwin(*page, true);
        Applied();
    });
    auto offset = [this] {
        if (CPage* page = Page()) SetInspectedMouseOverOffset(*page, m_x->value(), m_y->value());
        Applied();
    };
    connect(m_x, &QSpinBox::editingFinished, this, offset);
    connect(m_y, &QSpinBox::editingFinished, this, offset);
    connect(m_same, &QCheckBox::clicked, this, [this](bool same) {
        if (CPage* page = Page()) SetInspectedSyncTwins(*page, same);
        Applied();
    });
}

void CMouseOverTab::Refresh() {
    CPage* page = Page();
    if (!EnableAll(page && CanInspect(*page, EInspectorNeed::MouseOver))) return;
    const CPageItem& item = *InspectedItem(*page);
    const bool twin = item.HasMouseOver();
    m_create->setEnabled(CanAddMouseOver(*page));
    m_remove->setEnabled(twin);
    for (QWidget* w : {static_cast<QWidget*>(m_original), static_cast<QWidget*>(m_twin),
                       static_cast<QWidget*>(m_x), static_cast<QWidget*>(m_y),
                       static_cast<QWidget*>(m_same)})
        w->setEnabled(twin);
    (item.IsEditingMouseOver() ? m_twin : m_original)->setChecked(true);
    m_x->setValue(twin ? item.MouseOver()->GetOffsetX() : 0);
    m_y->setValue(twin ? item.MouseOver()->GetOffsetY() : 0);
    m_same->setChecked(item.SyncTwins());
}
