#pragma once
#include "image/Color.h"
#include "model/Tool.h"
#include <QObject>

// What every page window of the designer shares: the tool chosen in the
// toolbox, the toolbox's current colour, the colour the pipette picked and
// whether guides are locked.
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
    // Locked guides stay where they are: no page window drags or removes them.
    bool GuidesLocked() const { return m_guidesLocked; }
    void SetGuidesLocked(bool locked) { m_guidesLocked = locked; }
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
    bool m_guidesLocked = false;
};
