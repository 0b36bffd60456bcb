#include "app/dialogs/ChoiceDialog.h"
#include "app/dialogs/DialogKit.h"
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace pw::dialogs;

CChoiceDialog::CChoiceDialog(const CChoice& choice, QWidget* parent)
    : QDialog(parent), m_checkInitial(choice.checkBoxInitial) {
    setWindowTitle(FromUtf8(choice.caption));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);
    auto* text = new QLabel(FromUtf8(choice.text), this);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setMinimumWidth(380);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(text, 1);
    layout->addLayout(top);

    if (!choice.colourLabel.empty()) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(FromUtf8(choice.colourLabel), this);
        m_swatch = new CColourSwatch(choice.colourInitial, this);
        label->setBuddy(m_swatch);
        row->addStretch(1);
        row->addWidget(label);
        row->addWidget(m_swatch);
        layout->addLayout(row);
    }
    if (!choice.checkBox.empty()) {
        m_check = new QCheckBox(FromUtf8(choice.checkBox), this);
        m_check->setChecked(choice.checkBoxInitial);
        layout->addWidget(m_check);
    }

    auto* box = new QDialogButtonBox(this);
    for (size_t i = 0; i < choice.buttons.size(); ++i) {
        auto* button = box->addButton(FromUtf8(choice.buttons[i]), QDialogButtonBox::ActionRole);
        m_buttons.push_back(button);
        if (i == 0) button->setDefault(true);
        connect(button, &QPushButton::clicked, this, [this, i] {
            m_clicked = int(i);
            accept();
        });
    }
    layout->addWidget(box);
}

CChoiceResult CChoiceDialog::Result() const {
    CChoiceResult result;
    result.button = m_clicked;
    result.checked = m_check ? m_check->isChecked() : m_checkInitial;
    if (m_swatch) result.colour = m_swatch->Colour();
    return result;
}
