#include "model/ObjectSet.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/ReadObject.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "model/PicturePaths.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include <exception>

namespace {

using namespace site_file;

// Fill pictures of templates are stored relative to the template; the
// object keeps its absolute path, so a copy with the stored path is written.
void SaveObject(const CPageObject& object, CByteWriter& writer, const CSiteSaveOptions& options) {
    const CObjectFill* fill = object.GetFill();
    if (fill && fill->GetType() == CObjectFill::fillImage) {
        const std::string stored = picture_paths::ToStored(fill->GetImagePath(), options.targetPath,
                                                           options.asTemplate, options.ui);
        if (stored != fill->GetImagePath()) {
            if (std::unique_ptr<CPageObject> copy = object.Clone(); copy && copy->GetFill()) {
                copy->GetFill()->SetImagePath(stored);
                copy->Save(writer);
                return;
            }
        }
    }
    object.Save(writer);
}

std::unique_ptr<CPageObject> ReadItemObject(CByteReader& reader, const CStreamVersion& version,
                                            const std::string& path, CUserInteraction* ui) {
    std::unique_ptr<CPageObject> object = ReadObject(reader, version);
    if (!object) reader.Fail("unreadable object");
    CObjectFill* fill = object->GetFill();
    if (fill && fill->GetType() == CObjectFill::fillImage)
        fill->SetImagePath(picture_paths::FromStored(fill->GetImagePath(), path, ui));
    return object;
}

void MakeAdvancedText(CPageObject& object) {
    if (auto* text = dynamic_cast<CTextObject*>(&object)) text->SetAdvanced(true);
}

int32_t ReadCount(CByteReader& reader, const char* what) {
    // Every entry takes at least one byte: a larger count cannot be right.
    return reader.ReadInt32Range(
        0, static_cast<int32_t>(std::min<std::size_t>(reader.Remaining(), INT32_MAX)), what);
}

} // namespace

void SaveObjectSet(const CObjectSet& set, CByteWriter& writer) {
    const CRect& b = set.Bounds();
    writer.WriteInt32(b.left);
    writer.WriteInt32(b.top);
    writer.WriteInt32(b.right);
    writer.WriteInt32(b.bottom);
    writer.WriteBool(set.CanRotate());
    writer.WriteBool(set.CanScale());
    writer.WriteBool(set.IsGroup());
    writer.WriteBool(set.IsSelected());
    writer.WriteDouble(set.Angle());
    writer.WriteDouble(set.Centre().x);
    writer.WriteDouble(set.Centre().y);
    writer.WriteInt32(set.FrameWidth());
    writer.WriteInt32(set.FrameHeight());
    for (int i = 0; i < 8; ++i) {
        writer.WriteDouble(set.Handles()[i].x);
        writer.WriteDouble(set.Handles()[i].y);
    }
}

CStoredSet LoadObjectSet(CByteReader& reader) {
    CStoredSet stored;
    reader.Skip(16 + 2); // bounds, canRotate, canScale: derived from the members
    stored.isGroup = reader.ReadBool();
    stored.isSelected = reader.ReadBool();
    stored.angle = reader.ReadDouble();
    reader.Skip(16 + 8 + 128); // centre, frame size, handles: derived as well
    return stored;
}

void SaveItem(const CPageItem& item, CByteWriter& writer, const CSiteSaveOptions& options) {
    writer.WriteTag(kItemTag);
    const bool twin = item.HasMouseOver() && item.MouseOver();
    writer.WriteBool(twin);
    writer.WriteBool(twin && item.IsEditingMouseOver());
    writer.WriteBool(item.SyncTwins());
    SaveObject(item.Normal(), writer, options);
    if (twin) SaveObject(*item.MouseOver(), writer, options);
}

std::unique_ptr<CPageItem> LoadItem(CByteReader& reader, const CStreamVersion& version,
                                    const std::string& path, CUserInteraction* ui,
                                    std::string* error) {
    try {
        reader.ExpectTag(kItemTag);
        const bool hasTwin = reader.ReadBool();
        const bool editingTwin = reader.ReadBool();
        const uint8_t sync = reader.ReadByte();
        const std::size_t objectAt = reader.Tell();
        auto item = std::make_unique<CPageItem>(ReadItemObject(reader, version, path, ui));
        if (hasTwin) {
            std::unique_ptr<CPageObject> twin = ReadItemObject(reader, version, path, ui);
            if (twin->GetKind() != item->Normal().GetKind())
                reader.FailAt("mouse-over twin of another kind", objectAt);
            item->AttachMouseOver(std::move(twin));
            item->SetEditingMouseOver(editingTwin);
        }
        // Setting it true would copy the texts across; true is the default.
        if (version.Has(6) && sync == 0) item->SetSyncTwins(false);
        return item;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return nullptr;
    }
}

void SavePage(const CPage& page, CByteWriter& writer, const CSiteSaveOptions& options) {
    writer.WriteTag(kPageTag);
    writer.WriteString(page.Identifier());
    writer.WriteString(page.WebName());
    writer.WriteLongString(page.HeaderHtml());
    writer.WriteLongString(page.OnloadCode());
    writer.WriteInt32(static_cast<int32_t>(page.UsedFiles().size()));
    for (const std::string& file : page.UsedFiles())
        writer.WriteString(file);
    writer.WriteBool(page.IsFrontPage());
    writer.WriteInt32(page.Width());
    writer.WriteInt32(page.Height());
    page.Background().Save(
        writer, picture_paths::StoreMapping(options.targetPath, options.asTemplate, options.ui));
    for (bool horizontal : {true, false}) {
        writer.WriteInt32(page.GuideCount(horizontal));
        for (int32_t g : page.Guides(horizontal))
            writer.WriteInt32(g);
    }
    writer.WriteBool(page.useGuides);
    writer.WriteBool(page.guidesHidden);
    writer.WriteInt32(static_cast<int32_t>(page.Sets().size()));
    for (const auto& set : page.Sets())
        SaveObjectSet(*set, writer);
    writer.WriteInt32(page.ItemCount());
    for (const auto& item : page.Items()) {
        int32_t index = -1;
        for (std::size_t i = 0; i < page.Sets().size(); ++i)
            if (page.Sets()[i].get() == item->Set()) index = static_cast<int32_t>(i);
        writer.WriteInt32(index);
        SaveItem(*item, writer, options);
    }
}

void LoadPage(CPage& page, CByteReader& reader, const CStreamVersion& version,
              const std::string& path, CUserInteraction* ui) {
    reader.ExpectTag(kPageTag);
    std::string identifier = reader.ReadString();
    std::string webName = reader.ReadString();
    std::string header, onload;
    std::vector<std::string> usedFiles;
    if (version.Has(6)) header = reader.ReadLongString();
    if (version.Has(7)) {
        onload = reader.ReadLongString();
        const int32_t n = ReadCount(reader, "used file count");
        for (int32_t i = 0; i < n; ++i)
            usedFiles.push_back(reader.ReadString());
    }
    page.SetIdentifier(std::move(identifier));
    page.SetWebName(std::move(webName));
    page.SetHeadHtml(std::move(header), std::move(onload), std::move(usedFiles));
    page.SetFrontPageFlag(reader.ReadBool());
    const int32_t width = reader.ReadInt32Range(CPage::kMinWidth, CPage::kMaxWidth, "page width");
    const int32_t height =
        reader.ReadInt32Range(CPage::kMinHeight, CPage::kMaxHeight, "page height");
    page.SetWidth(width);
    page.SetHeight(height);
    const std::size_t fillAt = reader.Tell();
    auto background = std::make_unique<CBackgroundFill>();
    background->Load(reader, version, picture_paths::LoadMapping(path, ui));
    if (background->GetWidth() != width || background->GetHeight() != height)
        reader.FailAt("background size differs from the page size", fillAt);
    page.SetBackground(std::move(background));
    page.ClearGuides();
    for (bool horizontal : {true, false}) {
        const int32_t n = reader.ReadInt32Range(0, CPage::kMaxGuides, "guide count");
        for (int32_t i = 0; i < n; ++i)
            page.AddGuide(horizontal, reader.ReadInt32());
    }
    page.useGuides = reader.ReadBool();
    page.guidesHidden = reader.ReadBool();

    const int32_t setCount = ReadCount(reader, "object set count");
    std::vector<CStoredSet> sets;
    for (int32_t i = 0; i < setCount; ++i)
        sets.push_back(LoadObjectSet(reader));
    std::vector<std::vector<CPageItem*>> members(sets.size());

    // The oldest files kept the top-band items anywhere in the list.
    const bool oldOrder = version.source == 1 && (version.version == 0 || version.version == 3);
    const int32_t itemCount = ReadCount(reader, "item count");
    for (int32_t i = 0; i < itemCount; ++i) {
        const int32_t setIndex = reader.ReadInt32Range(-1, setCount - 1, "object set index");
        const std::size_t itemAt = reader.Tell();
        std::string error;
        std::unique_ptr<CPageItem> item = LoadItem(reader, version, path, ui, &error);
        if (!item) reader.FailAt("page item: " + error, itemAt);
        CPageItem* raw = item.get();
        if (oldOrder) {
            if (raw->MouseOver()) {
                MakeAdvancedText(raw->Normal());
                MakeAdvancedText(*raw->MouseOver());
            }
            page.InsertItem(std::move(item));
        } else {
            page.PutItemAt(-1, std::move(item));
        }
        if (setIndex >= 0) members[static_cast<std::size_t>(setIndex)].push_back(raw);
    }
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (members[i].empty()) continue;
        auto set = std::make_unique<CObjectSet>(members[i]);
        set->SetGroup(sets[i].isGroup);
        set->SetSelected(sets[i].isSelected);
        if (sets[i].isGroup) set->SetAngle(sets[i].angle);
        page.AppendSet(std::move(set));
    }
}
