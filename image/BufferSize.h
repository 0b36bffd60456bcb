#pragma once
#include <cstdint>

// Sizing rules shared by images and pixel maps (internal to the library).
namespace pwimage {

// Largest pixel buffer the library allocates. Anything bigger (or a size that
// overflows) is treated as a failed allocation instead of an attempt to grab
// the whole address space.
constexpr uint64_t kMaxBufferBytes = uint64_t{1} << 30;

// Bytes of a row of `samples` samples of `bits` bits, rounded up to a multiple
// of 4. Returns 0 for negative or absurd sizes.
constexpr uint64_t PaddedRowBytes(int64_t samples, int bits) {
    if (samples < 0 || bits <= 0 || samples > int64_t{1} << 40) return 0;
    const uint64_t bytes = static_cast<uint64_t>(samples) * static_cast<uint64_t>(bits) / 8;
    if (bytes > kMaxBufferBytes) return 0;
    return (bytes + 3) & ~uint64_t{3};
}

// Buffer size for `rows` rows of `rowBytes`; 0 when it is empty, negative or
// exceeds the limit.
constexpr uint64_t BufferBytes(uint64_t rowBytes, int64_t rows) {
    if (rows <= 0 || rowBytes == 0) return 0;
    if (rowBytes > kMaxBufferBytes / static_cast<uint64_t>(rows)) return 0;
    return rowBytes * static_cast<uint64_t>(rows);
}

} // namespace pwimage
