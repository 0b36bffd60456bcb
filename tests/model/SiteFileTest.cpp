#include "model/SiteFile.h"
#include "SiteFileTestSupport.h"
#include "image/Image.h"
#include "model/FormObject.h"
#include "model/HtmlObject.h"
#include "model/ObjectFill.h"
#include "services/ByteReader.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> SaveBytes(CSite& site, const CSiteSaveOptions& options = {}) {
    CByteWriter writer;
    EXPECT_TRUE(SaveSite(site, writer, options));
    return writer.Take();
}

std::unique_ptr<CSite> LoadBytes(const std::vector<uint8_t>& bytes, std::string* error = nullptr,
                                 const std::string& path = "/tmp/x.pwu",
                                 CUserInteraction* ui = nullptr) {
    CByteReader reader{std::span<const uint8_t>(bytes)};
    return LoadSite(reader, path, ui, error);
}

// A file written field by field, independently of SaveSite, so that old
// versions and broken values can be made.
struct CHandFile {
    uint8_t version = 8;
    int pages = 1;
    int32_t pageWidth = 200;
    int32_t backgroundWidth = 200;
    int guides = 2;
    bool withTwinOfOtherKind = false;
    bool asTemplate = false;
    std::string bands; // "h" an HTML object, "f" a form, in file order

    static void Html(CByteWriter& w, int n) {
        w.WriteTag(TAG_HTML);
        w.WriteDouble(50.5 + n);
        w.WriteDouble(40.5);
        w.WriteInt32(60);
        w.WriteInt32(30);
        for (int32_t v : {20 + n, 25, 80 + n, 55})
            w.WriteInt32(v);
        w.WriteString(std::string("html").append(std::to_string(n)));
        w.WriteLongString("<b>" + std::to_string(n) + "</b>");
    }

    static void Background(CByteWriter& w, int32_t width, int32_t height) {
        w.WriteTag(0xB8629B77);
        w.WriteInt32(0);
        w.WriteInt32(width);
        w.WriteInt32(height);
        w.WriteColour({1, 2, 3});
    }

    std::vector<uint8_t> Bytes() const {
        CByteWriter w;
        w.WriteBytes("Orbelle", 8);
        w.WriteBytes("Plume", 6);
        w.WriteByte(1);
        w.WriteByte(version);
        w.WriteUInt16(27);
        w.WriteShortString("Hand");
        w.WriteUInt16(300);
        w.WriteUInt16(250);
        Background(w, 300, 250);
        w.WriteColour({0, 0, 255});
        w.WriteColour({128, 0, 128});
        w.WriteBool(asTemplate);
        for (int i = 0; i < 63; ++i)
            w.WriteByte(0);
        w.WriteShortString("Forside");
        if (version >= 6) w.WriteString("ord");
        if (version >= 7) w.WriteString("beskrivelse");
        w.WriteUInt16(static_cast<uint16_t>(pages));
        w.WriteInt32(0);
        for (int i = 0; i < 5; ++i)
            w.WriteInt16(2020);
        w.WriteByte(1);
        if (version >= 8) {
            w.WriteInt32(3);
            w.WriteBytes("abc", 3);
        } else {
            w.WriteUInt16(4);
            w.WriteUInt16(2);
            w.WriteInt32(12);
            for (int i = 0; i < 24; ++i)
                w.WriteByte(7);
        }
        if (asTemplate) {
            w.WriteTinyString("Klubber");
            w.WriteTinyString("Fodbold");
        }
        for (int p = 0; p < pages; ++p) {
            w.WriteTag(0x7A292E05);
            w.WriteString("Side" + std::to_string(p + 1));
            w.WriteString("Titel");
            if (version >= 6) w.WriteLongString("<meta>");
            if (version >= 7) {
                w.WriteLongString("go()");
                w.WriteInt32(1);
                w.WriteString("x.js");
            }
            w.WriteBool(p == pages - 1);
            w.WriteInt32(pageWidth);
            w.WriteInt32(150);
            Background(w, backgroundWidth, 150);
            w.WriteInt32(guides);
            for (int g = 0; g < guides; ++g)
                w.WriteInt32(g * 3);
            w.WriteInt32(0);
            w.WriteBool(true);
            w.WriteBool(false);
            w.WriteInt32(0);
            w.WriteInt32(withTwinOfOtherKind ? 1 : static_cast<int32_t>(bands.size()));
            for (std::size_t i = 0; i < bands.size(); ++i) {
                w.WriteInt32(-1);
                w.WriteTag(0x8B23C79A);
                w.WriteBool(false);
                w.WriteBool(false);
                w.WriteBool(false);
                if (bands[i] == 'h')
                    Html(w, static_cast<int>(i));
                else
                    CFormObject(std::string("f").append(std::to_string(i)), 100.0, 100.0).Save(w);
            }
            if (withTwinOfOtherKind) {
                w.WriteInt32(-1);
                w.WriteTag(0x8B23C79A);
                w.WriteBool(true);
                w.WriteBool(false);
                w.WriteBool(true);
                CEllipseObject({20, 20}, {10, 10}).Save(w);
                CRectObject({20, 20}, {10, 10}).Save(w);
            }
        }
        return w.Take();
    }
};

TEST(SiteFile, RoundTripKeepsEverythingAndRewritesIdentically) {
    auto site = pwtest::MakeSiteForFiles(3, 7);
    site->PageAt(1).SetWidth(500);
    site->SetFrontPage(site->PageAt(1));
    const std::vector<uint8_t> bytes = SaveBytes(*site);
    EXPECT_TRUE(site->IsSaved());

    std::string error;
    auto loaded = LoadBytes(bytes, &error, "/tmp/rt.pwu");
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(loaded->name, "Forening");
    EXPECT_EQ(loaded->keywords, "klub, sport");
    EXPECT_EQ(loaded->description, "Vores klub");
    EXPECT_EQ(loaded->defaultWidth, 400);
    EXPECT_EQ(loaded->DefaultFill().GetColour().GetCOLORREF(), CColor(240, 230, 200).GetCOLORREF());
    EXPECT_EQ(loaded->visitedLinkColour.GetCOLORREF(), CColor(120, 0, 120).GetCOLORREF());
    ASSERT_EQ(loaded->PageCount(), 3);
    EXPECT_EQ(loaded->CurrentPage(), &loaded->PageAt(1));
    EXPECT_TRUE(loaded->IsSaved());
    const CPage& page = loaded->PageAt(1);
    EXPECT_EQ(page.Identifier(), "Side2");
    EXPECT_EQ(page.OnloadCode(), "start()");
    EXPECT_EQ(page.UsedFiles(), (std::vector<std::string>{"a.js", "b.css"}));
    EXPECT_EQ(page.Width(), 500);
    EXPECT_EQ(page.Guides(true), std::vector<int32_t>{21});
    ASSERT_EQ(page.ItemCount(), 7);
    for (int i = 0; i < 7; ++i) {
        const CPageItem& a = site->PageAt(1).ItemAt(i);
        const CPageItem& b = page.ItemAt(i);
        EXPECT_EQ(b.Normal().GetKind(), a.Normal().GetKind());
        EXPECT_EQ(b.HasMouseOver(), a.HasMouseOver());
        EXPECT_EQ(b.IsEditingMouseOver(), a.IsEditingMouseOver());
        EXPECT_EQ(b.GetRect(), a.GetRect());
    }
    const CPage& first = loaded->PageAt(0);
    ASSERT_EQ(first.Sets().size(), 1u);
    EXPECT_TRUE(first.Sets()[0]->IsGroup());
    EXPECT_EQ(first.Sets()[0]->Count(), 2u);
    EXPECT_EQ(first.ItemAt(1).Set(), first.Sets()[0].get());

    // Writing the loaded site again gives the same bytes, preview included.
    EXPECT_EQ(SaveBytes(*loaded), bytes);
}

TEST(SiteFile, PreviewIsAJpegOfTheFrontPage) {
    auto site = pwtest::MakeSiteForFiles(2, 3);
    pwtest::TempDir dir;
    for (bool asTemplate : {false, true}) {
        const auto path = dir / (asTemplate ? "t.pws" : "s.pwu");
        CSiteSaveOptions options;
        options.asTemplate = asTemplate;
        options.category = "Foreninger";
        options.templateName = "Klubben";
        options.targetPath = path.string();
        const auto bytes = SaveBytes(*site, options);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        auto preview = ReadSitePreview(path);
        ASSERT_TRUE(preview);
        // 400 x 300 scaled to fit the preview box keeping proportions.
        EXPECT_EQ(preview->Width(), asTemplate ? 159 : 131);
        EXPECT_EQ(preview->Height(), asTemplate ? 119 : 98);
        std::string category, name;
        EXPECT_EQ(ReadSiteInfo(path, category, name), asTemplate);
        if (asTemplate) {
            EXPECT_EQ(category, "Foreninger");
            EXPECT_EQ(name, "Klubben");
            EXPECT_TRUE(LoadBytes(bytes, nullptr, path.string()));
        }
    }
}

TEST(SiteFile, OlderVersionsReadWithoutTheLaterFields) {
    CHandFile file;
    file.version = 5;
    file.pages = 2;
    std::string error;
    auto site = LoadBytes(file.Bytes(), &error);
    ASSERT_TRUE(site) << error;
    EXPECT_EQ(site->keywords, "");
    EXPECT_EQ(site->description, "");
    EXPECT_EQ(site->PageAt(0).HeaderHtml(), "");
    EXPECT_EQ(site->PageAt(0).OnloadCode(), "");
    EXPECT_TRUE(site->PageAt(0).UsedFiles().empty());
    EXPECT_EQ(site->CurrentPage(), &site->PageAt(1));

    file.version = 7;
    site = LoadBytes(file.Bytes(), &error);
    ASSERT_TRUE(site) << error;
    EXPECT_EQ(site->description, "beskrivelse");
    EXPECT_EQ(site->PageAt(0).UsedFiles(), std::vector<std::string>{"x.js"});

    // Version 3 kept forms anywhere; they move above the other items.
    file.version = 3;
    file.pages = 1;
    file.bands = "fhfh";
    site = LoadBytes(file.Bytes(), &error);
    ASSERT_TRUE(site) << error;
    std::vector<std::string> order;
    for (const auto& item : site->PageAt(0).Items()) {
        if (auto* form = dynamic_cast<const CFormObject*>(&item->Normal()))
            order.push_back(form->GetReceiver());
        else
            order.push_back(item->Normal().GetKind() == KIND_HTML ? "h" : "?");
    }
    EXPECT_EQ(order, (std::vector<std::string>{"h", "h", "f0", "f2"}));
    file.version = 4;
    site = LoadBytes(file.Bytes(), &error);
    ASSERT_TRUE(site) << error;
    EXPECT_EQ(site->PageAt(0).ItemAt(0).Normal().GetKind(), KIND_FORM);
    file.bands.clear();

    file.version = 9;
    EXPECT_FALSE(LoadBytes(file.Bytes(), &error));
}

TEST(SiteFile, MalformedFilesFailWithoutAnException) {
    std::string error;
    ASSERT_TRUE(LoadBytes(CHandFile{}.Bytes(), &error)) << error;

    std::vector<uint8_t> bytes = CHandFile{}.Bytes();
    bytes[3] = 'X';
    EXPECT_NO_THROW(EXPECT_FALSE(LoadBytes(bytes, &error)));
    EXPECT_NE(error.find("not a site file"), std::string::npos);

    CHandFile f;
    f.guides = 101;
    EXPECT_FALSE(LoadBytes(f.Bytes()));
    f = {};
    f.guides = 100;
    EXPECT_TRUE(LoadBytes(f.Bytes()));
    f = {};
    f.pageWidth = f.backgroundWidth = 9;
    EXPECT_FALSE(LoadBytes(f.Bytes()));
    f = {};
    f.backgroundWidth = 201;
    EXPECT_FALSE(LoadBytes(f.Bytes()));
    f = {};
    f.pages = 501;
    EXPECT_FALSE(LoadBytes(f.Bytes()));
    f = {};
    f.withTwinOfOtherKind = true;
    EXPECT_FALSE(LoadBytes(f.Bytes(), &error));
    EXPECT_NE(error.find("another kind"), std::string::npos);
}

TEST(SiteFile, EveryTruncatedPrefixFailsCleanly) {
    auto site = pwtest::MakeSiteForFiles(2, 4);
    const auto bytes = SaveBytes(*site);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(n));
        ASSERT_FALSE(LoadBytes(prefix)) << n;
    }
    EXPECT_TRUE(LoadBytes(bytes));
}

TEST(SiteFile, TemplatePicturesAreStoredRelativeAndAbsoluteOnesReported) {
    pwtest::TempDir dir;
    auto site = pwtest::MakeSiteForFiles(1, 3);
    const std::string inside = (dir / "billeder" / "a.jpg").string();
    for (int i = 0; i < 2; ++i) {
        auto fill = std::make_unique<CObjectFill>();
        fill->SetImagePath(i == 0 ? inside : "/elsewhere/b.jpg");
        site->PageAt(0).ItemAt(i).Normal().SetFill(std::move(fill));
    }
    const auto path = dir / "t.pws";
    pwtest::CScriptedInteraction ui;
    ui.AllowUnscriptedNotices();
    CSiteSaveOptions options;
    options.asTemplate = true;
    options.targetPath = path.string();
    options.ui = &ui;
    const auto bytes = SaveBytes(*site, options);
    // The object itself keeps its absolute path.
    EXPECT_EQ(site->PageAt(0).ItemAt(0).Normal().GetFill()->GetImagePath(), inside);

    // Read from another folder, the relative path follows the template.
    pwtest::TempDir other;
    pwtest::CScriptedInteraction readUi;
    readUi.AllowUnscriptedNotices();
    auto loaded = LoadBytes(bytes, nullptr, (other / "t.pws").string(), &readUi);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->PageAt(0).ItemAt(0).Normal().GetFill()->GetImagePath(),
              (other / "billeder" / "a.jpg").string());
    EXPECT_EQ(loaded->PageAt(0).ItemAt(1).Normal().GetFill()->GetImagePath(), "/elsewhere/b.jpg");
    int reports = 0;
    for (const auto& call : readUi.Calls())
        reports += call.text.find("Not relative path for /elsewhere/b.jpg") != std::string::npos;
    EXPECT_EQ(reports, 1);
}

} // namespace

namespace {

TEST(SiteFile, OldFormTemplateHeaderIsReadButHasNoPreview) {
    pwtest::TempDir dir;
    CHandFile file;
    file.version = 5;
    file.asTemplate = true;
    const auto bytes = file.Bytes();
    const auto path = dir / "gammel.pws";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    std::string category, name;
    ASSERT_TRUE(ReadSiteInfo(path, category, name));
    EXPECT_EQ(category, "Klubber");
    EXPECT_EQ(name, "Fodbold");
    EXPECT_EQ(ReadSitePreview(path), nullptr);
    EXPECT_TRUE(LoadSiteFile(path));
    EXPECT_FALSE(ReadSiteInfo(dir / "missing.pws", category, name));
}

} // namespace
