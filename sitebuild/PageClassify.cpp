#include "sitebuild/PageClassify.h"
#include "model/BoxObject.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/TextObject.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "services/StringTable.h"
#include <algorithm>
#include <cctype>

namespace {

// The area an item takes in the built page: both states for a mouse-over
// item, since its image covers either.
CRect ItemArea(const CPageItem& item) {
    CRect area = item.GetRect();
    if (item.HasMouseOver() && item.MouseOver())
        area = UnionRect(item.Normal().GetRect(), item.MouseOver()->GetRect());
    return area;
}

bool Meets(const CRect& a, const CRect& b) {
    return !a.Intersect(b).IsEmpty();
}

// An upright rectangle or picture without effects keeps the text below it
// intact: the browser draws the text over its image.
bool LeavesTextAlone(const CPageObject& object) {
    if (object.GetKind() != KIND_RECT || object.GetAngle() != 0.0) return false;
    const CEffects* effects = object.GetEffects();
    return !effects || !effects->AnyOn();
}

} // namespace

int ProgressStep(int weight, int pages) {
    if (pages <= 0) return std::max(1, weight);
    return std::max(1, CBoxObject::RoundHalfUp(static_cast<double>(weight) / pages));
}

std::string PageFileName(int position) {
    return CStringTable::Get(IDS_PAGE_FILE_PREFIX) + std::to_string(position) + ".html";
}

CRect PageRect(const CPage& page) {
    return {0, 0, page.Width(), page.Height()};
}

BuildPage MakeBuildPage(const CPage& page, int position, bool frontPage) {
    BuildPage out;
    out.page = &page;
    out.position = position;
    out.frontPage = frontPage;
    out.keyName = frontPage ? std::string(kFrontPageFile) : page.Identifier();
    out.fileName = frontPage ? std::string(kFrontPageFile) : PageFileName(position);
    const CRect pageRect = PageRect(page);
    for (int i = 0; i < page.ItemCount(); ++i) {
        CPageItem& item = page.ItemAt(i);
        if (!Meets(item.GetRect(), pageRect)) continue;
        BuildItem built;
        built.item = &item;
        built.zIndex = i;
        out.items.push_back(std::move(built));
    }
    return out;
}

bool CanBeHtmlText(const CPageItem& item) {
    if (item.Current().GetKind() != KIND_TEXT || item.HasMouseOver()) return false;
    const auto& text = static_cast<const CTextObject&>(item.Current());
    return !text.Advanced() && text.QualifiesAsHtmlText();
}

void HtmlTextPosition(const CTextObject& text, BuildItem& out) {
    const CObjectSize size = text.GetSize();
    const CTextLayout& layout = text.Layout();
    const DPOINT c = text.GetCenter();
    const double w0 = layout.boxWidth, h0 = layout.boxHeight;
    out.width = size.width;
    out.height = size.height;
    switch (layout.alignment) {
    case CTextLayout::alignCentre:
        out.left = CBoxObject::RoundHalfUp(c.x - size.width / 2.0) + 1;
        break;
    case CTextLayout::alignRight:
        out.left = CBoxObject::RoundHalfUp(c.x + w0 / 2.0 - size.width);
        break;
    default:
        out.left = CBoxObject::RoundHalfUp(c.x - w0 / 2.0) + 2;
        break;
    }
    out.top = CBoxObject::RoundHalfUp(c.y - h0 / 2.0) + 2;
}

void DecideTextsAndCounters(BuildPage& page, bool previewMode) {
    const int count = static_cast<int>(page.items.size());
    for (int i = count - 1; i >= 0; --i) {
        BuildItem& built = page.items[static_cast<std::size_t>(i)];
        const CPageItem& item = *built.item;
        const CPageObject& object = item.Current();
        built.htmlText = false;
        if (object.GetKind() == KIND_COUNTER && !previewMode) {
            const CObjectSize size = object.GetSize();
            const DPOINT c = object.GetCenter();
            built.width = size.width;
            built.height = size.height;
            built.left = CBoxObject::RoundHalfUp(c.x - size.width / 2.0);
            built.top = CBoxObject::RoundHalfUp(c.y - size.height / 2.0);
            continue;
        }
        if (object.GetKind() != KIND_TEXT || !CanBeHtmlText(item)) continue;
        const CRect area = ItemArea(item);
        bool covered = false;
        for (int j = i + 1; j < count && !covered; ++j) {
            const BuildItem& above = page.items[static_cast<std::size_t>(j)];
            if (!Meets(ItemArea(*above.item), area)) continue;
            covered = !above.htmlText && !LeavesTextAlone(above.item->Current());
        }
        if (covered) continue;
        built.htmlText = true;
        HtmlTextPosition(static_cast<const CTextObject&>(object), built);
    }
}

bool IsOverlapped(const BuildPage& page, int index, const CRect& rect) {
    for (std::size_t j = static_cast<std::size_t>(index) + 1; j < page.items.size(); ++j) {
        const BuildItem& above = page.items[j];
        if (!above.htmlText && Meets(ItemArea(*above.item), rect)) return true;
    }
    return false;
}

int FirstOverlappedMouseOver(const BuildPage& page) {
    for (std::size_t i = 0; i < page.items.size(); ++i) {
        const CPageItem& item = *page.items[i].item;
        if (!item.HasMouseOver() || !item.MouseOver()) continue;
        if (IsOverlapped(page, static_cast<int>(i), ItemArea(item))) return static_cast<int>(i);
    }
    return -1;
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

bool IsAnimatedGifPicture(const CPageObject& object) {
    if (object.GetKind() != KIND_RECT) return false;
    const CObjectFill* fill = object.GetFill();
    return fill && fill->GetType() == CObjectFill::fillImage && fill->IsAnimatedGif() &&
           EndsWithNoCase(fill->GetImagePath(), ".gif");
}

bool IsImageItem(const BuildItem& item, bool previewMode) {
    if (item.htmlText) return false;
    switch (item.item->Current().GetKind()) {
    case KIND_HTML:
    case KIND_FORM:
        return false;
    case KIND_COUNTER:
        return previewMode;
    default:
        return true;
    }
}

bool IsDrawnInImages(const BuildItem& item, bool previewMode) {
    return IsImageItem(item, previewMode) && !IsAnimatedGifPicture(item.item->Current());
}
