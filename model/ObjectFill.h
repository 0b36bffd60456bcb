#pragma once
#include "image/Color.h"
#include "services/Gradient.h"
#include "services/ByteStream.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CByteReader;
class CByteWriter;
class CImage;
struct CPictureContext;

inline constexpr StreamTag TAG_OBJECT_FILL = 0x13F76B98;

// The fill of a shape or text: a solid colour, a picture file, a gradient, the
// text's own colours, or a picture held in memory without a file. The fill
// owns the image it paints with (the loaded file, the rendered gradient or the
// held picture); everything but a held picture can be produced again, so
// copies and Invalidate drop it and set needsRender.
class CObjectFill {
public:
    enum FillType : int32_t {
        fillSolid = 0,
        fillImage = 1, // picture file at imagePath
        fillGradient = 2,
        fillTextColour = 3, // the text is drawn in its own colours
        fillHeldImage = 4,  // picture kept in memory (and in the stream)
    };

    // Turns a picture path into the form stored in the stream and back. The
    // site file makes paths relative to its folder; without a mapping paths
    // are written and read as they are.
    using PathMapping = std::function<std::string(const std::string&)>;

    explicit CObjectFill(const CColor& colour = CColor(255, 255, 255));
    ~CObjectFill();
    // Copies everything but the image (a held picture is copied too); the
    // copy needs rendering.
    CObjectFill(const CObjectFill& other);
    CObjectFill& operator=(const CObjectFill& other);

    // Undo and the inspector compare fills: equal when the type, the field
    // that type uses (colour by COLORREF, picture path byte for byte, gradient
    // with its angle, held picture by size, mode and pixels) and the picture
    // flag are equal. Images produced by rendering are not compared.
    bool operator==(const CObjectFill& other) const;

    FillType GetType() const { return m_type; }
    const CColor& GetColour() const { return m_colour; }
    const std::string& GetImagePath() const { return m_imagePath; }
    const CFillGradient& GetGradient() const { return m_gradient; }
    // The image to paint with; null until rendered (or when rendering failed).
    const CImage* GetImage() const { return m_image.get(); }
    CImage* GetImage() { return m_image.get(); }
    bool NeedsRender() const { return m_needsRender; }
    bool IsAnimatedGif() const { return m_animatedGif; }
    // Set by the paths that insert a picture file; every setter clears it.
    void SetAnimatedGif(bool animated) { m_animatedGif = animated; }
    // The fill is a picture of its own (an inserted picture, not a shape
    // filled with one).
    bool IsPicture() const { return m_picture; }
    void SetPicture(bool picture) { m_picture = picture; }

    void SetColour(const CColor& colour);
    void SetImagePath(const std::string& path);
    // A picture file whose image is already loaded; image may be null, then
    // the file is loaded at the next render.
    void SetImage(const std::string& path, std::unique_ptr<CImage> image);
    // Takes colours, stops, kind and angle.
    void SetGradient(const CFillGradient& gradient);
    void SetTextColour();
    // Keeps the picture in memory. A null image leaves a held fill that has
    // nothing to paint.
    void SetHeldImage(std::unique_ptr<CImage> image);

    // Drops the rendered image and marks the fill for rendering; a held
    // picture is kept.
    void Invalidate();

    // Produces the image the fill paints with for an object of width x
    // height. Solid and text-colour fills need none and a held picture has
    // one; a picture file is loaded (once); a gradient is rendered at the
    // object's size with the fill's angle. Returns 0 on success or when
    // nothing was needed, else 1..3 (the picture loader's error: missing,
    // not a picture, no folder), 4 when there is no memory for the image.
    // Success clears needsRender.
    int Render(int32_t width, int32_t height);
    // The same, and a picture file that cannot be loaded goes through the
    // missing-picture handling of the context (render/MissingPicture.h): a
    // file the user finds is taken with its new path, a user who gives up
    // gets a solid fill in the chosen colour (status 0 then).
    int Render(int32_t width, int32_t height, const CPictureContext* context);
    // The same at the size last asked for (a gradient never sized renders at
    // kDefaultGradientSide square; the shape scales whatever it gets). True
    // when nothing is left to render.
    bool Render();
    static constexpr int32_t kDefaultGradientSide = 256;
    // Why the last picture load in Render failed, as an IOErrorCode
    // (1 missing, 2 not a readable picture, 4 no memory); 0 after success.
    // The caller decides whether to ask the user for another file.
    int GetRenderError() const { return m_renderError; }

    // The object fill record. Load throws CFileFormatException for a wrong
    // tag, a type outside 0..4, and a held picture with a negative size, a
    // mode other than grey, palette or RGB, or more pixel bytes than the
    // stream has left; the fill is left unchanged then.
    void Save(CByteWriter& writer, const PathMapping& toStored = {}) const;
    void Load(CByteReader& reader, const CStreamVersion& version,
              const PathMapping& fromStored = {});

private:
    void DropImage();
    void SaveHeldImage(CByteWriter& writer) const;
    static std::unique_ptr<CImage> LoadHeldImage(CByteReader& reader);

    FillType m_type = fillSolid;
    CColor m_colour;
    std::unique_ptr<CImage> m_image;
    std::string m_imagePath;
    CFillGradient m_gradient;
    bool m_animatedGif = false;
    bool m_needsRender = false;
    bool m_picture = false;
    int m_renderError = 0;
    int32_t m_renderWidth = kDefaultGradientSide;
    int32_t m_renderHeight = kDefaultGradientSide;
};
