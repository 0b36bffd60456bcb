#pragma once
#include "model/ObjectEdits.h"
#include <QLabel>
#include <QString>
#include <QWidget>
#include <functional>

class CEditorContext;
class CPage;
class CSettings;
class CSliderControl;
class CUserInteraction;
class CWheelControl;
class QGridLayout;

// What every property page of the inspector works with: the page shown in
// the active page window (null when none), the toolbox's colours, the
// settings and the port for questions.
struct CInspectorContext {
    CPage* page = nullptr;
    CEditorContext& editor;
    CSettings& settings;
    CUserInteraction& ui;
    QWidget* dialogParent = nullptr;
};

// One tab of an inspector window. Refresh loads every control from the
// model (or disables them); the controls apply their change through the
// model's edits as soon as it is complete. Loading never applies anything:
// the pages listen only to signals that user actions send.
class CInspectorTab : public QWidget {
    Q_OBJECT
public:
    CInspectorTab(CInspectorContext& context, QWidget* parent = nullptr);
    virtual void Refresh() = 0;

signals:
    // A change went into the model: every page reloads (some edits, such as
    // the style presets, only repaint and tell no listener).
    void applied();

protected:
    CPage* Page() const { return m_context.page; }
    // Enables the page's controls when `enable`; returns it.
    bool EnableAll(bool enable);
    // The model changed (or refused to) through this page: every page reloads,
    // this one included (clamped values, normalised text, refused names).
    void Applied();

    CInspectorContext& m_context;
};

// A percent slider with its caption and its "%3d%%" value label: the label
// follows while the user drags, `apply` runs once on release.
class CPercentRow : public QObject {
    Q_OBJECT
public:
    CPercentRow(QGridLayout* grid, int row, const QString& caption, QWidget* parent,
                std::function<void(int)> apply);
    void SetValue(int value);
    int Value() const;
    CSliderControl* Slider() const { return m_slider; }
    QLabel* ValueLabel() const { return m_value; }

private:
    void ShowValue(int value);
    CSliderControl* m_slider;
    QLabel* m_value;
};

// A direction wheel with its "%d" label, degrees counted counter-clockwise.
class CDirectionRow : public QObject {
    Q_OBJECT
public:
    CDirectionRow(QGridLayout* grid, int row, const QString& caption, QWidget* parent,
                  std::function<void(int)> apply);
    void SetValue(int degrees);
    int Value() const;
    CWheelControl* Wheel() const { return m_wheel; }
    QLabel* ValueLabel() const { return m_value; }

private:
    CWheelControl* m_wheel;
    QLabel* m_value;
};

namespace pw::inspector {
QString PercentText(int value);
QString DegreesText(int value);
// A caption with a mnemonic whose buddy is `buddy`.
QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent);
} // namespace pw::inspector
