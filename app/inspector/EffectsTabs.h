#pragma once
#include "app/inspector/InspectorTab.h"
#include <functional>

class CColorControl;
class CEffects;
class QCheckBox;
class QComboBox;
class QRadioButton;

// The three pages of the effects window: cast shadow, edges and glow. A
// change to a switched-off effect is stored without undo or repainting; the
// switch itself and changes to a switched-on effect are one undo step each.
class CEffectTab : public CInspectorTab {
    Q_OBJECT
public:
    using CInspectorTab::CInspectorTab;
    QCheckBox* Switch() const { return m_on; }
    QComboBox* TypeBox() const { return m_type; }

protected:
    // The page's own switch in a record.
    virtual bool& On(CEffects& effects) const = 0;
    // Changes a field; live when the effect is on.
    void Change(const std::function<void(CEffects&)>& change);
    // The switch and the type combo every effect page starts with.
    void AddSwitchAndType(class QGridLayout* grid, const QStringList& types,
                          std::function<int32_t&(CEffects&)> type);
    // Loads switch and type; null when the page is disabled.
    const CEffects* LoadCommon();

    QCheckBox* m_on = nullptr;
    QComboBox* m_type = nullptr;
    std::function<int32_t&(CEffects&)> m_typeField;
};

class CShadowTab final : public CEffectTab {
    Q_OBJECT
public:
    CShadowTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    CPercentRow* Distance() const { return m_distance; }
    CPercentRow* Softness() const { return m_softness; }
    CPercentRow* Transparency() const { return m_transparency; }
    CDirectionRow* Direction() const { return m_direction; }
    CColorControl* Colour() const { return m_colour; }

protected:
    bool& On(CEffects& effects) const override;

private:
    CPercentRow* m_distance;
    CPercentRow* m_softness;
    CPercentRow* m_transparency;
    CDirectionRow* m_direction;
    CColorControl* m_colour;
};

class CEdgesTab final : public CEffectTab {
    Q_OBJECT
public:
    CEdgesTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    CPercentRow* Softness() const { return m_softness; }
    CPercentRow* Transparency() const { return m_transparency; }
    CDirectionRow* Direction() const { return m_direction; }
    QRadioButton* Raised() const { return m_raised; }
    QRadioButton* Sunken() const { return m_sunken; }

protected:
    bool& On(CEffects& effects) const override;

private:
    CPercentRow* m_softness;
    CPercentRow* m_transparency;
    CDirectionRow* m_direction;
    QRadioButton* m_raised;
    QRadioButton* m_sunken;
};

class CGlowTab final : public CEffectTab {
    Q_OBJECT
public:
    CGlowTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    CPercentRow* Softness() const { return m_softness; }
    CPercentRow* Transparency() const { return m_transparency; }
    CColorControl* Colour() const { return m_colour; }

protected:
    bool& On(CEffects& effects) const override;

private:
    CPercentRow* m_softness;
    CPercentRow* m_transparency;
    CColorControl* m_colour;
};
