#include "services/FontEngine.h"
#include <algorithm>
#include <atomic>
#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

CFontRequest Spec(const char* face, int px, bool bold = false, bool italic = false) {
    return CFontRequest{face, px, bold, italic, false};
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string FileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

} // namespace

TEST(FontEngine, FaceTableListsWebNamesSortedWithoutDuplicates) {
    CFontEngine& e = CFontEngine::Instance();
    const auto& faces = e.Faces();
    ASSERT_FALSE(faces.empty());
    for (const char* name : {"Arial", "Times New Roman", "Courier New", "Verdana", "Georgia",
                             "Liberation Sans", "DejaVu Sans", "DejaVu Sans Condensed"})
        EXPECT_NE(std::find(faces.begin(), faces.end(), name), faces.end()) << name;
    for (size_t i = 1; i < faces.size(); ++i)
        EXPECT_LT(Lower(faces[i - 1]), Lower(faces[i])) << faces[i - 1] << " / " << faces[i];
    // The web names map to the metric-compatible files.
    EXPECT_EQ(FileName(e.ResolvedFile(Spec("Arial", 16))), "LiberationSans-Regular.ttf");
    EXPECT_EQ(FileName(e.ResolvedFile(Spec("Times New Roman", 16))), "LiberationSerif-Regular.ttf");
    EXPECT_EQ(FileName(e.ResolvedFile(Spec("Courier New", 16))), "LiberationMono-Regular.ttf");
    EXPECT_EQ(FileName(e.ResolvedFile(Spec("Verdana", 16))), "DejaVuSans.ttf");
    EXPECT_EQ(FileName(e.ResolvedFile(Spec("DejaVu Sans Condensed", 16, true))),
              "DejaVuSansCondensed-Bold.ttf");
}

TEST(FontEngine, FindFaceAndFallback) {
    CFontEngine& e = CFontEngine::Instance();
    const int arial = e.FindFace("Arial");
    ASSERT_GE(arial, 0);
    EXPECT_EQ(e.FaceName(arial), "Arial");
    EXPECT_EQ(e.FindFace("aRIAL"), arial);
    EXPECT_EQ(e.FindFace("No Such Face"), -1);
    EXPECT_EQ(e.FindFace(""), -1);
    EXPECT_EQ(e.FaceIndexWithFallback("No Such Face"), arial);
    EXPECT_EQ(e.FaceIndexWithFallback("Courier New"), e.FindFace("Courier New"));
    EXPECT_EQ(e.FaceName(-1), "");
    EXPECT_EQ(e.FaceName(static_cast<int>(e.Faces().size())), "");
    // A spec naming a missing face measures like the fallback face.
    EXPECT_EQ(e.TextWidth(Spec("No Such Face", 16), U"Wide text"),
              e.TextWidth(Spec("Arial", 16), U"Wide text"));
    EXPECT_EQ(e.ResolvedFile(Spec("No Such Face", 16)), e.ResolvedFile(Spec("Arial", 16)));
}

TEST(FontEngine, AdvancesOfProportionalAndFixedFaces) {
    CFontEngine& e = CFontEngine::Instance();
    const CFontRequest arial = Spec("Arial", 16);
    EXPECT_LT(e.Advance(arial, U'i'), e.Advance(arial, U'W'));
    EXPECT_GT(e.Advance(arial, U'i'), 0);
    const std::u32string text = U"The quick brown fox, 0123 \u20ac";
    int sum = 0;
    for (char32_t c : text)
        sum += e.Advance(arial, c);
    EXPECT_EQ(e.TextWidth(arial, text), sum);
    EXPECT_EQ(e.TextWidth(arial, U""), 0);
    // Twice the size, about twice the width (hinting moves each advance by
    // at most a pixel).
    const int w16 = e.TextWidth(arial, text);
    const int w32 = e.TextWidth(Spec("Arial", 32), text);
    EXPECT_NEAR(w32, 2 * w16, static_cast<int>(text.size()));

    const CFontRequest courier = Spec("Courier New", 16);
    const int cell = e.Advance(courier, U'M');
    EXPECT_GT(cell, 0);
    for (char32_t c = 0x20; c < 0x7F; ++c)
        EXPECT_EQ(e.Advance(courier, c), cell) << static_cast<char>(c);
    EXPECT_EQ(e.Advance(Spec("Courier New", 16, true, true), U'i'),
              e.Advance(Spec("Courier New", 16, true, true), U'W'));
}

TEST(FontEngine, BoldAndItalicUseRealFilesOrSynthesis) {
    CFontEngine& e = CFontEngine::Instance();
    const std::u32string alphabet = U"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    EXPECT_GT(e.TextWidth(Spec("Arial", 16, true), alphabet),
              e.TextWidth(Spec("Arial", 16), alphabet));
    EXPECT_EQ(FileName(e.ResolvedFile(Spec("Arial", 16, true))), "LiberationSans-Bold.ttf");
    EXPECT_EQ(FileName(e.ResolvedFile(Spec("Arial", 16, false, true))),
              "LiberationSans-Italic.ttf");
    EXPECT_EQ(FileName(e.ResolvedFile(Spec("Times New Roman", 16, true, true))),
              "LiberationSerif-BoldItalic.ttf");
    EXPECT_FALSE(e.IsSynthesized(Spec("Arial", 16, true, true)));
    EXPECT_FALSE(e.IsSynthesized(Spec("Arial", 16)));
    // A family with only a regular file gets synthesized bold, which is wider.
    const int math = e.FindFace("DejaVu Math TeX Gyre");
    if (math >= 0) {
        const CFontRequest bold = Spec("DejaVu Math TeX Gyre", 16, true);
        EXPECT_TRUE(e.IsSynthesized(bold));
        EXPECT_GT(e.TextWidth(bold, alphabet),
                  e.TextWidth(Spec("DejaVu Math TeX Gyre", 16), alphabet));
        EXPECT_TRUE(e.IsSynthesized(Spec("DejaVu Math TeX Gyre", 16, false, true)));
        EXPECT_FALSE(e.IsSynthesized(Spec("DejaVu Math TeX Gyre", 16)));
    }
}

TEST(FontEngine, MetricsArePlausibleAndScale) {
    CFontEngine& e = CFontEngine::Instance();
    for (const char* face : {"Arial", "Times New Roman", "Courier New", "DejaVu Sans"}) {
        const CFontMetrics m = e.Metrics(Spec(face, 16));
        EXPECT_EQ(m.height, m.ascent + m.descent) << face;
        EXPECT_GE(m.ascent, 12) << face;
        EXPECT_LE(m.ascent, 17) << face;
        EXPECT_GE(m.descent, 3) << face;
        EXPECT_LE(m.descent, 6) << face;
        const CFontMetrics big = e.Metrics(Spec(face, 64));
        EXPECT_NEAR(big.height, 4 * m.height, 4) << face;
        // Glyphs fit between ascent and descent (hinting may push a capital's
        // accent one pixel higher).
        for (char32_t c : std::u32string(U"ÁgjpqyÇ|[]")) {
            const CGlyphBitmap& g = *e.Glyph(Spec(face, 16), c);
            EXPECT_GE(g.top, -m.ascent - 1) << face;
            EXPECT_LE(g.top + g.height, m.descent) << face;
        }
        const CUnderlineMetrics ul = e.Underline(Spec(face, 16));
        EXPECT_GE(ul.offset, 1);
        EXPECT_GE(ul.thickness, 1);
        EXPECT_LE(ul.offset + ul.thickness, m.descent + 1) << face;
    }
}

TEST(FontEngine, GlyphsMatchAdvancesAndOddInputIsSafe) {
    CFontEngine& e = CFontEngine::Instance();
    const CFontRequest arial = Spec("Arial", 20);
    const auto wPtr = e.Glyph(arial, U'W');
    const CGlyphBitmap& w = *wPtr;
    EXPECT_EQ(w.advance, e.Advance(arial, U'W'));
    ASSERT_EQ(w.pixels.size(), static_cast<size_t>(w.width) * w.height);
    EXPECT_GT(w.width, 10);
    EXPECT_EQ(*std::max_element(w.pixels.begin(), w.pixels.end()), 255);
    EXPECT_TRUE(e.Glyph(arial, U' ')->pixels.empty());
    EXPECT_GT(e.Glyph(arial, U' ')->advance, 0);
    // The same glyph again is the cached one.
    EXPECT_EQ(e.Glyph(arial, U'W'), wPtr);
    // Characters without a glyph, and values that are no characters at all.
    for (char32_t c : {char32_t(0x4E00), char32_t(0x10FFFF), char32_t(0xFFFFFFFF), char32_t(0)})
        EXPECT_GE(e.Glyph(arial, c)->advance, 0);
    // Sizes outside the usable range are clamped.
    for (int px : {0, -5, INT_MIN, INT_MAX}) {
        const CFontMetrics m = e.Metrics(Spec("Arial", px));
        EXPECT_GE(m.ascent, 0);
        EXPECT_GE(m.descent, 0);
        EXPECT_LE(m.height, 2 * CFontEngine::kMaxPixelHeight);
    }
    EXPECT_EQ(e.Metrics(Spec("Arial", 0)), e.Metrics(Spec("Arial", 1)));
}

TEST(FontEngine, GlyphCacheLetsGoOfBigGlyphsButHoldersKeepThem) {
    CFontEngine& e = CFontEngine::Instance();
    const CFontRequest small = Spec("Arial", 18);
    const auto held = e.Glyph(small, U'Q');
    const std::vector<uint8_t> pixels = held->pixels;
    // Around 2 MB a glyph: the alphabet overflows the cache budget.
    const CFontRequest huge = Spec("Times New Roman", CFontEngine::kMaxPixelHeight);
    for (char32_t c = U'A'; c <= U'Z'; ++c)
        EXPECT_GT(e.Glyph(huge, c)->advance, 0);
    EXPECT_EQ(held->pixels, pixels);
    // A fresh rendering after eviction draws the same glyph.
    EXPECT_NE(e.Glyph(small, U'Q').get(), held.get());
    const auto again = e.Glyph(small, U'Q');
    EXPECT_EQ(again->pixels, pixels);
    EXPECT_EQ(again->advance, held->advance);
}

// Sizes of one file share a FreeType face; threads measuring different sizes
// at once must still each get their own size's answers.
TEST(FontEngine, ThreadsMeasuringDifferentSizesAgree) {
    CFontEngine& e = CFontEngine::Instance();
    const std::u32string text = U"Pagewright måler tekst i flere tråde";
    std::vector<int> expected;
    for (int px = 10; px < 30; ++px)
        expected.push_back(e.TextWidth(Spec("Liberation Serif", px), text));
    std::atomic<int> mismatches{0};
    auto work = [&](int offset) {
        for (int round = 0; round < 50; ++round)
            for (int i = 0; i < 20; ++i) {
                const int k = (i + offset) % 20;
                const CFontRequest spec = Spec("Liberation Serif", 10 + k);
                int sum = 0;
                for (char32_t c : text)
                    sum += e.Glyph(spec, c)->advance;
                if (sum != expected[static_cast<size_t>(k)]) ++mismatches;
            }
    };
    std::thread a(work, 0), b(work, 7);
    a.join();
    b.join();
    EXPECT_EQ(mismatches.load(), 0);
}
