#pragma once
#include "services/UserInteraction.h"
#include <QDialog>
#include <vector>

class QAbstractButton;
class QCheckBox;
class CColourSwatch;

// A question with its own buttons, an optional check box and an optional
// colour swatch (the missing-picture dialog's "Benyt solid farve:"). Used by
// the port for choices that carry a colour; message boxes cannot hold one.
class CChoiceDialog : public QDialog {
    Q_OBJECT
public:
    CChoiceDialog(const CChoice& choice, QWidget* parent = nullptr);

    CChoiceResult Result() const;
    // For tests and scripts.
    QAbstractButton* Button(int index) const { return m_buttons.at(size_t(index)); }
    CColourSwatch* Swatch() const { return m_swatch; }
    QCheckBox* CheckBox() const { return m_check; }

private:
    std::vector<QAbstractButton*> m_buttons;
    QCheckBox* m_check = nullptr;
    CColourSwatch* m_swatch = nullptr;
    bool m_checkInitial = false;
    int m_clicked = -1;
};
