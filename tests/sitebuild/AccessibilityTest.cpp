// Alternative texts from an item's own words and the accessibility report
// of a build.
#include "sitebuild/OwnWords.h"
#include "model/ButtonText.h"
#include "tests/sitebuild/HtmlWriterTestSupport.h"

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
    f.AddImage(
        f.Add(std::make_unique<CRectObject>(DPOINT{90, 60}, CObjectSize{10, 10})), 0, 0, 10, 10,
        "d.jpg");
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
