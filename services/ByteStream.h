#pragma once
#include <cstdint>
#include <string>

// Shared vocabulary of the little-endian record streams (site files, templates,
// clipboard, undo snapshots): the (source, version) pair, 4-byte tags and
// three-byte colours.

// Every loader receives the pair from the stream header. A field added in
// version N is present when the stream was written by the first source at
// version N or later, or by any later source.
struct CStreamVersion {
    uint8_t source = 1;
    uint8_t version = 8;

    constexpr bool Has(int n) const { return (source == 1 && version >= n) || source >= 2; }
    constexpr bool operator==(const CStreamVersion&) const = default;
};

// Length limits of the four string kinds. A reader rejects longer lengths, a
// writer refuses to produce them, so every file written can be read back.
inline constexpr int32_t kMaxStringLength = 2048;          // int32 length
inline constexpr int32_t kMaxLongStringLength = 2000000;   // int32 length
inline constexpr uint16_t kMaxShortStringLength = 256;     // uint16 length
inline constexpr uint8_t kMaxTinyStringLength = 255;       // one-byte length

// What this program writes.
inline constexpr CStreamVersion kCurrentStreamVersion{1, 8};

// A tag is the four bytes as they appear in the stream, read as a
// little-endian uint32, so MakeTag("ABCD") matches the bytes 'A' 'B' 'C' 'D'.
using StreamTag = uint32_t;

constexpr StreamTag MakeTag(const char (&text)[5]) {
    return static_cast<StreamTag>(static_cast<uint8_t>(text[0])) |
           static_cast<StreamTag>(static_cast<uint8_t>(text[1])) << 8 |
           static_cast<StreamTag>(static_cast<uint8_t>(text[2])) << 16 |
           static_cast<StreamTag>(static_cast<uint8_t>(text[3])) << 24;
}

// Printable form for messages: the four characters when they are plain ASCII,
// else 0x followed by the eight hex digits of the value.
std::string TagToString(StreamTag tag);

// A stored colour: red, green, blue in that byte order.
struct CRgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    // Red in the low byte, as the image library's COLORREF expects.
    constexpr uint32_t ToColorRef() const {
        return uint32_t{r} | uint32_t{g} << 8 | uint32_t{b} << 16;
    }
    static constexpr CRgb FromColorRef(uint32_t ref) {
        return {static_cast<uint8_t>(ref & 0xFF), static_cast<uint8_t>((ref >> 8) & 0xFF),
                static_cast<uint8_t>((ref >> 16) & 0xFF)};
    }
    constexpr bool operator==(const CRgb&) const = default;
};
