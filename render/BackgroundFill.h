#pragma once
#include "image/Color.h"
#include "render/Gradient.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CImage;

// The fill behind a page (and the site's default for new pages): a solid
// colour, a picture file, or a gradient drawn as a one-pixel strip. Its size
// is always the size of the page it fills; -1 until a page gives it one.
class CBackgroundFill {
public:
    enum FillType : int32_t { fillSolid = 0, fillImage = 1, fillGradient = 2 };

    // Loads the picture or renders the gradient strip. Installed by the
    // rendering code; until then only solid fills count as rendered.
    using RenderFunction = std::function<bool(CBackgroundFill& fill)>;

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
    void SetWidth(int32_t width);
    void SetHeight(int32_t height);
    // Keeps the colour but leaves everything else as the type needs it
    // (used when a fill is rebuilt from dialog values).
    void SetType(FillType type);

    void Invalidate();
    // Brings the image up to date; true when nothing is left to render.
    bool Render();
    // Where the rendering step lives once it is built (the picture loader
    // needs the site's relink maps and the user-interaction port).
    static RenderFunction& RenderHook();
    // For the rendering step: stores the image it produced.
    void SetRenderedImage(std::unique_ptr<CImage> image);

private:
    void DropImage();

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
};
