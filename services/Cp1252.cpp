#include "services/Cp1252.h"

namespace cp1252 {
namespace {

// 0x80..0x9F; everything else maps to the code point of the same number.
constexpr char16_t kHighBlock[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
};

constexpr char kReplacement = '?';

// Decodes one UTF-8 sequence at text[pos]; advances pos past it (past the
// maximal ill-formed prefix on error) and returns false when it is malformed.
bool DecodeOne(std::string_view text, std::size_t& pos, char32_t& cp) {
    const auto lead = static_cast<uint8_t>(text[pos++]);
    if (lead < 0x80) {
        cp = lead;
        return true;
    }
    int extra = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, cp = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, cp = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, cp = lead & 0x07, min = 0x10000;
    } else {
        return false; // stray continuation byte, overlong lead, or beyond Unicode
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= text.size()) return false;
        const auto next = static_cast<uint8_t>(text[pos]);
        if ((next & 0xC0) != 0x80) return false; // leave the next byte for the caller
        ++pos;
        cp = cp << 6 | (next & 0x3F);
    }
    return cp >= min && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

} // namespace

char32_t ToUnicode(uint8_t byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighBlock[byte - 0x80] : char32_t{byte};
}

bool FromUnicode(char32_t codePoint, uint8_t& byte) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        byte = static_cast<uint8_t>(codePoint);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighBlock[i] == codePoint) {
            byte = static_cast<uint8_t>(0x80 + i);
            return true;
        }
    }
    byte = kReplacement;
    return false;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) AppendUtf8(out, ToUnicode(static_cast<uint8_t>(c)));
    return out;
}

std::string FromUtf8(std::string_view utf8, bool* lossless) {
    std::string out;
    out.reserve(utf8.size());
    bool clean = true;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        uint8_t byte = kReplacement;
        if (!DecodeOne(utf8, pos, cp) || !FromUnicode(cp, byte)) {
            clean = false;
            byte = kReplacement;
        }
        out += static_cast<char>(byte);
    }
    if (lossless) *lossless = clean;
    return out;
}

} // namespace cp1252
