// Makes the templates shipped in resources/Templates, pictures included.
// Rebuild them with (see docs/templates.md):
//   out-NAME/tests/test_model --gtest_also_run_disabled_tests
//       --gtest_filter=TemplateGenerator.DISABLED_WriteShippedTemplates
// The other test here loads what is shipped, cut short at many places.
#include "image/Image.h"
#include "model/ButtonText.h"
#include "model/EllipseObject.h"
#include "model/FormObject.h"
#include "model/ObjectLink.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/SafeSave.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "model/Templates.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "services/ByteReader.h"
#include "services/ByteWriter.h"
#include "services/Cp1252.h"
#include "services/IO.h"
#include "services/IOError.h"
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

namespace fs = std::filesystem;

fs::path ShippedFolder() {
    return fs::path(PW_SOURCE_DIR) / "resources" / "Templates";
}

struct CPageSpec {
    const char* identifier;
    const char* title; // web name and button text
    const char* heading;
    const char* body;
    bool picture;
    bool form;
};

struct CTemplateSpec {
    const char* folder;
    const char* file;
    const char* category;
    const char* name;
    CColor background, accent, hover, ink;
    bool roundButtons;
    int pictureStyle;
    std::vector<CPageSpec> pages;
    // The buttons under the mouse: a darker shade than `hover` (which the
    // pictures are drawn with), so that their white labels keep at least
    // 4.5:1 there too.
    CColor buttonHover;
};

std::string Cp(const char* utf8) {
    return cp1252::FromUtf8(utf8);
}

// A picture made from scratch: a diagonal gradient between two colours
// with soft rings or stripes, saved as JPEG.
bool MakePicture(const fs::path& path, int width, int height, const CColor& a, const CColor& b,
                 int style) {
    CImage image(IMAGE_RGB8, width, height, 96.0);
    if (!image.Bits()) return false;
    const uint8_t* ca = a.GetColor();
    const uint8_t* cb = b.GetColor();
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.Bits() + static_cast<std::size_t>(y) * image.RowBytes();
        for (int x = 0; x < width; ++x) {
            double t = (static_cast<double>(x) / width + static_cast<double>(y) / height) / 2;
            const double dx = x - width * 0.65, dy = y - height * 0.4;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double wave = style == 0   ? 0.5 + 0.5 * std::cos(r / 9.0)
                                : style == 1 ? 0.5 + 0.5 * std::sin((x + 2 * y) / 14.0)
                                             : (r < height * 0.3 ? 1.0 : 0.0);
            t = std::clamp(t * 0.75 + wave * 0.25, 0.0, 1.0);
            for (int k = 0; k < 3; ++k)
                row[3 * x + k] = static_cast<uint8_t>(ca[k] + (cb[k] - ca[k]) * t);
        }
    }
    int format = FORMAT_JPEG, error = 0;
    return CIO::SaveImage(path, image, format, 85, error, std::string());
}

CCharStyle Style(int size, bool bold, const CColor& colour) {
    CCharStyle style;
    style.fontSize = static_cast<uint16_t>(size);
    style.bold = bold;
    style.color = static_cast<int32_t>(colour.GetCOLORREF());
    return style;
}

std::unique_ptr<CTextObject> MakeText(DPOINT centre, CObjectSize size, const std::string& text,
                                      const CCharStyle& style) {
    auto object = std::make_unique<CTextObject>(centre, size);
    CTextLayout& layout = object->Layout();
    layout.Clear();
    layout.defaultStyle = style;
    for (char c : text) {
        if (c == '\n')
            layout.AppendParagraph();
        else
            layout.Append(static_cast<uint8_t>(c), style);
    }
    object->LayoutText();
    return object;
}

void AddButton(CPage& page, const CTemplateSpec& spec, int target, const std::string& label,
               DPOINT centre) {
    const CObjectSize size{150, 34};
    std::unique_ptr<CShapeObject> shape;
    if (spec.roundButtons)
        shape = std::make_unique<CEllipseObject>(centre, size);
    else
        shape = std::make_unique<CRectObject>(centre, size);
    shape->SetFill(std::make_unique<CObjectFill>(spec.accent));
    CButtonText text;
    text.text = label;
    text.bold = true;
    text.fontSize = 11;
    text.color = CColor(255, 255, 255);
    shape->SetButtonText(text);
    auto link = std::make_unique<CObjectLink>();
    link->type = CObjectLink::typePage;
    link->enabled = true;
    link->page = target;
    shape->SetLink(std::move(link));
    CPageItem& item = page.InsertItem(std::move(shape));
    std::unique_ptr<CPageObject> twin = item.Normal().Clone();
    twin->SetFill(std::make_unique<CObjectFill>(spec.buttonHover));
    item.AttachMouseOver(std::move(twin));
    item.SetEditingMouseOver(false);
}

std::unique_ptr<CSite> BuildSite(const CTemplateSpec& spec, const fs::path& folder) {
    auto site = std::make_unique<CSite>(Cp(spec.name), CBackgroundFill(spec.background), 740, 600,
                                        CColor(0, 0, 200), CColor(110, 0, 110));
    const int count = static_cast<int>(spec.pages.size());
    for (int p = 0; p < count; ++p) {
        const CPageSpec& ps = spec.pages[static_cast<std::size_t>(p)];
        CPage& page = site->AddPage(std::make_unique<CPage>(*site, ps.identifier, Cp(ps.title)));
        // Top band with the site's name.
        auto band = std::make_unique<CRectObject>(DPOINT{370, 40}, CObjectSize{700, 60});
        band->SetFill(std::make_unique<CObjectFill>(spec.accent));
        page.InsertItem(std::move(band));
        page.InsertItem(
            MakeText({370, 40}, {640, 40}, Cp(spec.name), Style(20, true, CColor(255, 255, 255))));
        for (int b = 0; b < count; ++b)
            AddButton(page, spec, b, Cp(spec.pages[static_cast<std::size_t>(b)].title),
                      {100, 120.0 + 46 * b});
        page.InsertItem(MakeText({440, 125}, {400, 36}, Cp(ps.heading), Style(16, true, spec.ink)));
        page.InsertItem(MakeText({440, 215}, {400, 120}, Cp(ps.body), Style(10, false, spec.ink)));
        if (ps.picture) {
            const fs::path picture =
                folder / "billeder" / (std::string(spec.file) + "-" + ps.identifier + ".jpg");
            EXPECT_TRUE(MakePicture(picture, 360, 220, spec.accent, spec.hover,
                                    (spec.pictureStyle + p) % 3));
            auto frame = std::make_unique<CRectObject>(DPOINT{440, 420}, CObjectSize{360, 220});
            auto fill = std::make_unique<CObjectFill>();
            fill->SetImagePath(picture.string());
            frame->SetFill(std::move(fill));
            page.InsertItem(std::move(frame));
        }
        if (ps.form) {
            page.InsertItem(std::make_unique<CFormObject>("navn@eksempel.dk", 440.0, 430.0));
        }
    }
    site->SetFrontPage(site->PageAt(0));
    site->SetCurrentPage(&site->PageAt(0));
    return site;
}

const std::vector<CTemplateSpec>& Specs() {
    static const std::vector<CTemplateSpec> specs = {
        {"Personlig",
         "hjemmeside",
         "Personlig",
         "Min hjemmeside",
         CColor(250, 247, 240),
         CColor(70, 110, 160),
         CColor(230, 130, 60),
         CColor(40, 40, 40),
         false,
         0,
         {{"Side1", "Forside", "Velkommen",
           "Her fortæller jeg lidt om mig selv,\nmin familie og mine interesser.", true, false},
          {"Side2", "Om mig", "Om mig",
           "Jeg bor i en lille by og holder af\nlange ture, gode bøger og god mad.", false, false},
          {"Side3", "Interesser", "Mine interesser", "Fotografering, cykling og havearbejde.", true,
           false},
          {"Side4", "Kontakt", "Skriv til mig", "Brug formularen herunder.", false, true}},
         CColor(180, 80, 20)},
        {"Erhverv",
         "firma",
         "Erhverv",
         "Lille virksomhed",
         CColor(255, 255, 255),
         CColor(30, 60, 90),
         CColor(200, 160, 40),
         CColor(20, 30, 40),
         false,
         1,
         {{"Side1", "Forside", "Velkommen til firmaet",
           "Vi leverer kvalitet til tiden -\nog har gjort det i mange år.", true, false},
          {"Side2", "Ydelser", "Vores ydelser",
           "Rådgivning, montage og service.\nRing og hør nærmere.", true, false},
          {"Side3", "Priser", "Priser", "Timepris: 450 kr. ekskl. moms.\nKørsel efter aftale.",
           false, false},
          {"Side4", "Om os", "Om os", "Et lille team med stor erfaring.", true, false},
          {"Side5", "Kontakt", "Kontakt os", "Skriv, så vender vi hurtigt tilbage.", false, true}},
         CColor(140, 100, 0)},
        {"Foreninger",
         "klub",
         "Foreninger",
         "Klubben",
         CColor(240, 248, 240),
         CColor(40, 120, 60),
         CColor(240, 200, 40),
         CColor(20, 50, 20),
         true,
         2,
         {{"Side1", "Forside", "Velkommen i klubben", "Nye medlemmer er altid velkomne.", true,
           false},
          {"Side2", "Kalender", "Kalender",
           "Træning tirsdag og torsdag kl. 18.\nGeneralforsamling i marts.", false, false},
          {"Side3", "Bestyrelse", "Bestyrelsen", "Formand, kasserer og tre\nbestyrelsesmedlemmer.",
           true, false},
          {"Side4", "Bliv medlem", "Bliv medlem", "Udfyld formularen, så kontakter vi dig.", false,
           true}},
         CColor(150, 100, 0)},
        {"Fotografi",
         "portfolio",
         "Fotografi",
         "Fotoportfolio",
         CColor(30, 30, 34),
         CColor(90, 90, 100),
         CColor(180, 60, 60),
         CColor(235, 235, 235),
         true,
         0,
         {{"Side1", "Forside", "Billeder", "Et udvalg af mine bedste billeder.", true, false},
          {"Side2", "Landskab", "Landskab", "Lys og vejr over åbent land.", true, false},
          {"Side3", "Portræt", "Portræt", "Mennesker i deres eget miljø.", true, false},
          {"Side4", "Kontakt", "Bestil en fotografering", "Skriv om opgaven herunder.", false,
           true}},
         CColor(180, 60, 60)},
    };
    return specs;
}

TEST(TemplateGenerator, DISABLED_WriteShippedTemplates) {
    for (const CTemplateSpec& spec : Specs()) {
        const fs::path folder = ShippedFolder() / spec.folder;
        fs::create_directories(folder / "billeder");
        auto site = BuildSite(spec, folder);
        const fs::path path = folder / (std::string(spec.file) + ".pws");
        CSiteSaveOptions options;
        options.asTemplate = true;
        options.category = Cp(spec.category);
        options.templateName = Cp(spec.name);
        options.targetPath = path.string();
        CByteWriter writer;
        ASSERT_TRUE(SaveSite(*site, writer, options)) << path;
        ASSERT_TRUE(safe_save::ReplaceFile(path, writer.Data())) << path;
    }
}

TEST(ShippedTemplates, AreListedAndLoadAndEveryCutFails) {
    std::vector<CTemplateCategory> categories;
    ASSERT_TRUE(FindTemplates(ShippedFolder(), categories));
    ASSERT_EQ(categories.size(), 4u);
    for (const CTemplateCategory& category : categories)
        for (const fs::path& path : category.paths) {
            std::ifstream in(path, std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                             std::istreambuf_iterator<char>()};
            std::string error;
            CByteReader whole{std::span<const uint8_t>(bytes)};
            auto site = LoadSite(whole, path.string(), nullptr, &error);
            ASSERT_TRUE(site) << path << ": " << error;
            EXPECT_GE(site->PageCount(), 3);
            EXPECT_LE(site->PageCount(), 6);
            EXPECT_TRUE(ReadSitePreview(path));
            // Every picture is found next to the template.
            for (const auto& page : site->Pages())
                for (const auto& item : page->Items())
                    if (const CObjectFill* fill = item->Normal().GetFill();
                        fill && fill->GetType() == CObjectFill::fillImage) {
                        EXPECT_TRUE(fs::exists(fill->GetImagePath())) << fill->GetImagePath();
                    }
            // Cut at the first 600 places and then at every 97th byte.
            for (std::size_t n = 0; n < bytes.size(); n += n < 600 ? 1 : 97) {
                CByteReader cut{std::span<const uint8_t>(bytes.data(), n)};
                ASSERT_FALSE(LoadSite(cut, path.string())) << path << " cut at " << n;
            }
        }
}

} // namespace
