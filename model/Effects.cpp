#include "model/Effects.h"
#include "image/Image.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/RecordColour.h"
#include <algorithm>

CEffects::CEffects() = default;
CEffects::~CEffects() = default;

CEffects::CEffects(const CEffects& other) {
    CopyParameters(other);
}

CEffects& CEffects::operator=(const CEffects& other) {
    if (this != &other) {
        CopyParameters(other);
        Invalidate();
        ResetExtents();
    }
    return *this;
}

void CEffects::CopyParameters(const CEffects& other) {
    m_scale = other.m_scale;
    shadowOn = other.shadowOn;
    shadowDistance = other.shadowDistance;
    shadowSize = other.shadowSize;
    shadowTransparency = other.shadowTransparency;
    shadowType = other.shadowType;
    shadowAngle = other.shadowAngle;
    shadowColour = other.shadowColour;
    edgesOn = other.edgesOn;
    edgesStyle = other.edgesStyle;
    edgesSize = other.edgesSize;
    edgesTransparency = other.edgesTransparency;
    edgesAngle = other.edgesAngle;
    edgesType = other.edgesType;
    glowOn = other.glowOn;
    glowSize = other.glowSize;
    glowTransparency = other.glowTransparency;
    glowType = other.glowType;
    glowColour = other.glowColour;
    needsRender = true;
}

bool CEffects::operator==(const CEffects& o) const {
    return shadowOn == o.shadowOn && shadowDistance == o.shadowDistance &&
           shadowSize == o.shadowSize && shadowTransparency == o.shadowTransparency &&
           shadowType == o.shadowType && shadowAngle == o.shadowAngle &&
           SameRgb(shadowColour, o.shadowColour) && edgesOn == o.edgesOn &&
           edgesStyle == o.edgesStyle && edgesSize == o.edgesSize &&
           edgesTransparency == o.edgesTransparency && edgesAngle == o.edgesAngle &&
           edgesType == o.edgesType && glowOn == o.glowOn && glowSize == o.glowSize &&
           glowTransparency == o.glowTransparency && glowType == o.glowType &&
           SameRgb(glowColour, o.glowColour);
}

void CEffects::ScaleBy(int scale) {
    shadowDistance *= scale;
    shadowSize *= scale;
    edgesSize *= scale;
    glowSize *= scale;
    m_scale = std::min(m_scale * scale, kMaxScale);
    Invalidate();
    ResetExtents();
}

void CEffects::Invalidate() {
    m_shadow.mask.reset();
    m_edges.mask.reset();
    m_glow.mask.reset();
    needsRender = true;
}

void CEffects::ResetExtents() {
    for (CMaskCache* cache : {&m_shadow, &m_edges, &m_glow}) {
        std::unique_ptr<CImage> mask = std::move(cache->mask);
        *cache = CMaskCache{};
        cache->mask = std::move(mask);
    }
}

namespace {
// The groups of the record in stream order. The stream calls the edges' first
// field "depth"; it is the relief style (raised or sunken).
void WriteShadow(CByteWriter& w, const CEffects& e) {
    w.WriteInt32(e.shadowDistance);
    w.WriteInt32(e.shadowSize);
    w.WriteInt32(e.shadowTransparency);
    w.WriteInt32(e.shadowType);
    w.WriteInt32(e.shadowAngle);
    w.WriteColour(ToRgb(e.shadowColour));
}
void WriteEdges(CByteWriter& w, const CEffects& e) {
    w.WriteInt32(e.edgesStyle);
    w.WriteInt32(e.edgesSize);
    w.WriteInt32(e.edgesTransparency);
    w.WriteInt32(e.edgesAngle);
    w.WriteInt32(e.edgesType);
}
void WriteGlow(CByteWriter& w, const CEffects& e) {
    w.WriteInt32(e.glowSize);
    w.WriteInt32(e.glowTransparency);
    w.WriteInt32(e.glowType);
}

void ReadShadow(CByteReader& r, CEffects& e, bool withColour) {
    e.shadowDistance = r.ReadInt32();
    e.shadowSize = r.ReadInt32();
    e.shadowTransparency = r.ReadInt32();
    e.shadowType = r.ReadInt32();
    e.shadowAngle = r.ReadInt32();
    if (withColour) e.shadowColour = FromRgb(r.ReadColour());
}
void ReadEdges(CByteReader& r, CEffects& e) {
    e.edgesStyle = r.ReadInt32();
    e.edgesSize = r.ReadInt32();
    e.edgesTransparency = r.ReadInt32();
    e.edgesAngle = r.ReadInt32();
    e.edgesType = r.ReadInt32();
}
void ReadGlow(CByteReader& r, CEffects& e) {
    e.glowSize = r.ReadInt32();
    e.glowTransparency = r.ReadInt32();
    e.glowType = r.ReadInt32();
}
// Brings the numbers that size the masks and the output (sizes, the shadow's
// distance) and the percentages into the inspector's ranges. Kinds and angles
// are left alone: an unknown kind draws nothing and an angle only turns.
void ClampToRanges(CEffects& e) {
    auto range = [](int32_t& v, int32_t hi) { v = std::clamp(v, 0, hi); };
    range(e.shadowDistance, CEffects::kMaxDistance);
    range(e.shadowSize, CEffects::kMaxSize);
    range(e.shadowTransparency, CEffects::kMaxTransparency);
    range(e.edgesSize, CEffects::kMaxSize);
    range(e.edgesTransparency, CEffects::kMaxTransparency);
    range(e.glowSize, CEffects::kMaxSize);
    range(e.glowTransparency, CEffects::kMaxTransparency);
}
} // namespace

void CEffects::Save(CByteWriter& writer) const {
    if (!AnyOn()) return;
    writer.WriteTag(TAG_EFFECTS);
    writer.WriteBool(shadowOn);
    writer.WriteBool(edgesOn);
    writer.WriteBool(glowOn);
    if (shadowOn) WriteShadow(writer, *this);
    if (edgesOn) WriteEdges(writer, *this);
    if (glowOn) {
        WriteGlow(writer, *this);
        writer.WriteColour(ToRgb(glowColour));
    }
}

void CEffects::Load(CByteReader& reader, const CStreamVersion& version) {
    CEffects loaded;
    if (reader.TryTag(TAG_EFFECTS)) {
        if (version.Has(8)) {
            loaded.shadowOn = reader.ReadBool();
            loaded.edgesOn = reader.ReadBool();
            loaded.glowOn = reader.ReadBool();
            if (loaded.shadowOn) ReadShadow(reader, loaded, true);
            if (loaded.edgesOn) ReadEdges(reader, loaded);
            if (loaded.glowOn) {
                ReadGlow(reader, loaded);
                loaded.glowColour = FromRgb(reader.ReadColour());
            }
        } else {
            // Older layout: every group present, each behind its own flag.
            loaded.shadowOn = reader.ReadBool();
            ReadShadow(reader, loaded, true);
            loaded.edgesOn = reader.ReadBool();
            ReadEdges(reader, loaded);
            loaded.glowOn = reader.ReadBool();
            ReadGlow(reader, loaded);
            loaded.glowColour = FromRgb(reader.ReadColour());
        }
    }
    ClampToRanges(loaded);
    CopyParameters(loaded);
    Invalidate();
    ResetExtents();
}
