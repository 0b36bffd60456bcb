// Stream layout of a text object.
#include "model/AltText.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "model/TextObject.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <cmath>

namespace {
// A style needs at least its face length, size, three flags and colour.
constexpr std::size_t kMinStyleBytes = 4 + 2 + 3 + 4;
constexpr std::size_t kRunBytes = 8;
constexpr uint8_t kParagraphBreak = 13;

double ReadScale(CByteReader& reader, const char* what) {
    const std::size_t at = reader.Tell();
    const double v = reader.ReadDouble();
    if (!std::isfinite(v) || v <= 0.0 || v > 10000.0)
        reader.FailAt(std::string(what) + " out of range", at);
    return v;
}

struct CRun {
    int32_t style = 0;
    int32_t first = 0;
};
} // namespace

void CTextObject::Save(CByteWriter& writer) const {
    writer.WriteTag(TAG_TEXT);
    SavePlacement(writer);
    const CTextLayout& text = *m_layout;
    writer.WriteInt32(text.alignment);
    writer.WriteInt32(text.boxWidth);
    writer.WriteInt32(text.boxHeight);
    writer.WriteBool(text.advanced);
    SaveAltText(writer, m_altText);
    writer.WriteDouble(m_scaleX);
    writer.WriteDouble(m_scaleY);
    writer.WriteInt32(m_mouseOverOffset.x);
    writer.WriteInt32(m_mouseOverOffset.y);

    // Distinct styles in the order they first occur, and a run wherever the
    // style changes. A text without characters still writes one style and
    // one run, so that what is written can always be read back.
    std::vector<const CCharStyle*> table;
    std::vector<CRun> runs;
    std::string bytes;
    int32_t index = 0;
    const CCharStyle* previous = nullptr;
    for (int p = 0; p < text.ParagraphCount(); ++p) {
        const CParagraph& para = text.Paragraph(p);
        if (p > 0) bytes.push_back(static_cast<char>(kParagraphBreak));
        for (std::size_t i = 0; i < para.text.size(); ++i, ++index) {
            const CCharStyle& style = text.Style(para.styles[i]);
            bytes.push_back(para.text[i]);
            if (previous && *previous == style) continue;
            previous = &style;
            int32_t id = 0;
            while (id < static_cast<int32_t>(table.size()) && !(*table[id] == style))
                ++id;
            if (id == static_cast<int32_t>(table.size())) table.push_back(&style);
            runs.push_back({id, index});
        }
    }
    if (table.empty()) {
        table.push_back(&text.defaultStyle);
        runs.push_back({0, 0});
    }
    writer.WriteInt32(static_cast<int32_t>(table.size()));
    for (const CCharStyle* style : table)
        style->Save(writer);
    writer.WriteInt32(static_cast<int32_t>(runs.size()));
    for (const CRun& run : runs) {
        writer.WriteInt32(run.style);
        writer.WriteInt32(run.first);
    }
    writer.WriteInt32(static_cast<int32_t>(bytes.size()));
    writer.WriteBytes(bytes.data(), bytes.size());

    (m_fill ? *m_fill : CObjectFill()).Save(writer);
    (m_effects ? *m_effects : CEffects()).Save(writer);
    if (m_link) m_link->Save(writer);
}

void CTextObject::Load(CByteReader& reader, const CStreamVersion& version) {
    // Everything goes into locals first: a malformed stream leaves the object
    // as it was.
    const CPlacement placement = LoadPlacement(reader, "text");

    auto layout = std::make_unique<CTextLayout>(this);
    layout->alignment = reader.ReadInt32Range(0, 2, "text alignment");
    layout->boxWidth = std::max(reader.ReadInt32Range(0, kMaxStoredSize, "text box width"), 1);
    layout->boxHeight = std::max(reader.ReadInt32Range(0, kMaxStoredSize, "text box height"), 1);
    const bool flagStored = version.Has(4) || (version.source == 1 && version.version == 1);
    if (flagStored) layout->advanced = reader.ReadBool();
    std::string altText;
    LoadAltText(reader, version, altText);
    const double scaleX = ReadScale(reader, "text scale x");
    const double scaleY = ReadScale(reader, "text scale y");
    // A mouse-over twin keeps the offset it was saved with, as a shape's does;
    // dropping it would move the twin back onto its text at every opening.
    CPixelShift offset;
    offset.x = reader.ReadInt32Range(-kMaxOffset, kMaxOffset, "mouse-over offset x");
    offset.y = reader.ReadInt32Range(-kMaxOffset, kMaxOffset, "mouse-over offset y");

    std::size_t at = reader.Tell();
    const int32_t styleCount = reader.ReadInt32();
    if (styleCount < 1 ||
        static_cast<std::size_t>(styleCount) > reader.Remaining() / kMinStyleBytes)
        reader.FailAt("text style count out of range", at);
    std::vector<CCharStyle> styles(static_cast<std::size_t>(styleCount));
    for (CCharStyle& style : styles)
        style.Load(reader, version);

    at = reader.Tell();
    const int32_t runCount = reader.ReadInt32();
    if (runCount < 1 || static_cast<std::size_t>(runCount) > reader.Remaining() / kRunBytes)
        reader.FailAt("text run count out of range", at);
    std::vector<CRun> runs(static_cast<std::size_t>(runCount));
    for (CRun& run : runs) {
        at = reader.Tell();
        run.style = reader.ReadInt32();
        if (run.style < 0 || run.style >= styleCount)
            reader.FailAt("text run style out of range", at);
        run.first = reader.ReadInt32();
        if (run.first < 0) reader.FailAt("text run start out of range", at + 4);
    }
    if (runs.front().first != 0) reader.FailAt("first text run does not start the text", at);

    at = reader.Tell();
    const int32_t byteCount = reader.ReadInt32();
    if (byteCount < 0 || static_cast<std::size_t>(byteCount) > reader.Remaining())
        reader.FailAt("text length out of range", at);
    const std::span<const uint8_t> bytes = reader.ViewBytes(static_cast<std::size_t>(byteCount));
    std::size_t run = 0;
    int32_t index = 0;
    for (const uint8_t byte : bytes) {
        if (byte == kParagraphBreak) {
            layout->AppendParagraph();
            continue;
        }
        while (run + 1 < runs.size() && runs[run + 1].first <= index)
            ++run;
        layout->Append(byte, styles[static_cast<std::size_t>(runs[run].style)]);
        ++index;
    }

    auto fill = std::make_unique<CObjectFill>();
    fill->Load(reader, version);
    auto effects = std::make_unique<CEffects>();
    effects->Load(reader, version);
    auto link = std::make_unique<CObjectLink>();
    link->Load(reader, version);

    m_size = placement.size;
    m_angle = placement.angle;
    m_center = placement.center;
    m_mouseOverOffset = offset;
    m_scaleX = scaleX;
    m_scaleY = scaleY;
    m_altText = std::move(altText);
    m_fill = std::move(fill);
    m_effects = std::move(effects);
    m_link = std::move(link);
    m_layout = std::move(layout);
    m_editing = false;
    m_isNew = false;
    m_editingState = {};
    m_image.reset();
    m_rect = placement.rect;
    LayoutText();
    m_changed = {};
    // Streams that did not store the flag draw as a picture whatever HTML
    // text cannot show.
    if (!flagStored) m_layout->advanced = !QualifiesAsHtmlText();
    m_dirty = true;
}
