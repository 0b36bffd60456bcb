#include "app/dialogs/DialogKit.h"
#include "services/Cp1252.h"
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPainter>
#include <QStyleOptionButton>

namespace pw::dialogs {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString FromModel(const std::string& cp1252) {
    return FromUtf8(cp1252::ToUtf8(cp1252));
}

std::string ToModel(const QString& text) {
    return cp1252::FromUtf8(ToUtf8(text));
}

QColor ToQColor(const CColor& colour) {
    const COLORREF ref = colour.GetCOLORREF();
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

CColor ToCColor(const QColor& colour) {
    return CColor(uint8_t(colour.red()), uint8_t(colour.green()), uint8_t(colour.blue()));
}

QDialogButtonBox* OkCancelButtons(QWidget* dialog) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuller"));
    if (auto* d = qobject_cast<QDialog*>(dialog)) {
        QObject::connect(box, &QDialogButtonBox::accepted, d, &QDialog::accept);
        QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
    }
    return box;
}

} // namespace pw::dialogs

CColourSwatch::CColourSwatch(const CColor& colour, QWidget* parent)
    : QPushButton(parent), m_colour(colour) {
    setMinimumSize(48, 24);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QPushButton::clicked, this, &CColourSwatch::Pick);
}

void CColourSwatch::SetColour(const CColor& colour) {
    if (colour.GetCOLORREF() == m_colour.GetCOLORREF()) return;
    m_colour = colour;
    update();
    emit colourChanged();
}

void CColourSwatch::Pick() {
    const QColor chosen = QColorDialog::getColor(pw::dialogs::ToQColor(m_colour), this);
    if (chosen.isValid()) SetColour(pw::dialogs::ToCColor(chosen));
}

void CColourSwatch::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect inner = rect().adjusted(7, 6, -7, -6);
    painter.fillRect(inner, pw::dialogs::ToQColor(m_colour));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
}
