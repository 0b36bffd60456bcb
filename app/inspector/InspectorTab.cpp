#include "app/inspector/InspectorTab.h"
#include "controls/ControlCodes.h"
#include "controls/SliderControl.h"
#include "controls/WheelControl.h"
#include <QGridLayout>

namespace pw::inspector {
QString PercentText(int value) {
    return QString::asprintf("%3d%%", value);
}

QString DegreesText(int value) {
    return QString::asprintf("%d", value);
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}
} // namespace pw::inspector

CInspectorTab::CInspectorTab(CInspectorContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {}

bool CInspectorTab::EnableAll(bool enable) {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setEnabled(enable);
    return enable;
}

void CInspectorTab::Applied() {
    emit applied();
}

// ---------------------------------------------------------------- rows

CPercentRow::CPercentRow(QGridLayout* grid, int row, const QString& caption, QWidget* parent,
                         std::function<void(int)> apply)
    : QObject(parent), m_slider(new CSliderControl(parent)), m_value(new QLabel(parent)) {
    m_slider->Init(101, 0, false);
    m_slider->setMinimumWidth(110);
    m_value->setMinimumWidth(m_value->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 4);
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(pw::inspector::Caption(caption, m_slider, parent), row, 0);
    grid->addWidget(m_slider, row, 1);
    grid->addWidget(m_value, row, 2);
    ShowValue(0);
    connect(m_slider, &CControlBase::changing, this, [this](int, int) { ShowValue(Value()); });
    connect(m_slider, &CControlBase::changed, this, [this, apply = std::move(apply)](int, int) {
        ShowValue(Value());
        apply(Value());
    });
}

void CPercentRow::SetValue(int value) {
    m_slider->SetValue(value);
    ShowValue(value);
}

int CPercentRow::Value() const {
    return m_slider->GetValue();
}

void CPercentRow::ShowValue(int value) {
    m_value->setText(pw::inspector::PercentText(value));
}

CDirectionRow::CDirectionRow(QGridLayout* grid, int row, const QString& caption, QWidget* parent,
                             std::function<void(int)> apply)
    : QObject(parent), m_wheel(new CWheelControl(parent)), m_value(new QLabel(parent)) {
    m_wheel->Init(360, 0, 2, 1);
    m_wheel->setFixedSize(m_wheel->sizeHint());
    m_value->setText(pw::inspector::DegreesText(0));
    grid->addWidget(pw::inspector::Caption(caption, m_wheel, parent), row, 0);
    grid->addWidget(m_wheel, row, 1, Qt::AlignLeft);
    grid->addWidget(m_value, row, 2);
    connect(m_wheel, &CControlBase::changing, this,
            [this](int, int) { m_value->setText(pw::inspector::DegreesText(Value())); });
    connect(m_wheel, &CControlBase::changed, this, [this, apply = std::move(apply)](int, int) {
        m_value->setText(pw::inspector::DegreesText(Value()));
        apply(Value());
    });
}

void CDirectionRow::SetValue(int degrees) {
    m_wheel->WheelSetValue(degrees);
    m_value->setText(pw::inspector::DegreesText(degrees));
}

int CDirectionRow::Value() const {
    return m_wheel->WheelGetValue();
}
