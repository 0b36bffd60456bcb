#pragma once
class CPage;
class CPageItem;

namespace pwtest {
// Puts a new text into in-place editing on the page for as long as it lives,
// the way the editor does while the user types; the text leaves the page
// again at the end.
class CEditingText {
public:
    explicit CEditingText(CPage& page);
    ~CEditingText();
    CEditingText(const CEditingText&) = delete;
    CEditingText& operator=(const CEditingText&) = delete;

private:
    CPage& m_page;
    CPageItem* m_item;
};
} // namespace pwtest
