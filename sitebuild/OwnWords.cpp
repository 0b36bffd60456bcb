#include "sitebuild/OwnWords.h"
#include "model/ButtonText.h"
#include "model/PageItem.h"
#include "model/TextObject.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' ||
           c == '\xA0'; // no-break space of Windows-1252
}

} // namespace

std::string CollapseWords(std::string_view text) {
    std::string out;
    out.reserve(std::min(text.size(), kOwnWordsMaxLength + 1));
    bool space = false;
    for (const char c : text) {
        if (IsSpace(c)) {
            space = !out.empty();
            continue;
        }
        if (space) out += ' ';
        space = false;
        out += c;
        if (out.size() > kOwnWordsMaxLength) break;
    }
    if (out.size() <= kOwnWordsMaxLength) return out;
    // Cut at the last word that fits whole; one long word is cut anyway.
    std::size_t cut = out.rfind(' ', kOwnWordsMaxLength);
    if (cut == std::string::npos || cut == 0) cut = kOwnWordsMaxLength - 1;
    out.resize(cut);
    out += '\x85'; // the ellipsis of Windows-1252, the pages' code page
    return out;
}

std::string OwnWords(const CPageObject& object) {
    if (const auto* text = dynamic_cast<const CTextObject*>(&object)) {
        const CTextLayout& layout = text->Layout();
        std::string words;
        for (int p = 0; p < layout.ParagraphCount(); ++p) {
            if (p > 0) words += ' ';
            words += layout.Paragraph(p).text;
            // Enough to fill the bounded text; the rest would be cut anyway.
            if (words.size() > 4 * kOwnWordsMaxLength) break;
        }
        return CollapseWords(words);
    }
    if (const auto* shape = dynamic_cast<const CShapeObject*>(&object)) {
        const CButtonText* label = shape->GetButtonText();
        if (shape->HasButtonText() && label) return CollapseWords(label->text);
    }
    return {};
}

std::string AltTextFor(const BuildItem& item, bool classic) {
    if (!item.item) return {};
    const CPageObject& object = item.item->Current();
    if (const std::string* own = object.GetAltText(); own && !own->empty()) return *own;
    if (classic || item.htmlText) return {};
    return OwnWords(object);
}
