#pragma once
#include "model/ObjectLink.h"
#include "services/FontRequest.h"
#include <cstdint>
#include <string>

class CByteReader;
class CByteWriter;

// The style of one character of a text: face, size in points, bold, italic,
// underline, colour and link. The face is an index into the installed-face
// table of the font engine.
struct CCharStyle {
    uint16_t fontIndex = 0;
    uint16_t fontSize = 12; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int32_t color = 0; // 0x00BBGGRR
    CObjectLink link;

    // All fields equal; the links by link equality.
    bool operator==(const CCharStyle& other) const;

    // Face name in Windows-1252, as files store it.
    std::string FaceName() const;
    // Sets fontIndex from a stored face name, falling back to Arial, then
    // Times New Roman, then the first installed face.
    void SetFaceName(const std::string& cp1252Name);

    // The font that draws this style at 96 dots per inch.
    CFontRequest FontRequest() const;

    // Face name, size, the three style bytes, colour and the link chunk.
    void Save(CByteWriter& writer) const;
    // The counterpart of Save; the face is looked up with the fallback above.
    // Throws CFileFormatException on a malformed record.
    void Load(CByteReader& reader, const CStreamVersion& version);
};

// The character height in pixels of a size in points at 96 dots per inch,
// rounded the way MulDiv rounds (half away from zero).
int32_t PointsToPixels(int32_t points);

// The style of a new, empty text: 12 points in the regular weight, black,
// in Arial (or what stands in for it).
CCharStyle DefaultCharStyle();
