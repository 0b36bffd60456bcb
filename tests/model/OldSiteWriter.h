// Writes a site in the layout of an older file version (1 to 8), so that the
// reader's version gates are tested against whole files of every version. The
// program itself writes only version 8; this writer is the format's older
// layouts, built from the current records: a record whose layout did not
// change is written by its own Save, one that did is cut or rewritten here.
#pragma once
#include "UndoTestSupport.h"
#include "model/AltText.h"
#include "model/ButtonText.h"
#include "model/SiteFile.h"
#include "services/RecordColour.h"
#include <gtest/gtest.h>

namespace pwold {

using Bytes = std::vector<uint8_t>;

template <typename Record> Bytes Saved(const Record& record) {
    CByteWriter w;
    record.Save(w);
    return w.Take();
}

inline void Append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Effects before version 8: every group present, each behind its own flag.
inline Bytes OldEffects(const CEffects& e) {
    if (!e.AnyOn()) return {};
    CByteWriter w;
    w.WriteTag(TAG_EFFECTS);
    w.WriteBool(e.shadowOn);
    for (int32_t v : {e.shadowDistance, e.shadowSize, e.shadowTransparency, e.shadowType,
                      e.shadowAngle})
        w.WriteInt32(v);
    w.WriteColour(ToRgb(e.shadowColour));
    w.WriteBool(e.edgesOn);
    for (int32_t v : {e.edgesStyle, e.edgesSize, e.edgesTransparency, e.edgesAngle, e.edgesType})
        w.WriteInt32(v);
    w.WriteBool(e.glowOn);
    for (int32_t v : {e.glowSize, e.glowTransparency, e.glowType})
        w.WriteInt32(v);
    w.WriteColour(ToRgb(e.glowColour));
    return w.Take();
}

// The fill, effects and link records at the end of a shape or text, in the
// layout of `version`; `tail` is their version-8 form, which `full` must end in.
inline Bytes OldTail(const CPageObject& object, int version, Bytes& full) {
    const Bytes fill = Saved(*object.GetFill()), effects = Saved(*object.GetEffects()),
                link = Saved(*object.GetLink());
    const std::size_t tail = fill.size() + effects.size() + link.size();
    EXPECT_GE(full.size(), tail);
    Bytes out(fill.begin(), fill.end() - (version >= 5 ? 0 : 1)); // picture flag
    Append(out, version >= 8 ? effects : OldEffects(*object.GetEffects()));
    if (!link.empty() && version < 6) // no document string
        out.insert(out.end(), link.begin(),
                   link.end() - 4 - static_cast<long>(object.GetLink()->document.size()));
    else
        Append(out, link);
    full.resize(full.size() - tail);
    return out;
}

inline Bytes OldObject(const CPageObject& object, int version) {
    Bytes full = Saved(object);
    switch (object.GetKind()) {
    case KIND_ELLIPSE:
    case KIND_RECT: {
        const auto& shape = dynamic_cast<const CShapeObject&>(object);
        CByteWriter alt;
        SaveAltText(alt, *shape.GetAltText());
        const Bytes label = Saved(*shape.GetButtonText()), altText = alt.Take();
        full.resize(full.size() - label.size() - altText.size());
        Bytes tail = OldTail(object, version, full);
        if (version >= 5) Append(tail, label);
        if (version >= 6) Append(tail, altText);
        Append(full, tail);
        return full;
    }
    case KIND_TEXT: {
        const Bytes tail = OldTail(object, version, full);
        // tag, size, angle, centre, rect, alignment, box: then the advanced
        // flag (versions 1 and 4 on) and the alternative-text chunk (6 on).
        constexpr std::size_t flagAt = 4 + 8 + 8 + 16 + 16 + 12;
        CByteWriter alt;
        SaveAltText(alt, *object.GetAltText());
        const std::size_t altBytes = alt.Take().size();
        const auto at = full.begin() + static_cast<long>(flagAt);
        if (version < 6) full.erase(at + 1, at + 1 + static_cast<long>(altBytes));
        if (version == 2 || version == 3) full.erase(at);
        Append(full, tail);
        return full;
    }
    case KIND_HTML: {
        const auto& html = dynamic_cast<const CHtmlObject&>(object);
        CByteWriter w;
        w.WriteTag(TAG_HTML);
        w.WriteDouble(html.GetCenter().x);
        w.WriteDouble(html.GetCenter().y);
        w.WriteInt32(html.GetSize().width);
        w.WriteInt32(html.GetSize().height);
        const CRect r = html.GetRect();
        for (int32_t v : {r.left, r.top, r.right, r.bottom})
            w.WriteInt32(v);
        w.WriteString(html.GetName());
        if (version >= 7) {
            w.WriteLongString(html.GetOnloadCode());
            w.WriteLongString(html.GetHeaderCode());
            w.WriteLongString(html.GetBodyCode());
            w.WriteInt32(static_cast<int32_t>(html.GetUsedFiles().size()));
            for (const std::string& file : html.GetUsedFiles())
                w.WriteString(file);
        } else {
            w.WriteLongString(html.GetBodyCode());
        }
        return w.Take();
    }
    default:
        ADD_FAILURE() << "no older layout for kind " << object.GetKind();
        return full;
    }
}

inline void OldPage(const CPage& page, int version, CByteWriter& w) {
    w.WriteTag(site_file::kPageTag);
    w.WriteString(page.Identifier());
    w.WriteString(page.WebName());
    if (version >= 6) w.WriteLongString(page.HeaderHtml());
    if (version >= 7) {
        w.WriteLongString(page.OnloadCode());
        w.WriteInt32(static_cast<int32_t>(page.UsedFiles().size()));
        for (const std::string& file : page.UsedFiles())
            w.WriteString(file);
    }
    w.WriteBool(page.IsFrontPage());
    w.WriteInt32(page.Width());
    w.WriteInt32(page.Height());
    page.Background().Save(w);
    for (bool horizontal : {true, false}) {
        w.WriteInt32(page.GuideCount(horizontal));
        for (int32_t g : page.Guides(horizontal))
            w.WriteInt32(g);
    }
    w.WriteBool(page.useGuides);
    w.WriteBool(page.guidesHidden);
    w.WriteInt32(static_cast<int32_t>(page.Sets().size()));
    for (const auto& set : page.Sets())
        SaveObjectSet(*set, w);
    w.WriteInt32(page.ItemCount());
    for (const auto& item : page.Items()) {
        int32_t index = -1;
        for (std::size_t i = 0; i < page.Sets().size(); ++i)
            if (page.Sets()[i].get() == item->Set()) index = static_cast<int32_t>(i);
        w.WriteInt32(index);
        w.WriteTag(site_file::kItemTag);
        const bool twin = item->HasMouseOver() && item->MouseOver();
        w.WriteBool(twin);
        w.WriteBool(twin && item->IsEditingMouseOver());
        // Before version 6 the byte is there but means nothing; a 0 would
        // switch synchronisation off if a reader took it.
        w.WriteBool(version >= 6 ? item->SyncTwins() : false);
        w.WriteBytes(OldObject(item->Normal(), version));
        if (twin) w.WriteBytes(OldObject(*item->MouseOver(), version));
    }
}

inline Bytes OldSite(const CSite& site, int version) {
    CByteWriter w;
    w.WriteBytes(site_file::kMagic1, sizeof site_file::kMagic1);
    w.WriteBytes(site_file::kMagic2, sizeof site_file::kMagic2);
    w.WriteByte(1);
    w.WriteByte(static_cast<uint8_t>(version));
    w.WriteUInt16(27);
    w.WriteShortString(site.name);
    w.WriteUInt16(static_cast<uint16_t>(site.defaultWidth));
    w.WriteUInt16(static_cast<uint16_t>(site.defaultHeight));
    CBackgroundFill defaultFill(site.DefaultFill());
    defaultFill.SetWidth(site.defaultWidth);
    defaultFill.SetHeight(site.defaultHeight);
    defaultFill.Save(w);
    w.WriteColour(ToRgb(site.unvisitedLinkColour));
    w.WriteColour(ToRgb(site.visitedLinkColour));
    w.WriteBool(false);
    for (int i = 0; i < 63; ++i)
        w.WriteByte(0);
    const std::string front = site.FrontPage() ? site.FrontPage()->WebName() : "";
    w.WriteShortString(std::string_view(front).substr(0, kMaxShortStringLength));
    if (version >= 6) w.WriteString(site.keywords);
    if (version >= 7) w.WriteString(site.description);
    w.WriteUInt16(static_cast<uint16_t>(site.PageCount()));
    w.WriteInt32(0);
    for (int16_t v : {2021, 5, 17, 12, 30}) // published once; never read back
        w.WriteInt16(v);
    w.WriteByte(1);
    if (version >= 8) { // the preview's bytes are only carried
        w.WriteInt32(3);
        w.WriteBytes("jpg", 3);
    } else { // width, rows, row length, rows
        w.WriteUInt16(2);
        w.WriteUInt16(2);
        w.WriteInt32(6);
        for (int i = 0; i < 12; ++i)
            w.WriteByte(static_cast<uint8_t>(i));
    }
    for (int p = 0; p < site.PageCount(); ++p)
        OldPage(site.PageAt(p), version, w);
    return w.Take();
}

} // namespace pwold
