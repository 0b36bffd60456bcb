#pragma once
#include "controls/ControlBase.h"
#include "image/Color.h"

class QColorDialog;

// A colour swatch button. A click opens the colour dialog preset to the
// colour; OK takes the chosen colour and sends changed(id, kColorChanged).
class CColorControl : public CControlBase {
    Q_OBJECT
public:
    explicit CColorControl(QWidget* parent = nullptr);

    // Takes *colour, or keeps the current colour when colour is null.
    void Init(const CColor* colour);
    void SetColor(const CColor& colour);
    CColor GetColor() const { return m_colour; }

    QSize sizeHint() const override { return {40, 22}; }

protected:
    void Draw(QPainter& painter) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Choose();
    CColor m_colour{0, 0, 0};
};

namespace ctl {
// Draws the control's 3-D frame (outer 255/0, inner bevel 223/128) inside r
// and returns the rectangle within it.
QRect DrawRaisedFrame(QPainter& p, const QRect& r);
QRect DrawSunkenFrame(QPainter& p, const QRect& r);
// Opens the modal colour dialog preset to `colour`; true and the new colour
// on OK. The dialog is a child of `parent`, so tests can find and answer it.
bool ChooseColour(QWidget* parent, CColor& colour);
QColor ToQColor(const CColor& colour);
CColor FromQColor(const QColor& colour);
} // namespace ctl
