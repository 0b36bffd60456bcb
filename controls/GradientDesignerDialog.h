#pragma once
#include "services/Gradient.h"
#include <QDialog>

class CGradientDesignerControl;
class QComboBox;
class QPushButton;

// The modal "Gradient Designer": a designer control, a combo box of the
// predefined gradients (plus "custom", shown once the user edits), "&Mirror"
// and OK/Cancel. Picking a predefined entry loads it into the designer.
class CGradientDesignerDialog : public QDialog {
    Q_OBJECT
public:
    // Item identifiers of the dialog's parts (their object names too).
    static constexpr int kDesignerItem = 6000;
    static constexpr int kComboItem = 6001;
    static constexpr int kMirrorItem = 6003;

    explicit CGradientDesignerDialog(const GRADIENTCOLORS& gradient, QWidget* parent = nullptr);

    // The edited gradient: colours, stops with their positions, kind (4 once
    // edited).
    GRADIENTCOLORS Result() const;

    CGradientDesignerControl* Designer() const { return m_designer; }
    QComboBox* Combo() const { return m_combo; }
    QPushButton* MirrorButton() const { return m_mirror; }

private:
    void ShowKind();

    CGradientDesignerControl* m_designer = nullptr;
    QComboBox* m_combo = nullptr;
    QPushButton* m_mirror = nullptr;
};
