#include "render/EffectsRenderer.h"
#include "image/Image.h"
#include "model/ShapeObject.h"
#include "render/Blend.h"
#include "model/Effects.h"
#include "services/Geometry.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <thread>
#include <vector>

namespace {
constexpr int kBlock = 256;
constexpr IMAGE_MODE kArgb = WithAlpha(IMAGE_RGB8);
// Objects larger than one block take long enough to show the wait cursor.
constexpr int kWaitSide = 256;

CUserInteraction* g_interaction = nullptr;
// The thread the port belongs to; the site build renders effects on worker
// threads too, and those neither touch the count nor the cursor.
std::thread::id g_interactionThread;
int g_waitDepth = 0;
CUserInteraction* g_waitShownOn = nullptr;

// Nested renders show the wait cursor once; the outermost one removes it.
class CWaitCount {
public:
    explicit CWaitCount(bool needed)
        : m_counted(needed && std::this_thread::get_id() == g_interactionThread) {
        if (!m_counted) return;
        if (g_waitDepth++ == 0 && (g_waitShownOn = g_interaction)) g_waitShownOn->BeginWait();
    }
    ~CWaitCount() {
        if (!m_counted) return;
        if (--g_waitDepth == 0 && g_waitShownOn) {
            g_waitShownOn->EndWait();
            g_waitShownOn = nullptr;
        }
    }
    CWaitCount(const CWaitCount&) = delete;
    CWaitCount& operator=(const CWaitCount&) = delete;

private:
    bool m_counted;
};

CRect Union(const CRect& a, const CRect& b) {
    if (b.IsEmpty()) return a;
    if (a.IsEmpty()) return b;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// A mask placed in object coordinates (empty when there is none).
struct CPlacedMask {
    const uint8_t* data = nullptr;
    int rowStep = 0;
    CRect rect;

    int At(int x, int y) const {
        if (!rect.Contains(x, y)) return 0;
        return data[(y - rect.top) * rowStep + (x - rect.left)];
    }
};

CPlacedMask Place(const CEffects::CMaskCache& cache, int dx, int dy) {
    CPlacedMask p;
    if (!cache.mask || !cache.mask->Bits()) return p;
    p.data = cache.mask->Bits();
    p.rowStep = static_cast<int>(cache.mask->RowBytes());
    p.rect = {cache.offsetX + dx, cache.offsetY + dy, cache.offsetX + dx + cache.width,
              cache.offsetY + dy + cache.height};
    return p;
}

// Copies what a plane (pixel step `step`) has under the block into buf (row
// step kBlock); zero elsewhere.
void Extract(const uint8_t* data, int step, int rowStep, const CRect& rect, const CRect& block,
             uint8_t* buf) {
    for (int y = 0; y < block.Height(); ++y)
        std::memset(buf + y * kBlock, 0, block.Width());
    const CRect r = block.Intersect(rect);
    if (r.IsEmpty() || !data) return;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint8_t* s = data + (y - rect.top) * rowStep + (r.left - rect.left) * step;
        uint8_t* d = buf + (y - block.top) * kBlock + (r.left - block.left);
        for (int x = 0; x < r.Width(); ++x, s += step)
            d[x] = *s;
    }
}

void Extract(const CPlacedMask& m, const CRect& block, uint8_t* buf) {
    Extract(m.data, 1, m.rowStep, m.rect, block, buf);
}

// The lit relief of the edge mask for one block (ARGB, row step 4 * kBlock):
// grey by how the mask's slope faces the light, alpha the mask itself.
void MakeRelief(const CPlacedMask& m, const CRect& block, double lx, double ly, bool sunken,
                uint8_t* relief) {
    const uint8_t flat = 127; // trunc(255 * 0.5), either style
    const CRect reach{m.rect.left - 1, m.rect.top - 1, m.rect.right + 1, m.rect.bottom + 1};
    for (int y = block.top; y < block.bottom; ++y) {
        uint8_t* p = relief + (y - block.top) * 4 * kBlock;
        for (int x = block.left; x < block.right; ++x, p += 4) {
            if (!reach.Contains(x, y)) {
                p[0] = 0, p[1] = p[2] = p[3] = flat;
                continue;
            }
            const int gx = m.At(x + 1, y) - m.At(x - 1, y);
            const int gy = m.At(x, y + 1) - m.At(x, y - 1);
            double shade = 0.5;
            if (gx != 0 || gy != 0) {
                const double len = std::sqrt(double(gx) * gx + double(gy) * gy);
                shade = (gx / len * lx + gy / len * ly + 1) * 0.5;
            }
            const auto v = static_cast<uint8_t>(std::trunc(255 * (sunken ? 1 - shade : shade)));
            p[0] = static_cast<uint8_t>(m.At(x, y));
            p[1] = p[2] = p[3] = v;
        }
    }
}

// The block buffers of one thread. Every block writes what it reads of them
// first (Extract, MakeRelief, the shadow layer), so they are neither zeroed
// nor made anew for each of the thousands of objects a build renders.
struct CScratch {
    static constexpr std::size_t kPlane = kBlock * kBlock;
    std::unique_ptr<uint8_t[]> bytes{new uint8_t[7 * kPlane]};
    uint8_t* objectAlpha() const { return bytes.get(); }
    uint8_t* shadow() const { return bytes.get() + kPlane; }
    uint8_t* glow() const { return bytes.get() + 2 * kPlane; }
    uint8_t* layer() const { return bytes.get() + 3 * kPlane; }
};

// Everything one render needs to know, in object coordinates.
struct CComposition {
    const CEffects& e;
    const CImage& object;
    CRect objectRect;
    CPlacedMask shadow, edges, glow;
    CImage& out;
    int outX, outY; // object coordinates of the output's top-left pixel

    CArgbRef Dst(int x, int y) const {
        return {out.Bits() + (y - outY) * out.RowBytes() + 4 * (x - outX), 4,
                static_cast<int>(out.RowBytes())};
    }
    CConstArgbRef ObjectAt(int x, int y) const {
        return {object.Bits() + y * object.RowBytes() + 4 * x, 4,
                static_cast<int>(object.RowBytes())};
    }
    void Block(const CRect& b, const CScratch& s) const;
};

void CComposition::Block(const CRect& b, const CScratch& s) const {
    const int bw = b.Width(), bh = b.Height();
    const CRect inObject = b.Intersect(objectRect);
    if (!inObject.IsEmpty()) // the object over the cleared output
        BlendOver(Dst(inObject.left, inObject.top), ObjectAt(inObject.left, inObject.top),
                  inObject.Width(), inObject.Height());
    Extract(object.Bits(), 4, static_cast<int>(object.RowBytes()), objectRect, b, s.objectAlpha());
    const CPlaneRef objectAlpha{s.objectAlpha(), 1, kBlock};
    if (e.shadowOn) Extract(shadow, b, s.shadow());

    if (e.shadowOn && e.shadowType != 0 && !inObject.IsEmpty()) {
        const uint8_t* m = s.shadow() + (inObject.top - b.top) * kBlock + (inObject.left - b.left);
        BlendColourMasked(Dst(inObject.left, inObject.top), {m, 1, kBlock},
                          e.shadowColour.GetCOLORREF(), 100 - e.shadowTransparency,
                          inObject.Width(), inObject.Height());
    }
    if (e.edgesOn) {
        const double a = e.edgesAngle * std::numbers::pi / 180.0;
        MakeRelief(edges, b, -std::cos(a), std::sin(a), e.edgesStyle == 1, s.layer());
        EffectByType(e.edgesType, 100 - e.edgesTransparency, Dst(b.left, b.top),
                     {s.layer(), 4, 4 * kBlock}, objectAlpha, bw, bh);
    }
    if (e.glowOn) {
        Extract(glow, b, s.glow());
        ColourEffectByType(e.glowType, 100 - e.glowTransparency, e.glowColour.GetCOLORREF(),
                           Dst(b.left, b.top), {s.glow(), 1, kBlock}, objectAlpha, bw, bh);
    }
    if (e.shadowOn && e.shadowType != 1) {
        // The output so far goes over a layer of shadow colour whose alpha is
        // the shadow mask, and the result replaces it: the shadow ends up
        // behind the object, its edges and its glow.
        const COLORREF c = e.shadowColour.GetCOLORREF();
        for (int y = 0; y < bh; ++y) {
            uint8_t* p = s.layer() + y * 4 * kBlock;
            const uint8_t* m = s.shadow() + y * kBlock;
            for (int x = 0; x < bw; ++x, p += 4) {
                p[0] = m[x];
                p[1] = static_cast<uint8_t>(c & 0xFF);
                p[2] = static_cast<uint8_t>((c >> 8) & 0xFF);
                p[3] = static_cast<uint8_t>((c >> 16) & 0xFF);
            }
        }
        const CArgbRef dst = Dst(b.left, b.top);
        BlendOver({s.layer(), 4, 4 * kBlock}, {dst.data, 4, dst.rowStep}, bw, bh);
        for (int y = 0; y < bh; ++y)
            std::memcpy(dst.data + y * dst.rowStep, s.layer() + y * 4 * kBlock, 4 * bw);
    }
}
} // namespace

void ShadowOffset(int32_t angleDegrees, int32_t distance, int32_t& dx, int32_t& dy) {
    const auto round = [](double v) {
        const double t = std::trunc(v);
        return static_cast<int32_t>(t) + (v - t >= 0.5 ? 1 : 0);
    };
    const double a = angleDegrees * std::numbers::pi / 180.0;
    dx = round(distance * std::sin(a));
    dy = round(-distance * std::cos(a));
}

bool RenderWithEffects(CEffects& e, const CImage& objectImage, CEffectsOutput& output) {
    output = CEffectsOutput{};
    const int w = objectImage.Width(), h = objectImage.Height();
    if (objectImage.GetMode() != kArgb || !objectImage.Bits() || w <= 0 || h <= 0) return false;
    if (!e.AnyOn()) {
        output.image = std::make_unique<CImage>(objectImage);
        return output.image->Bits() != nullptr;
    }
    CWaitCount wait(w > kWaitSide || h > kWaitSide);
    e.UpdateMasks(objectImage);
    if (e.needsRender) return false; // a mask could not be made

    int32_t dx = 0, dy = 0;
    if (e.shadowOn) ShadowOffset(e.shadowAngle, e.shadowDistance, dx, dy);
    const CPlacedMask shadow = e.shadowOn ? Place(e.ShadowCache(), dx, dy) : CPlacedMask{};
    const CPlacedMask edges = e.edgesOn ? Place(e.EdgesCache(), 0, 0) : CPlacedMask{};
    const CPlacedMask glow = e.glowOn ? Place(e.GlowCache(), 0, 0) : CPlacedMask{};

    const CRect objectRect{0, 0, w, h};
    CRect area = objectRect;
    // A shadow inside the object only cannot reach beyond it.
    if (e.shadowOn && e.shadowType != 1) area = Union(area, shadow.rect);
    area = Union(area, edges.rect);
    area = Union(area, glow.rect);

    // A new image comes cleared: the object and its effects go over nothing.
    auto out = std::make_unique<CImage>(kArgb, area.Width(), area.Height(), 96.0);
    if (!out->Bits()) return false;
    const CComposition job{e,    objectImage, objectRect, shadow,  edges,
                           glow, *out,        area.left,  area.top};
    thread_local const CScratch scratch;
    for (int y = area.top; y < area.bottom; y += kBlock)
        for (int x = area.left; x < area.right; x += kBlock)
            job.Block({x, y, std::min(x + kBlock, area.right), std::min(y + kBlock, area.bottom)},
                      scratch);
    output.image = std::move(out);
    output.x = area.left;
    output.y = area.top;
    return true;
}

void SetEffectsInteraction(CUserInteraction* ui) {
    g_interaction = ui;
    g_interactionThread = std::this_thread::get_id();
}

void InstallEffectsRenderer() {
    CShapeObject::RenderHooks().applyEffects = [](CShapeObject& object, CImage& image, CPixMap&) {
        CEffects* effects = object.GetEffects();
        if (!effects || !effects->AnyOn()) return true;
        CEffectsOutput out;
        if (!RenderWithEffects(*effects, image, out) || !out.image) return false;
        image = std::move(*out.image);
        effects->SetOutputOffset(out.x, out.y);
        return true;
    };
}
