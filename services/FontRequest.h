#pragma once
#include <cstddef>
#include <functional>
#include <string>

// One font as the text drawing asks for it: face, size and style. Used as the
// key of the font engine's caches, so it has equality and a hash.
struct CFontRequest {
    // Family name in UTF-8, as listed by CFontEngine::Faces(). A name that is
    // not installed is resolved with CFontEngine::FaceIndexWithFallback.
    std::string face;
    // Character height in pixels: the em size, not counting the leading above
    // the tallest accents (what a negative LOGFONT height asks for). A text of
    // P points at 96 dpi uses MulDiv(P, 96, 72). Values below 1 count as 1 and
    // values above CFontEngine::kMaxPixelHeight as that maximum.
    int pixelHeight = 16;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const CFontRequest&) const = default;
};

// Vertical measures of a font in whole pixels.
struct CFontMetrics {
    int ascent = 0;  // baseline to the top of the line
    int descent = 0; // baseline to the bottom of the line
    int height = 0;  // line height: ascent + descent

    bool operator==(const CFontMetrics&) const = default;
};

struct CFontRequestHash {
    std::size_t operator()(const CFontRequest& s) const noexcept {
        std::size_t h = std::hash<std::string>{}(s.face);
        const std::size_t rest = static_cast<std::size_t>(s.pixelHeight) << 3 | (s.bold ? 4u : 0u) |
                                 (s.italic ? 2u : 0u) | (s.underline ? 1u : 0u);
        return h ^ (rest + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2));
    }
};

template <> struct std::hash<CFontRequest> : CFontRequestHash {};
