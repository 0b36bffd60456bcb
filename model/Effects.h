#pragma once
#include "image/Color.h"
#include "services/ByteStream.h"
#include <cstdint>
#include <memory>

class CByteReader;
class CByteWriter;
class CImage;

inline constexpr StreamTag TAG_EFFECTS = 0x82B73475;

// Cast shadow, edges and glow of one object: the parameters, and per effect
// the cached soft mask the renderer builds from the object's alpha.
class CEffects {
public:
    bool needsRender = true;

    bool shadowOn = false;
    int32_t shadowDistance = 5;      // pixels between object and shadow
    int32_t shadowSize = 10;         // softness, sigma = 0.2 * size
    int32_t shadowTransparency = 50; // percent
    int32_t shadowType = 0;          // 0 cast, 1 inside only, 2 both
    int32_t shadowAngle = 135;       // degrees clockwise from straight up
    CColor shadowColour{0, 0, 0};

    bool edgesOn = false;
    int32_t edgesStyle = 0; // 0 raised, 1 sunken
    int32_t edgesSize = 10;
    int32_t edgesTransparency = 50;
    int32_t edgesAngle = 135; // direction of the light
    int32_t edgesType = 0;    // blend kind 0..3

    bool glowOn = false;
    int32_t glowSize = 50;
    int32_t glowTransparency = 50;
    int32_t glowType = 0;
    CColor glowColour{255, 255, 0};

    // What the renderer remembers about one effect's mask so it can tell
    // whether the mask still fits the object.
    struct CMaskCache {
        std::unique_ptr<CImage> mask;
        int32_t builtSize = -1;
        int32_t builtTransparency = -1;
        int32_t objectWidth = -1;
        int32_t objectHeight = -1;
        int32_t offsetX = 0; // mask position relative to the object
        int32_t offsetY = 0;
        int32_t width = 0;
        int32_t height = 0;
        // The mask's extent before it was trimmed: the object plus the blur's
        // margin. The cache rule checks this against the object's size.
        int32_t extentWidth = 0;
        int32_t extentHeight = 0;
    };

    // The inspector's ranges. A file may hold anything; what it holds is
    // brought into these at load, so a size near INT_MAX (undefined padding
    // arithmetic) or in the tens of thousands (a blur of gigabytes) never
    // reaches the renderer.
    static constexpr int32_t kMaxSize = 100;
    static constexpr int32_t kMaxDistance = 100;
    static constexpr int32_t kMaxTransparency = 100;
    // A copy drawn at a scale (up to kMaxScale) multiplies the sizes; the
    // renderer's guard on sizes allows for that scale and no more.
    static constexpr int32_t kMaxScale = 3;
    int32_t Scale() const { return m_scale; }

    CEffects();
    ~CEffects();
    // Copies the parameters only: caches start empty, needsRender is set.
    CEffects(const CEffects& other);
    CEffects& operator=(const CEffects& other);

    bool AnyOn() const { return shadowOn || edgesOn || glowOn; }

    // Every parameter equal (colours by COLORREF); caches and needsRender are
    // not compared.
    bool operator==(const CEffects& other) const;

    // Multiplies every pixel measure (shadow distance and softness, edge
    // width, glow size) for a copy drawn `scale` times larger; the masks are
    // built afresh.
    void ScaleBy(int scale);
    // Drops the three masks and marks the record for rendering.
    void Invalidate();
    // Forgets the remembered mask sizes and offsets so the next render builds
    // every mask afresh.
    void ResetExtents();

    // Brings the enabled effects' masks up to date for the object's freshly
    // filled image (its alpha is the coverage), rebuilding only what the
    // cache rule rejects, and clears needsRender. True when the shadow mask
    // was rebuilt.
    bool UpdateMasks(const CImage& objectImage);

    // Where the last image made with these effects starts relative to the
    // object. Reading hands it over and resets it, so a value is never used
    // twice.
    void SetOutputOffset(int32_t x, int32_t y) {
        m_outputX = x;
        m_outputY = y;
    }
    void TakeOutputOffset(int32_t& x, int32_t& y) {
        x = m_outputX;
        y = m_outputY;
        m_outputX = m_outputY = 0;
    }

    const CMaskCache& ShadowCache() const { return m_shadow; }
    const CMaskCache& EdgesCache() const { return m_edges; }
    const CMaskCache& GlowCache() const { return m_glow; }
    CMaskCache& ShadowCache() { return m_shadow; }
    CMaskCache& EdgesCache() { return m_edges; }
    CMaskCache& GlowCache() { return m_glow; }

    // The optional effects chunk, written (flag-first layout) only when at
    // least one effect is on.
    void Save(CByteWriter& writer) const;
    // Reads the chunk when its tag comes next (flag-first from version 8, the
    // older all-groups layout before); otherwise the parameters return to
    // their defaults. Either way the record needs rendering afterwards. On a
    // format error the record is left unchanged.
    void Load(CByteReader& reader, const CStreamVersion& version);

private:
    void CopyParameters(const CEffects& other);

    CMaskCache m_shadow;
    CMaskCache m_edges;
    CMaskCache m_glow;
    int32_t m_outputX = 0;
    int32_t m_outputY = 0;
    int32_t m_scale = 1;
};
