#include "model/BackgroundFill.h"
#include "image/Image.h"
#include "services/RecordColour.h"
#include "services/GradientRaster.h"
#include "model/MissingPicture.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/ImageConvert.h"
#include <algorithm>
#include <cstring>

CBackgroundFill::CBackgroundFill(const CColor& colour) : m_colour(colour) {}

CBackgroundFill::~CBackgroundFill() = default;

CBackgroundFill::CBackgroundFill(const CBackgroundFill& other)
    : m_type(other.m_type), m_colour(other.m_colour), m_imagePath(other.m_imagePath),
      m_tileImage(other.m_tileImage), m_gradient(other.m_gradient),
      m_horizontal(other.m_horizontal), m_needsRender(true), m_width(other.m_width),
      m_height(other.m_height), m_pictureScale(other.m_pictureScale) {}

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
    m_pictureScale = other.m_pictureScale;
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
    // Only a gradient changes with the direction; a picture that still has
    // to be loaded must stay marked.
    if (m_type == fillGradient) {
        DropImage();
        m_needsRender = true;
    }
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

void CBackgroundFill::SetPictureScale(int scale) {
    scale = std::max(scale, 1);
    if (scale == m_pictureScale) return;
    m_pictureScale = scale;
    if (m_type == fillImage) Invalidate();
}


void CBackgroundFill::Invalidate() {
    DropImage();
    m_needsRender = true;
}

const CPictureContext*& CBackgroundFill::DefaultPictureContext() {
    static const CPictureContext* context = nullptr;
    return context;
}

bool CBackgroundFill::Render() {
    return Render(DefaultPictureContext());
}

bool CBackgroundFill::Render(const CPictureContext* context) {
    if (!m_needsRender) return true;
    switch (m_type) {
    case fillSolid:
        m_needsRender = false;
        return true;
    case fillGradient:
        return RenderStrip();
    case fillImage:
        return LoadPicture(context);
    }
    return false;
}

bool CBackgroundFill::RenderStrip() {
    const int32_t w = m_horizontal ? m_width : 1;
    const int32_t h = m_horizontal ? 1 : m_height;
    if (w <= 0 || h <= 0) return false; // not sized by a page yet
    if (!m_image || m_image->Width() != w || m_image->Height() != h ||
        m_image->GetMode() != IMAGE_RGB8 || !m_image->Bits()) {
        auto strip = std::make_unique<CImage>(IMAGE_RGB8, w, h, 96.0);
        if (!strip->Bits()) {
            DropImage();
            return false;
        }
        m_image = std::move(strip);
    }
    if (!RenderGradientImage(m_gradient, m_horizontal ? 0 : 90, *m_image)) {
        DropImage();
        return false;
    }
    m_needsRender = false;
    return true;
}

bool CBackgroundFill::LoadPicture(const CPictureContext* context) {
    if (m_image) {
        m_needsRender = false;
        return true;
    }
    static const CPictureContext nobody;
    CPictureLoad load = LoadFillPicture(m_imagePath, m_colour, context ? *context : nobody);
    if (load.image && m_pictureScale > 1) load.image = pw::Enlarged(*load.image, m_pictureScale);
    if (load.image) {
        m_imagePath = std::move(load.path);
        m_image = std::move(load.image);
        m_needsRender = false;
        return true;
    }
    if (load.useColour) {
        SetColour(load.colour);
        return true;
    }
    DropImage();
    return false;
}

void CBackgroundFill::Save(CByteWriter& writer, const PathMapping& toStored) const {
    writer.WriteTag(TAG_BACKGROUND_FILL);
    writer.WriteInt32(m_type);
    writer.WriteInt32(m_width);
    writer.WriteInt32(m_height);
    switch (m_type) {
    case fillSolid:
        writer.WriteColour(ToRgb(m_colour));
        break;
    case fillImage:
        writer.WriteString(toStored ? toStored(m_imagePath) : m_imagePath);
        writer.WriteBool(m_tileImage);
        break;
    case fillGradient:
        m_gradient.Save(writer);
        writer.WriteBool(m_horizontal);
        break;
    }
}

void CBackgroundFill::Load(CByteReader& reader, const CStreamVersion&,
                           const PathMapping& fromStored) {
    reader.ExpectTag(TAG_BACKGROUND_FILL);
    const auto type =
        static_cast<FillType>(reader.ReadInt32Range(fillSolid, fillGradient, "background type"));
    const int32_t width = reader.ReadInt32Range(kMinWidth, kMaxWidth, "background width");
    const int32_t height = reader.ReadInt32Range(kMinHeight, kMaxHeight, "background height");
    CColor colour = m_colour;
    std::string path = m_imagePath;
    bool tile = m_tileImage, horizontal = m_horizontal;
    CFillGradient gradient = m_gradient;
    switch (type) {
    case fillSolid:
        colour = FromRgb(reader.ReadColour());
        break;
    case fillImage:
        path = reader.ReadString();
        if (fromStored) path = fromStored(path);
        tile = reader.ReadBool();
        break;
    case fillGradient:
        gradient.Load(reader);
        horizontal = reader.ReadBool();
        // The direction flag is what the strip follows; keep the angle with it.
        gradient.angle = horizontal ? 0 : 90;
        break;
    }
    m_type = type;
    m_width = width;
    m_height = height;
    m_colour = colour;
    m_imagePath = std::move(path);
    m_tileImage = tile;
    m_horizontal = horizontal;
    m_gradient = std::move(gradient);
    DropImage();
    m_needsRender = type != fillSolid;
}
