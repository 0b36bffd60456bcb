#pragma once
#include "image/Color.h"
#include <QPushButton>
#include <QString>
#include <string>

class QDialogButtonBox;
class QWidget;

// Small pieces every dialog of the designer shares: text conversions at the
// GUI boundary and a colour swatch button.
namespace pw::dialogs {

// Core texts in UTF-8 (settings, the port) and the model's Windows-1252 bytes.
QString FromUtf8(const std::string& text);
std::string ToUtf8(const QString& text);
QString FromModel(const std::string& cp1252);
std::string ToModel(const QString& text);

QColor ToQColor(const CColor& colour);
CColor ToCColor(const QColor& colour);

// OK and "Annuller" with Danish captions, wired to accept and reject.
QDialogButtonBox* OkCancelButtons(QWidget* dialog);

} // namespace pw::dialogs

// A button that shows a colour and lets the user pick another from the
// colour chooser. The swatch follows the button's size, so it stays sharp at
// any scale.
class CColourSwatch : public QPushButton {
    Q_OBJECT
public:
    explicit CColourSwatch(const CColor& colour, QWidget* parent = nullptr);
    CColor Colour() const { return m_colour; }
    void SetColour(const CColor& colour);

signals:
    void colourChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Pick();
    CColor m_colour;
};
