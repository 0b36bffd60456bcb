// GetBuf and SetBuf against a pixel-by-pixel model of the transfer rules, over
// random positions, sizes, steps, modes and map layouts. Maps get gaps between
// samples and rows so that a write outside the described samples shows up.
#include "image/Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

namespace {

constexpr IMAGE_MODE kModes[] = {
    IMAGE_GRAY8,  WithAlpha(IMAGE_GRAY8),  IMAGE_RGB8,  WithAlpha(IMAGE_RGB8),
    IMAGE_GRAY16, WithAlpha(IMAGE_GRAY16), IMAGE_RGB16, WithAlpha(IMAGE_RGB16),
    IMAGE_HSV8,   WithAlpha(IMAGE_MASK8),
};

uint64_t Load(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    std::memcpy(&v, p, static_cast<size_t>(bytes));
    return v;
}

// A pixel map with its own layout, plus which bytes belong to samples.
struct TestMap {
    CPixMap map;
    std::vector<std::vector<bool>> used; // per buffer

    uint8_t* Sample(int x, int y, int k) const {
        const int bytes = map.bitsPerPlane / 8;
        const CPixMap::PlaneDesc& p = map.interleaved ? map.plane[0] : map.plane[k];
        return p.data + y * p.rowStep + x * p.pixelStep * bytes + (map.interleaved ? k * bytes : 0);
    }
    int Buffer(int k) const { return map.interleaved ? 0 : k; }
    uint64_t Get(int x, int y, int k) const { return Load(Sample(x, y, k), map.bitsPerPlane / 8); }
};

TestMap MakeMap(IMAGE_MODE mode, int w, int h, bool interleaved, std::mt19937& rng) {
    TestMap t;
    CPixMap& m = t.map;
    m.width = w;
    m.height = h;
    m.mode = mode;
    m.planes = PlanesOfMode(mode);
    m.bitsPerPlane = BitsPerPlaneOfMode(mode);
    m.interleaved = interleaved;
    const int bytes = m.bitsPerPlane / 8;
    const int buffers = interleaved ? 1 : m.planes;
    const int perPixel = interleaved ? m.planes : 1;
    t.used.resize(static_cast<size_t>(buffers));
    for (int b = 0; b < buffers; ++b) {
        const int pixelStep = perPixel + static_cast<int>(rng() % 2);
        const int rowStep = (w * pixelStep + static_cast<int>(rng() % 3)) * bytes;
        const size_t size = static_cast<size_t>(rowStep) * h + 1;
        m.buffer[b] = std::make_unique<uint8_t[]>(size);
        for (size_t i = 0; i < size; ++i)
            m.buffer[b][i] = static_cast<uint8_t>(rng());
        m.bufferSize[b] = size;
        m.plane[b] = {m.buffer[b].get(), pixelStep, rowStep};
        t.used[b].assign(size, false);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < m.planes; ++k) {
                const size_t at =
                    static_cast<size_t>(t.Sample(x, y, k) - m.buffer[t.Buffer(k)].get());
                for (int i = 0; i < bytes; ++i)
                    t.used[t.Buffer(k)][at + i] = true;
            }
    return t;
}

struct TestImage {
    CImage img;
    int bytes, planes;
    size_t row;
    uint8_t* Sample(int x, int y, int k) {
        return img.Bits() + y * row + static_cast<size_t>((x * planes + k) * bytes);
    }
    uint64_t Get(int x, int y, int k) { return Load(Sample(x, y, k), bytes); }
};

TestImage MakeImage(IMAGE_MODE mode, int w, int h, std::mt19937& rng) {
    TestImage t{CImage(mode, w, h, 96.0), BitsPerPlaneOfMode(mode) / 8, PlanesOfMode(mode), 0};
    t.row = static_cast<size_t>((t.planes * t.bytes * w + 3) / 4 * 4);
    if (t.img.Bits())
        for (size_t i = 0; i < t.row * h; ++i)
            t.img.Bits()[i] = static_cast<uint8_t>(rng());
    t.img.SetMaskColor(CColor(static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                              static_cast<uint8_t>(rng())));
    return t;
}

uint64_t Ones(int bytes) {
    return bytes == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * bytes)) - 1;
}

// Alpha moved between depths: high bits when narrowing, 0xAB -> 0xABAB when widening.
uint64_t Rescale(uint64_t v, int fromBytes, int toBytes) {
    if (fromBytes == toBytes) return v;
    if (toBytes < fromBytes) return v >> (8 * (fromBytes - toBytes));
    return v * (Ones(toBytes) / Ones(fromBytes));
}

std::string Describe(IMAGE_MODE im, int W, int H, IMAGE_MODE mm, int w, int h, bool inter, int x,
                     int y, int method, int s) {
    std::ostringstream o;
    o << std::hex << "image " << im << std::dec << ' ' << W << 'x' << H << ", map " << std::hex
      << mm << std::dec << ' ' << w << 'x' << h << (inter ? " interleaved" : " planar") << " at "
      << x << ',' << y << ", method " << method << ", step " << s;
    return o.str();
}

} // namespace

TEST(ImageBufReference, GetBufMatchesThePixelModel) {
    std::mt19937 rng(1234);
    int checked = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const IMAGE_MODE im = kModes[rng() % std::size(kModes)];
        const IMAGE_MODE mm = trial % 3 ? im : kModes[rng() % std::size(kModes)];
        const int W = static_cast<int>(rng() % 7), H = static_cast<int>(rng() % 7);
        const int w = static_cast<int>(rng() % 9), h = static_cast<int>(rng() % 9);
        const bool inter = rng() % 2;
        const auto method = static_cast<CImage::maskMethod>(rng() % 4);
        // Clamping is modelled at step 1 on images that have pixels.
        const int s = method == CImage::maskClamp ? 1 : 1 + static_cast<int>(rng() % 3);
        if (method == CImage::maskClamp && (W == 0 || H == 0)) continue;
        const int x = static_cast<int>(rng() % 24) - 12, y = static_cast<int>(rng() % 24) - 12;
        TestImage ti = MakeImage(im, W, H, rng);
        TestMap tm = MakeMap(mm, w, h, inter, rng);
        std::vector<std::vector<uint8_t>> before;
        for (size_t b = 0; b < tm.used.size(); ++b)
            before.emplace_back(tm.map.buffer[b].get(),
                                tm.map.buffer[b].get() + tm.map.bufferSize[b]);
        ti.img.GetBuf(x, y, tm.map, method, s);
        const std::string what = Describe(im, W, H, mm, w, h, inter, x, y, method, s);

        const bool mapAlpha = ModeHasAlpha(mm), imgAlpha = ModeHasAlpha(im);
        const bool sameColour = WithoutAlpha(im) == WithoutAlpha(mm);
        const int bytes = tm.map.bitsPerPlane / 8;
        CColor mask = ti.img.GetMaskColor();
        mask.Convert(WithoutAlpha(mm));
        const auto old = [&](int c, int r, int k) {
            const ptrdiff_t at = tm.Sample(c, r, k) - tm.map.buffer[tm.Buffer(k)].get();
            return Load(before[static_cast<size_t>(tm.Buffer(k))].data() + at, bytes);
        };
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                const int ix = (x + c) * s, iy = (y + r) * s;
                const bool inside = ix >= 0 && ix < W && iy >= 0 && iy < H;
                for (int k = 0; k < tm.map.planes; ++k) {
                    uint64_t want;
                    if (mapAlpha && k == 0) {
                        want = !inside    ? 0
                               : imgAlpha ? Rescale(ti.Get(ix, iy, 0), ti.bytes, bytes)
                                          : Ones(bytes);
                    } else {
                        const int j = k - (mapAlpha ? 1 : 0);
                        const int imgColour = ti.planes - (imgAlpha ? 1 : 0);
                        const bool copies = sameColour && j < imgColour;
                        if (inside)
                            want = copies ? ti.Get(ix, iy, j + imgAlpha) : old(c, r, k);
                        else if (method == CImage::maskFill || method == CImage::maskFill2)
                            want = Load(mask.GetColor() + j * bytes, bytes);
                        else if (method == CImage::maskClamp && copies)
                            want = ti.Get(std::clamp(ix, 0, W - 1), std::clamp(iy, 0, H - 1),
                                          j + imgAlpha);
                        else if (method == CImage::maskClamp)
                            continue; // replicated leftovers of the map; not modelled
                        else
                            want = old(c, r, k);
                    }
                    ASSERT_EQ(tm.Get(c, r, k), want)
                        << what << ": pixel " << c << ',' << r << " plane " << k;
                    ++checked;
                }
            }
        for (size_t b = 0; b < tm.used.size(); ++b)
            for (size_t i = 0; i < tm.used[b].size(); ++i) {
                if (!tm.used[b][i]) {
                    ASSERT_EQ(tm.map.buffer[b][i], before[b][i])
                        << what << ": byte " << i << " of buffer " << b << " is not a sample";
                }
            }
    }
    EXPECT_GT(checked, 100000);
}

TEST(ImageBufReference, SetBufMatchesThePixelModel) {
    std::mt19937 rng(99);
    int written = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const IMAGE_MODE im = kModes[rng() % std::size(kModes)];
        // Mostly the image's colour mode with or without alpha, sometimes any.
        const IMAGE_MODE mapMode = trial % 4 == 0 ? kModes[rng() % std::size(kModes)]
                                   : rng() % 2    ? WithAlpha(im)
                                                  : WithoutAlpha(im);
        if (PlanesOfMode(mapMode) == 0) continue;
        const int W = 1 + static_cast<int>(rng() % 6), H = 1 + static_cast<int>(rng() % 6);
        const int w = static_cast<int>(rng() % 9), h = static_cast<int>(rng() % 9);
        const bool inter = rng() % 2;
        const int s = 1 + static_cast<int>(rng() % 3);
        const int x = static_cast<int>(rng() % 24) - 12, y = static_cast<int>(rng() % 24) - 12;
        TestImage ti = MakeImage(im, W, H, rng);
        const TestMap tm = MakeMap(mapMode, w, h, inter, rng);
        const CImage before = ti.img;
        ti.img.SetBuf(x, y, tm.map, CImage::maskKeep, s);
        const std::string what = Describe(im, W, H, mapMode, w, h, inter, x, y, 0, s);

        const bool mapAlpha = ModeHasAlpha(mapMode), imgAlpha = ModeHasAlpha(im);
        const bool sameColour = WithoutAlpha(im) == WithoutAlpha(mapMode);
        const int ox = x / s, oy = y / s, cols = (w + s - 1) / s, rows = (h + s - 1) / s;
        const int mapColour = tm.map.planes - (mapAlpha ? 1 : 0);
        for (int iy = 0; iy < H; ++iy)
            for (int ix = 0; ix < W; ++ix) {
                const bool hit =
                    sameColour && ix >= ox && ix < ox + cols && iy >= oy && iy < oy + rows;
                const int mc = (ix - ox) * s, mr = (iy - oy) * s;
                for (int k = 0; k < ti.planes; ++k) {
                    const uint64_t old =
                        Load(before.Bits() + iy * ti.row +
                                 static_cast<size_t>((ix * ti.planes + k) * ti.bytes),
                             ti.bytes);
                    uint64_t want = old;
                    if (hit && imgAlpha && k == 0) {
                        if (mapAlpha) want = tm.Get(mc, mr, 0);
                    } else if (hit) {
                        const int j = k - (imgAlpha ? 1 : 0);
                        if (j < mapColour) want = tm.Get(mc, mr, j + (mapAlpha ? 1 : 0));
                    }
                    ASSERT_EQ(ti.Get(ix, iy, k), want)
                        << what << ": pixel " << ix << ',' << iy << " plane " << k;
                    written += want != old;
                }
            }
        // Row padding is not part of any pixel and stays as it was.
        const size_t used = static_cast<size_t>(W * ti.planes * ti.bytes);
        for (int iy = 0; iy < H; ++iy)
            for (size_t i = used; i < ti.row; ++i)
                ASSERT_EQ(ti.img.Bits()[iy * ti.row + i], before.Bits()[iy * ti.row + i]) << what;
    }
    EXPECT_GT(written, 2000);
}
