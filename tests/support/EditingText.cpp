#include "tests/support/EditingText.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/TextObject.h"

namespace pwtest {
CEditingText::CEditingText(CPage& page) : m_page(page) {
    auto text = std::make_unique<CTextObject>(DPOINT{5, 5}, CObjectSize{1, 1}, 0.0);
    text->BeginEditing();
    m_item = &page.InsertItem(std::move(text));
}

CEditingText::~CEditingText() { m_page.RemoveItem(*m_item); }
} // namespace pwtest
