#pragma once
#include "controls/ControlBase.h"

// A horizontal slider over `count` discrete values 0..count-1 with a thumb
// picture along the top or the bottom edge. The track runs from half a thumb
// width inside the left edge to half a thumb width inside the right edge.
// Signals: changing(id, kSliderChanging) on press and on every move while the
// button is held, changed(id, kSliderChanged) on release.
class CSliderControl : public CControlBase {
    Q_OBJECT
public:
    explicit CSliderControl(QWidget* parent = nullptr);

    // Count clamped to 2..65536, value to 0..count-1; the thumb sits along the
    // top edge when thumbAtTop, else along the bottom edge.
    void Init(int count, int value, bool thumbAtTop);
    void SetValue(int value);
    void SetValue(int count, int value);
    int GetValue() const { return m_value; }
    int GetCount() const { return m_count; }

    // value = (x - start) * (count - 1) / (end - start - 1) with x held to
    // [start, end - 1].
    int ValueAt(int x) const;
    // Where the thumb picture is drawn for the current value.
    QRect ThumbRect() const;
    int TrackStart() const;
    int TrackEnd() const;

    QSize sizeHint() const override { return {120, 20}; }

protected:
    void Draw(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Arrows one step, Page Up/Down ten, Home/End the ends; each key is a
    // complete change.
    void keyPressEvent(QKeyEvent* event) override;
    void CancelTracking() override;

private:
    QSize ThumbSize() const;
    QRect ThumbRectFor(int value) const;
    // Moves to the value, repainting only the old and new thumb places.
    bool Move(int value);

    int m_count = 101;
    int m_value = 0;
    bool m_thumbAtTop = false;
};
