#include "services/Cp1252.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// The 0x80..0x9F block written out as the characters themselves (UTF-8 source),
// so the expected values do not come from the codec's own table. The five
// undefined bytes are the C1 controls of the same number.
const char* const kHighBlockUtf8[32] = {
    "€", "\xC2\x81", "‚", "ƒ", "„", "…", "†", "‡",
    "ˆ", "‰",        "Š", "‹", "Œ", "\xC2\x8D", "Ž", "\xC2\x8F",
    "\xC2\x90", "‘", "’", "“", "”", "•", "–", "—",
    "˜", "™",        "š", "›", "œ", "\xC2\x9D", "ž", "Ÿ",
};

// Decodes a UTF-8 string holding exactly one character (test helper, written
// independently of the codec).
char32_t SoleCodePoint(const std::string& s) {
    const auto b = [&](std::size_t i) { return static_cast<char32_t>(static_cast<uint8_t>(s[i])); };
    switch (s.size()) {
    case 1: return b(0);
    case 2: return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    case 3: return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    default: return 0xFFFFFFFF;
    }
}

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }

} // namespace

TEST(Cp1252, FullTableAndRoundTrip) {
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        std::string expectedUtf8;
        if (b < 0x80) {
            expectedUtf8 = Byte(b);
        } else if (b < 0xA0) {
            expectedUtf8 = kHighBlockUtf8[b - 0x80];
        } else { // Latin-1 range: two bytes C2/C3 xx
            expectedUtf8 = Byte(0xC0 | (b >> 6)) + Byte(0x80 | (b & 0x3F));
        }
        const std::string utf8 = cp1252::ToUtf8(Byte(b));
        EXPECT_EQ(utf8, expectedUtf8);
        EXPECT_EQ(cp1252::ToUnicode(static_cast<uint8_t>(b)), SoleCodePoint(expectedUtf8));

        bool lossless = false;
        EXPECT_EQ(cp1252::FromUtf8(utf8, &lossless), Byte(b));
        EXPECT_TRUE(lossless);
        uint8_t back = 0;
        EXPECT_TRUE(cp1252::FromUnicode(SoleCodePoint(expectedUtf8), back));
        EXPECT_EQ(back, b);
    }
    // Danish text in both directions.
    EXPECT_EQ(cp1252::ToUtf8("\xE6\xF8\xE5 \xC6\xD8\xC5"), "æøå ÆØÅ");
    EXPECT_EQ(cp1252::FromUtf8("Fortsæt — 5 €"), "Forts\xE6t \x97 5 \x80");
}

TEST(Cp1252, UnmappableAndMalformedInputBecomesQuestionMark) {
    uint8_t byte = 0;
    // C1 controls that the code page uses for other characters, and characters outside it.
    for (char32_t cp : {char32_t(0x80), char32_t(0x9F), char32_t(0x0100), char32_t(0x20AD),
                        char32_t(0x1F600), char32_t(0xFFFD)}) {
        EXPECT_FALSE(cp1252::FromUnicode(cp, byte)) << std::hex << static_cast<uint32_t>(cp);
        EXPECT_EQ(byte, '?');
    }
    const struct {
        std::string utf8;
        std::string expected;
    } cases[] = {
        {"a\xE2\x82" "b", "a?b"},     // truncated three-byte sequence
        {"a\x80" "b", "a?b"},         // stray continuation byte
        {"\xC0\xAF", "??"},           // overlong lead bytes are invalid on their own
        {"\xE0\x80\xAF", "?"},        // overlong three-byte form
        {"\xED\xA0\x80", "?"},        // UTF-16 surrogate
        {"\xF4\x90\x80\x80", "?"},    // beyond U+10FFFF
        {"x\xF0\x9F\x98\x80y", "x?y"}, // valid but not in the code page
        {"\xC3", "?"},                // input ends inside a sequence
        {"\xFF\xFE", "??"},
    };
    for (const auto& c : cases) {
        bool lossless = true;
        EXPECT_EQ(cp1252::FromUtf8(c.utf8, &lossless), c.expected) << c.utf8;
        EXPECT_FALSE(lossless);
    }
    bool lossless = false;
    EXPECT_EQ(cp1252::FromUtf8("", &lossless), "");
    EXPECT_TRUE(lossless);

    std::string out;
    cp1252::AppendUtf8(out, 0x1F600);
    cp1252::AppendUtf8(out, 0xD800); // not a scalar value
    EXPECT_EQ(out, "\xF0\x9F\x98\x80\xEF\xBF\xBD");
}
