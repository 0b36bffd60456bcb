#pragma once
#include <cstddef>
#include <cstdint>

// Rectangle copies and fills over strided sample memory, shared by GetBuf and
// SetBuf (internal to the library).
namespace pwimage {

// Element (x, y) of a plane, or of whole pixels, lies at
// base + y * rowStride + x * pixelStride.
struct PlaneView {
    uint8_t* base = nullptr;
    ptrdiff_t pixelStride = 0; // bytes
    ptrdiff_t rowStride = 0;   // bytes

    uint8_t* At(int64_t x, int64_t y) const {
        return base + static_cast<ptrdiff_t>(y) * rowStride +
               static_cast<ptrdiff_t>(x) * pixelStride;
    }
};

// A view walked from (x, y) in steps of `step` elements in both directions.
struct Walk {
    PlaneView view;
    int64_t x = 0;
    int64_t y = 0;
    int64_t step = 1;
};

// Copies w x h elements of `size` bytes. Rows whose elements are packed on
// both sides are copied with one memcpy each.
void CopyRect(const Walk& dst, const Walk& src, int64_t w, int64_t h, size_t size);

// Copies w x h samples of srcBits into samples of dstBits, rescaling when the
// depths differ (narrowing keeps the high bits, widening repeats the pattern so
// that 0 and all-ones stay 0 and all-ones).
void CopyRectRescaled(const Walk& dst, int dstBits, const Walk& src, int srcBits, int64_t w,
                      int64_t h);

// Sets w x h elements of `size` bytes at (x, y) of the view to `value`.
void FillRect(const PlaneView& view, int64_t x, int64_t y, int64_t w, int64_t h,
              const uint8_t* value, size_t size);

// The all-ones sample of the given depth, as little-endian bytes in a word.
uint64_t AllOnes(int bits);

} // namespace pwimage
