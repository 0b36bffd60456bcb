#pragma once
#include "controls/ControlBase.h"
#include "services/Gradient.h"
#include <cstdint>

// Shows a gradient as a colour band 4 pixels narrower than the control. A
// click opens the modal "Gradient Designer"; OK copies the edited colours,
// stops and kind in, rebuilds the band and sends changed(id,
// kGradientChanged); Cancel changes and sends nothing.
class CGradientControl : public CControlBase {
    Q_OBJECT
public:
    explicit CGradientControl(QWidget* parent = nullptr);

    // Starts with predefined gradient 0.
    void Init();
    // Copies colours, stops and kind, rebuilds the band and repaints.
    void ChangeGradient(const GRADIENTCOLORS& gradient);
    // Copies the same fields out.
    void CopyCurrentGradient(GRADIENTCOLORS& gradient) const;
    GRADIENTCOLORS* GetCurrentGradient() { return &m_gradient; }
    const GRADIENTCOLORS* GetCurrentGradient() const { return &m_gradient; }
    bool IsGradientEqual(const GRADIENTCOLORS* gradient) const;
    // The current gradient into `length` pixels of 3 bytes (r, g, b).
    void BuildColorBand(uint8_t* band, int length) const;
    // The band's length: the client width less 4 (at least 1).
    int BandLength() const;

    // The shared gradient helpers, under the names the owner knows them by.
    static int GetPredefinedNo();
    static void GetPredefinedGradient(GRADIENTCOLORS& gradient, int no);
    static void BuildColorBand(const GRADIENTCOLORS* gradient, uint8_t* band, int length);

    QSize sizeHint() const override { return {120, 20}; }

protected:
    void Draw(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Design();
    GRADIENTCOLORS m_gradient;
};
