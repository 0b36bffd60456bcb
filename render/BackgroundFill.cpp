#include "render/BackgroundFill.h"
#include "image/Image.h"

CBackgroundFill::CBackgroundFill(const CColor& colour) : m_colour(colour) {}

CBackgroundFill::~CBackgroundFill() = default;

CBackgroundFill::CBackgroundFill(const CBackgroundFill& other)
    : m_type(other.m_type), m_colour(other.m_colour), m_imagePath(other.m_imagePath),
      m_tileImage(other.m_tileImage), m_gradient(other.m_gradient),
      m_horizontal(other.m_horizontal), m_needsRender(true), m_width(other.m_width),
      m_height(other.m_height) {}

CBackgroundFill& CBackgroundFill::operator=(const CBackgroundFill& other) {
    if (this == &other) return *this;
    m_type = other.m_type;
    m_colour = other.m_colour;
    m_image.reset();
    m_imagePath = other.m_imagePath;
    m_tileImage = other.m_tileImage;
    m_gradient = other.m_gradient;
    m_horizontal = other.m_horizontal;
    m_needsRender = true;
    m_width = other.m_width;
    m_height = other.m_height;
    return *this;
}

void CBackgroundFill::DropImage() {
    m_image.reset();
}

void CBackgroundFill::SetColour(const CColor& colour) {
    m_type = fillSolid;
    m_colour = colour;
    DropImage();
    m_needsRender = false;
}

void CBackgroundFill::SetImagePath(const std::string& path) {
    m_type = fillImage;
    m_imagePath = path;
    DropImage();
    m_needsRender = true;
}

void CBackgroundFill::SetImage(const std::string& path, std::unique_ptr<CImage> image) {
    m_type = fillImage;
    m_imagePath = path;
    m_image = std::move(image);
    m_needsRender = m_image == nullptr;
}

void CBackgroundFill::SetGradient(const CFillGradient& gradient) {
    m_type = fillGradient;
    DropImage();
    m_gradient = gradient;
    m_needsRender = true;
}

void CBackgroundFill::SetGradientColours(const GRADIENTCOLORS& colours) {
    m_type = fillGradient;
    DropImage();
    m_gradient.SetColours(colours);
    m_needsRender = true;
}

void CBackgroundFill::SetHorizontal(bool horizontal) {
    if (horizontal == m_horizontal) return;
    m_horizontal = horizontal;
    m_gradient.angle = horizontal ? 0 : 90;
    m_needsRender = m_type == fillGradient;
}

void CBackgroundFill::SetWidth(int32_t width) {
    if (width == m_width) return;
    m_width = width;
    m_needsRender = true;
}

void CBackgroundFill::SetHeight(int32_t height) {
    if (height == m_height) return;
    m_height = height;
    m_needsRender = true;
}

void CBackgroundFill::SetType(FillType type) {
    if (type == m_type) return;
    m_type = type;
    DropImage();
    m_needsRender = type != fillSolid;
}

void CBackgroundFill::Invalidate() {
    DropImage();
    m_needsRender = true;
}

CBackgroundFill::RenderFunction& CBackgroundFill::RenderHook() {
    static RenderFunction hook;
    return hook;
}

void CBackgroundFill::SetRenderedImage(std::unique_ptr<CImage> image) {
    m_image = std::move(image);
    m_needsRender = false;
}

bool CBackgroundFill::Render() {
    if (!m_needsRender) return true;
    if (m_type == fillSolid) {
        m_needsRender = false;
        return true;
    }
    // Until a renderer is installed the fill is painted in its colour, which
    // is what painting does with a fill that still needs rendering.
    const RenderFunction& hook = RenderHook();
    return hook ? hook(*this) : false;
}
