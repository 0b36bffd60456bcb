#include "services/GifIO.h"
#include "services/IO.h"
#include "services/IOError.h"
#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <new>
#include <vector>

namespace {

struct SGifSource {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* dest, int count) {
    auto* src = static_cast<SGifSource*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), src->size - src->pos);
    std::memcpy(dest, src->data + src->pos, n);
    src->pos += n;
    return static_cast<int>(n);
}

// Owns an open giflib decoder.
class CGifReader {
public:
    CGifReader(const uint8_t* data, size_t size) {
        m_source.data = data;
        m_source.size = size;
        int error = 0;
        m_gif = DGifOpen(&m_source, ReadFromMemory, &error);
    }
    ~CGifReader() {
        if (m_gif) {
            int error = 0;
            DGifCloseFile(m_gif, &error);
        }
    }
    CGifReader(const CGifReader&) = delete;
    CGifReader& operator=(const CGifReader&) = delete;
    GifFileType* operator->() const { return m_gif; }
    GifFileType* Get() const { return m_gif; }

private:
    SGifSource m_source;
    GifFileType* m_gif = nullptr;
};

// Reads one extension; returns its graphic-control transparent index through
// `transparent` when it is a graphic control block.
bool ReadExtension(GifFileType* gif, int& transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
            transparent = gcb.TransparentColor;
    }
    while (block)
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    return true;
}

bool SkipImageData(GifFileType* gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
    return true;
}

std::unique_ptr<CImage> Composite(GifFileType* gif, int transparent, int& error) {
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map || desc.Width <= 0 || desc.Height <= 0 || desc.Left < 0 || desc.Top < 0) {
        error = IOERR_FORMAT;
        return nullptr;
    }
    const int64_t width = std::max<int64_t>(gif->SWidth, int64_t{desc.Left} + desc.Width);
    const int64_t height = std::max<int64_t>(gif->SHeight, int64_t{desc.Top} + desc.Height);
    if (!ImageSizeAcceptable(width, height)) {
        error = IOERR_NO_MEMORY;
        return nullptr;
    }
    // Decode into an alpha image; drop the alpha afterwards when nothing is transparent.
    auto canvas =
        CIO::CreateImage(static_cast<int>(width), static_cast<int>(height), true, 96.0, error);
    if (!canvas) return nullptr;
    uint8_t* bits = canvas->Bits();
    const size_t rowBytes = canvas->RowBytes();
    for (int64_t y = 0; y < height; ++y)
        std::memset(bits + y * rowBytes, 0, static_cast<size_t>(width) * 4);

    std::vector<GifPixelType> line;
    try {
        line.resize(static_cast<size_t>(desc.Width));
    } catch (const std::bad_alloc&) {
        error = IOERR_NO_MEMORY;
        return nullptr;
    }
    static const int kOffset[4] = {0, 4, 2, 1};
    static const int kJump[4] = {8, 8, 4, 2};
    const int passes = desc.Interlace ? 4 : 1;
    bool anyTransparent =
        desc.Left > 0 || desc.Top > 0 || desc.Width < width || desc.Height < height;
    for (int pass = 0; pass < passes; ++pass) {
        const int first = desc.Interlace ? kOffset[pass] : 0;
        const int jump = desc.Interlace ? kJump[pass] : 1;
        for (int row = first; row < desc.Height; row += jump) {
            if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR) {
                error = IOERR_FORMAT;
                return nullptr;
            }
            uint8_t* out = bits + static_cast<size_t>(desc.Top + row) * rowBytes +
                           static_cast<size_t>(desc.Left) * 4;
            for (int x = 0; x < desc.Width; ++x, out += 4) {
                const int index = line[static_cast<size_t>(x)];
                if (index == transparent) {
                    anyTransparent = true;
                    continue; // stays alpha 0, black
                }
                out[0] = 255;
                if (index < map->ColorCount) {
                    out[1] = map->Colors[index].Red;
                    out[2] = map->Colors[index].Green;
                    out[3] = map->Colors[index].Blue;
                }
            }
        }
    }
    if (anyTransparent) return canvas;
    auto opaque =
        CIO::CreateImage(static_cast<int>(width), static_cast<int>(height), false, 96.0, error);
    if (!opaque) return nullptr;
    uint8_t* dst = opaque->Bits();
    const size_t dstRow = opaque->RowBytes();
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* s = bits + y * rowBytes;
        uint8_t* d = dst + y * dstRow;
        for (int64_t x = 0; x < width; ++x, s += 4, d += 3) {
            d[0] = s[1];
            d[1] = s[2];
            d[2] = s[3];
        }
    }
    return opaque;
}

} // namespace

std::unique_ptr<CImage> CGifIO::Load(const uint8_t* data, size_t size, int& error) {
    error = IOERR_FORMAT;
    if (!data || size < 13) return nullptr;
    CGifReader gif(data, size);
    if (!gif.Get()) return nullptr;
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.Get(), &type) == GIF_ERROR) return nullptr;
        if (type == TERMINATE_RECORD_TYPE) return nullptr; // no frame at all
        if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif.Get(), transparent)) return nullptr;
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif.Get()) == GIF_ERROR) return nullptr;
            return Composite(gif.Get(), transparent, error);
        } else {
            return nullptr;
        }
    }
}

bool CGifIO::IsAnimated(const uint8_t* data, size_t size) {
    if (!data || size < 13) return false;
    CGifReader gif(data, size);
    if (!gif.Get()) return false;
    int frames = 0;
    int ignored = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.Get(), &type) == GIF_ERROR) return false;
        if (type == TERMINATE_RECORD_TYPE) return false;
        if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif.Get(), ignored)) return false;
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif.Get()) == GIF_ERROR) return false;
            if (++frames == 2)
                return true; // a second frame header is enough; its pixels need not be read
            if (!SkipImageData(gif.Get())) return false;
        } else {
            return false;
        }
    }
}

bool CGifIO::IsAnimated(const std::filesystem::path& path) {
    std::vector<uint8_t> data;
    int error = IOERR_NONE;
    return CIO::ReadFile(path, data, error) && IsAnimated(data.data(), data.size());
}
