#pragma once
#include "services/Geometry.h"
#include <cstdint>
#include <vector>

class CPageItem;

// Scratch state of a rotate or scale drag of a whole set; the editor view
// fills and reads it.
struct CSetTransformState {
    bool rotating = false;
    bool scaling = false;
    double startAngle = 0.0;
    std::vector<DPOINT> startCentres;
    std::vector<double> startAngles;
    std::vector<DPOINT> startSizes;
};

// A selection or a group of page items: the common bounding box, the frame
// the editor draws (turned by the set's angle) and its eight handles. A
// selection exists only while it is selected; a group outlives deselection.
// Members are not owned; each member points back at its set.
class CObjectSet {
public:
    explicit CObjectSet(CPageItem* item);
    // Many members at once with a single frame computation.
    explicit CObjectSet(const std::vector<CPageItem*>& items);
    ~CObjectSet();
    CObjectSet(const CObjectSet&) = delete;
    CObjectSet& operator=(const CObjectSet&) = delete;

    const std::vector<CPageItem*>& Items() const { return m_items; }
    std::size_t Count() const { return m_items.size(); }
    bool Contains(const CPageItem* item) const;

    void Add(CPageItem* item);
    void Add(const std::vector<CPageItem*>& items);
    // The rest close up; the item's set pointer is cleared.
    void Remove(CPageItem* item);
    // Every member leaves (set pointers cleared).
    void Dissolve();

    // Moves every member and the frame with them.
    void MoveBy(int32_t dx, int32_t dy);
    // Clearing the group flag also straightens the frame.
    void SetGroup(bool group);
    void SetSelected(bool selected) { m_selected = selected; }
    void SetAngle(double angle);
    // After members moved on their own.
    void Recompute();

    bool IsGroup() const { return m_group; }
    bool IsSelected() const { return m_selected; }
    const CRect& Bounds() const { return m_bounds; }
    bool CanRotate() const { return m_canRotate; }
    bool CanScale() const { return m_canScale; }
    double Angle() const { return m_angle; }
    DPOINT Centre() const { return m_centre; }
    int32_t FrameWidth() const { return m_frameWidth; }
    int32_t FrameHeight() const { return m_frameHeight; }
    const DPOINT* Handles() const { return m_handles; }

    CSetTransformState transform;

private:
    void Adopt(CPageItem* item);
    void RecomputeBounds();
    void RecomputeFrame();

    std::vector<CPageItem*> m_items;
    CRect m_bounds;
    bool m_canRotate = true;
    bool m_canScale = true;
    bool m_group = false;
    bool m_selected = true;
    double m_angle = 0.0;
    DPOINT m_centre;
    int32_t m_frameWidth = 0;
    int32_t m_frameHeight = 0;
    DPOINT m_handles[8];
};

// Smallest rectangle holding both; an empty one does not count.
CRect UnionRect(const CRect& a, const CRect& b);
