#pragma once
#include "image/Color.h"
#include "image/ImageMode.h"
#include "image/Lut.h"
#include "image/PixMap.h"
#include <cstddef>
#include <cstdint>

// An owned pixel buffer: interleaved pixels, alpha sample first when the mode
// has alpha, rows padded to 4 bytes, row 0 first.
class CImage {
public:
    enum maskMethod {
        maskKeep = 0,
        maskFill = 1,
        maskFill2 = 2,
        maskClamp = 3,
    };

    CImage();
    // Sizes that cannot be allocated (negative, overflowing, or beyond the
    // library's limit) give an image without a buffer: Bits() is null.
    CImage(IMAGE_MODE mode, int width, int height, double dpi);
    CImage(IMAGE_MODE mode, int width, int height, int planes);
    CImage(const CImage& other);
    CImage& operator=(const CImage& other);
    // Moving hands the buffer over; the source is left without a buffer.
    CImage(CImage&& other) noexcept;
    CImage& operator=(CImage&& other) noexcept;
    ~CImage();

    IMAGE_MODE GetMode() const { return m_mode; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int GetPlanes() const { return m_planes; }
    bool HasAlpha() const { return ModeHasAlpha(m_mode); }
    int GetBitsPerPlane() const { return BitsPerPlaneOfMode(m_mode); }
    double GetDpi() const { return m_dpi; }
    void SetDpi(double dpi) { m_dpi = dpi; }
    CLut GetLut() const { return m_lut; }
    void SetLut(const CLut& lut) { m_lut = lut; }
    CColor GetMaskColor() const { return m_maskColor; }
    void SetMaskColor(const CColor& c) { m_maskColor = c; }
    bool Convert(IMAGE_MODE target);

    // Fills the whole map: map pixel (c, r) shows image pixel ((x + c) * step,
    // (y + r) * step). Colour samples are copied only between equal colour
    // modes; a map alpha plane gets the image's alpha or opaque. Map pixels
    // outside the image get alpha 0 and, by `method`, keep their colour, take
    // the mask colour, or repeat the nearest border pixel. A map whose
    // descriptor does not describe usable memory is left alone.
    void GetBuf(int x, int y, CPixMap& map, maskMethod method, int step) const;
    // Writes the map into the image at (x, y), clipped; every step-th map pixel
    // lands on one image pixel starting at (x / step, y / step). Nothing is
    // written for a different colour mode. `method` is not used.
    void SetBuf(int x, int y, const CPixMap& map, maskMethod method, int step);

    // Direct access for the imaging services; null when allocation failed.
    uint8_t* Bits() { return m_buffer; }
    const uint8_t* Bits() const { return m_buffer; }
    bool OwnsBuffer() const { return m_owns; }
    // Bytes per row, padded to a multiple of 4.
    size_t RowBytes() const;
    static size_t RowBytesFor(int planes, int bits, int width);
    // Row bytes x height; 0 for an empty or unallocatable size.
    size_t BufferBytes() const;

private:
    void Allocate(bool clear = true);
    void CopyPixelsFrom(const CImage& other);
    void Free();

    IMAGE_MODE m_mode = IMAGE_RGB8;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_planes = 3;
    double m_dpi = 96.0;
    bool m_owns = false;
    uint8_t* m_buffer = nullptr;
    CLut m_lut;
    CColor m_maskColor;
};
