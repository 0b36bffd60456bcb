#pragma once
#include "controls/ControlBase.h"

// A static picture: kind 0 information, 1 warning, 2 error, 3 tip, any other
// a question mark. Centred in the control; sends nothing.
class CIconControl : public CControlBase {
    Q_OBJECT
public:
    explicit CIconControl(QWidget* parent = nullptr);

    void Init(int kind);
    int Kind() const { return m_kind; }
    // The resource id the kind shows.
    static int ResourceFor(int kind);

    QSize sizeHint() const override { return {32, 32}; }

protected:
    void Draw(QPainter& painter) override;

private:
    int m_kind = 0;
};
