// Geometry, editing and ownership behaviour of the ellipse and rectangle.
#include "image/Image.h"
#include "model/ButtonText.h"
#include "model/EllipseObject.h"
#include "model/ObjectLink.h"
#include "model/RectObject.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;

CPixMap Work() {
    return CPixMap(WithAlpha(IMAGE_RGB8), 256, 256);
}

void ExpectHandlesShifted(const CPageObject& moved, const DPOINT* before, double dx, double dy) {
    for (int i = 0; i < CPageObject::handleCount; ++i) {
        EXPECT_DOUBLE_EQ(moved.GetHandles()[i].x, before[i].x + dx) << "handle " << i;
        EXPECT_DOUBLE_EQ(moved.GetHandles()[i].y, before[i].y + dy) << "handle " << i;
    }
}

void CopyHandles(const CPageObject& o, DPOINT* out) {
    for (int i = 0; i < CPageObject::handleCount; ++i)
        out[i] = o.GetHandles()[i];
}
} // namespace

TEST(ShapeObject, WholePixelMovesKeepTheImageAndSubPixelMovesRenderAgain) {
    CEllipseObject e({100.5, 80}, {41, 30}, 0.3);
    CPixMap work = Work();
    ASSERT_TRUE(e.Render(work));
    const CImage* image = e.GetImage();
    ASSERT_NE(image, nullptr);
    const CRect rect = e.GetRect();
    DPOINT handles[8];
    CopyHandles(e, handles);

    e.MoveBy(3, -2);
    EXPECT_FALSE(e.IsDirty());
    EXPECT_EQ(e.GetImage(), image);
    EXPECT_EQ(e.GetRect(), (CRect{rect.left + 3, rect.top - 2, rect.right + 3, rect.bottom - 2}));
    ExpectHandlesShifted(e, handles, 3, -2);
    EXPECT_DOUBLE_EQ(e.GetCenter().x, 103.5);
    EXPECT_EQ(e.GetPendingMove(), (CPixelShift{3, -2}));

    // A whole move up to rounding noise is still a fast move.
    e.SetCenter({e.GetCenter().x + 2.00005, e.GetCenter().y - 1});
    EXPECT_FALSE(e.IsDirty());
    EXPECT_EQ(e.GetRect().left, rect.left + 5);
    EXPECT_EQ(e.GetPendingMove(), (CPixelShift{5, -3}));

    // Half a pixel needs new pixels; the outline follows the centre at once.
    e.SetCenter({e.GetCenter().x + 0.5, e.GetCenter().y});
    EXPECT_TRUE(e.IsDirty());
    EXPECT_EQ(e.GetPendingMove(), (CPixelShift{0, 0}));
    EXPECT_DOUBLE_EQ(e.GetCenter().x, 106.00005);
    ASSERT_TRUE(e.Render(work));
    EXPECT_FALSE(e.IsDirty());

    // Twice the tolerance is not noise any more.
    e.SetCenter({e.GetCenter().x + 1.0002, e.GetCenter().y});
    EXPECT_TRUE(e.IsDirty());
}

TEST(ShapeObject, RenderingAfterAFastMoveLandsWhereTheObjectWasMoved) {
    CRectObject r({50, 40}, {21, 13}, 0.4);
    CPixMap work = Work();
    ASSERT_TRUE(r.Render(work));
    const CImage before = *r.GetImage();
    const CRect rect = r.GetRect();
    r.MoveBy(7, 4);
    r.Invalidate();
    ASSERT_TRUE(r.Render(work));
    EXPECT_EQ(r.GetRect(), (CRect{rect.left + 7, rect.top + 4, rect.right + 7, rect.bottom + 4}));
    ASSERT_EQ(r.GetImage()->Width(), before.Width());
    for (int y = 0; y < before.Height(); ++y)
        ASSERT_EQ(0, std::memcmp(before.Bits() + y * before.RowBytes(),
                                 r.GetImage()->Bits() + y * before.RowBytes(), 4 * before.Width()));
}

TEST(ShapeObject, RotationDragSnapsAtTheOddEighths) {
    CEllipseObject e({100, 100}, {40, 20});
    auto rotateTo = [&](double objectAngle0, bool snap) {
        // Mouse straight to the right of the centre: its angle is 0.
        e.RotateTowards(200, 100, 0.0, objectAngle0, snap);
        return e.GetAngle();
    };
    EXPECT_DOUBLE_EQ(rotateTo(kPi / 8, true), kPi / 4);
    EXPECT_EQ(rotateTo(std::nextafter(kPi / 8, 0.0), true), 0.0);
    EXPECT_DOUBLE_EQ(rotateTo(3 * kPi / 8, true), kPi / 2);
    EXPECT_DOUBLE_EQ(rotateTo(std::nextafter(15 * kPi / 8, 0.0), true), 7 * kPi / 4);
    EXPECT_EQ(rotateTo(15 * kPi / 8, true), 0.0);
    EXPECT_EQ(rotateTo(2 * kPi, false), 2 * kPi);
    EXPECT_DOUBLE_EQ(rotateTo(1.0, false), 1.0);

    // With y downwards the mouse below the centre is at pi/2: dragging there
    // from the right turns the object clockwise on screen, to 3/2 pi.
    e.RotateTowards(100, 150, 0.0, 0.0, false);
    EXPECT_DOUBLE_EQ(e.GetAngle(), 3 * kPi / 2);
    e.RotateTowards(100, 50, 0.0, 0.0, false);
    EXPECT_DOUBLE_EQ(e.GetAngle(), kPi / 2);

    // The pivot is where the object shows, mouse-over offset included.
    e.SetOffsetY(10);
    e.RotateTowards(100, 160, 0.0, 0.0, false);
    EXPECT_DOUBLE_EQ(e.GetAngle(), 3 * kPi / 2);
}

TEST(ShapeObject, HandlesAndBoundsFollowSizeAngleAndOffset) {
    CRectObject r({200, 100}, {100, 50});
    EXPECT_EQ(r.GetHandleBounds(), (CRect{147, 72, 253, 128}));
    EXPECT_EQ(r.GetBounds(true), (CRect{150, 75, 250, 125}));
    const DPOINT expected[8] = {{150, 75},  {200, 75},  {250, 75},  {150, 100},
                                {250, 100}, {150, 125}, {200, 125}, {250, 125}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_DOUBLE_EQ(r.GetHandles()[i].x, expected[i].x);
        EXPECT_DOUBLE_EQ(r.GetHandles()[i].y, expected[i].y);
    }

    // A quarter turn counter-clockwise on screen: the top-right corner
    // (50 right, 25 up of the centre) ends 50 up and 25 left.
    r.SetAngle(kPi / 2);
    EXPECT_NEAR(r.GetHandles()[CPageObject::handleTopRight].x, 175, 1e-9);
    EXPECT_NEAR(r.GetHandles()[CPageObject::handleTopRight].y, 50, 1e-9);
    EXPECT_NEAR(r.GetHandles()[CPageObject::handleRight].x, 200, 1e-9);
    EXPECT_NEAR(r.GetHandles()[CPageObject::handleRight].y, 50, 1e-9);
    EXPECT_EQ(r.GetHandleBounds(), (CRect{172, 47, 228, 153}));

    // Any angle: corners stay at the half diagonal, edge handles midway.
    r.SetAngle(0.7);
    const DPOINT* h = r.GetHandles();
    for (int corner : {0, 2, 5, 7})
        EXPECT_NEAR(std::hypot(h[corner].x - 200, h[corner].y - 100), std::hypot(50, 25), 1e-9);
    EXPECT_NEAR(h[1].x, (h[0].x + h[2].x) / 2, 1e-9);
    EXPECT_NEAR(h[6].y, (h[5].y + h[7].y) / 2, 1e-9);
    EXPECT_NEAR(std::atan2(-(h[4].y - 100), h[4].x - 200), 0.7, 1e-12);

    // The mouse-over offset shifts rect and handles without new pixels.
    CPixMap work = Work();
    ASSERT_TRUE(r.Render(work));
    const CRect rect = r.GetRect();
    DPOINT before[8];
    CopyHandles(r, before);
    r.SetOffsetX(-7);
    r.SetOffsetY(12);
    r.SetOffsetX(-5);
    EXPECT_FALSE(r.IsDirty());
    EXPECT_EQ(r.GetRect(), (CRect{rect.left - 5, rect.top + 12, rect.right - 5, rect.bottom + 12}));
    ExpectHandlesShifted(r, before, -5, 12);
    EXPECT_EQ(r.GetOffsetX(), -5);
    EXPECT_EQ(r.GetOffsetY(), 12);
    // Rebuilding keeps the offset in the handles.
    r.SetSize(100, 50);
    r.SetSize(60, 50);
    EXPECT_DOUBLE_EQ(r.GetHandles()[CPageObject::handleTop].y, 100 + 12 - 25 * std::cos(0.7));
}

TEST(ShapeObject, SettersOnlyInvalidateOnRealChanges) {
    CEllipseObject e({30, 30}, {20, 20}, 1.0);
    CPixMap work = Work();
    ASSERT_TRUE(e.Render(work));
    e.SetSize(20, 20);
    e.SetAngle(1.0);
    e.SetAltText("Logo");
    e.SetLink(std::make_unique<CObjectLink>());
    EXPECT_FALSE(e.IsDirty());

    CButtonText label = *e.GetButtonText();
    e.SetButtonText(label);
    EXPECT_FALSE(e.IsDirty());
    label.text = "Klik her";
    e.SetButtonText(label);
    EXPECT_TRUE(e.IsDirty());
    EXPECT_EQ(e.GetButtonText()->text, "Klik her");

    ASSERT_TRUE(e.Render(work));
    e.SetSize(CObjectSize{22, 20});
    EXPECT_TRUE(e.IsDirty());
    EXPECT_EQ(e.GetSize(), (CObjectSize{22, 20}));
    ASSERT_TRUE(e.Render(work));
    e.SetSize(-4, 3); // sizes never go negative
    EXPECT_EQ(e.GetSize(), (CObjectSize{0, 3}));

    ASSERT_TRUE(e.Render(work));
    auto fill = std::make_unique<CObjectFill>(CColor(10, 20, 30));
    CObjectFill* raw = fill.get();
    std::unique_ptr<CObjectFill> old = e.SetFill(std::move(fill));
    EXPECT_TRUE(e.IsDirty());
    EXPECT_EQ(e.GetFill(), raw);
    ASSERT_NE(old, nullptr); // the caller decides whether the old fill lives on

    e.ReleaseImage();
    EXPECT_EQ(e.GetImage(), nullptr);
    EXPECT_TRUE(e.IsDirty());
    EXPECT_TRUE(e.PrepareAndRender(work));
    EXPECT_NE(e.GetImage(), nullptr);
}

TEST(ShapeObject, CapabilitiesOfEllipseRectangleAndPicture) {
    CEllipseObject e({0, 0}, {2, 2});
    CRectObject r({0, 0}, {2, 2});
    for (const CPageObject* o :
         {static_cast<const CPageObject*>(&e), static_cast<const CPageObject*>(&r)}) {
        EXPECT_TRUE(o->CanHaveEffects() && o->CanHaveFill() && o->CanHaveLink() &&
                    o->CanHaveMouseOver() && o->HasButtonText() && o->RendersAsImage() &&
                    o->CanResize() && o->CanRotate());
        EXPECT_EQ(o->GetMinSize(), (CObjectSize{1, 1}));
        EXPECT_EQ(o->GetMaxSize(), (CObjectSize{2000, 2000}));
    }
    EXPECT_EQ(e.GetKind(), KIND_ELLIPSE);
    EXPECT_EQ(r.GetKind(), KIND_RECT);

    // The picture flag of the fill turns the rectangle into a picture.
    r.GetFill()->SetPicture(true);
    EXPECT_FALSE(r.CanHaveEffects());
    EXPECT_FALSE(r.CanHaveFill());
    EXPECT_TRUE(r.CanHaveLink());
    EXPECT_FALSE(r.CanHaveMouseOver());
    EXPECT_FALSE(r.HasButtonText());
    EXPECT_TRUE(r.RendersAsImage());
    EXPECT_TRUE(r.CanResize());
    EXPECT_FALSE(r.CanRotate());
}

TEST(ShapeObject, CloneIsAFullIndependentCopy) {
    CEllipseObject e({64.5, 40}, {30, 18}, 0.25);
    e.SetOffsetX(4);
    e.SetOffsetY(-3);
    e.MoveBy(2, 2);
    e.GetLink()->enabled = true;
    e.GetLink()->url = "http://example.org";
    e.GetEffects()->glowOn = true;
    e.SetAltText("Knap");
    CButtonText label;
    label.text = "OK";
    e.SetButtonText(label);
    e.GetFill()->SetColour(CColor(200, 10, 10));

    std::unique_ptr<CPageObject> copy = e.Clone();
    ASSERT_NE(copy, nullptr);
    auto* c = dynamic_cast<CEllipseObject*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetOffsetX(), 4);
    EXPECT_EQ(c->GetOffsetY(), -3);
    EXPECT_EQ(c->GetRect(), e.GetRect());
    EXPECT_EQ(c->GetPendingMove(), e.GetPendingMove());
    EXPECT_DOUBLE_EQ(c->GetCenter().x, e.GetCenter().x);
    EXPECT_EQ(c->GetAngle(), e.GetAngle());
    EXPECT_EQ(*c->GetLink(), *e.GetLink());
    EXPECT_EQ(*c->GetEffects(), *e.GetEffects());
    EXPECT_EQ(*c->GetButtonText(), *e.GetButtonText());
    EXPECT_EQ(*c->GetAltText(), "Knap");
    EXPECT_EQ(*c->GetFill(), *e.GetFill());
    for (int i = 0; i < 8; ++i)
        EXPECT_DOUBLE_EQ(c->GetHandles()[i].y, e.GetHandles()[i].y);

    c->GetFill()->SetColour(CColor(0, 0, 255));
    c->GetLink()->url = "http://other.example";
    c->SetAltText("Anden");
    EXPECT_EQ(e.GetFill()->GetColour().GetCOLORREF(), CColor(200, 10, 10).GetCOLORREF());
    EXPECT_EQ(e.GetLink()->url, "http://example.org");
    EXPECT_EQ(*e.GetAltText(), "Knap");

    // Both render to the same pixels when their fills agree again.
    c->GetFill()->SetColour(CColor(200, 10, 10));
    CPixMap work = Work();
    ASSERT_TRUE(e.Render(work));
    ASSERT_TRUE(c->Render(work));
    EXPECT_EQ(c->GetRect(), e.GetRect());
}

TEST(ShapeObject, SnapshotAndSwapPutTheGeometryBack) {
    CRectObject r({100, 100}, {40, 30}, 0.5);
    r.SetAltText("før");
    std::unique_ptr<CPageObject> snapshot = r.SnapshotGeometry();
    auto* s = dynamic_cast<CRectObject*>(snapshot.get());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetFill(), nullptr);
    EXPECT_EQ(s->GetEffects(), nullptr);
    EXPECT_EQ(s->GetLink(), nullptr);
    EXPECT_EQ(*s->GetAltText(), "før");

    const CRect rectBefore = r.GetRect();
    r.SetSize(80, 20);
    r.SetAngle(1.5);
    r.MoveBy(10, -5);
    r.SetAltText("efter");
    CButtonText label;
    label.text = "Ny";
    r.SetButtonText(label);

    r.SwapGeometry(*snapshot);
    EXPECT_EQ(r.GetSize(), (CObjectSize{40, 30}));
    EXPECT_EQ(r.GetAngle(), 0.5);
    EXPECT_DOUBLE_EQ(r.GetCenter().x, 100);
    EXPECT_DOUBLE_EQ(r.GetCenter().y, 100);
    EXPECT_EQ(*r.GetAltText(), "før");
    EXPECT_TRUE(r.GetButtonText()->text.empty());
    EXPECT_EQ(r.GetRect(), rectBefore);
    EXPECT_NE(r.GetFill(), nullptr); // the records stay with the object

    // The snapshot now holds the state undo replaced, ready for redo.
    EXPECT_EQ(s->GetSize(), (CObjectSize{80, 20}));
    EXPECT_EQ(s->GetAngle(), 1.5);
    EXPECT_DOUBLE_EQ(s->GetCenter().x, 110);
    EXPECT_EQ(*s->GetAltText(), "efter");
    EXPECT_EQ(s->GetButtonText()->text, "Ny");

    // Swapping with another kind of object is ignored.
    CEllipseObject e({0, 0}, {5, 5});
    CRectObject unchanged({1, 1}, {3, 3});
    unchanged.SwapGeometry(e);
    EXPECT_EQ(unchanged.GetSize(), (CObjectSize{3, 3}));
    EXPECT_EQ(e.GetSize(), (CObjectSize{5, 5}));

    // A snapshot renders and saves even without records.
    CPixMap work = Work();
    EXPECT_TRUE(s->Render(work));
}

TEST(ShapeObject, LinkUpkeepAndSizeEstimate) {
    CEllipseObject e({50, 50}, {100, 40});
    CObjectLink* link = e.GetLink();
    link->type = CObjectLink::typePage;
    link->enabled = true;
    link->page = 3;
    EXPECT_FALSE(e.OnPageRemoved(2));
    EXPECT_EQ(link->page, 2);
    EXPECT_TRUE(e.OnPageRemoved(2));
    EXPECT_FALSE(link->enabled);
    link->enabled = true;
    link->page = 4;
    e.OnPageCountChanged(3);
    EXPECT_EQ(link->page, 2);
    e.OnPagesReset();
    EXPECT_EQ(link->page, 0);
    EXPECT_FALSE(link->enabled);

    // 100 x 40 ellipse: rect 100 x 40 (the outline stays inside its box).
    EXPECT_EQ(e.GetRect().Width(), 100);
    EXPECT_EQ(e.GetRect().Height(), 40);
    EXPECT_EQ(e.EstimateBytes(3.0), 1333);
    EXPECT_EQ(e.EstimateBytes(0.0), 4000);
}
