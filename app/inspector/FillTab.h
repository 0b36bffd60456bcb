#pragma once
#include "app/inspector/InspectorTab.h"
#include <array>
#include <functional>
#include <string>

class CColor;
class CColorControl;
class CEditorContext;
class CGradientControl;
class CObjectFill;
class QButtonGroup;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The controls an object fill and a page background share: the kind
// (solid, picture, gradient), the colour with "<--Udvalgt Farve", the
// picture path with its browse button and the gradient picker. The owner
// wires what each one changes.
struct CFillWidgets {
    QButtonGroup* kinds = nullptr;
    QRadioButton* solid = nullptr;
    QRadioButton* picture = nullptr;
    QRadioButton* gradient = nullptr;
    CColorControl* colour = nullptr;
    QPushButton* picked = nullptr;
    QLineEdit* path = nullptr;
    QPushButton* browse = nullptr;
    CGradientControl* gradientPicker = nullptr;

    // What a change of the shared controls does to the owner's record.
    struct CActions {
        std::function<void(const CColor&)> colour;
        std::function<void(const std::string&)> picture;
        std::function<void()> gradient; // from the picker's current gradient
        std::function<void()> reload;   // a choice was cancelled: show the record again
    };

    // Radio buttons in the first row, then colour, picture and gradient rows;
    // returns the next free row.
    int Build(QGridLayout* grid, QWidget* page, int row);
    // Connects the kinds solid, picture and gradient, the colour and the
    // picked colour, the picture path and its browse button and the gradient
    // picker to `actions`.
    void Wire(QWidget* page, const CEditorContext& editor, CActions actions);
    // A picture file chosen by the user (empty when cancelled).
    static std::string ChoosePicture(QWidget* parent, const std::string& current);
};

// The fill window's page: solid colour (fill type 0), picture (1), gradient
// (2) with its direction, or the text's own colours (3), plus five ready
// textures. Applies to every selected object.
class CFillTab final : public CInspectorTab {
    Q_OBJECT
public:
    CFillTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    const CFillWidgets& Widgets() const { return m_w; }
    QRadioButton* TextColour() const { return m_textColour; }
    CDirectionRow* Direction() const { return m_direction; }
    QPushButton* Texture(int index) const { return m_textures[static_cast<std::size_t>(index)]; }
    // The file texture button `index` (0..4) loads.
    static std::string TexturePath(int index);

private:
    void Change(const std::function<void(CObjectFill&)>& change);

    CFillWidgets m_w;
    QRadioButton* m_textColour = nullptr;
    CDirectionRow* m_direction = nullptr;
    std::array<QPushButton*, 5> m_textures{};
};
