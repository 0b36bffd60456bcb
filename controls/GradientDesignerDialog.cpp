#include "controls/GradientDesignerDialog.h"
#include "controls/ControlCodes.h"
#include "controls/GradientDesignerControl.h"
#include "controls/GradientNames.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
// Dialog units of the dialog's font: a quarter of the average character
// width across, an eighth of the line height down.
QSize DialogUnits(const QWidget* w, int x, int y) {
    const QFontMetrics fm = w->fontMetrics();
    const double avg =
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
        52.0;
    return {static_cast<int>(x * avg / 4 + 0.5), static_cast<int>(y * fm.height() / 8.0 + 0.5)};
}
} // namespace

CGradientDesignerDialog::CGradientDesignerDialog(const GRADIENTCOLORS& gradient, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Gradient Designer"));
    setModal(true);

    m_designer = new CGradientDesignerControl(this);
    m_designer->SetId(kDesignerItem);
    m_designer->setObjectName(QString::number(kDesignerItem));
    const QSize designerSize = DialogUnits(this, 242, 25);
    m_designer->setMinimumWidth(designerSize.width());
    m_designer->setFixedHeight(std::max(designerSize.height(), m_designer->sizeHint().height()));
    m_designer->resize(designerSize.width(), m_designer->height());
    m_designer->Init(gradient);

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QString::number(kComboItem));
    for (int i = 0; i < ctl::kGradientNameCount; ++i) m_combo->addItem(ctl::GradientName(i));

    m_mirror = new QPushButton(QStringLiteral("&Mirror"), this);
    m_mirror->setObjectName(QString::number(kMirrorItem));
    m_mirror->setAutoDefault(false);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(m_combo, 1);
    row->addWidget(m_mirror);
    row->addSpacing(DialogUnits(this, 12, 0).width());
    row->addWidget(buttons);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_designer);
    column->addStretch(1);
    column->addLayout(row);

    ShowKind();
    connect(m_combo, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= GetPredefinedNo()) return;
        GRADIENTCOLORS g = m_designer->GetGradient();
        GetPredefinedGradient(g, index);
        m_designer->Init(g);
    });
    connect(m_mirror, &QPushButton::clicked, m_designer, &CGradientDesignerControl::Mirror);
    connect(m_designer, &CGradientDesignerControl::changed, this, [this] { ShowKind(); });

    const QSize least = DialogUnits(this, 250, 63);
    resize(sizeHint().expandedTo(least));
}

void CGradientDesignerDialog::ShowKind() {
    const int kind = m_designer->GetGradient().kind;
    m_combo->setCurrentIndex(kind >= 0 && kind < GetPredefinedNo() ? kind
                                                                    : ctl::kGradientNameCount - 1);
}

GRADIENTCOLORS CGradientDesignerDialog::Result() const {
    return m_designer->GetGradient();
}
