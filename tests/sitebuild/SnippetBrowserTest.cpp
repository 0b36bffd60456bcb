// Every shipped snippet placed on a page of a site made in code, built by
// the site builder and opened in the real browser: the page runs without
// script errors, and a checking script at the end of the page confirms that
// each snippet did its work (a failed check is thrown, so it shows up as a
// script error too).
#include "sitebuild/SnippetInsert.h"
#include "sitebuild/SnippetLibrary.h"
#include "image/Image.h"
#include "model/HtmlObject.h"
#include "model/Page.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "services/IO.h"
#include "tests/sitebuild/BuiltSiteCheck.h"
#include "tests/support/Browser.h"
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path kShippedFolder = fs::path(PW_SOURCE_DIR) / "resources" / "Snippets";

void SetValue(CSnippet& snippet, const std::string& placeholder, const std::string& value) {
    for (CSnippetParameter& p : snippet.parameters)
        if (p.placeholder == placeholder) {
            p.value = value;
            return;
        }
    ADD_FAILURE() << snippet.name << " has no parameter " << placeholder;
}

CSnippet Shipped(const CSnippetLibrary& library, const std::string& file) {
    for (const CSnippet& s : library.Snippets())
        if (s.file.filename() == file) return s;
    ADD_FAILURE() << "no shipped snippet " << file;
    return {};
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void SavePicture(const fs::path& file, uint8_t red) {
    CImage image(IMAGE_RGB8, 64, 48, 96.0);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* p = image.Bits() + y * image.RowBytes() + 3 * x;
            p[0] = red, p[1] = static_cast<uint8_t>(x * 4), p[2] = static_cast<uint8_t>(y * 5);
        }
    int format = FORMAT_JPEG, error = 0;
    ASSERT_TRUE(CIO::SaveImage(file, image, format, 90, error, "")) << file;
}

// Runs after the body's ONLOAD code (its listener is added later) and
// throws at the first snippet that did not do its work.
const char* const kCheckScript = R"(<script type="text/javascript">
window.addEventListener('load', function () {
  function check(ok, what) { if (!ok) throw new Error('snippet check failed: ' + what); }
  function all(cls) { return Array.prototype.slice.call(document.getElementsByClassName(cls)); }
  var clocks = all('pw-ur');
  check(clocks.length === 2, 'two clocks');
  clocks.forEach(function (c) { check(/\d/.test(c.textContent), 'clock ticking: ' + c.textContent); });
  check(/^\d+\. (januar|februar|marts|april|maj|juni|juli|august|september|oktober|november|december) \d{4}$/.test(all('pw-opdateret')[0].textContent), 'last-updated date');
  var shownText = document.body.innerText;
  check(/God (morgen|formiddag|eftermiddag|aften|nat) og velkommen/.test(shownText), 'greeting');
  check(/Der er \d+ dage? til juleaften/.test(shownText), 'countdown');
  var socials = all('pw-sociale')[0].getElementsByTagName('a');
  var shown = Array.prototype.filter.call(socials, function (a) { return a.style.display !== 'none'; });
  check(shown.length === 1 && shown[0].textContent === 'Instagram', 'only social links with an address');
  var mail = all('pw-mail')[0];
  check(mail.href === 'mailto:ole@eksempel.dk?subject=Hilsen%20fra%20Ole%20%C3%A6%C3%B8%C3%A5', 'mail subject: ' + mail.href);
  var show = all('pw-billedshow')[0].getElementsByTagName('img')[0];
  check(show && show.complete && show.naturalWidth === 64, 'slideshow picture loaded');
  var videos = all('pw-video');
  check(videos[0].getElementsByTagName('iframe').length === 0 && /Skriv/.test(videos[0].textContent), 'empty video');
  check(videos[1].getElementsByTagName('iframe').length === 1, 'video service frame');
  var markers = 0;
  for (var n = document.head.firstChild; n; n = n.nextSibling)
    if (n.nodeType === Node.COMMENT_NODE && n.data.indexOf('SNIPPETBEGIN') >= 0) markers++;
  check(markers === 3, 'snippet comments in the head: ' + markers);
  check(shownText.indexOf('SNIPPET') < 0, 'snippet markers show as text');
});
</script>)";

// Stacks the snippets down the page, one HTML object each.
void PlaceSnippets(CPage& page, const std::vector<CSnippet>& snippets) {
    int top = 10;
    for (const CSnippet& s : snippets) {
        const int height = s.bodyCode.find("iframe") != std::string::npos ? 240 : 120;
        auto object = std::make_unique<CHtmlObject>(DPOINT{20, double(top)}, 420, height);
        InsertSnippet(s, *object);
        page.InsertItem(std::move(object));
        top += height + 10;
    }
    page.SetHeight(top);
}

// Parameters that hold an address or a date; the others take any text.
bool TakesAnyText(const CSnippetParameter& p) {
    static const std::vector<std::string> kAddresses = {
        "%KORT%", "%VIDEO%", "%ADRESSE%", "%ADR1%",     "%ADR2%",
        "%ADR3%", "%ADR4%",  "%DATO%",    "%BILLEDER%", "%SEKUNDER%"};
    return (p.type == SnippetTextLine || p.type == SnippetTextArea) &&
           std::find(kAddresses.begin(), kAddresses.end(), p.placeholder) == kAddresses.end();
}

} // namespace

TEST(SnippetBrowser, EverySnippetRunsOnABuiltPage) {
    PW_REQUIRE_BROWSER();
    CSnippetLibrary library;
    library.Load(kShippedFolder);
    ASSERT_TRUE(library.Problems().empty()) << library.Problems()[0].Describe();

    // Every snippet with its defaults, except where a default would leave
    // the page (the redirect) or needs something of the user's (pictures).
    std::vector<CSnippet> snippets;
    for (CSnippet s : library.Snippets()) {
        const std::string file = s.file.filename().string();
        if (file == "omdirigering.txt") SetValue(s, "%SEKUNDER%", "30");
        if (file == "billedshow.txt") SetValue(s, "%BILLEDER%", "vis1.jpg\r\n\n  vis2.jpg \n");
        if (file == "sociale-medier.txt") SetValue(s, "%ADR2%", "https://social.example/ole");
        if (file == "email-link.txt") {
            SetValue(s, "%ADRESSE%", "ole@eksempel.dk");
            SetValue(s, "%EMNE%", "Hilsen fra Ole \xE6\xF8\xE5");
        }
        snippets.push_back(s);
    }
    // A second clock (both share one start in the body's onload) and a video
    // from a video service (an outside host, which this machine cannot reach).
    snippets.push_back(Shipped(library, "klokken.txt"));
    CSnippet service = Shipped(library, "video.txt");
    SetValue(service, "%VIDEO%", "https://video.example/embed/123");
    snippets.push_back(service);

    CSite site("Snippets", CBackgroundFill(CColor(255, 255, 255)), 700, 200, CColor(0, 0, 255),
               CColor(128, 0, 128));
    CPage& page = site.AddPage(std::make_unique<CPage>(site, "Forside", "Alle HTML-stykker"));
    site.SetFrontPage(page);
    PlaceSnippets(page, snippets);
    auto checker = std::make_unique<CHtmlObject>(DPOINT{460, 10}, 100, 20);
    checker->SetCode("", "", kCheckScript);
    page.InsertItem(std::move(checker));

    // The same snippets with texts full of quotes, markup and line breaks:
    // the scripts read texts from the page, so no text can break them.
    for (CSnippet& s : snippets)
        for (CSnippetParameter& p : s.parameters)
            if (TakesAnyText(p)) p.value = "O'Hara \"x\" </b>&amp; \xE6\\n\r\nlinje 2";
    PlaceSnippets(site.AddPage(std::make_unique<CPage>(site, "Tekster", "Skrappe tekster")),
                  snippets);

    const auto built = pwtest::BuildSite(site);
    ASSERT_EQ(built->code, BuildOk);
    // Beside each page, where the slideshow looks for them.
    for (const fs::path& folder : {built->dir.Path(), built->dir / kFilesFolderName}) {
        SavePicture(folder / "vis1.jpg", 200);
        SavePicture(folder / "vis2.jpg", 20);
    }

    // The builder put every piece where it belongs.
    const std::string html = ReadText(built->PageFile(0));
    const std::size_t headEnd = html.find("</HEAD>");
    ASSERT_NE(headEnd, std::string::npos);
    EXPECT_NE(html.find("ONLOAD = \"pwStartClocks();pwStartClocks();\""), std::string::npos);
    const std::size_t userHead = html.find("<!-- HTML INSERTED BY USER -->");
    EXPECT_LT(userHead, headEnd);
    EXPECT_LT(html.find("<!-- SNIPPETBEGIN Tekst og hilsner/Rullende tekst -->"), headEnd);
    EXPECT_GT(html.find("<!-- SNIPPETBEGIN Kontakt/E-mail-link -->"), headEnd);

    const auto errors = pwtest::ConsoleErrors({built->PageFile(0), built->PageFile(1)});
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_TRUE(errors[0].empty()) << pwtest::JoinLines(errors[0]);
    EXPECT_TRUE(errors[1].empty()) << pwtest::JoinLines(errors[1]);
}
