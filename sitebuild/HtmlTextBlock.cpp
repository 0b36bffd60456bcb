#include "sitebuild/HtmlTextBlock.h"
#include "sitebuild/HtmlOutput.h"
#include "model/PageItem.h"
#include "model/TextObject.h"
#include "model/ObjectFill.h"
#include <algorithm>

using htmlout::Append;

CTextObject* HtmlTextOf(const BuildItem& item) {
    if (!item.item) return nullptr;
    return dynamic_cast<CTextObject*>(&item.item->Current());
}

std::vector<LinkRun> CHtmlWriter::CollectLinkRuns(const CTextObject& text) {
    // Character indices run on across paragraphs, so one link may span a
    // paragraph break.
    std::vector<LinkRun> runs;
    const CTextLayout& layout = text.Layout();
    int32_t c = 0;
    for (int p = 0; p < layout.ParagraphCount(); ++p) {
        const int length = static_cast<int>(layout.Paragraph(p).text.size());
        for (int i = 0; i < length; ++i, ++c) {
            const CObjectLink& link = layout.StyleAt(p, i).link;
            if (!link.enabled) continue;
            if (!runs.empty() && runs.back().last == c - 1 && runs.back().link == link)
                runs.back().last = c;
            else
                runs.push_back({link, c, c});
        }
    }
    return runs;
}

namespace {

bool SameLook(const CCharStyle& a, const CCharStyle& b, bool compareColour) {
    return a.fontIndex == b.fontIndex && a.fontSize == b.fontSize && a.bold == b.bold &&
           a.italic == b.italic && a.underline == b.underline &&
           (!compareColour || a.color == b.color);
}

int32_t StyleNumber(std::vector<TextStyle>& table, const TextStyle& style) {
    const auto found = std::find(table.begin(), table.end(), style);
    if (found != table.end()) return static_cast<int32_t>(found - table.begin());
    table.push_back(style);
    return static_cast<int32_t>(table.size()) - 1;
}

} // namespace

void CHtmlWriter::AddTextStyles(BuildPage& page, const BuildItem& item) {
    const CTextObject* text = HtmlTextOf(item);
    if (!text) return;
    // A solid fill paints every character in one colour, whatever colour the
    // characters carry, so their own colours must not split the runs.
    const CObjectFill* fill = text->GetFill();
    const bool solid = fill && fill->GetType() == CObjectFill::fillSolid;
    const ColorRef fillColour = solid ? fill->GetColour().GetCOLORREF() & 0xFFFFFFu : 0;

    const CTextLayout& layout = text->Layout();
    const CCharStyle* previous = nullptr;
    int32_t c = 0;
    for (int p = 0; p < layout.ParagraphCount(); ++p) {
        const int length = static_cast<int>(layout.Paragraph(p).text.size());
        for (int i = 0; i < length; ++i, ++c) {
            const CCharStyle& style = layout.StyleAt(p, i);
            if (!previous || !SameLook(style, *previous, !solid)) {
                TextStyle entry;
                entry.fontName = style.FaceName();
                entry.size = style.fontSize;
                entry.italic = style.italic;
                entry.bold = style.bold;
                entry.underline = style.underline;
                entry.colour = solid ? fillColour : static_cast<ColorRef>(style.color) & 0xFFFFFFu;
                page.styleRuns.push_back({c, StyleNumber(page.styles, entry)});
            }
            previous = &style;
        }
    }
}

void CHtmlTextBlock::Write(std::string& out, const BuildItem& item) {
    CTextObject* text = HtmlTextOf(item);
    if (!text) return;
    CTextLayout& layout = text->Layout();
    // The line breaks come from the layout; a text never laid out (built
    // straight from a file) is laid out here with its own box.
    if (!layout.IsLaidOut()) layout.Layout();

    static const char* const kAlign[] = {"left", "center", "right"};
    const char* align = kAlign[std::clamp(layout.alignment, 0, 2)];
    Append(out, "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH=%d HEIGHT=%d>", item.width,
           item.height);
    out += "<TR>";
    Append(out, "<TD VALIGN=\"TOP\" ALIGN=\"%s\">", align);
    Append(out, "<DIV STYLE=\"text-align:%s;margin-left:0px;text-indent:0px;\">", align);

    m_links = &item.linkRuns;
    m_link = 0;
    m_linkOpen = false;
    m_spanOpen = false;
    int32_t c = 0;
    for (int p = 0; p < layout.ParagraphCount(); ++p) {
        const CParagraph& para = layout.Paragraph(p);
        const int length = static_cast<int>(para.text.size());
        // A row that is not the paragraph's last ends in a soft line break.
        std::vector<bool> breakAfter(static_cast<std::size_t>(length), false);
        for (std::size_t r = 0; r + 1 < para.rows.size(); ++r) {
            const int last = para.rows[r].end - 1;
            if (last >= 0 && last < length - 1) breakAfter[static_cast<std::size_t>(last)] = true;
        }
        for (int i = 0; i < length; ++i, ++c) {
            StartRunIfDue(out, c);
            StepLinks(out, c);
            htmlout::AppendTextChar(out, para.text[static_cast<std::size_t>(i)]);
            if (breakAfter[static_cast<std::size_t>(i)]) out += "<br>\n";
        }
        out += "<br>\n";
    }
    if (m_linkOpen) out += "</A>";
    // An empty text never opened a span; a stray closing tag would only
    // confuse the markup.
    if (m_spanOpen) out += "</SPAN>";
    out += "</DIV></TD></TR></TABLE>";
}

void CHtmlTextBlock::StartRunIfDue(std::string& out, int32_t c) {
    const std::vector<StyleRun>& runs = m_page.styleRuns;
    if (m_run >= runs.size()) return;
    if (runs[m_run].start != c && m_run != 0) return;
    if (m_spanOpen) {
        if (m_linkOpen) out += "</A>";
        out += "</SPAN>";
    }
    Append(out, "<SPAN CLASS=\"textstyle%d\">", runs[m_run].style);
    m_spanOpen = true;
    // The anchor may not straddle the span boundary; it goes on in the new
    // span, unless it ended with the old one (a link styled apart from its
    // surroundings): reopening it there would leave an empty anchor behind.
    if (m_linkOpen) {
        if ((*m_links)[m_link].last == c - 1) {
            m_linkOpen = false;
            ++m_link;
        } else {
            OpenLink(out);
        }
    }
    ++m_run;
}

void CHtmlTextBlock::StepLinks(std::string& out, int32_t c) {
    const std::vector<LinkRun>& links = *m_links;
    if (m_link >= links.size()) return;
    if (c == links[m_link].first) {
        OpenLink(out);
        m_linkOpen = true;
    }
    if (m_linkOpen && c - 1 == links[m_link].last) {
        out += "</A>";
        m_linkOpen = false;
        ++m_link;
        if (m_link < links.size() && links[m_link].first == c) {
            OpenLink(out);
            m_linkOpen = true;
        }
    }
}

void CHtmlTextBlock::OpenLink(std::string& out) {
    const std::string url = m_resolve ? m_resolve((*m_links)[m_link].link, m_page) : std::string();
    Append(out, "<A HREF=\"%s\">", htmlout::AttributeValue(url).c_str());
}
