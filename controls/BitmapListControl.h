#pragma once
#include "controls/ControlBase.h"
#include <QTimer>
#include <cstdint>
#include <vector>

class CImage;

// A horizontally scrolling list of thumbnails in a fixed number of rows,
// laid out column by column (cell index = row + column × rows) with 3-pixel
// gaps. An arrow area at each end scrolls the list by the scroll step, and
// keeps scrolling while the button is held. A click in the list selects the
// cell under the mouse (-1 past the last entry); when that changes the
// selection it sends changing(id, kBitmapListSelChanging) at once and
// changed(id, kBitmapListUpdated) on release.
class CBitmapListControl : public CControlBase {
    Q_OBJECT
public:
    static constexpr int kGap = 3;
    // First repeat of a held arrow, then the repeat interval (milliseconds).
    static constexpr int kRepeatDelay = 300;
    static constexpr int kRepeatInterval = 50;

    explicit CBitmapListControl(QWidget* parent = nullptr);

    // arrowWidth: width of each scroll arrow area; firstValue: the value of
    // the first picture entry (later ones count up from it); rows >= 1;
    // scrollStep: pixels per scroll (at least 1).
    void Init(int arrowWidth, int firstValue, int rows, int scrollStep);
    // Adds a thumbnail made from the picture; its value is firstValue plus
    // the number of entries before it. Returns the new index.
    int Add(const QImage& picture);
    int Add(const CImage& picture);
    // Adds an entry that carries a value and no picture.
    int Add(uint32_t value);
    // Removes an entry; removing the selected entry clears the selection,
    // removing one before it moves the selection down by one.
    void Remove(int index);
    // Selects an entry (-1 or an index past the end clears the selection).
    void Select(int index);
    int GetSelected() const { return m_selected; }
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    uint32_t GetValue(int index) const;
    // Redraws the list after a batch of changes.
    void Update();

    // Geometry, for the owner and for tests.
    QRect LeftArrowRect() const;
    QRect RightArrowRect() const;
    QRect ListRect() const;
    int CellSize() const;
    // A cell's rectangle in client coordinates at the current scroll offset.
    QRect CellRect(int index) const;
    // The entry under a point of the list area, -1 past the last entry or
    // outside the cells.
    int IndexAt(QPoint pos) const;
    int ScrollOffset() const { return m_scroll; }
    int MaxScroll() const;

    QSize sizeHint() const override { return {240, 64}; }

protected:
    void Draw(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void CancelTracking() override;

private:
    struct CEntry {
        QImage thumb; // null for a value-only entry
        uint32_t value = 0;
    };
    void ScrollBy(int delta);
    void Repeat();

    std::vector<CEntry> m_entries;
    int m_arrowWidth = 12;
    int m_firstValue = 0;
    int m_rows = 1;
    int m_step = 8;
    int m_selected = -1;
    int m_scroll = 0;
    int m_scrollDirection = 0; // -1 / +1 while an arrow is held
    bool m_selectionMoved = false;
    QTimer m_repeat;
};
