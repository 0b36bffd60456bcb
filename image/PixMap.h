#pragma once
#include "image/ImageMode.h"
#include <cstddef>
#include <cstdint>
#include <memory>

// Describes caller-owned pixel memory that CImage::GetBuf/SetBuf read or write.
// Interleaved: all samples of a pixel lie together and only planes[0] is used;
// sample k of pixel (x, y) is at data + y*rowStep + x*pixelStep*bits/8 + k*bits/8.
// Planar: sample k of pixel (x, y) is at planes[k].data + y*rowStep + x*pixelStep*bits/8.
class CPixMap {
public:
    struct PlaneDesc {
        uint8_t* data = nullptr;
        int32_t pixelStep = 0; // in samples
        int32_t rowStep = 0;   // in bytes
    };

    int32_t width = 0;
    int32_t height = 0;
    IMAGE_MODE mode = IMAGE_RGB8;
    int32_t planes = 0;
    int32_t bitsPerPlane = 0;
    bool interleaved = true;
    PlaneDesc plane[4];

    // Caller-side owning holders for up to four buffers.
    std::unique_ptr<uint8_t[]> buffer[4];
    size_t bufferSize[4] = {0, 0, 0, 0};

    CPixMap() = default;
    // Allocates one zeroed interleaved buffer for a width x height map of the
    // mode, rows padded to 4 bytes, as the application fills its maps. When the
    // size cannot be allocated the plane data stays null.
    CPixMap(IMAGE_MODE mode, int32_t width, int32_t height);
    // Allocates one buffer per plane (planar map, rows padded to 4 bytes).
    static CPixMap Planar(IMAGE_MODE mode, int32_t width, int32_t height);

    CPixMap(CPixMap&&) = default;
    CPixMap& operator=(CPixMap&&) = default;

    // Address of sample k of pixel (x, y) by the addressing rules above; null
    // when the plane has no memory. Not range-checked.
    uint8_t* Sample(int x, int y, int k) const;
};
