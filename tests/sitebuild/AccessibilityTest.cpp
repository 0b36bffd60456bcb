// Alternative texts from an item's own words and the accessibility report
// of a build.
#include "model/ButtonText.h"
#include "model/Effects.h"
#include "model/SiteFile.h"
#include "sitebuild/AccessReport.h"
#include "sitebuild/ContrastCheck.h"
#include "sitebuild/OwnWords.h"
#include "tests/sitebuild/HtmlWriterTestSupport.h"
#include "tests/sitebuild/SiteBuildTestSupport.h"

using namespace htmltest;

namespace {

CButtonText Label(const std::string& text) {
    CButtonText label;
    label.font = "Arial";
    label.text = text;
    return label;
}

} // namespace

TEST(OwnWords, CollapsesAndBoundsTheWords) {
    EXPECT_EQ(CollapseWords("  Om \t os\r\n  og\xA0kontakt  "), "Om os og kontakt");
    EXPECT_EQ(CollapseWords(" \n "), "");
    // Cut at the last whole word that fits, with the ellipsis of the code page.
    const std::string word = "ordene ";
    std::string many;
    while (many.size() < 2 * kOwnWordsMaxLength)
        many += word;
    const std::string cut = CollapseWords(many);
    EXPECT_LE(cut.size(), kOwnWordsMaxLength);
    EXPECT_EQ(cut.back(), '\x85');
    EXPECT_EQ(cut.substr(cut.size() - 7), "ordene\x85");
    // One word longer than the bound is cut inside.
    EXPECT_EQ(CollapseWords(std::string(400, 'x')).size(), kOwnWordsMaxLength);
}

TEST(OwnWords, TheUsersTextWinsAndClassicBuildsTakeOnlyIt) {
    PageFixture f;
    // Words drawn as a picture: an advanced text of two paragraphs.
    auto words = Text({{"Velkommen  til\n vores side", Style()}});
    words->SetAdvanced(true);
    f.AddImage(f.Add(std::move(words)), 0, 0, 10, 10, "a.jpg");
    auto button = std::make_unique<CRectObject>(DPOINT{40, 20}, CObjectSize{60, 20});
    button->SetButtonText(Label("  Forside "));
    f.AddImage(f.Add(std::move(button)), 0, 0, 10, 10, "b.jpg");
    auto described = std::make_unique<CRectObject>(DPOINT{40, 60}, CObjectSize{60, 20});
    described->SetButtonText(Label("Forside"));
    described->SetAltText("Til  forsiden");
    f.AddImage(f.Add(std::move(described)), 0, 0, 10, 10, "c.jpg");
    f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{90, 60}, CObjectSize{10, 10})), 0, 0, 10,
               10, "d.jpg");
    // The same words as HTML text reach the reader as text.
    f.AddText(Text({{"Synlig tekst", Style()}}), 0, 0);

    const struct {
        std::size_t index; // in the page's items
        const char* modern;
        const char* classic;
    } cases[] = {
        {0, "Velkommen til vores side", ""},
        {1, "Forside", ""},
        {2, "Til  forsiden", "Til  forsiden"}, // the user's text exactly as typed
        {3, "", ""},
        {4, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AltTextFor(f.build.items[c.index], false), c.modern) << c.index;
        EXPECT_EQ(AltTextFor(f.build.items[c.index], true), c.classic) << c.index;
    }
}

namespace {

namespace fs = std::filesystem;

// An HTML-capable text in one colour with its box's top-left at (x, y).
CTextObject& AddColouredText(CPage& page, int x, int y, const std::string& words, int32_t colour) {
    CTextObject& text = buildtest::AddText(page, x, y, words);
    text.Layout().ForEachStyle([colour](CCharStyle& s) { s.color = colour; });
    text.LayoutText();
    return text;
}

std::unique_ptr<CObjectLink> Link(int32_t type) {
    auto link = std::make_unique<CObjectLink>();
    link->type = type;
    link->enabled = true;
    return link;
}

CButtonText WhiteLabel(const std::string& words) {
    CButtonText label = Label(words);
    label.fontSize = 14;
    label.bold = true;
    return label;
}

// A site of two pages with exactly three faults planted among items that
// are in order: a photo without alternative text, a button to a file that
// is not there and grey words on a grey panel.
struct CPlantedSite : buildtest::CSiteFixture {
    CRectObject* photo = nullptr;
    CRectObject* download = nullptr;
    CTextObject* faint = nullptr;

    CPlantedSite() {
        CPage& front = AddPage("Forside");
        CPage& second = AddPage("Kontakt");
        const fs::path pictures = dir / "pictures";
        fs::create_directories(pictures);
        CImage pattern(IMAGE_RGB8, 60, 40, 96.0);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                for (int k = 0; k < 3; ++k)
                    pattern.Bits()[y * pattern.RowBytes() + 3 * x + k] =
                        static_cast<uint8_t>((x * 4 + y * 3 + k * 70) & 0xFF);
        int format = FORMAT_JPEG, error = 0;
        EXPECT_TRUE(CIO::SaveImage(pictures / "photo.jpg", pattern, format, 90, error, ""));

        // In order: a described photo, a labelled button to the next page,
        // words drawn as a picture, a decorative gradient, dark words with a
        // link to the next page, a download of a file that is there.
        buildtest::AddPicture(front, 20, 20, pictures / "photo.jpg").SetAltText("Vores butik");
        CRectObject& next = buildtest::AddRect(front, {20, 80, 140, 110}, CColor(20, 60, 120));
        next.SetButtonText(WhiteLabel("Videre"));
        auto toPage = Link(CObjectLink::typePage);
        toPage->page = 1;
        next.SetLink(std::move(toPage));
        CTextObject& heading = AddColouredText(front, 200, 20, "Velkommen", 0x401010);
        heading.SetAdvanced(true);
        heading.LayoutText();
        buildtest::AddRect(front, {400, 20, 600, 60}, CColor(0, 0, 0))
            .GetFill()
            ->SetGradient(CFillGradient());
        CTextObject& linked = AddColouredText(front, 200, 80, "Skriv til os", 0x000000);
        linked.Layout().Restyle({0, 0}, {0, 5}, [](CCharStyle& s) {
            s.link.type = CObjectLink::typePage;
            s.link.enabled = true;
            s.link.page = 1;
        });
        linked.LayoutText();
        CRectObject& sheet = buildtest::AddRect(front, {20, 130, 140, 160}, CColor(20, 60, 120));
        sheet.SetButtonText(WhiteLabel("Prisliste"));
        auto present = Link(CObjectLink::typeDocument);
        present->document = (pictures / "photo.jpg").string();
        sheet.SetLink(std::move(present));

        // The faults.
        photo = &buildtest::AddPicture(front, 20, 200, pictures / "photo.jpg");
        download = &buildtest::AddRect(front, {20, 260, 140, 290}, CColor(20, 60, 120));
        download->SetButtonText(WhiteLabel("Katalog"));
        auto missing = Link(CObjectLink::typeDocument);
        missing->document = (pictures / "katalog.pdf").string();
        download->SetLink(std::move(missing));
        buildtest::AddRect(front, {200, 200, 500, 260}, CColor(0x99, 0x99, 0x99));
        faint = &AddColouredText(front, 220, 215, "Gr\xE5 tekst p\xE5 gr\xE5t", 0x808080);

        AddColouredText(second, 20, 20, "Tilbage til forsiden", 0x000000);
    }

    BuildResult BuildWith(bool classic, int jobs = 2) {
        BuildSettings settings = Settings();
        settings.phones = !classic;
        settings.jobs = jobs;
        SiteBuilder builder(settings, &ui);
        return builder.Build(site);
    }
};

const CPageItem* ItemOf(CSite& site, const CPageObject* object) {
    return site.PageAt(0).FindItem(*object);
}

} // namespace

TEST(AccessReport, FindsExactlyThePlantedFaults) {
    CPlantedSite t;
    const BuildResult result = t.BuildWith(false);
    ASSERT_EQ(result.code, BuildOk);
    ASSERT_EQ(result.accessibility.size(), 3u);
    const CAccessFinding& noAlt = result.accessibility[0];
    EXPECT_EQ(noAlt.kind, EAccessFinding::MissingAltText);
    EXPECT_EQ(noAlt.item, ItemOf(t.site, t.photo));
    EXPECT_EQ(noAlt.page, "Forside");
    const CAccessFinding& file = result.accessibility[1];
    EXPECT_EQ(file.kind, EAccessFinding::MissingFile);
    EXPECT_EQ(file.item, ItemOf(t.site, t.download));
    EXPECT_EQ(file.detail, (t.dir / "pictures" / "katalog.pdf").string());
    const CAccessFinding& faint = result.accessibility[2];
    EXPECT_EQ(faint.kind, EAccessFinding::LowContrast);
    EXPECT_EQ(faint.item, ItemOf(t.site, t.faint));
    EXPECT_EQ(faint.textColour, 0x808080u);
    EXPECT_NEAR(
        faint.contrast,
        ContrastRatio(RelativeLuminance(0x80, 0x80, 0x80), RelativeLuminance(0x99, 0x99, 0x99)),
        0.05);
    EXPECT_EQ(DescribeFinding(faint),
              "Side Forside, objekt " + std::to_string(faint.itemNumber) +
                  ": teksten \"Grå tekst på gråt\" står for svagt mod baggrunden (kontrast 1,3:1, "
                  "mindst 4,5:1)");

    // The words of the pictures reach the page outside the classic build
    // only; there the classic report asks for them.
    const std::string page = buildtest::ReadFileBytes(t.Root() / kFrontPageFile);
    EXPECT_NE(page.find("ALT=\"Videre\""), std::string::npos);
    EXPECT_NE(page.find("ALT=\"Velkommen\""), std::string::npos);
    EXPECT_NE(page.find("ALT=\"Vores butik\""), std::string::npos);
    const BuildResult classic = t.BuildWith(true);
    const std::string classicPage = buildtest::ReadFileBytes(t.Root() / kFrontPageFile);
    EXPECT_EQ(classicPage.find("ALT=\"Videre\""), std::string::npos);
    EXPECT_NE(classicPage.find("ALT=\"Vores butik\""), std::string::npos);
    EXPECT_EQ(classic.accessibility.size(), 3u + 4u); // three buttons and the heading
    // The contrast is measured by a worker while the page is built; the
    // report does not depend on how many there are.
    EXPECT_EQ(t.BuildWith(false, 1).accessibility, result.accessibility);
}

TEST(AccessReport, ShippedTemplatesReportNothing) {
    const fs::path shipped = fs::path(PW_SOURCE_DIR) / "resources" / "Templates";
    int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(shipped)) {
        if (entry.path().extension() != ".pws") continue;
        ++checked;
        pwtest::CScriptedInteraction ui;
        std::string error;
        std::unique_ptr<CSite> site = LoadSiteFile(entry.path(), &ui, &error);
        ASSERT_TRUE(site) << entry.path() << ": " << error;
        site->path = entry.path().string();
        pwtest::TempDir dir;
        BuildSettings settings = BuildSettings::InFolder(dir / "site", false);
        settings.phones = true; // not the classic build: pictures of words say them
        SiteBuilder builder(settings, &ui);
        const BuildResult result = builder.Build(*site);
        ASSERT_EQ(result.code, BuildOk) << entry.path();
        std::string report;
        for (const CAccessFinding& finding : result.accessibility)
            report += DescribeFinding(finding) + "\n";
        EXPECT_TRUE(result.accessibility.empty()) << entry.path() << "\n" << report;
    }
    EXPECT_GE(checked, 4);
}

TEST(AccessReport, ContrastOfWordsAgainstWhatIsDrawnBelowThem) {
    EXPECT_NEAR(ContrastRatio(RelativeLuminance(0, 0, 0), RelativeLuminance(255, 255, 255)), 21.0,
                1e-6);
    // #767676 on white is the lightest grey that passes.
    EXPECT_GT(ContrastRatio(RelativeLuminance(0x76, 0x76, 0x76), 1.0), kMinTextContrast);
    EXPECT_LT(ContrastRatio(RelativeLuminance(0x78, 0x78, 0x78), 1.0), kMinTextContrast);

    // A label on a shape with effects is measured on the shape drawn again
    // without it; on a plain shape against the shape's colour.
    enum EKind { Html, Picture, FilledPicture, Label, DrawnLabel };
    const struct {
        EKind kind;
        CColor ground; // the panel below the words
        int32_t ink;   // the words' COLORREF
        bool found;
    } cases[] = {
        {Html, CColor(255, 255, 255), 0x767676, false},
        {Html, CColor(255, 255, 255), 0x808080, true},
        {Html, CColor(0, 0, 0), 0xFFFFFF, false},
        {Html, CColor(0, 0, 128), 0x800000, true}, // dark blue on navy
        {Picture, CColor(255, 255, 255), 0x202020, false},
        {Picture, CColor(0x99, 0x99, 0x99), 0x808080, true},
        {FilledPicture, CColor(0x99, 0x99, 0x99), 0x808080, true}, // the fill's colour
        {FilledPicture, CColor(255, 255, 255), 0x000000, false},
        {Label, CColor(20, 60, 120), 0xFFFFFF, false},
        {Label, CColor(240, 200, 40), 0xFFFFFF, true}, // white on yellow
        {DrawnLabel, CColor(20, 60, 120), 0xFFFFFF, false},
        {DrawnLabel, CColor(240, 200, 40), 0xFFFFFF, true},
    };
    for (const auto& c : cases) {
        buildtest::CSiteFixture t;
        CPage& page = t.AddPage("Side1");
        CRectObject& panel = buildtest::AddRect(page, {10, 10, 310, 70}, c.ground);
        panel.GetEffects()->shadowOn = c.kind == DrawnLabel;
        if (c.kind == Label || c.kind == DrawnLabel) {
            CButtonText label = WhiteLabel("Kontakt");
            label.color = CColor(c.ink & 0xFF, c.ink >> 8 & 0xFF, c.ink >> 16 & 0xFF);
            panel.SetButtonText(label);
        } else {
            CTextObject& text = AddColouredText(page, 30, 25, "Ord der skal kunne l\xE6ses", c.ink);
            text.SetAdvanced(c.kind != Html);
            if (c.kind == FilledPicture) {
                // The words are black; the fill paints them.
                text.Layout().ForEachStyle([](CCharStyle& s) { s.color = 0; });
                text.GetFill()->SetColour(
                    CColor(c.ink & 0xFF, c.ink >> 8 & 0xFF, c.ink >> 16 & 0xFF));
            }
            text.LayoutText();
        }
        BuildSettings settings = t.Settings();
        settings.phones = true;
        SiteBuilder builder(settings, &t.ui);
        const BuildResult result = builder.Build(t.site);
        ASSERT_EQ(result.code, BuildOk);
        const bool found = result.accessibility.size() == 1 &&
                           result.accessibility[0].kind == EAccessFinding::LowContrast;
        EXPECT_EQ(found, c.found) << c.kind << " " << std::hex << c.ink << " "
                                  << (result.accessibility.empty()
                                          ? std::string("nothing")
                                          : DescribeFinding(result.accessibility[0]));
        EXPECT_LE(result.accessibility.size(), 1u);
        if (found) {
            EXPECT_FALSE(result.accessibility[0].detail.empty());
        }
    }
}
