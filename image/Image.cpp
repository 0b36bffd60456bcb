#include "image/Image.h"
#include "image/BufferSize.h"

#include <cstring>
#include <new>
#include <utility>

CImage::CImage() = default;

CImage::CImage(IMAGE_MODE mode, int width, int height, double dpi)
    : m_mode(mode), m_width(width), m_height(height), m_planes(PlanesOfMode(mode)), m_dpi(dpi) {
    Allocate();
}

CImage::CImage(IMAGE_MODE mode, int width, int height, int planes)
    : m_mode(mode), m_width(width), m_height(height), m_planes(planes) {
    Allocate();
}

CImage::CImage(const CImage& other)
    : m_mode(other.m_mode), m_width(other.m_width), m_height(other.m_height),
      m_planes(other.m_planes), m_dpi(other.m_dpi), m_lut(other.m_lut),
      m_maskColor(other.m_maskColor) {
    CopyPixelsFrom(other);
}

CImage::CImage(CImage&& other) noexcept
    : m_mode(other.m_mode), m_width(other.m_width), m_height(other.m_height),
      m_planes(other.m_planes), m_dpi(other.m_dpi), m_owns(other.m_owns), m_buffer(other.m_buffer),
      m_lut(other.m_lut), m_maskColor(other.m_maskColor) {
    other.m_owns = false;
    other.m_buffer = nullptr;
}

CImage& CImage::operator=(const CImage& other) {
    if (this == &other) return *this;
    Free();
    m_mode = other.m_mode;
    m_width = other.m_width;
    m_height = other.m_height;
    m_planes = other.m_planes;
    m_dpi = other.m_dpi;
    m_lut = other.m_lut;
    m_maskColor = other.m_maskColor;
    CopyPixelsFrom(other);
    return *this;
}

CImage& CImage::operator=(CImage&& other) noexcept {
    if (this == &other) return *this;
    Free();
    m_mode = other.m_mode;
    m_width = other.m_width;
    m_height = other.m_height;
    m_planes = other.m_planes;
    m_dpi = other.m_dpi;
    m_lut = other.m_lut;
    m_maskColor = other.m_maskColor;
    m_owns = std::exchange(other.m_owns, false);
    m_buffer = std::exchange(other.m_buffer, nullptr);
    return *this;
}

CImage::~CImage() {
    Free();
}

bool CImage::Convert(IMAGE_MODE) {
    return false;
}

size_t CImage::RowBytesFor(int planes, int bits, int width) {
    if (planes < 0 || width < 0) return 0;
    return static_cast<size_t>(pwimage::PaddedRowBytes(int64_t{planes} * width, bits));
}

size_t CImage::RowBytes() const {
    return RowBytesFor(m_planes, GetBitsPerPlane(), m_width);
}

size_t CImage::BufferBytes() const {
    return static_cast<size_t>(pwimage::BufferBytes(RowBytes(), m_height));
}

void CImage::Allocate(bool clear) {
    Free();
    const size_t size = BufferBytes();
    if (size == 0) return;
    // Zeroed so that nothing of earlier heap contents can leak into an output
    // file when a caller forgets to fill part of the image. Only a copy,
    // which overwrites every byte at once, skips it: clearing would touch
    // (and make the kernel hand over) every page twice.
    m_buffer = clear ? new (std::nothrow) uint8_t[size]() : new (std::nothrow) uint8_t[size];
    m_owns = m_buffer != nullptr;
}

void CImage::CopyPixelsFrom(const CImage& other) {
    if (!other.m_buffer) return;
    Allocate(false);
    if (m_buffer) std::memcpy(m_buffer, other.m_buffer, BufferBytes());
}

void CImage::Free() {
    if (m_owns) delete[] m_buffer;
    m_owns = false;
    m_buffer = nullptr;
}
