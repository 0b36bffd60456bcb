#pragma once
#include "sitebuild/HtmlWriter.h"
#include <cstddef>
#include <string>
#include <vector>

class CTextObject;

// The object of an item that is written as HTML text; null for any other.
CTextObject* HtmlTextOf(const BuildItem& item);

// Writes the table that holds one HTML text: its characters in their style
// spans and link anchors, with the layout's line breaks. The page's style
// runs are shared by all its texts, so the caller keeps the run cursor from
// one text to the next.
class CHtmlTextBlock {
public:
    CHtmlTextBlock(const BuildPage& page, const CHtmlWriter::LinkResolver& resolve,
                   std::size_t& runCursor)
        : m_page(page), m_resolve(resolve), m_run(runCursor) {}

    // Appends the block of the item (a text item) to out, without the
    // item's own DIV.
    void Write(std::string& out, const BuildItem& item);

private:
    void StartRunIfDue(std::string& out, int32_t c);
    void StepLinks(std::string& out, int32_t c);
    void OpenLink(std::string& out);

    const BuildPage& m_page;
    const CHtmlWriter::LinkResolver& m_resolve;
    std::size_t& m_run;
    const std::vector<LinkRun>* m_links = nullptr;
    std::size_t m_link = 0;
    bool m_linkOpen = false;
    bool m_spanOpen = false;
};
