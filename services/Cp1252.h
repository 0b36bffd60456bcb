#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The Windows-1252 code page in which the model stores all text. Text is
// converted to UTF-8 only where it meets the GUI, and to code points for
// glyph lookup.
//
// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control code points of the same number, so every byte
// survives a trip through UTF-8 and back.
namespace cp1252 {

// Code point of one byte.
char32_t ToUnicode(uint8_t byte);

// Byte for a code point; false (and '?') when the code page has no such character.
bool FromUnicode(char32_t codePoint, uint8_t& byte);

// Windows-1252 bytes to UTF-8. Never fails.
std::string ToUtf8(std::string_view cp1252Bytes);

// UTF-8 to Windows-1252 bytes. Each malformed UTF-8 sequence and each
// character the code page cannot hold becomes '?'. When lossless is given it
// is set to whether nothing was replaced.
std::string FromUtf8(std::string_view utf8, bool* lossless = nullptr);

// Appends the UTF-8 form of a code point (U+FFFD for values that are not
// Unicode scalar values).
void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace cp1252
