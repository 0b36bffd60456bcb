#include "model/TextClipboard.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"

namespace {
constexpr uint8_t kParagraphBreak = 13;
constexpr CStreamVersion kClipboardVersion{1, 8};

// Calls visit(byte, style) for each selected character and visit(13, null)
// at each paragraph change.
template <class F> void ForSelection(const CTextLayout& text, const CTextEditing& sel, F&& visit) {
    if (!sel.HasSelection()) return;
    const CTextPos start = text.Clamp(sel.SelectionStart());
    const CTextPos end = text.Clamp(sel.SelectionEnd());
    for (int p = start.para; p <= end.para; ++p) {
        if (p > start.para) visit(kParagraphBreak, nullptr);
        const CParagraph& para = text.Paragraph(p);
        const int from = p == start.para ? start.index : 0;
        const int to = p == end.para ? end.index : static_cast<int>(para.text.size());
        for (int i = from; i < to; ++i)
            visit(static_cast<uint8_t>(para.text[i]), &text.Style(para.styles[i]));
    }
}
} // namespace

std::vector<uint8_t> CopyTextRuns(const CTextLayout& text, const CTextEditing& selection) {
    if (!selection.HasSelection()) return {};
    CByteWriter writer;
    ForSelection(text, selection, [&](uint8_t byte, const CCharStyle* style) {
        writer.WriteByte(byte);
        if (style) style->Save(writer);
    });
    writer.WriteByte(0);
    return writer.Take();
}

std::string CopyTextPlain(const CTextLayout& text, const CTextEditing& selection) {
    if (!selection.HasSelection()) return {};
    std::string out;
    ForSelection(text, selection,
                 [&](uint8_t byte, const CCharStyle*) { out.push_back(static_cast<char>(byte)); });
    out.push_back('\0');
    return out;
}

void PasteTextRuns(CTextLayout& text, CTextEditing& selection, const std::vector<uint8_t>& data,
                   bool foreign, int32_t pageCount) {
    // Read everything first, so bad data changes nothing.
    struct CPasted {
        uint8_t byte;
        CCharStyle style;
    };
    std::vector<CPasted> pasted;
    CByteReader reader(std::span<const uint8_t>(data.data(), data.size()), kClipboardVersion);
    while (true) {
        const uint8_t byte = reader.ReadByte();
        if (byte == 0) break;
        CPasted item{byte, {}};
        if (byte != kParagraphBreak) {
            item.style.Load(reader, kClipboardVersion);
            if (foreign)
                item.style.link.OnPagesReset();
            else
                item.style.link.OnPageCountChanged(pageCount);
        }
        pasted.push_back(std::move(item));
    }
    selection.DeleteSelection(text);
    for (const CPasted& item : pasted) {
        if (item.byte == kParagraphBreak)
            selection.SplitParagraph(text);
        else
            selection.InsertChar(text, item.byte, item.style);
    }
}
