#pragma once
#include "controls/ControlBase.h"

// A round dial with a fixed number of detent positions (a direction, say).
// Position 0 points right; values count counter-clockwise on screen.
// Signals: changing(id, kWheelChanging) while dragging moves the value,
// changed(id, kWheelChanged) on release.
class CWheelControl : public CControlBase {
    Q_OBJECT
public:
    explicit CWheelControl(QWidget* parent = nullptr);

    // positions >= 1 detents (fewer count as 1); the value as WheelSetValue;
    // ringWidth the ring's width in pixels (at least 1); style 0 marks the
    // value with a knob on the ring, 1 with a pointer from the centre.
    void Init(int positions, int value, int ringWidth, int style);
    // Any integer; taken modulo the position count.
    void WheelSetValue(int value);
    int WheelGetValue() const;
    int Positions() const { return m_positions; }

    // The dial: its diameter (the smaller client side, made odd) and centre.
    int Diameter() const;
    QPointF Center() const;
    // The counter-clockwise detent nearest to a point of the client area.
    int ValueAt(QPoint pos) const;

    QSize sizeHint() const override { return {41, 41}; }

protected:
    void Draw(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Arrows turn by one position, Page Up/Down by a twenty-fourth of the
    // dial; each key is a complete change.
    void keyPressEvent(QKeyEvent* event) override;
    void CancelTracking() override;

private:
    // Clockwise detent index under the point, 0..positions (positions = 0).
    int StoredAt(QPoint pos) const;
    void Track(QPoint pos);
    void FinishTracking();

    int m_positions = 8;
    int m_stored = 8; // clockwise: positions - (value mod positions)
    int m_ringWidth = 2;
    int m_style = 1;
};
