#pragma once
#include "app/inspector/InspectorTab.h"
#include <functional>

class CButtonText;
class CColorControl;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QToolButton;

// Bold, italic and underline toggles and the three alignment buttons that
// the text part of "Info" and the button label page share.
struct CStyleButtons {
    QToolButton* bold = nullptr;
    QToolButton* italic = nullptr;
    QToolButton* underline = nullptr;
    QToolButton* align[3] = {};
    // A row of the six buttons; `toggled(which, on)` for 0..2 (B, I, U),
    // `aligned(alignment)` for the alignment buttons.
    QWidget* Build(QWidget* parent, std::function<void(int, bool)> toggled,
                   std::function<void(int)> aligned);
    void Load(bool b, bool i, bool u, int alignment);
};

// The object window's "Info" page: the position of the object's centre,
// its angle, and what its kind adds: the text's face, size, colour, style,
// alignment and whether it is plain (HTML) text; the counter's picture; the
// HTML object's code; the form's receiver.
class CObjectInfoTab final : public CInspectorTab {
    Q_OBJECT
public:
    // Sizes 1 to 7 of the size box, in points.
    static constexpr int kTextSizes[7] = {8, 10, 12, 14, 18, 24, 36};

    CObjectInfoTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    QSpinBox* X() const { return m_x; }
    QSpinBox* Y() const { return m_y; }
    QDoubleSpinBox* Angle() const { return m_angle; }
    QStackedWidget* KindPages() const { return m_kinds; }
    QComboBox* Face() const { return m_face; }
    QComboBox* Size() const { return m_size; }
    CColorControl* TextColour() const { return m_colour; }
    const CStyleButtons& Styles() const { return m_styles; }
    QCheckBox* PlainText() const { return m_plain; }
    QComboBox* CounterType() const { return m_counter; }
    QPushButton* EditHtml() const { return m_html; }
    QLineEdit* Receiver() const { return m_receiver; }
    QPushButton* FormProperties() const { return m_formProperties; }

signals:
    // "Rediger HTML": the page window opens its HTML editor.
    void editHtmlRequested();

private:
    QWidget* TextPage();
    QWidget* CounterPage();
    QWidget* HtmlPage();
    QWidget* FormPage();
    void Restyle(const std::function<void(class CCharStyle&)>& change);

    QSpinBox* m_x;
    QSpinBox* m_y;
    QDoubleSpinBox* m_angle;
    QStackedWidget* m_kinds;
    QComboBox* m_face = nullptr;
    QComboBox* m_size = nullptr;
    CColorControl* m_colour = nullptr;
    CStyleButtons m_styles;
    QCheckBox* m_plain = nullptr;
    QComboBox* m_counter = nullptr;
    QPushButton* m_html = nullptr;
    QLineEdit* m_receiver = nullptr;
    QPushButton* m_formProperties = nullptr;
};

// The object window's "Knap Tekst" page: the label drawn on a shape.
class CButtonTextTab final : public CInspectorTab {
    Q_OBJECT
public:
    static constexpr int kSizes[16] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

    CButtonTextTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;

    QComboBox* Face() const { return m_face; }
    QComboBox* Size() const { return m_size; }
    const CStyleButtons& Styles() const { return m_styles; }
    QLineEdit* Label() const { return m_text; }
    CColorControl* Colour() const { return m_colour; }
    QCheckBox* Shadow() const { return m_shadow; }
    QSpinBox* ShadowDistance() const { return m_distance; }
    CColorControl* ShadowColour() const { return m_shadowColour; }

private:
    // Edits the label; a refused text is reported and the page reloaded.
    void Apply(const std::function<void(CButtonText&)>& change);

    QComboBox* m_face;
    QComboBox* m_size;
    CStyleButtons m_styles;
    QLineEdit* m_text;
    CColorControl* m_colour;
    QCheckBox* m_shadow;
    QSpinBox* m_distance;
    CColorControl* m_shadowColour;
};

// "Alternativ tekst": the words a browser gives for the object's picture.
class CAltTextTab final : public CInspectorTab {
    Q_OBJECT
public:
    CAltTextTab(CInspectorContext& context, QWidget* parent = nullptr);
    void Refresh() override;
    QLineEdit* Text() const { return m_text; }

private:
    QLineEdit* m_text;
};
