#pragma once
#include "app/inspector/InspectorTab.h"
#include <array>

class QPushButton;

// The styles window's page: eighteen buttons, each giving the selection one
// ready-made look (effects and possibly a fill), shown as a small sample.
class CStylesTab final : public CInspectorTab {
    Q_OBJECT
public:
    static constexpr int kButtons = 18;
    CStylesTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;
    QPushButton* Button(int preset) const { return m_buttons[static_cast<std::size_t>(preset - 1)]; }

private:
    void MakeSamples();
    std::array<QPushButton*, kButtons> m_buttons{};
    bool m_samples = false;
};
