// A test-only reader of a saved site file: prints the items of one page, a
// line per item with its kind and place, and for a text its runs of equally
// styled characters, so that scripted sessions can check what a paste or a
// drop left in the file.
//
//   pw-pagedump SITEFILE PAGE
//
//   rectangle 5 at 260,310 size 360x220
//   text 9 at 240,107 size 400x30
//     "Velkommen til firmaet" Arial 16 b-- #141e28 link none
//     <paragraph>
#include "model/CharStyle.h"
#include "model/ObjectKind.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/TextObject.h"
#include "render/Rendering.h"
#include "services/Cp1252.h"
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
const char* KindName(ObjectKind kind) {
    switch (kind) {
    case KIND_ELLIPSE: return "ellipse";
    case KIND_RECT: return "rectangle";
    case KIND_TEXT: return "text";
    case KIND_COUNTER: return "counter";
    case KIND_HTML: return "html";
    case KIND_FORM: return "form";
    }
    return "object";
}

std::string LinkName(const CObjectLink& link) {
    if (!link.enabled) return "none";
    switch (link.type) {
    case CObjectLink::typePage: return "page:" + std::to_string(link.page);
    case CObjectLink::typeEmail: return "mail:" + link.email;
    case CObjectLink::typeUrl: return "url:" + link.url;
    default: return "file:" + link.document;
    }
}

std::string Describe(const CCharStyle& style) {
    char buffer[160];
    const unsigned rgb = static_cast<unsigned>(style.color);
    std::snprintf(buffer, sizeof buffer, "%s %d %c%c%c #%02x%02x%02x link %s",
                  cp1252::ToUtf8(style.FaceName()).c_str(), style.fontSize, style.bold ? 'b' : '-',
                  style.italic ? 'i' : '-', style.underline ? 'u' : '-', rgb & 0xFF,
                  (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF, LinkName(style.link).c_str());
    return buffer;
}

void Dump(const CTextObject& text) {
    const CTextLayout& layout = text.Layout();
    for (int p = 0; p < layout.ParagraphCount(); ++p) {
        if (p > 0) std::printf("  <paragraph>\n");
        const CParagraph& para = layout.Paragraph(p);
        std::size_t start = 0;
        for (std::size_t i = 1; i <= para.text.size(); ++i) {
            const bool runEnds = i == para.text.size() ||
                                 !(layout.Style(para.styles[i]) == layout.Style(para.styles[start]));
            if (!runEnds) continue;
            std::printf("  \"%s\" %s\n", cp1252::ToUtf8(para.text.substr(start, i - start)).c_str(),
                        Describe(layout.Style(para.styles[start])).c_str());
            start = i;
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pw-pagedump SITEFILE PAGE\n");
        return 2;
    }
    InstallRendering(nullptr);
    std::string error;
    std::unique_ptr<CSite> site = LoadSiteFile(argv[1], nullptr, &error);
    if (!site) {
        std::fprintf(stderr, "pw-pagedump: cannot read %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const int number = std::atoi(argv[2]);
    if (number < 1 || number > site->PageCount()) {
        std::fprintf(stderr, "pw-pagedump: no page %s\n", argv[2]);
        return 1;
    }
    const CPage& page = site->PageAt(number - 1);
    int index = 0;
    for (const auto& item : page.Items()) {
        ++index;
        const CRect box = item->Normal().GetRect();
        std::printf("%s %d at %d,%d size %dx%d\n", KindName(item->Normal().GetKind()), index, box.left,
                    box.top, box.right - box.left, box.bottom - box.top);
        if (const auto* text = dynamic_cast<const CTextObject*>(&item->Normal())) Dump(*text);
    }
    return 0;
}
