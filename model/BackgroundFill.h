#pragma once
#include "image/Color.h"
#include "services/Gradient.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CByteReader;
class CByteWriter;
class CImage;
struct CPictureContext;
struct CStreamVersion;

inline constexpr uint32_t TAG_BACKGROUND_FILL = 0xB8629B77;

// The fill behind a page (and the site's default for new pages): a solid
// colour, a picture file, or a gradient drawn as a one-pixel strip. Its size
// is always the size of the page it fills; -1 until a page gives it one.
class CBackgroundFill {
public:
    enum FillType : int32_t { fillSolid = 0, fillImage = 1, fillGradient = 2 };

    // Turns picture paths into their stored form and back (see
    // render/PicturePaths.h); without one paths are written as they are.
    using PathMapping = std::function<std::string(const std::string&)>;

    static constexpr int32_t kMinWidth = 10, kMaxWidth = 2000;
    static constexpr int32_t kMinHeight = 10, kMaxHeight = 30000;

    explicit CBackgroundFill(const CColor& colour = CColor(255, 255, 255));
    ~CBackgroundFill();
    // Copies everything but the image; the copy needs rendering.
    CBackgroundFill(const CBackgroundFill& other);
    CBackgroundFill& operator=(const CBackgroundFill& other);

    FillType GetType() const { return m_type; }
    const CColor& GetColour() const { return m_colour; }
    const std::string& GetImagePath() const { return m_imagePath; }
    const CFillGradient& GetGradient() const { return m_gradient; }
    const CImage* GetImage() const { return m_image.get(); }
    bool IsTiled() const { return m_tileImage; }
    bool IsHorizontal() const { return m_horizontal; }
    bool NeedsRender() const { return m_needsRender; }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }

    void SetColour(const CColor& colour);
    void SetImagePath(const std::string& path);
    // A picture file whose image is already loaded.
    void SetImage(const std::string& path, std::unique_ptr<CImage> image);
    void SetGradient(const CFillGradient& gradient);
    // Replaces colours and stops only; the direction stays.
    void SetGradientColours(const GRADIENTCOLORS& colours);
    // Left to right (angle 0) or bottom to top (angle 90).
    void SetHorizontal(bool horizontal);
    void SetTiled(bool tiled) { m_tileImage = tiled; }
    // A background drawn for a page copy `scale` times larger: its picture
    // shows each of its pixels as scale x scale (the file has no more detail
    // than it shows at scale 1, and tiles stay seamless); the gradient strip
    // follows the page size as ever.
    void SetPictureScale(int scale);
    int PictureScale() const { return m_pictureScale; }
    void SetWidth(int32_t width);
    void SetHeight(int32_t height);
    // Keeps the colour but leaves everything else as the type needs it
    // (used when a fill is rebuilt from dialog values).
    void SetType(FillType type);

    // Drops the image; the next Render makes it again.
    void Invalidate();
    // Brings the image up to date when needsRender is set: a gradient becomes
    // a one-pixel strip of the page's width (horizontal) or height; a picture
    // file is loaded, asking through the context's port when it is missing or
    // broken (a user who gives up gets a solid fill). True when nothing is
    // left to render; false keeps needsRender, and painting shows the colour.
    bool Render();
    bool Render(const CPictureContext* context);
    // The context Render() uses: the open site's maps and the program's port.
    // Null (the default) renders without asking anybody.
    static const CPictureContext*& DefaultPictureContext();

    // The page-background fill record: tag, int32 type, int32 width and
    // height, then the colour (solid), the picture path and the tiling flag
    // (picture), or the gradient record and the horizontal flag (gradient).
    // Load throws CFileFormatException for a wrong tag, a type outside 0..2
    // or a size outside 10..2000 x 10..30000, and leaves the fill unchanged.
    void Save(CByteWriter& writer, const PathMapping& toStored = {}) const;
    void Load(CByteReader& reader, const CStreamVersion& version,
              const PathMapping& fromStored = {});

private:
    void DropImage();
    bool RenderStrip();
    bool LoadPicture(const CPictureContext* context);

    FillType m_type = fillSolid;
    CColor m_colour;
    std::unique_ptr<CImage> m_image;
    std::string m_imagePath;
    bool m_tileImage = true;
    CFillGradient m_gradient;
    bool m_horizontal = true;
    bool m_needsRender = true;
    int32_t m_width = -1;
    int32_t m_height = -1;
    int m_pictureScale = 1;
};
