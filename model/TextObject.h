#pragma once
#include "model/ShapeObject.h"
#include "model/TextEditing.h"
#include "model/TextLayout.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPage;
class CPageItem;

// A rich text: paragraphs of styled characters in a box. A text is written
// to the page as HTML text, or, when it is advanced text, drawn like a shape
// (scaled, turned, filled, with effects) and written as a picture.
//
// While the text is edited in place it shows its unscaled, upright box: the
// size is the box and the angle 0.
class CTextObject final : public CShapeObject {
public:
    CTextObject(DPOINT center, CObjectSize size, double angle = 0.0);
    ~CTextObject() override;

    CRect GetRect() const override;
    CObjectSize GetSize() const override;
    using CShapeObject::SetSize;
    void SetSize(int32_t width, int32_t height) override;
    double GetAngle() const override;
    void SetAngle(double angle) override;
    bool Render(CPixMap& work) override;
    bool CanHaveEffects() const override { return Advanced(); }
    bool CanHaveFill() const override { return Advanced(); }
    bool CanHaveLink() const override { return true; }
    bool CanHaveMouseOver() const override { return true; }
    bool HasButtonText() const override { return false; }
    bool RendersAsImage() const override { return Advanced(); }
    bool CanResize() const override { return Advanced(); }
    bool CanRotate() const override { return Advanced(); }
    bool PrepareAndRender(CPixMap& work) override;
    // The object's link and the links of the characters follow the pages.
    bool OnPageRemoved(int32_t pageIndex) override;
    void OnPageCountChanged(int32_t pageCount) override;
    void OnPagesReset() override;
    void UpdateHandles() override;
    ObjectKind GetKind() const override { return KIND_TEXT; }
    int32_t EstimateBytes(double pixelsPerByte) const override;
    void Save(CByteWriter& writer) const override;
    std::unique_ptr<CPageObject> SnapshotGeometry() const override;
    // A text's geometry is its box (the width its lines wrap to), its scale,
    // centre and angle; all are exchanged together, so undoing a box resized
    // while editing restores the wrapping instead of squeezing the text.
    void SwapGeometry(CPageObject& other) override;
    std::unique_ptr<CPageObject> Clone() const override;
    void Load(CByteReader& reader, const CStreamVersion& version) override;
    // The text keeps its layout (box, line breaks, character places) and
    // draws its letters `scale` times larger: at that scale each letter is
    // drawn by the font engine at its place times the scale, so the lines
    // break at the same words as at scale 1.
    void ScaleBy(int scale) override;
    int DrawScale() const { return m_drawScale; }

    // --- the text record
    CTextLayout& Layout() { return *m_layout; }
    const CTextLayout& Layout() const { return *m_layout; }
    bool Advanced() const { return m_layout->advanced; }
    void SetAdvanced(bool advanced);
    void SetAlignment(int32_t alignment);
    double ScaleX() const { return m_scaleX; }
    double ScaleY() const { return m_scaleY; }
    // Replaces the text record by a copy of the other text's (twins).
    void CopyTextFrom(const CTextObject& other);

    // True when the text can go to the page as HTML text: no effect on,
    // unscaled, upright, a solid or text-colour fill, no mouse-over twin and
    // no alternative text.
    bool QualifiesAsHtmlText() const;
    // The item that holds the text (not owned); it tells whether a mouse-over
    // twin exists. Unknown (null) counts as no twin.
    void SetOwnerItem(const CPageItem* item) { m_item = item; }
    const CPageItem* OwnerItem() const { return m_item; }

    // --- editing in place
    bool IsEditing() const { return m_editing; }
    bool IsNew() const { return m_isNew; }
    void SetNew(bool isNew) { m_isNew = isNew; }
    // Starts editing: the object shows its box, upright and unscaled.
    void BeginEditing();
    // Ends editing. False (and nothing else changes) when the text has no
    // character: the caller removes it. With a page, the page forgets the
    // edited text, a new text records its creation when asked, and a twin
    // takes the text when the item keeps its twins in step.
    bool EndEditing(bool recordUndo, CPage* page = nullptr);
    // Moves caret and anchor to the character under a page point.
    void PlaceCaret(DPOINT point);
    CTextEditing& Editing() { return m_editingState; }
    const CTextEditing& Editing() const { return m_editingState; }

    // Lays the text out again and fits the object to its box: the top edge
    // stays where it was when the box grows or shrinks.
    void LayoutText();
    // The box on the page: left = centre x - box width / 2 and top likewise,
    // rounded half up.
    CRect BoxRect() const;
    // The page area that changed since the last call (layout growth, edits);
    // empty when none. The view repaints it.
    CRect TakeChangedArea();
    void AddChangedArea(const CRect& area);

    // --- clipboard runs of the selection
    std::vector<uint8_t> CopyRuns() const;
    std::string CopyPlainText() const;
    // Inserts styled runs at the caret. Foreign data resets page links;
    // otherwise they are kept within pageCount pages. Throws
    // CFileFormatException on malformed data; the text is then unchanged.
    void PasteRuns(const std::vector<uint8_t>& data, bool foreign, int32_t pageCount);

protected:
    void BuildOutline(CPath& path) const override;
    CRect RenderedBounds() const override;

private:
    CTextObject(const CTextObject& other);
    CTextObject(const CTextObject& other, GeometryOnly);
    void FitToBox(int32_t oldBoxHeight);
    // True when the text renders as its unturned, unscaled box image.
    bool DrawsUpright() const;
    std::unique_ptr<CImage> BoxImage() const;
    void FillBoxRows(CImage& box, int top, int bottom) const;
    bool FillsWithPicture() const;

    double m_scaleX = 1.0;
    double m_scaleY = 1.0;
    int m_drawScale = 1; // the box (in layout pixels) is drawn this much larger
    bool m_editing = false;
    bool m_isNew = false;
    std::unique_ptr<CTextLayout> m_layout;
    CTextEditing m_editingState;
    const CPageItem* m_item = nullptr;
    CRect m_changed;
    // The image last made as the whole box while editing: typing updates it
    // in place.
    const CImage* m_boxImage = nullptr;
    unsigned m_boxDrawCount = 0; // the layout's draws when the box image was last made
    int m_boxFillType = -1;
    COLORREF m_boxFillColour = 0;
};

// Ends the in-place editing of a text that is on the page, keeping the undo
// history consistent. A text with characters stays; a new one records its
// single insert step now. An empty text leaves the page: a new one has
// recorded no step (nothing the history holds names it) and is destroyed; an
// existing one leaves through a delete step that keeps it, so Undo brings it
// back. False when the text left the page (the object is then gone or held
// by the history; do not touch it again).
bool FinishTextEditing(CPage& page, CTextObject& text);

// Connects the label drawing of shapes and the copying of texts between
// twins. Runs by itself when a program holds the text code; safe to call
// again (after something replaced the hooks).
void InstallTextHooks();
// InstallTextHooks, and the text tool of the pages. Programs call it once at
// start.
void InstallTextRendering();
