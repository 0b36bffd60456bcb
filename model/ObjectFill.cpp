#include "model/ObjectFill.h"
#include "image/Image.h"
#include "services/RecordColour.h"
#include "services/GradientRaster.h"
#include "model/MissingPicture.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/Cp1252.h"
#include "services/IO.h"
#include <algorithm>
#include <cstring>
#include <string>

namespace {
constexpr int kTile = 256;

// Bytes per pixel of the modes a held picture is stored in; 0 for the rest.
std::size_t StoredPixelBytes(IMAGE_MODE mode) {
    switch (mode) {
    case IMAGE_GRAY8:
    case IMAGE_INDEX8:
        return 1;
    case IMAGE_RGB8:
        return 3;
    default:
        return 0;
    }
}

std::size_t TilesFor(int32_t pixels) {
    return (static_cast<std::size_t>(pixels) + kTile - 1) / kTile;
}

bool SamePixels(const CImage* a, const CImage* b) {
    if (a == b) return true;
    if (!a || !b) return false;
    if (a->GetMode() != b->GetMode() || a->Width() != b->Width() || a->Height() != b->Height())
        return false;
    if (!a->Bits() || !b->Bits()) return a->Bits() == b->Bits();
    // Compare the pixels only: the row padding carries no meaning.
    const std::size_t used =
        (static_cast<std::size_t>(a->Width()) * a->GetPlanes() * a->GetBitsPerPlane() + 7) / 8;
    for (int y = 0; y < a->Height(); ++y) {
        if (std::memcmp(a->Bits() + y * a->RowBytes(), b->Bits() + y * b->RowBytes(), used) != 0)
            return false;
    }
    return true;
}
} // namespace

CObjectFill::CObjectFill(const CColor& colour) : m_colour(colour) {}

CObjectFill::~CObjectFill() = default;

CObjectFill::CObjectFill(const CObjectFill& other)
    : m_type(other.m_type), m_colour(other.m_colour), m_imagePath(other.m_imagePath),
      m_gradient(other.m_gradient), m_animatedGif(other.m_animatedGif), m_needsRender(true),
      m_picture(other.m_picture) {
    if (m_type == fillHeldImage && other.m_image)
        m_image = std::make_unique<CImage>(*other.m_image);
}

CObjectFill& CObjectFill::operator=(const CObjectFill& other) {
    if (this == &other) return *this;
    CObjectFill copy(other);
    m_type = copy.m_type;
    m_colour = copy.m_colour;
    m_image = std::move(copy.m_image);
    m_imagePath = std::move(copy.m_imagePath);
    m_gradient = std::move(copy.m_gradient);
    m_animatedGif = copy.m_animatedGif;
    m_needsRender = true;
    m_picture = copy.m_picture;
    return *this;
}

bool CObjectFill::operator==(const CObjectFill& other) const {
    if (m_type != other.m_type || m_picture != other.m_picture) return false;
    switch (m_type) {
    case fillSolid:
        return SameRgb(m_colour, other.m_colour);
    case fillImage:
        return m_imagePath == other.m_imagePath;
    case fillGradient:
        return m_gradient == other.m_gradient;
    case fillTextColour:
        return true;
    case fillHeldImage:
        return SamePixels(m_image.get(), other.m_image.get());
    }
    return false;
}

void CObjectFill::DropImage() {
    m_image.reset();
}

void CObjectFill::SetColour(const CColor& colour) {
    m_type = fillSolid;
    m_colour = colour;
    DropImage();
    m_needsRender = false;
    m_animatedGif = false;
    m_renderError = 0;
}

void CObjectFill::SetImagePath(const std::string& path) {
    m_type = fillImage;
    m_imagePath = path;
    DropImage();
    m_needsRender = true;
    m_animatedGif = false;
    m_renderError = 0;
}

void CObjectFill::SetImage(const std::string& path, std::unique_ptr<CImage> image) {
    m_type = fillImage;
    m_imagePath = path;
    m_image = std::move(image);
    m_needsRender = m_image == nullptr;
    m_animatedGif = false;
    m_renderError = 0;
}

void CObjectFill::SetGradient(const CFillGradient& gradient) {
    m_type = fillGradient;
    m_gradient = gradient;
    DropImage();
    m_needsRender = true;
    m_animatedGif = false;
    m_renderError = 0;
}

void CObjectFill::SetTextColour() {
    m_type = fillTextColour;
    DropImage();
    m_needsRender = false;
    m_animatedGif = false;
    m_renderError = 0;
}

void CObjectFill::SetHeldImage(std::unique_ptr<CImage> image) {
    m_type = fillHeldImage;
    m_image = std::move(image);
    m_needsRender = false;
    m_animatedGif = false;
    m_renderError = 0;
}

void CObjectFill::Invalidate() {
    if (m_type != fillHeldImage) DropImage();
    m_needsRender = true;
}

// This is where a fill's texture is produced; the object then tiles, scales
// and masks it (the object's business, not the fill's).
int CObjectFill::Render(int32_t width, int32_t height) {
    if (width > 0 && height > 0) {
        m_renderWidth = width;
        m_renderHeight = height;
    }
    if (!m_needsRender) return 0;
    switch (m_type) {
    case fillSolid:
    case fillTextColour:
    case fillHeldImage:
        m_needsRender = false;
        return 0;
    case fillImage:
        if (!m_image) {
            int format = FORMAT_ANY, error = IOERR_NONE;
            // The model keeps paths in its code page; the file system wants UTF-8.
            m_image = CIO::LoadImageA(cp1252::ToUtf8(m_imagePath), format, error);
            if (!m_image) {
                // Anything the loader does not name is a picture it cannot read.
                m_renderError =
                    (error >= IOERR_NOT_FOUND && error <= IOERR_NO_MEMORY) ? error : IOERR_FORMAT;
                return m_renderError;
            }
        }
        m_renderError = IOERR_NONE;
        m_needsRender = false;
        return 0;
    case fillGradient: {
        const int32_t w = m_renderWidth, h = m_renderHeight;
        if (!m_image || m_image->GetMode() != IMAGE_RGB8 || m_image->Width() != w ||
            m_image->Height() != h || !m_image->Bits()) {
            m_image.reset();
            if (!ImageSizeAcceptable(w, h)) return IOERR_NO_MEMORY;
            auto image = std::make_unique<CImage>(IMAGE_RGB8, w, h, 96.0);
            if (!image->Bits()) return IOERR_NO_MEMORY;
            m_image = std::move(image);
        }
        if (!RenderGradientImage(m_gradient, m_gradient.angle, *m_image)) {
            m_image.reset();
            return IOERR_NO_MEMORY;
        }
        m_needsRender = false;
        return 0;
    }
    }
    return 0;
}

int CObjectFill::Render(int32_t width, int32_t height, const CPictureContext* context) {
    const int status = Render(width, height);
    if (status == 0 || m_type != fillImage || !context) return status;
    CPictureLoad load = LoadFillPicture(m_imagePath, m_colour, *context);
    if (load.image) {
        m_imagePath = std::move(load.path);
        m_image = std::move(load.image);
        m_renderError = IOERR_NONE;
        m_needsRender = false;
        return 0;
    }
    if (load.useColour) {
        const bool picture = m_picture;
        SetColour(load.colour);
        m_picture = picture;
        return 0;
    }
    m_renderError = load.error != IOERR_NONE ? load.error : status;
    return m_renderError;
}

bool CObjectFill::Render() {
    Render(0, 0);
    return !m_needsRender;
}

void CObjectFill::Save(CByteWriter& writer, const PathMapping& toStored) const {
    writer.WriteTag(TAG_OBJECT_FILL);
    writer.WriteInt32(m_type);
    switch (m_type) {
    case fillSolid:
        writer.WriteColour(ToRgb(m_colour));
        break;
    case fillImage:
        writer.WriteString(toStored ? toStored(m_imagePath) : m_imagePath);
        break;
    case fillGradient:
        m_gradient.Save(writer);
        break;
    case fillTextColour:
        break;
    case fillHeldImage:
        SaveHeldImage(writer);
        break;
    }
    writer.WriteBool(m_picture);
}

void CObjectFill::SaveHeldImage(CByteWriter& writer) const {
    // The stream holds grey, palette and RGB pictures only; anything else
    // (alpha, 16-bit) goes out as RGB. A picture that cannot be had at all is
    // written empty so the stream still reads back.
    const CImage* image = m_image.get();
    std::unique_ptr<CImage> converted;
    if (image && (StoredPixelBytes(image->GetMode()) == 0 || !image->Bits())) {
        converted = std::make_unique<CImage>(*image);
        if (!converted->Convert(IMAGE_RGB8) || !converted->Bits()) converted.reset();
        image = converted.get();
    }
    if (!image || !image->Bits() || StoredPixelBytes(image->GetMode()) == 0) {
        writer.WriteInt32(0);
        writer.WriteInt32(0);
        writer.WriteInt32(IMAGE_RGB8);
        return;
    }
    const int32_t width = image->Width(), height = image->Height();
    const std::size_t bpp = StoredPixelBytes(image->GetMode());
    writer.WriteInt32(width);
    writer.WriteInt32(height);
    writer.WriteInt32(image->GetMode());
    const std::size_t tileRow = kTile * bpp;
    writer.Reserve(writer.Tell() + static_cast<std::size_t>(height) * TilesFor(width) * tileRow);
    std::vector<uint8_t> row(tileRow);
    for (int32_t top = 0; top < height; top += kTile) {
        const int32_t rows = std::min(kTile, height - top);
        for (int32_t left = 0; left < width; left += kTile) {
            const std::size_t used = static_cast<std::size_t>(std::min(kTile, width - left)) * bpp;
            std::fill(row.begin() + static_cast<std::ptrdiff_t>(used), row.end(), 0);
            for (int32_t y = top; y < top + rows; ++y) {
                const uint8_t* source = image->Bits() + y * image->RowBytes() + left * bpp;
                std::memcpy(row.data(), source, used);
                writer.WriteBytes(row.data(), row.size());
            }
        }
    }
}

std::unique_ptr<CImage> CObjectFill::LoadHeldImage(CByteReader& reader) {
    const std::size_t sizeOffset = reader.Tell();
    const int32_t width = reader.ReadInt32();
    const int32_t height = reader.ReadInt32();
    if (width < 0 || height < 0)
        reader.FailAt("held picture size " + std::to_string(width) + " x " +
                          std::to_string(height) + " is negative",
                      sizeOffset);
    const int32_t mode = reader.ReadInt32Range(IMAGE_GRAY8, IMAGE_RGB8, "held picture mode");
    const std::size_t bpp = StoredPixelBytes(static_cast<IMAGE_MODE>(mode));
    // Every pixel row of the picture takes one full tile row per tile across.
    // Check the total against the stream before allocating anything.
    const std::size_t tileRow = kTile * bpp;
    const std::size_t rowBytes = TilesFor(width) * tileRow;
    if (height > 0 && rowBytes > reader.Remaining() / static_cast<std::size_t>(height))
        reader.FailAt("held picture of " + std::to_string(width) + " x " + std::to_string(height) +
                          " needs more bytes than the stream has",
                      sizeOffset);

    auto image = std::make_unique<CImage>(static_cast<IMAGE_MODE>(mode), width, height, 96.0);
    if (width > 0 && height > 0 && !image->Bits())
        reader.FailAt("no memory for a held picture of " + std::to_string(width) + " x " +
                          std::to_string(height),
                      sizeOffset);
    for (int32_t top = 0; top < height; top += kTile) {
        const int32_t rows = std::min(kTile, height - top);
        for (int32_t left = 0; left < width; left += kTile) {
            const std::size_t used = static_cast<std::size_t>(std::min(kTile, width - left)) * bpp;
            for (int32_t y = top; y < top + rows; ++y) {
                const std::span<const uint8_t> row = reader.ViewBytes(tileRow);
                std::memcpy(image->Bits() + y * image->RowBytes() + left * bpp, row.data(), used);
            }
        }
    }
    return image;
}

void CObjectFill::Load(CByteReader& reader, const CStreamVersion& version,
                       const PathMapping& fromStored) {
    reader.ExpectTag(TAG_OBJECT_FILL);
    CObjectFill loaded(m_colour);
    loaded.m_type =
        static_cast<FillType>(reader.ReadInt32Range(fillSolid, fillHeldImage, "fill type"));
    switch (loaded.m_type) {
    case fillSolid:
        loaded.m_colour = FromRgb(reader.ReadColour());
        loaded.m_needsRender = false;
        break;
    case fillImage: {
        std::string path = reader.ReadString();
        loaded.m_imagePath = fromStored ? fromStored(path) : std::move(path);
        loaded.m_needsRender = true;
        break;
    }
    case fillGradient:
        loaded.m_gradient.Load(reader);
        loaded.m_needsRender = true;
        break;
    case fillTextColour:
        loaded.m_needsRender = false;
        break;
    case fillHeldImage:
        loaded.m_image = LoadHeldImage(reader);
        loaded.m_needsRender = false;
        break;
    }
    loaded.m_picture = version.Has(5) ? reader.ReadBool() : false;

    m_type = loaded.m_type;
    m_colour = loaded.m_colour;
    m_image = std::move(loaded.m_image);
    m_imagePath = std::move(loaded.m_imagePath);
    m_gradient = std::move(loaded.m_gradient);
    m_animatedGif = false;
    m_renderError = 0;
    m_needsRender = loaded.m_needsRender;
    m_picture = loaded.m_picture;
}
