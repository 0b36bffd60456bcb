#include "model/AltText.h"
#include "model/ButtonText.h"
#include "model/ObjectLink.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/CurrentSettings.h"
#include "services/Settings.h"
#include "tests/model/RecordBytes.h"
#include <functional>
#include <gtest/gtest.h>

namespace {
constexpr CStreamVersion v4{1, 4}, v5{1, 5}, v6{1, 6}, v7{1, 7}, v8{1, 8};
constexpr int32_t kMarker = 0x0BADF00D; // stands for whatever the owner stores next

// Installs settings for one test and puts the previous ones back.
struct CSettingsGuard {
    CSettings saved = CurrentSettings();
    explicit CSettingsGuard(const CSettings& s) { SetCurrentSettings(s); }
    ~CSettingsGuard() { SetCurrentSettings(saved); }
};

CObjectLink MakeLink(int32_t type) {
    CObjectLink link;
    link.type = type;
    link.enabled = true;
    link.page = 7;
    link.email = "kunde@butik.dk";
    link.url = "http://www.h\xE6ver.dk/";
    link.document = "docs/pris\xF8liste.pdf";
    return link;
}

CButtonText MakeLabel() {
    CButtonText b;
    b.font = "Times New Roman";
    b.fontSize = 17;
    b.bold = true;
    b.italic = false;
    b.underline = true;
    b.color = CColor(10, 20, 30);
    b.text = "K\xF8\x62 nu\r\nHer";
    b.alignment = 2;
    b.shadow = true;
    b.shadowDistance = 3;
    b.shadowDirection = 300;
    b.shadowColor = CColor(200, 100, 50);
    return b;
}

void ExpectSameLabel(const CButtonText& a, const CButtonText& b) {
    EXPECT_EQ(a.font, b.font);
    EXPECT_EQ(a.fontSize, b.fontSize);
    EXPECT_EQ(a.bold, b.bold);
    EXPECT_EQ(a.italic, b.italic);
    EXPECT_EQ(a.underline, b.underline);
    EXPECT_EQ(a.color.GetCOLORREF(), b.color.GetCOLORREF());
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.alignment, b.alignment);
    EXPECT_EQ(a.shadow, b.shadow);
    EXPECT_EQ(a.shadowDistance, b.shadowDistance);
    EXPECT_EQ(a.shadowDirection, b.shadowDirection);
    EXPECT_EQ(a.shadowColor.GetCOLORREF(), b.shadowColor.GetCOLORREF());
}

// Bytes of a button-text chunk for MakeLabel(), built by hand.
CRecordBytes& AppendLabel(CRecordBytes& s) {
    return s.I32(0x3927BD8F)
        .Str("Times New Roman")
        .I32(17)
        .U8(1)
        .U8(0)
        .U8(1)
        .Rgb(10, 20, 30)
        .Str("K\xF8\x62 nu\r\nHer")
        .I32(2)
        .U8(1)
        .I32(3)
        .I32(300)
        .Rgb(200, 100, 50);
}

// The owner's order: link, button text, alternative text, then its next field.
struct CLoaded {
    CObjectLink link;
    CButtonText label;
    std::string alt = "stale";
    int32_t next = 0;
};
CLoaded LoadAll(const std::vector<uint8_t>& bytes, CStreamVersion version) {
    CByteReader reader(bytes);
    CLoaded out;
    out.link.Load(reader, version);
    out.label.Load(reader, version);
    LoadAltText(reader, version, out.alt);
    out.next = reader.ReadInt32();
    EXPECT_TRUE(reader.AtEnd());
    return out;
}
} // namespace

TEST(ObjectLinkTest, EveryTypeRoundTripsEveryField) {
    for (int32_t type = 0; type <= 3; ++type) {
        const CObjectLink link = MakeLink(type);
        CByteWriter w;
        link.Save(w);
        CByteReader r(w.Data());
        CObjectLink back;
        back.Load(r, v8);
        EXPECT_TRUE(r.AtEnd());
        EXPECT_EQ(back.type, type);
        EXPECT_TRUE(back.enabled);
        EXPECT_EQ(back.page, 7);
        EXPECT_EQ(back.email, link.email);
        EXPECT_EQ(back.url, link.url);
        EXPECT_EQ(back.document, link.document);
    }
}

TEST(ObjectLinkTest, EnabledEmailLinkHasExactLayout) {
    CObjectLink link;
    link.type = CObjectLink::typeEmail;
    link.enabled = true;
    link.page = 2;
    link.email = "a@b.dk";
    link.url = "www";
    link.document = "";
    CByteWriter w;
    link.Save(w);
    CRecordBytes expected;
    expected.U8(0x93).U8(0x8B).U8(0x3A).U8(0x7E).I32(1).U8(1).I32(2).Str("a@b.dk").Str("www").Str(
        "");
    EXPECT_EQ(w.Data(), expected.bytes);
}

TEST(ObjectLinkTest, DisabledLinkIsNotWrittenAndReadsBackAsDefaults) {
    CObjectLink link = MakeLink(CObjectLink::typePage);
    link.enabled = false;
    CByteWriter w;
    link.Save(w);
    EXPECT_TRUE(w.Data().empty());

    // A link that held something is reset when the stream has no link chunk,
    // and the following bytes are left for the owner.
    CRecordBytes s;
    s.I32(kMarker);
    CByteReader r(s.bytes);
    CObjectLink back = MakeLink(CObjectLink::typeEmail);
    back.Load(r, v8);
    EXPECT_EQ(r.Tell(), 0u);
    EXPECT_FALSE(back.enabled);
    EXPECT_EQ(back.type, CObjectLink::typeUrl);
    EXPECT_EQ(back.page, 0);
    EXPECT_EQ(back.email, CObjectLink::kDefaultEmail);
    EXPECT_EQ(back.url, CObjectLink::kDefaultUrl);
    EXPECT_EQ(back.document, "");
}

TEST(ObjectLinkTest, PageIndexUpkeep) {
    auto pageLink = [](int32_t page) {
        CObjectLink l;
        l.type = CObjectLink::typePage;
        l.enabled = true;
        l.page = page;
        return l;
    };
    // Removing page 2.
    CObjectLink to3 = pageLink(3), to2 = pageLink(2), to1 = pageLink(1), to0 = pageLink(0);
    EXPECT_FALSE(to3.OnPageRemoved(2));
    EXPECT_EQ(to3.page, 2);
    EXPECT_TRUE(to3.enabled);
    EXPECT_TRUE(to2.OnPageRemoved(2));
    EXPECT_EQ(to2.page, 0);
    EXPECT_FALSE(to2.enabled);
    EXPECT_FALSE(to1.OnPageRemoved(2));
    EXPECT_EQ(to1.page, 1);
    EXPECT_FALSE(to0.OnPageRemoved(2));
    EXPECT_EQ(to0.page, 0);

    // Only enabled page links take part.
    CObjectLink disabled = pageLink(3);
    disabled.enabled = false;
    EXPECT_FALSE(disabled.OnPageRemoved(2));
    EXPECT_EQ(disabled.page, 3);
    CObjectLink web = pageLink(3);
    web.type = CObjectLink::typeUrl;
    EXPECT_FALSE(web.OnPageRemoved(3));
    EXPECT_TRUE(web.enabled);
    EXPECT_EQ(web.page, 3);

    // The page-count clamp applies to any link.
    web.OnPageCountChanged(3);
    EXPECT_EQ(web.page, 2);
    web.OnPageCountChanged(10);
    EXPECT_EQ(web.page, 2);
    web.OnPageCountChanged(0);
    EXPECT_EQ(web.page, 0);

    // Reset: every index to 0, page links off, others stay on.
    CObjectLink page5 = pageLink(5);
    CObjectLink mail = MakeLink(CObjectLink::typeEmail);
    page5.OnPagesReset();
    mail.OnPagesReset();
    EXPECT_EQ(page5.page, 0);
    EXPECT_FALSE(page5.enabled);
    EXPECT_EQ(mail.page, 0);
    EXPECT_TRUE(mail.enabled);
}

TEST(ObjectLinkTest, EqualityLooksAtTheFieldTheTypeUses) {
    CObjectLink a, b = MakeLink(CObjectLink::typeEmail);
    b.enabled = false;
    EXPECT_TRUE(a == b) << "two disabled links are equal whatever they hold";

    CObjectLink mail1 = MakeLink(CObjectLink::typeEmail), mail2 = mail1;
    mail2.url = "other";
    mail2.page = 99;
    EXPECT_TRUE(mail1 == mail2);
    mail2.email = "KUNDE@butik.dk";
    EXPECT_FALSE(mail1 == mail2) << "strings compare byte for byte";

    CObjectLink p1 = MakeLink(CObjectLink::typePage), p2 = p1;
    p2.page = 8;
    EXPECT_FALSE(p1 == p2);
    p2 = p1;
    p2.type = CObjectLink::typeUrl;
    EXPECT_FALSE(p1 == p2);
    p2 = p1;
    p2.enabled = false;
    EXPECT_FALSE(p1 == p2);

    CObjectLink d1 = MakeLink(CObjectLink::typeDocument), d2 = d1;
    d2.email.clear();
    EXPECT_TRUE(d1 == d2);
    d2.document = "x.pdf";
    EXPECT_FALSE(d1 == d2);
}

TEST(ObjectLinkTest, BadLinkChunksThrowAndLeaveTheLinkAlone) {
    const CObjectLink original = MakeLink(CObjectLink::typeEmail);
    auto expectThrow = [&](const CRecordBytes& s, CStreamVersion version) {
        CByteReader r(s.bytes);
        CObjectLink link = original;
        EXPECT_THROW(link.Load(r, version), CFileFormatException);
        EXPECT_EQ(link.email, original.email);
        EXPECT_EQ(link.type, original.type);
    };
    CRecordBytes type4, typeNeg, longString, negString, truncated;
    type4.I32(0x7E3A8B93).I32(4).U8(1).I32(0).Str("a").Str("b").Str("c");
    typeNeg.I32(0x7E3A8B93).I32(-1).U8(1).I32(0).Str("a").Str("b").Str("c");
    longString.I32(0x7E3A8B93).I32(1).U8(1).I32(0).Str(std::string(2049, 'x')).Str("b").Str("c");
    negString.I32(0x7E3A8B93).I32(1).U8(1).I32(0).I32(-5);
    truncated.I32(0x7E3A8B93).I32(1).U8(1).I32(0).I32(20).U8('a');
    expectThrow(type4, v8);
    expectThrow(typeNeg, v5);
    expectThrow(longString, v8);
    expectThrow(negString, v8);
    expectThrow(truncated, v8);

    // 2048 bytes is the longest string that is allowed.
    CObjectLink longest = MakeLink(CObjectLink::typeUrl);
    longest.url.assign(2048, 'u');
    CByteWriter w;
    longest.Save(w);
    CByteReader r(w.Data());
    CObjectLink back;
    back.Load(r, v8);
    EXPECT_EQ(back.url.size(), 2048u);
}

TEST(ButtonTextTest, DefaultsComeFromTheSettingsInForce) {
    const CButtonText plain{CSettings()};
    EXPECT_EQ(plain.font, "Arial");
    EXPECT_EQ(plain.fontSize, 12);
    EXPECT_FALSE(plain.bold || plain.italic || plain.underline || plain.shadow);
    EXPECT_EQ(plain.color.GetCOLORREF(), 0xFFFFFFu);
    EXPECT_EQ(plain.alignment, 1);
    EXPECT_EQ(plain.shadowDistance, 1);
    EXPECT_EQ(plain.shadowDirection, 120);
    EXPECT_EQ(plain.shadowColor.GetCOLORREF(), 0u);
    EXPECT_EQ(plain.text, "");

    CSettings s;
    s.SetButtonTextFont("Fl\xC3\xB8jl"); // UTF-8, as the settings keep text
    s.SetButtonTextFontSize(30);
    s.SetButtonTextFontItalic(true);
    s.SetButtonTextFontColor(CColor(1, 2, 3));
    s.SetButtonTextAlignment(0);
    s.SetButtonTextUseShadow(true);
    s.SetButtonTextShadowDistance(4);
    s.SetButtonTextShadowDirection(45);
    s.SetButtonTextShadowColor(CColor(9, 8, 7));
    CSettingsGuard guard(s);
    const CButtonText b;
    EXPECT_EQ(b.font, "Fl\xF8jl") << "the model holds Windows-1252 bytes";
    EXPECT_EQ(b.fontSize, 30);
    EXPECT_TRUE(b.italic);
    EXPECT_EQ(b.color.GetCOLORREF(), 0x030201u);
    EXPECT_EQ(b.alignment, 0);
    EXPECT_TRUE(b.shadow);
    EXPECT_EQ(b.shadowDistance, 4);
    EXPECT_EQ(b.shadowDirection, 45);
    EXPECT_EQ(b.shadowColor.GetCOLORREF(), 0x070809u);
}

TEST(ButtonTextTest, ChunkLayoutRoundTripAndEmptyText) {
    const CButtonText label = MakeLabel();
    CByteWriter w;
    label.Save(w);
    CRecordBytes expected;
    AppendLabel(expected);
    EXPECT_EQ(w.Data(), expected.bytes);

    CByteReader r(w.Data());
    CButtonText back;
    back.Load(r, v5);
    EXPECT_TRUE(r.AtEnd());
    ExpectSameLabel(back, label);
    EXPECT_TRUE(back == label);

    // An empty label writes nothing; reading takes the settings in force at
    // reading time, not those of the record that was saved.
    CButtonText empty = label;
    empty.text.clear();
    CByteWriter none;
    empty.Save(none);
    EXPECT_TRUE(none.Data().empty());
    CSettings s;
    s.SetButtonTextFont("Verdana");
    s.SetButtonTextFontSize(22);
    CSettingsGuard guard(s);
    CRecordBytes marker;
    marker.I32(kMarker);
    CByteReader mr(marker.bytes);
    CButtonText read = label;
    read.Load(mr, v8);
    EXPECT_EQ(mr.Tell(), 0u);
    ExpectSameLabel(read, CButtonText(s));
}

TEST(ButtonTextTest, EqualityComparesEveryField) {
    const CButtonText a = MakeLabel();
    EXPECT_TRUE(a == MakeLabel());
    std::vector<std::function<void(CButtonText&)>> changes = {
        [](CButtonText& b) { b.font = "times new roman"; },
        [](CButtonText& b) { b.fontSize++; },
        [](CButtonText& b) { b.bold = !b.bold; },
        [](CButtonText& b) { b.italic = !b.italic; },
        [](CButtonText& b) { b.underline = !b.underline; },
        [](CButtonText& b) { b.color = CColor(10, 20, 31); },
        [](CButtonText& b) { b.text += " "; },
        [](CButtonText& b) { b.alignment = 1; },
        [](CButtonText& b) { b.shadow = !b.shadow; },
        [](CButtonText& b) { b.shadowDistance++; },
        [](CButtonText& b) { b.shadowDirection++; },
        [](CButtonText& b) { b.shadowColor = CColor(0, 0, 0); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        CButtonText b = MakeLabel();
        changes[i](b);
        EXPECT_FALSE(a == b) << "change " << i;
    }
}

TEST(AttributeRecordsTest, OwnerOrderRoundTripsAtTheCurrentVersion) {
    const CObjectLink link = MakeLink(CObjectLink::typeDocument);
    const CButtonText label = MakeLabel();
    CByteWriter w;
    link.Save(w);
    label.Save(w);
    SaveAltText(w, "Vores logo");
    w.WriteInt32(kMarker);
    const CLoaded back = LoadAll(w.Data(), v8);
    EXPECT_EQ(back.link.type, CObjectLink::typeDocument);
    EXPECT_EQ(back.link.document, link.document);
    EXPECT_EQ(back.link.email, link.email);
    ExpectSameLabel(back.label, label);
    EXPECT_EQ(back.alt, "Vores logo");
    EXPECT_EQ(back.next, kMarker);

    // Nothing to say: no bytes at all, and everything reads back empty.
    CByteWriter w2;
    CObjectLink().Save(w2);
    CButtonText().Save(w2);
    SaveAltText(w2, "");
    EXPECT_TRUE(w2.Data().empty());
}

TEST(AttributeRecordsTest, OlderStreamsFollowTheVersionGates) {
    auto linkWithoutDocument = [](CRecordBytes& s) {
        s.I32(0x7E3A8B93).I32(2).U8(1).I32(1).Str("e@x.dk").Str("http://x.dk");
    };
    auto linkWithDocument = [&](CRecordBytes& s) {
        linkWithoutDocument(s);
        s.Str("brochure.pdf");
    };
    auto alt = [](CRecordBytes& s) { s.I32(0x8AB3402C).Str("Alt"); };

    // Version 5: no document string, a button text, no alternative text. The
    // marker right after the label must not be taken for anything else.
    {
        CRecordBytes s;
        linkWithoutDocument(s);
        AppendLabel(s).I32(kMarker);
        const CLoaded got = LoadAll(s.bytes, v5);
        EXPECT_TRUE(got.link.enabled);
        EXPECT_EQ(got.link.url, "http://x.dk");
        EXPECT_EQ(got.link.document, "");
        ExpectSameLabel(got.label, MakeLabel());
        EXPECT_EQ(got.alt, "");
        EXPECT_EQ(got.next, kMarker);
    }
    // In a version-5 stream bytes that look like an alt-text tag belong to
    // the owner's next field.
    {
        CRecordBytes s;
        s.I32(0x8AB3402C);
        CByteReader r(s.bytes);
        std::string text = "x";
        LoadAltText(r, v5, text);
        EXPECT_EQ(r.Tell(), 0u);
        EXPECT_EQ(text, "");
    }
    // Versions 6 and 7 carry everything.
    for (CStreamVersion v : {v6, v7}) {
        CRecordBytes s;
        linkWithDocument(s);
        AppendLabel(s);
        alt(s);
        s.I32(kMarker);
        const CLoaded got = LoadAll(s.bytes, v);
        EXPECT_EQ(got.link.document, "brochure.pdf");
        EXPECT_EQ(got.label.text, MakeLabel().text);
        EXPECT_EQ(got.alt, "Alt");
        EXPECT_EQ(got.next, kMarker);
    }
    // Version 4: no button text even when a label tag follows.
    {
        CRecordBytes s;
        linkWithoutDocument(s);
        s.I32(0x3927BD8F);
        CByteReader r(s.bytes);
        CObjectLink l;
        l.Load(r, v4);
        CButtonText b;
        b.Load(r, v4);
        EXPECT_EQ(r.Remaining(), 4u);
        EXPECT_EQ(b.text, "");
    }
    // A later source has the label and the alternative text, but its links
    // never had a document string.
    {
        CRecordBytes s;
        linkWithoutDocument(s);
        AppendLabel(s);
        alt(s);
        s.I32(kMarker);
        const CLoaded got = LoadAll(s.bytes, CStreamVersion{2, 0});
        EXPECT_EQ(got.link.document, "");
        EXPECT_EQ(got.label.fontSize, 17);
        EXPECT_EQ(got.alt, "Alt");
    }
}
