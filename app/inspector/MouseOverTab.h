#pragma once
#include "app/inspector/InspectorTab.h"

class QCheckBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The mouse-over window's page: make or remove the twin the browser shows
// under the mouse, choose which of the two the other windows edit, shift
// the twin, and keep the two texts alike.
class CMouseOverTab final : public CInspectorTab {
    Q_OBJECT
public:
    CMouseOverTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    QPushButton* Create() const { return m_create; }
    QPushButton* Remove() const { return m_remove; }
    QRadioButton* Original() const { return m_original; }
    QRadioButton* Twin() const { return m_twin; }
    QSpinBox* OffsetX() const { return m_x; }
    QSpinBox* OffsetY() const { return m_y; }
    QCheckBox* SameText() const { return m_same; }

private:
    QPushButton* m_create;
    QPushButton* m_remove;
    QRadioButton* m_original;
    QRadioButton* m_twin;
    QSpinBox* m_x;
    QSpinBox* m_y;
    QCheckBox* m_same;
};
