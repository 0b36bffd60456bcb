// Compositing: the per-pixel blend, effect masks of different widths, and a
// whole page with shadowed shapes from cold and from warm caches.
#include "image/Image.h"
#include "model/EllipseObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "render/Blend.h"
#include "model/Effects.h"
#include "render/EffectsRenderer.h"
#include "model/ObjectFill.h"
#include "render/PageRenderer.h"
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

namespace {
constexpr double kPi = 3.14159265358979323846;

// A 256 x 256 source tile like a rendered shape (opaque inside, transparent
// outside, antialiased rim) or, with partial set, alpha everywhere between.
std::vector<uint8_t> SourceTile(bool partial) {
    std::vector<uint8_t> t(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = &t[(y * 256 + x) * 4];
            const double d = std::hypot(x - 128.0, y - 128.0) - 100.0;
            p[0] = partial ? static_cast<uint8_t>(1 + (x * 7 + y * 13) % 254)
                           : static_cast<uint8_t>(std::clamp(128.0 - d * 128.0, 0.0, 255.0));
            p[1] = static_cast<uint8_t>(x), p[2] = static_cast<uint8_t>(y), p[3] = 90;
        }
    return t;
}

void BM_BlendOverTile(benchmark::State& state) {
    const std::vector<uint8_t> src = SourceTile(state.range(0) != 0);
    std::vector<uint8_t> base(256 * 256 * 4, 200), dst(base.size());
    for (auto _ : state) {
        state.PauseTiming();
        dst = base;
        state.ResumeTiming();
        BlendOver({dst.data(), 4, 1024}, {src.data(), 4, 1024}, 256, 256);
        benchmark::DoNotOptimize(dst.data());
    }
    state.counters["ns/px"] = benchmark::Counter(
        256.0 * 256.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// An antialiased 500 x 500 disc as the object's freshly filled image.
CImage Disc(int side) {
    CImage img(WithAlpha(IMAGE_RGB8), side, side, 96.0);
    const double r = side / 2.0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint8_t* p = img.Bits() + y * img.RowBytes() + 4 * x;
            const double d = std::hypot(x + 0.5 - r, y + 0.5 - r) - r;
            p[0] = static_cast<uint8_t>(std::clamp(0.5 - d, 0.0, 1.0) * 255);
            p[1] = 40, p[2] = 90, p[3] = 160;
        }
    return img;
}

// A glow rebuilt every time (the blur included), per output pixel.
void BM_GlowPerOutputPixel(benchmark::State& state) {
    const CImage object = Disc(500);
    CEffects effects;
    effects.glowOn = true;
    effects.glowSize = static_cast<int32_t>(state.range(0));
    double pixels = 0;
    for (auto _ : state) {
        effects.Invalidate();
        CEffectsOutput out;
        if (!RenderWithEffects(effects, object, out)) state.SkipWithError("render failed");
        pixels = static_cast<double>(out.image->Width()) * out.image->Height();
        benchmark::DoNotOptimize(out.image->Bits());
    }
    state.counters["ns/px"] = benchmark::Counter(
        pixels, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A 740 x 600 page with 30 overlapping shapes, every one with the default
// cast shadow.
struct CShadowPage {
    CSite site{"Bench",
               CBackgroundFill(CColor(230, 230, 240)),
               740,
               600,
               CColor(0, 0, 255),
               CColor(128, 0, 128)};
    CPage* page;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(740 * 600 * 4);

    CShadowPage() {
        InstallEffectsRenderer();
        page = &site.AddPage(std::make_unique<CPage>(site, "Side1", "Bench"));
        for (int k = 0; k < 30; ++k) {
            const DPOINT c{60.0 + (k * 97) % 620, 60.0 + (k * 61) % 480};
            const CObjectSize size{80 + (k * 37) % 120, 60 + (k * 53) % 110};
            std::unique_ptr<CShapeObject> shape;
            if (k % 2)
                shape = std::make_unique<CEllipseObject>(c, size, k * 0.1);
            else
                shape = std::make_unique<CRectObject>(c, size, k * 0.07);
            shape->GetFill()->SetColour(CColor(static_cast<uint8_t>(k * 8), 120, 200));
            shape->GetEffects()->shadowOn = true;
            page->InsertItem(std::move(shape));
        }
    }
    ~CShadowPage() { CShapeObject::RenderHooks().applyEffects = nullptr; }

    void Composite() {
        const int row = 740 * 4;
        for (int y = 0; y < 600; y += 256)
            for (int x = 0; x < 740; x += 256) {
                const CRect r{x, y, std::min(740, x + 256), std::min(600, y + 256)};
                RenderRegion(*page, r, buffer.data() + y * row + 4 * x, row);
            }
    }
};

void BM_PageColdCaches(benchmark::State& state) {
    CShadowPage p;
    for (auto _ : state) {
        for (const auto& item : p.page->Items())
            item->Normal().ReleaseImage();
        p.page->RenderAll();
        p.Composite();
        benchmark::DoNotOptimize(p.buffer.data());
    }
}

void BM_PageWarmCaches(benchmark::State& state) {
    CShadowPage p;
    p.page->RenderAll();
    for (auto _ : state) {
        p.Composite();
        benchmark::DoNotOptimize(p.buffer.data());
    }
}
} // namespace

BENCHMARK(BM_BlendOverTile)->Arg(0)->Arg(1);
BENCHMARK(BM_GlowPerOutputPixel)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageColdCaches)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageWarmCaches)->Unit(benchmark::kMillisecond);
