#pragma once
#include "image/Color.h"
#include <QObject>

// The drawing tools of the toolbox. The numbers are the tool ids the page
// commands and the stored settings use.
enum class ETool : int {
    Arrow = 1,
    Text = 3,
    Rectangle = 4,
    Circle = 5,
    Picture = 7,
    Pipette = 8,
    Counter = 9,
    Html = 10,
    Form = 11,
};

// What every page window of the designer shares: the tool chosen in the
// toolbox, the toolbox's current colour and the colour the pipette picked.
// The main window owns one; page views read it on every mouse event.
class CEditorContext : public QObject {
    Q_OBJECT
public:
    explicit CEditorContext(QObject* parent = nullptr) : QObject(parent) {}

    ETool Tool() const { return m_tool; }
    void SetTool(ETool tool) {
        if (tool == m_tool) return;
        m_tool = tool;
        emit toolChanged(tool);
    }
    CColor CurrentColor() const { return m_current; }
    void SetCurrentColor(CColor colour) {
        m_current = colour;
        emit currentColorChanged();
    }
    CColor PickedColor() const { return m_picked; }
    void SetPickedColor(CColor colour) {
        m_picked = colour;
        emit pickedColorChanged();
    }

signals:
    void toolChanged(ETool tool);
    void currentColorChanged();
    void pickedColorChanged();

private:
    ETool m_tool = ETool::Arrow;
    CColor m_current;
    CColor m_picked;
};
