#pragma once
#include "app/inspector/FillTab.h"
#include "app/inspector/InspectorTab.h"
#include "model/PageProperties.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

// The page window's "Info" page: the page's title and identifier, its size
// (typed or from the presets) and whether it is the front page.
class CPageInfoTab final : public CInspectorTab {
    Q_OBJECT
public:
    CPageInfoTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    QLineEdit* Title() const { return m_title; }
    QLineEdit* Identifier() const { return m_id; }
    QSpinBox* PageWidth() const { return m_width; }
    QSpinBox* PageHeight() const { return m_height; }
    QComboBox* Sizes() const { return m_sizes; }
    QCheckBox* FrontPage() const { return m_front; }

private:
    void Refused(const CFailure& failure);

    QLineEdit* m_title;
    QLineEdit* m_id;
    QSpinBox* m_width;
    QSpinBox* m_height;
    QComboBox* m_sizes;
    QCheckBox* m_front;
    CSizePresets m_presets;
};

// The page window's "Baggrund" page: the page's background as a solid
// colour, a picture or a gradient running down or across.
class CBackgroundTab final : public CInspectorTab {
    Q_OBJECT
public:
    CBackgroundTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    const CFillWidgets& Widgets() const { return m_w; }
    QCheckBox* Horizontal() const { return m_horizontal; }

private:
    void Change(const std::function<void(CBackgroundFill&)>& change);

    CFillWidgets m_w;
    QCheckBox* m_horizontal;
};
