#include "model/ObjectClipboard.h"
#include "image/Image.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/FileFormatException.h"
#include "services/GifIO.h"
#include "services/IO.h"
#include <algorithm>
#include <cctype>

namespace pw::clipboard {
namespace {
// More sets or items than a page can hold means damaged data.
constexpr int32_t kMaxEntries = 1000000;

void TakeLinks(CPageItem& item, bool foreign, int32_t pageCount) {
    for (CPageObject* object : {&item.Normal(), item.MouseOver()}) {
        if (!object) continue;
        // Page numbers of another site mean nothing here.
        if (foreign)
            object->OnPagesReset();
        else
            object->OnPageCountChanged(pageCount);
    }
}

// Moves the set so that its centre comes to the middle of `visible` when
// none of it can be seen there.
void BringIntoView(CObjectSet& set, const CRect& visible) {
    set.Recompute();
    const CRect bounds = set.Bounds();
    if (visible.IsEmpty() || !bounds.Intersect(visible).IsEmpty()) return;
    const DPOINT centre = set.IsGroup() ? set.Centre()
                                        : DPOINT{(bounds.left + bounds.right) / 2.0,
                                                 (bounds.top + bounds.bottom) / 2.0};
    const double targetX = (visible.left + visible.right) / 2;
    const double targetY = (visible.top + visible.bottom) / 2;
    set.MoveBy(static_cast<int32_t>(targetX - centre.x), static_cast<int32_t>(targetY - centre.y));
}

CPageItem& AddPicture(CPage& page, std::unique_ptr<CObjectFill> fill, DPOINT centre, int32_t w,
                      int32_t h) {
    auto rect = std::make_unique<CRectObject>(centre, CObjectSize{w, h});
    fill->SetPicture(true);
    rect->SetFill(std::move(fill));
    return page.InsertItem(std::move(rect));
}
} // namespace

std::vector<uint8_t> CopyObjects(const CPage& page) {
    std::vector<const CObjectSet*> sets;
    for (const auto& set : page.Sets())
        if (set->IsSelected()) sets.push_back(set.get());
    if (sets.empty()) return {};
    CByteWriter writer;
    writer.WriteInt32(static_cast<int32_t>(sets.size()));
    int32_t items = 0;
    for (const CObjectSet* set : sets)
        items += static_cast<int32_t>(set->Count());
    writer.WriteInt32(items);
    for (const CObjectSet* set : sets)
        SaveObjectSet(*set, writer);
    // Items in stacking order, so that a paste keeps them in the same order.
    for (const auto& item : page.Items()) {
        auto at = std::find(sets.begin(), sets.end(), item->Set());
        if (at == sets.end()) continue;
        writer.WriteInt32(static_cast<int32_t>(at - sets.begin()));
        SaveItem(*item, writer);
    }
    return writer.Data();
}

int PasteObjects(CPage& page, const std::vector<uint8_t>& data, bool foreign,
                 const CRect& visible, CFailure* failure) {
    std::vector<CStoredSet> stored;
    std::vector<std::vector<CPageItem*>> members;
    int added = 0;
    try {
        CByteReader reader(std::span<const uint8_t>(data), kCurrentStreamVersion);
        const int32_t setCount = reader.ReadInt32Range(1, kMaxEntries, "set count");
        const int32_t itemCount = reader.ReadInt32Range(1, kMaxEntries, "item count");
        for (int32_t i = 0; i < setCount; ++i)
            stored.push_back(LoadObjectSet(reader));
        members.resize(stored.size());
        page.DeselectAll();
        for (int32_t i = 0; i < itemCount; ++i) {
            const int32_t setIndex = reader.ReadInt32Range(0, setCount - 1, "set index");
            const std::size_t itemAt = reader.Tell();
            std::string error;
            std::unique_ptr<CPageItem> item = LoadItem(reader, kCurrentStreamVersion, {}, nullptr,
                                                       &error);
            if (!item) reader.FailAt("page item: " + error, itemAt);
            TakeLinks(*item, foreign, page.Site().PageCount());
            members[static_cast<std::size_t>(setIndex)].push_back(&page.InsertItem(std::move(item)));
            ++added;
        }
    } catch (const CFileFormatException& e) {
        if (failure) *failure = {EFailure::FileFormat, e.what()};
    }
    if (added == 0) return 0;
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (members[i].empty()) continue;
        auto set = std::make_unique<CObjectSet>(members[i]);
        set->SetGroup(stored[i].isGroup);
        if (stored[i].isGroup) set->SetAngle(stored[i].angle);
        set->SetSelected(true);
        BringIntoView(page.AppendSet(std::move(set)), visible);
    }
    page.SelectionChanged();
    // The insert step captures the pasted selection, so it comes after it.
    page.RecordUndo(EUndoKind::Insert);
    page.Repaint();
    return added;
}

std::vector<uint8_t> CopyBackground(const CPage& page) {
    CByteWriter writer;
    page.Background().Save(writer);
    return writer.Data();
}

bool PasteBackground(CPage& page, const std::vector<uint8_t>& data, CFailure* failure) {
    auto fill = std::make_unique<CBackgroundFill>();
    try {
        CByteReader reader(std::span<const uint8_t>(data), kCurrentStreamVersion);
        fill->Load(reader, kCurrentStreamVersion, {});
    } catch (const CFileFormatException& e) {
        if (failure) *failure = {EFailure::FileFormat, e.what()};
        return false;
    }
    page.RecordUndo(EUndoKind::PageProperties);
    page.SetBackground(std::move(fill));
    page.Repaint();
    return true;
}

std::unique_ptr<CImage> PictureOverWhite(CPageItem& item, CPage& page) {
    CPageObject& object = item.Current();
    if (!object.GetImage() || object.IsDirty()) object.PrepareAndRender(page.TileBuffer());
    const CImage* cached = object.GetImage();
    if (!cached || !cached->Bits() || cached->GetBitsPerPlane() != 8) return nullptr;
    const int w = cached->Width(), h = cached->Height();
    auto picture = std::make_unique<CImage>(IMAGE_RGB8, w, h, 96.0);
    if (!picture->Bits()) return nullptr;
    const int planes = cached->GetPlanes();
    const bool alpha = cached->HasAlpha();
    if (planes != (alpha ? 4 : 3)) return nullptr;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = cached->Bits() + static_cast<std::size_t>(y) * cached->RowBytes();
        uint8_t* d = picture->Bits() + static_cast<std::size_t>(y) * picture->RowBytes();
        for (int x = 0; x < w; ++x, s += planes, d += 3) {
            const int a = alpha ? s[0] : 255;
            const uint8_t* c = alpha ? s + 1 : s;
            // Over white: what the item would look like on a white page.
            for (int k = 0; k < 3; ++k)
                d[k] = static_cast<uint8_t>(255 - ((255 - c[k]) * a / 255));
        }
    }
    return picture;
}

DPOINT PictureCentre(int32_t cx, int32_t cy, int32_t width, int32_t height) {
    return {cx + (width % 2 ? 0.5 : 0.0), cy + (height % 2 ? 0.5 : 0.0)};
}

CPageItem* PastePicture(CPage& page, std::unique_ptr<CImage> picture, const CRect& visible) {
    if (!picture || !picture->Bits()) return nullptr;
    const int32_t w = picture->Width(), h = picture->Height();
    const DPOINT centre = PictureCentre((visible.left + visible.right) / 2,
                                        (visible.top + visible.bottom) / 2, w, h);
    auto fill = std::make_unique<CObjectFill>();
    fill->SetHeldImage(std::move(picture));
    CPageItem& item = AddPicture(page, std::move(fill), centre, w, h);
    page.SelectOnly(item);
    page.RecordUndo(EUndoKind::Insert);
    page.Repaint(item.GetRect());
    return &item;
}

bool IsPictureFile(const std::filesystem::path& file) {
    return CIO::FileformatSupported(file, true);
}

int DropPictureFiles(CPage& page, const std::vector<std::filesystem::path>& files, DPOINT at,
                     const std::function<void(const std::filesystem::path&, int error)>& loadError) {
    // The insert step takes the selection: items selected before the drop
    // must not be part of it, or undoing the drop would take them away.
    page.DeselectAll();
    int added = 0;
    for (const auto& file : files) {
        int format = 0, error = 0;
        std::unique_ptr<CImage> image = CIO::LoadImageA(file, format, error);
        if (!image || !image->Bits()) {
            if (loadError) loadError(file, error);
            continue;
        }
        const int32_t w = image->Width(), h = image->Height();
        std::string ext = file.extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        auto fill = std::make_unique<CObjectFill>();
        fill->SetImage(file.string(), std::move(image));
        if (ext == ".gif" && CGifIO::IsAnimated(file)) fill->SetAnimatedGif(true);
        const DPOINT centre = PictureCentre(static_cast<int32_t>(at.x), static_cast<int32_t>(at.y),
                                            w, h);
        page.AddToSelection(AddPicture(page, std::move(fill), centre, w, h));
        ++added;
    }
    if (added == 0) return 0;
    page.RecordUndo(EUndoKind::Insert);
    page.Repaint();
    return added;
}

} // namespace pw::clipboard
