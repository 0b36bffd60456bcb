#pragma once
#include "model/TextEditing.h"
#include "model/TextLayout.h"
#include <cstdint>
#include <string>
#include <vector>

// The clipboard formats of text being edited.
//
// Styled runs: for every selected character its byte followed by its style
// (face name, size, bold, italic, underline, colour, link chunk when the link
// is enabled); the byte 13 where the selection passes into the next
// paragraph; the byte 0 at the end.
// Plain text: the selected bytes, 13 between paragraphs, 0 at the end.
// Both are empty when nothing is selected.
std::vector<uint8_t> CopyTextRuns(const CTextLayout& text, const CTextEditing& selection);
std::string CopyTextPlain(const CTextLayout& text, const CTextEditing& selection);

// Inserts styled runs at the caret, replacing the selection. Links from
// another program's data are reset (OnPagesReset); links from this program
// are kept within pageCount pages. A character byte 0 or 13 inside a style
// never occurs: 0 ends the data and 13 breaks the paragraph. Throws
// CFileFormatException for data that ends early or holds a bad style; the
// text is then unchanged.
void PasteTextRuns(CTextLayout& text, CTextEditing& selection, const std::vector<uint8_t>& data,
                   bool foreign, int32_t pageCount);
