#pragma once
#include "controls/ControlBase.h"
#include "services/Gradient.h"
#include <vector>

// Edits the colour stops of a gradient on a band. The start colour marker
// sits left of the band, the end colour marker right of it, and one handle
// per stop below it (left half the colour before the stop, right half the
// colour after it).
//
// Mouse: a click on a marker or on a half of a handle opens the colour dialog
// for that colour; a click in the band inserts a stop there in the band's
// colour; a pressed handle follows the mouse along the band between its
// neighbours, and dropping it well below the control removes the stop. Every
// completed change rebuilds the band and sends changed(id,
// kGradientDesignerChanged).
class CGradientDesignerControl : public CControlBase {
    Q_OBJECT
public:
    // Marker identifiers besides handle indexes.
    static constexpr int kStartMarker = -1;
    static constexpr int kEndMarker = -2;
    static constexpr int kNoMarker = -3;

    explicit CGradientDesignerControl(QWidget* parent = nullptr);

    // Takes the gradient to edit and places its handles.
    void Init(const GRADIENTCOLORS& gradient);
    // Rebuilds one handle per stop of the current gradient: positions held to
    // [0, 1], handle offset = trunc(band width × position), then kept
    // strictly increasing (a forward pass pushes a handle that sits on or
    // left of its predecessor one pixel past it, a backward pass pulls
    // handles back inside the band).
    void InsertColors();
    // Adds a stop at a band offset with its two colours; returns its index.
    int NewHandle(int offset, const CColor& before, const CColor& after);
    // Reverses the gradient: start and end swap, each stop's two colours
    // swap, positions become 1 - position and the handle order reverses.
    // Sends the change.
    void Mirror();
    // Repaints a handle after its stop colours changed.
    void UpdateHandleColors(int index);

    // The edited gradient; a stop keeps its exact position until its handle
    // is moved, then it is offset / band width.
    const GRADIENTCOLORS& GetGradient() const { return m_gradient; }
    int HandleCount() const { return static_cast<int>(m_offsets.size()); }
    int HandleOffset(int index) const { return m_offsets.at(static_cast<std::size_t>(index)); }
    // The marker last clicked: a handle index, kStartMarker, kEndMarker or
    // kNoMarker.
    int Selected() const { return m_selected; }

    // Geometry, for the owner and for tests.
    int BandWidth() const;
    QRect BandRect() const;
    QRect MarkerRect(int marker) const;
    QPoint HandlePoint(int index) const; // the handle's tip, under the band

    QSize sizeHint() const override { return {363, 41}; }
    QSize minimumSizeHint() const override { return {120, 41}; }

protected:
    void Draw(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void CancelTracking() override;

private:
    // Marker under a point and, for a handle, whether its left half was hit.
    int MarkerAt(QPoint pos, bool* leftHalf) const;
    void KeepIncreasing();
    void Changed();
    // Opens the colour dialog for a colour of the gradient.
    bool EditColour(CColor& colour);

    GRADIENTCOLORS m_gradient;
    std::vector<int> m_offsets; // per stop, pixels from the band's left edge
    int m_selected = kNoMarker;
    int m_pressed = kNoMarker;
    bool m_pressedLeft = false;
    bool m_dragging = false;
    QPoint m_pressPos;
    int m_bandWidth = 0; // the width the offsets were made for
};
