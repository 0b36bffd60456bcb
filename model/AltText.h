#pragma once
#include "services/ByteStream.h"
#include <string>

class CByteReader;
class CByteWriter;

inline constexpr StreamTag TAG_ALT_TEXT = 0x8AB3402C;

// The alternative text of an object's image: an optional chunk written only
// when the text is not empty.
void SaveAltText(CByteWriter& writer, const std::string& altText);
// Reads the chunk when the stream may hold one and its tag comes next; else
// the text becomes empty. On a format error the text is left unchanged.
void LoadAltText(CByteReader& reader, const CStreamVersion& version, std::string& altText);
