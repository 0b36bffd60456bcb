#pragma once
#include "image/Color.h"
#include "services/ByteStream.h"
#include <cstdint>
#include <string>

class CByteReader;
class CByteWriter;
class CSettings;

inline constexpr StreamTag TAG_BUTTON_TEXT = 0x3927BD8F;

// A label drawn on a shape. A new record starts from the user's "Default
// ButtonText ..." settings; an empty text means the shape has no label.
class CButtonText {
public:
    enum Alignment : int32_t { alignLeft = 0, alignCentre = 1, alignRight = 2 };

    // Defaults from the settings in force (CurrentSettings()).
    CButtonText();
    explicit CButtonText(const CSettings& settings);

    std::string font;
    int32_t fontSize = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    CColor color{255, 255, 255};
    std::string text;
    int32_t alignment = alignCentre;
    bool shadow = false;
    int32_t shadowDistance = 1;
    int32_t shadowDirection = 120;
    CColor shadowColor{0, 0, 0};

    // Every field equal; strings byte for byte, colours by RGB value.
    bool operator==(const CButtonText& other) const;

    // The optional chunk: written only when text is not empty.
    void Save(CByteWriter& writer) const;
    // Reads the chunk when the stream may hold one and its tag comes next;
    // otherwise the record takes the defaults of the settings in force. On a
    // format error the record is left unchanged.
    void Load(CByteReader& reader, const CStreamVersion& version);
};
