#include "services/BmpIO.h"
#include "services/IO.h"
#include "services/IOError.h"
#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

enum : uint32_t {
    BI_RGB = 0,
    BI_RLE8 = 1,
    BI_RLE4 = 2,
    BI_BITFIELDS = 3,
    BI_ALPHABITFIELDS = 6,
};

struct SBmpError {
    int code;
};

[[noreturn]] void Fail(int code = IOERR_FORMAT) {
    throw SBmpError{code};
}

// Bounds-checked little-endian reads from the whole bitmap.
class CBytes {
public:
    CBytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    void Need(size_t at, size_t count) const {
        if (at > m_size || count > m_size - at) Fail();
    }
    uint8_t U8(size_t at) const {
        Need(at, 1);
        return m_data[at];
    }
    uint16_t U16(size_t at) const {
        Need(at, 2);
        return static_cast<uint16_t>(m_data[at] | m_data[at + 1] << 8);
    }
    uint32_t U32(size_t at) const {
        Need(at, 4);
        return m_data[at] | m_data[at + 1] << 8 | m_data[at + 2] << 16 |
               static_cast<uint32_t>(m_data[at + 3]) << 24;
    }
    int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
    const uint8_t* At(size_t at, size_t count) const {
        Need(at, count);
        return m_data + at;
    }
    size_t Size() const { return m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
};

// One channel mask: where its bits lie and how to widen them to 8 bits.
struct SChannel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit SChannel(uint32_t m = 0) : mask(m) {
        if (m) {
            shift = std::countr_zero(m);
            max = m >> shift;
            if (max & (max + 1)) Fail(); // not one run of bits
        }
    }
    uint8_t Get(uint32_t pixel, uint8_t none) const {
        if (!mask) return none;
        const uint64_t v = (pixel & mask) >> shift;
        return static_cast<uint8_t>((v * 255 + max / 2) / max);
    }
};

struct SInfo {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = BI_RGB;
    SChannel red, green, blue, alpha;
    bool declaredAlpha = false; // the header names an alpha mask
    LutColor palette[256] = {};
    int paletteCount = 0;
    size_t pixels = 0; // offset of the pixel data
    double dpi = 96.0;
};

SInfo ReadHeader(const CBytes& in, bool fileHeader) {
    SInfo info;
    size_t base = 0;
    uint32_t offBits = 0;
    if (fileHeader) {
        if (in.U8(0) != 'B' || in.U8(1) != 'M') Fail();
        offBits = in.U32(10);
        base = 14;
    }
    const uint32_t headerSize = in.U32(base);
    const bool core = headerSize == 12;
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 64 &&
        headerSize != 108 && headerSize != 124)
        Fail();
    int64_t width = 0, height = 0;
    if (core) {
        width = in.U16(base + 4);
        height = in.U16(base + 6);
        info.bpp = in.U16(base + 10);
    } else {
        width = in.I32(base + 4);
        height = in.I32(base + 8);
        info.bpp = in.U16(base + 14);
        info.compression = in.U32(base + 16);
        const int32_t ppm = in.I32(base + 24);
        if (ppm > 0) info.dpi = std::round(ppm * 0.0254 * 100.0) / 100.0;
    }
    if (height < 0) {
        info.topDown = true;
        height = -height;
    }
    if (width <= 0 || height <= 0) Fail();
    if (!ImageSizeAcceptable(width, height)) Fail(IOERR_NO_MEMORY);
    info.width = static_cast<int>(width);
    info.height = static_cast<int>(height);

    const int bpp = info.bpp;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) Fail();
    const uint32_t c = info.compression;
    const bool masked = c == BI_BITFIELDS || c == BI_ALPHABITFIELDS;
    if (headerSize == 64 && c > BI_RLE4)
        Fail(); // the OS/2 header uses these numbers for other codings
    if (!(c == BI_RGB || (c == BI_RLE8 && bpp == 8) || (c == BI_RLE4 && bpp == 4) ||
          (masked && (bpp == 16 || bpp == 32))))
        Fail();
    if ((c == BI_RLE8 || c == BI_RLE4) && info.topDown) Fail();

    size_t next = base + headerSize;
    if (masked) {
        size_t masksAt = base + 40;
        if (headerSize == 40) { // masks follow the short header
            next += c == BI_ALPHABITFIELDS ? 16 : 12;
        }
        info.red = SChannel(in.U32(masksAt));
        info.green = SChannel(in.U32(masksAt + 4));
        info.blue = SChannel(in.U32(masksAt + 8));
        if (c == BI_ALPHABITFIELDS || headerSize >= 56) info.alpha = SChannel(in.U32(masksAt + 12));
    } else if (bpp == 16) {
        info.red = SChannel(0x7C00);
        info.green = SChannel(0x03E0);
        info.blue = SChannel(0x001F);
    } else if (bpp == 32) {
        info.red = SChannel(0x00FF0000);
        info.green = SChannel(0x0000FF00);
        info.blue = SChannel(0x000000FF);
    }
    info.declaredAlpha = info.alpha.mask != 0;

    const uint32_t used = core ? 0 : in.U32(base + 32);
    const size_t entry = core ? 3 : 4;
    size_t entries = used;
    if (bpp <= 8) {
        if (entries == 0 || entries > (1u << bpp))
            entries = entries == 0 ? (1u << bpp) : std::min<size_t>(entries, 256);
        info.paletteCount = static_cast<int>(std::min<size_t>(entries, 256));
        for (int i = 0; i < info.paletteCount; ++i) {
            const uint8_t* p = in.At(next + i * entry, 3);
            info.palette[i] = LutColor{p[2], p[1], p[0]};
        }
    } else if (entries > 1024) {
        entries = 0; // nonsense count on a true-colour bitmap; no palette to skip
    }
    next += entries * entry;
    info.pixels = fileHeader && offBits >= next && offBits < in.Size() ? offBits : next;
    return info;
}

size_t Stride(const SInfo& info) {
    return (static_cast<size_t>(info.width) * info.bpp + 31) / 32 * 4;
}

// Unpacks palette indices from RLE8/RLE4 data, bottom row first; returns the
// offset just after the data used.
size_t DecodeRle(const CBytes& in, const SInfo& info, std::vector<uint8_t>& indices) {
    const bool rle8 = info.compression == BI_RLE8;
    const size_t w = static_cast<size_t>(info.width);
    const size_t h = static_cast<size_t>(info.height);
    size_t pos = info.pixels;
    size_t x = 0, y = 0;
    auto put = [&](size_t px, uint8_t v) {
        if (px < w && y < h) indices[y * w + px] = v;
    };
    for (;;) {
        if (y >= h) return pos; // past the last row: an end marker would change nothing
        if (pos + 2 > in.Size()) {
            if (y + 1 >= h && pos == in.Size())
                return pos; // the last row done and only the end marker missing
            Fail();
        }
        const uint8_t n = in.U8(pos), code = in.U8(pos + 1);
        pos += 2;
        if (n > 0) {
            for (unsigned i = 0; i < n; ++i, ++x)
                put(x, rle8 ? code : (i % 2 == 0 ? code >> 4 : code & 15));
        } else if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            return pos;
        } else if (code == 2) {
            x += in.U8(pos);
            y += in.U8(pos + 1);
            pos += 2;
        } else {
            const size_t bytes = rle8 ? code : (code + 1u) / 2;
            const uint8_t* p = in.At(pos, bytes);
            for (unsigned i = 0; i < code; ++i, ++x)
                put(x, rle8 ? p[i] : (i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 15));
            pos += (bytes + 1) & ~size_t{1}; // runs are padded to 16 bits
        }
    }
}

void PutIndexed(const SInfo& info, uint8_t index, uint8_t* out) {
    if (index < info.paletteCount) {
        out[0] = info.palette[index].red;
        out[1] = info.palette[index].green;
        out[2] = info.palette[index].blue;
    } else {
        out[0] = out[1] = out[2] = 0;
    }
}

// Decides whether a plain 32-bit bitmap's fourth bytes are alpha.
bool FourthBytesAreAlpha(const CBytes& in, const SInfo& info) {
    const size_t stride = Stride(info);
    bool anyZero = false, anyFull = false;
    for (int r = 0; r < info.height; ++r) {
        const uint8_t* row = in.At(info.pixels + r * stride, stride);
        for (int x = 0; x < info.width; ++x) {
            const uint8_t a = row[x * 4 + 3];
            if (a != 0 && a != 255) return true;
            anyZero |= a == 0;
            anyFull |= a == 255;
        }
    }
    return anyZero && anyFull;
}

std::unique_ptr<CImage> Decode(const CBytes& in, bool fileHeader, int& error, size_t& end) {
    SInfo info = ReadHeader(in, fileHeader);
    const bool rle = info.compression == BI_RLE8 || info.compression == BI_RLE4;
    const size_t stride = Stride(info);
    std::vector<uint8_t> indices;
    if (rle) {
        indices.assign(static_cast<size_t>(info.width) * info.height, 0);
        end = DecodeRle(in, info, indices);
    } else {
        in.Need(info.pixels, stride * info.height);
        end = info.pixels + stride * info.height;
    }
    if (info.bpp == 32 && !info.declaredAlpha && info.compression == BI_RGB &&
        FourthBytesAreAlpha(in, info))
        info.alpha = SChannel(0xFF000000);
    const bool alpha = info.alpha.mask != 0;

    auto image = CIO::CreateImage(info.width, info.height, alpha, info.dpi, error);
    if (!image) throw SBmpError{error};
    uint8_t* bits = image->Bits();
    const size_t rowBytes = image->RowBytes();
    const int outStep = alpha ? 4 : 3;
    for (int r = 0; r < info.height; ++r) {
        const int y = info.topDown ? r : info.height - 1 - r;
        uint8_t* out = bits + static_cast<size_t>(y) * rowBytes;
        uint8_t* rgb = out + (alpha ? 1 : 0);
        if (rle) {
            const uint8_t* src = indices.data() + static_cast<size_t>(r) * info.width;
            for (int x = 0; x < info.width; ++x)
                PutIndexed(info, src[x], rgb + x * outStep);
            continue;
        }
        const uint8_t* src = in.At(info.pixels + r * stride, stride);
        for (int x = 0; x < info.width; ++x) {
            uint8_t* px = rgb + x * outStep;
            switch (info.bpp) {
            case 1:
                PutIndexed(info, (src[x >> 3] >> (7 - (x & 7))) & 1, px);
                break;
            case 4:
                PutIndexed(info, (x & 1) ? src[x >> 1] & 15 : src[x >> 1] >> 4, px);
                break;
            case 8:
                PutIndexed(info, src[x], px);
                break;
            case 24:
                px[0] = src[x * 3 + 2];
                px[1] = src[x * 3 + 1];
                px[2] = src[x * 3];
                break;
            default: {
                const uint32_t v = info.bpp == 16
                                       ? static_cast<uint32_t>(src[x * 2] | src[x * 2 + 1] << 8)
                                       : src[x * 4] | src[x * 4 + 1] << 8 | src[x * 4 + 2] << 16 |
                                             static_cast<uint32_t>(src[x * 4 + 3]) << 24;
                px[0] = info.red.Get(v, 0);
                px[1] = info.green.Get(v, 0);
                px[2] = info.blue.Get(v, 0);
                if (alpha) px[-1] = info.alpha.Get(v, 255);
                continue;
            }
            }
            if (alpha) px[-1] = 255;
        }
    }
    return image;
}

void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

} // namespace

std::unique_ptr<CImage> CBmpIO::Load(const uint8_t* data, size_t size, bool fileHeader, int& error,
                                     size_t* consumed) {
    if (!data) size = 0;
    CBytes in(data, size);
    size_t end = 0;
    try {
        auto image = Decode(in, fileHeader, error, end);
        error = IOERR_NONE;
        if (consumed) *consumed = end;
        return image;
    } catch (const SBmpError& e) {
        error = e.code;
    } catch (const std::bad_alloc&) {
        error = IOERR_NO_MEMORY;
    }
    return nullptr;
}

std::unique_ptr<CImage> CBmpIO::Load(CMemFile& file, bool fileHeader, int& error) {
    size_t used = 0;
    auto image = Load(file.Current(), file.Remaining(), fileHeader, error, &used);
    if (image) file.Seek(static_cast<int64_t>(used), CMemFile::current);
    return image;
}

bool CBmpIO::Save(CMemFile& file, const CImage& image, bool fileHeader, int& error) {
    if (!image.Bits() || image.Width() <= 0 || image.Height() <= 0 ||
        WithoutAlpha(image.GetMode()) != IMAGE_RGB8) {
        error = IOERR_FORMAT;
        return false;
    }
    const bool alpha = image.HasAlpha();
    const uint32_t headerSize = alpha ? 124 : 40;
    const int bpp = alpha ? 32 : 24;
    const uint64_t stride = (static_cast<uint64_t>(image.Width()) * bpp + 31) / 32 * 4;
    const uint64_t dataSize = stride * static_cast<uint64_t>(image.Height());
    if (dataSize + 14 + headerSize > UINT32_MAX) {
        error = IOERR_FORMAT;
        return false;
    }
    const double dpi = image.GetDpi() > 0 ? image.GetDpi() : 96.0;
    const auto ppm = static_cast<uint32_t>(std::lround(dpi / 0.0254));
    try {
        std::vector<uint8_t> head;
        head.reserve(14 + headerSize);
        if (fileHeader) {
            head.push_back('B');
            head.push_back('M');
            Put32(head, static_cast<uint32_t>(14 + headerSize + dataSize));
            Put32(head, 0);
            Put32(head, 14 + headerSize);
        }
        Put32(head, headerSize);
        Put32(head, static_cast<uint32_t>(image.Width()));
        Put32(head, static_cast<uint32_t>(image.Height())); // positive: bottom-up
        Put16(head, 1);
        Put16(head, static_cast<uint32_t>(bpp));
        Put32(head, alpha ? BI_BITFIELDS : BI_RGB);
        Put32(head, static_cast<uint32_t>(dataSize));
        Put32(head, ppm);
        Put32(head, ppm);
        Put32(head, 0); // colours used
        Put32(head, 0); // colours important
        if (alpha) {
            Put32(head, 0x00FF0000);
            Put32(head, 0x0000FF00);
            Put32(head, 0x000000FF);
            Put32(head, 0xFF000000);
            Put32(head, 0x73524742);             // colour space "sRGB"
            head.insert(head.end(), 36 + 12, 0); // end points, gamma
            Put32(head, 4);                      // rendering intent: pictures
            Put32(head, 0);                      // no profile
            Put32(head, 0);
            Put32(head, 0);
        }
        file.Write(head.data(), head.size());

        std::vector<uint8_t> row(stride, 0);
        const uint8_t* bits = image.Bits();
        const size_t rowBytes = image.RowBytes();
        for (int y = image.Height() - 1; y >= 0; --y) {
            const uint8_t* src = bits + static_cast<size_t>(y) * rowBytes;
            uint8_t* dst = row.data();
            if (alpha) {
                for (int x = 0; x < image.Width(); ++x, src += 4, dst += 4) {
                    dst[0] = src[3];
                    dst[1] = src[2];
                    dst[2] = src[1];
                    dst[3] = src[0];
                }
            } else {
                for (int x = 0; x < image.Width(); ++x, src += 3, dst += 3) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                }
            }
            file.Write(row.data(), row.size());
        }
    } catch (const std::bad_alloc&) {
        error = IOERR_NO_MEMORY;
        return false;
    }
    error = IOERR_NONE;
    return true;
}
