#include "sitebuild/Snippet.h"
#include "sitebuild/SnippetInsert.h"
#include "sitebuild/SnippetLibrary.h"
#include "image/Image.h"
#include "model/HtmlObject.h"
#include "services/DataFolders.h"
#include "services/IO.h"
#include "services/IOError.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path kShippedFolder = fs::path(PW_SOURCE_DIR) / "resources" / "Snippets";

CSnippet Parse(const std::string& text) {
    CSnippet snippet;
    CSnippetError error;
    EXPECT_TRUE(ParseSnippet(text, snippet, error)) << error.Describe();
    return snippet;
}

CSnippetError ParseError(const std::string& text) {
    CSnippet snippet;
    CSnippetError error;
    EXPECT_FALSE(ParseSnippet(text, snippet, error)) << "accepted:\n" << text;
    EXPECT_FALSE(error.message.empty());
    return error;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

const std::string kFull = "<<CATEGORY>>\n"
                          "Tid\n"
                          "<<SNIPPET>>\n"
                          "Ur\n"
                          "<<FILELIST>>\n"
                          "ur.js\n"
                          "\n"
                          "billeder/urskive.png\n"
                          "<<DESCRIPTION1>>\n"
                          "a\n"
                          "b\n"
                          "c\n"
                          "<<DESCRIPTION2>>\n"
                          "Anden\n"
                          "<<PREVIEW>>\n"
                          "billeder\\ur.png\n"
                          "<<INPUTTEXTLINE>>\n"
                          "Overskrift:\n"
                          "%TITEL%\n"
                          "Klokken er\n"
                          "<<INPUTCOLOR>>\n"
                          "Farve:\n"
                          "%FARVE%\n"
                          "255,0,16\n"
                          "<<MANUELPOSITION>>\n"
                          "<<INPUTDROPDOWN>>\n"
                          "10, 20,300,24\n"
                          "Format:\n"
                          "%FORMAT%\n"
                          "kort\n"
                          "kort\n"
                          "Kort format\n"
                          "lang\n"
                          "Langt format\n"
                          "<<INPUTBROWSE>>\n"
                          "10,50,300,24\n"
                          "Billede:\n"
                          "%BILLEDE%\n"
                          "<<INPUTTEXTAREA>>\n"
                          "10,80,300,60\n"
                          "Tekst:\n"
                          "%TEKST%\n"
                          "\n"
                          "<<ONLOAD>>\n"
                          "start('%FORMAT%')\n"
                          "<<BODYCODE>>\n"
                          "<p style=\"color:%FARVE%\">%TITEL%</p>\n"
                          "<span>%FORMAT%</span><img src=\"%BILLEDE%\">%TEKST%\n"
                          "<<EOS>>\n"
                          "<<HEADERCODE>>\n"
                          "after the end\n";

} // namespace

TEST(Snippet, EveryMarkerIsReadByItsRule) {
    const CSnippet s = Parse(kFull);
    EXPECT_EQ(s.category, "Tid");
    EXPECT_EQ(s.name, "Ur");
    EXPECT_EQ(s.fileList, (std::vector<std::string>{"ur.js", "billeder/urskive.png"}));
    EXPECT_EQ(s.description1, "a\nb\nc");
    EXPECT_EQ(s.description2, "Anden");
    EXPECT_EQ(s.preview, "billeder\\ur.png");
    EXPECT_TRUE(s.manualPosition);
    EXPECT_EQ(s.onloadCode, "start('%FORMAT%')");
    EXPECT_EQ(s.bodyCode, "<p style=\"color:%FARVE%\">%TITEL%</p>\n"
                          "<span>%FORMAT%</span><img src=\"%BILLEDE%\">%TEKST%");
    EXPECT_EQ(s.headerCode, "") << "a block after <<EOS>> is not read";

    ASSERT_EQ(s.parameters.size(), 5u);
    const CSnippetParameter& line = s.parameters[0];
    EXPECT_EQ(line.type, SnippetTextLine);
    EXPECT_FALSE(line.manualPosition);
    EXPECT_EQ(line.caption, "Overskrift:");
    EXPECT_EQ(line.placeholder, "%TITEL%");
    EXPECT_EQ(line.defaultValue, "Klokken er");
    EXPECT_EQ(line.value, "Klokken er");

    const CSnippetParameter& colour = s.parameters[1];
    EXPECT_EQ(colour.type, SnippetColor);
    EXPECT_FALSE(colour.manualPosition);
    EXPECT_EQ(colour.colour, 0x1000FFu) << "COLORREF keeps red in the low byte";
    EXPECT_EQ(colour.SubstitutionText(), "#ff0010");

    const CSnippetParameter& drop = s.parameters[2];
    EXPECT_EQ(drop.type, SnippetDropDown);
    EXPECT_TRUE(drop.manualPosition);
    EXPECT_EQ(drop.x, 10);
    EXPECT_EQ(drop.y, 20);
    EXPECT_EQ(drop.width, 300);
    EXPECT_EQ(drop.height, 24);
    EXPECT_EQ(drop.defaultValue, "kort");
    EXPECT_EQ(drop.choices,
              (std::vector<CSnippetChoice>{{"kort", "Kort format"}, {"lang", "Langt format"}}));

    const CSnippetParameter& browse = s.parameters[3];
    EXPECT_EQ(browse.type, SnippetBrowse);
    EXPECT_EQ(browse.caption, "Billede:");
    EXPECT_EQ(browse.placeholder, "%BILLEDE%");
    EXPECT_EQ(browse.defaultValue, "") << "a file parameter has no default line";
    EXPECT_EQ(browse.y, 50);

    const CSnippetParameter& area = s.parameters[4];
    EXPECT_EQ(area.type, SnippetTextArea);
    EXPECT_EQ(area.height, 60);
    EXPECT_EQ(area.defaultValue, "");
}

TEST(Snippet, LineEndsEncodingsAndMissingEnd) {
    // The same file with CR LF line ends, without <<EOS>> and without a
    // final line feed reads the same.
    std::string crlf;
    for (char c : kFull.substr(0, kFull.find("<<EOS>>")))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    crlf.resize(crlf.size() - 2);
    const CSnippet a = Parse(kFull);
    const CSnippet b = Parse(crlf);
    EXPECT_EQ(b.bodyCode, a.bodyCode);
    EXPECT_EQ(b.description1, "a\nb\nc");
    ASSERT_EQ(b.parameters.size(), 5u);
    EXPECT_EQ(b.parameters[2].choices, a.parameters[2].choices);
    EXPECT_EQ(b.parameters[4].placeholder, "%TEKST%");

    // Blank lines inside a block are kept; so is a block's last blank line.
    EXPECT_EQ(Parse("<<SNIPPET>>\nx\n<<BODYCODE>>\n\na\n\n<<EOS>>\n").bodyCode, "\na\n");
    EXPECT_EQ(Parse("<<SNIPPET>>\nx\n<<BODYCODE>>\n<<EOS>>\n").bodyCode, "");

    // Danish letters from a Windows-1252 file and from a UTF-8 file (with
    // and without byte order mark) all end as Windows-1252 bytes.
    const std::string cp = "<<SNIPPET>>\nGr\xE6nse\n<<BODYCODE>>\n\xF8\xE5 \x80\n";
    const std::string utf =
        "<<SNIPPET>>\nGr\xC3\xA6nse\n<<BODYCODE>>\n\xC3\xB8\xC3\xA5 \xE2\x82\xAC\n";
    for (const std::string& text : {cp, utf, "\xEF\xBB\xBF" + utf}) {
        const CSnippet s = Parse(text);
        EXPECT_EQ(s.name, "Gr\xE6nse");
        EXPECT_EQ(s.bodyCode, "\xF8\xE5 \x80");
    }
}

TEST(Snippet, BadFilesGiveAClearErrorWithTheLine) {
    struct Case {
        std::string text;
        int line;
    };
    const std::vector<Case> cases = {
        {"", 0},                                         // nothing at all
        {"just some notes\nabout nothing\n", 0},         // no markers: not a snippet
        {"<<CATEGORY>>\nx\n", 0},                        // no name
        {"<<SNIPPET>>\n", 2},                            // ends before the name
        {"<<SNIPPET>>\n<<BODYCODE>>\nx\n", 2},           // marker where the name belongs
        {"<<SNIPPET>>\nx\n<<INPUTTEXTLINE>>\nCap\n", 5}, // ends before the placeholder
        {"<<SNIPPET>>\nx\n<<INPUTTEXTLINE>>\nCap\n%P%\n<<BODYCODE>>\n%P%\n", 6},
        {"<<SNIPPET>>\nx\n<<INPUTCOLOR>>\nC\n%C%\n255,0\n", 6},
        {"<<SNIPPET>>\nx\n<<INPUTCOLOR>>\nC\n%C%\n256,0,0\n", 6},
        {"<<SNIPPET>>\nx\n<<INPUTCOLOR>>\nC\n%C%\nred,0,0\n", 6},
        {"<<SNIPPET>>\nx\n<<INPUTCOLOR>>\nC\n%C%\n1,2,3,4\n", 6},
        {"<<SNIPPET>>\nx\n<<MANUELPOSITION>>\n<<INPUTBROWSE>>\n1,2,3\nC\n%C%\n", 5},
        {"<<SNIPPET>>\nx\n<<MANUELPOSITION>>\n<<INPUTBROWSE>>\n1,2,-3,4\nC\n%C%\n", 5},
        {"<<SNIPPET>>\nx\n<<INPUTDROPDOWN>>\nC\n%C%\na\n<<BODYCODE>>\n", 3},      // no choices
        {"<<SNIPPET>>\nx\n<<INPUTDROPDOWN>>\nC\n%C%\na\na\nA\nb\n<<EOS>>\n", 10}, // b alone
        {"<<SNIPPET>>\nx\n<<INPUTDROPDOWN>>\nC\n%C%\na\na\nA\nb\n", 10},
    };
    for (const Case& c : cases) {
        const CSnippetError error = ParseError(c.text);
        EXPECT_EQ(error.line, c.line) << c.text << "\n-> " << error.Describe();
    }

    CSnippetError error;
    error.file = "/x/ur.txt";
    error.line = 4;
    error.message = "fejl";
    EXPECT_EQ(error.Describe(), "ur.txt, linje 4: fejl");
}

TEST(Snippet, TruncatedAndDamagedFilesNeverCrash) {
    // Every prefix of a real snippet file, and copies with bytes changed at
    // random, either parse or fail with a message; a failure never leaves a
    // half-read snippet looking valid (its error names a reason).
    std::vector<std::string> texts = {kFull};
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kShippedFolder, ec))
        if (entry.path().extension() == ".txt") texts.push_back(ReadFile(entry.path()));
    ASSERT_GE(texts.size(), 2u);

    std::mt19937 random(20261208);
    const std::string noise = "\n\r<>,0123456789%-\xC3\xE6";
    int accepted = 0, refused = 0;
    for (const std::string& text : texts) {
        for (std::size_t n = 0; n <= text.size(); n += 1 + n / 400) {
            CSnippet s;
            CSnippetError e;
            if (ParseSnippet(text.substr(0, n), s, e)) {
                ++accepted;
            } else {
                ++refused;
                ASSERT_FALSE(e.message.empty());
            }
        }
        for (int round = 0; round < 200; ++round) {
            std::string damaged = text;
            for (int k = 0; k < 3; ++k)
                damaged[random() % damaged.size()] = noise[random() % noise.size()];
            CSnippet s;
            CSnippetError e;
            if (!ParseSnippet(damaged, s, e)) {
                ASSERT_FALSE(e.message.empty());
            }
        }
    }
    EXPECT_GT(accepted, 0);
    EXPECT_GT(refused, 0);
}

TEST(Snippet, SubstitutionInOrderWithoutRescanningValues) {
    std::vector<CSnippetParameter> params(4);
    params[0].placeholder = "%NAVN%";
    params[0].value = "Ole %BY%"; // a value that looks like another placeholder
    params[1].placeholder = "%BY%";
    params[1].value = "Odense";
    params[2].placeholder = "";
    params[2].value = "never";
    params[3].type = SnippetColor;
    params[3].placeholder = "%F%";
    params[3].colour = 0x1000FF;
    EXPECT_EQ(SubstituteParameters("%NAVN% fra %BY%, %BY%! %F%%F%", params),
              "Ole %BY% fra Odense, Odense! #ff0010#ff0010");
    EXPECT_EQ(SubstituteParameters("", params), "");

    // Earlier parameters take their text first: %A% eats into %AB%.
    std::vector<CSnippetParameter> overlap(2);
    overlap[0].placeholder = "%A";
    overlap[0].value = "1";
    overlap[1].placeholder = "%AB%";
    overlap[1].value = "2";
    EXPECT_EQ(SubstituteParameters("%AB%", overlap), "1B%");
}

TEST(Snippet, InsertFillsTheHtmlObject) {
    CSnippet s = Parse(kFull);
    s.parameters[0].value = "Nu";
    s.parameters[1].colour = 0x00FF00;
    s.parameters[2].value = "lang";
    s.parameters[3].value = "ur.png";
    s.parameters[4].value = "x\ny";
    CHtmlObject object(DPOINT{10, 10}, 100, 50);
    object.SetCode("old();", "<b>old</b>", "old");
    InsertSnippet(s, object);

    EXPECT_EQ(object.GetOnloadCode(), "start('%FORMAT%')") << "onload code is not substituted";
    EXPECT_EQ(object.GetHeaderCode(), "") << "no head markers without header code";
    EXPECT_EQ(object.GetBodyCode(), "<!-- SNIPPETBEGIN Tid/Ur -->\n"
                                    "<p style=\"color:#00ff00\">Nu</p>\n"
                                    "<span>lang</span><img src=\"ur.png\">x\ny\n"
                                    "<!-- SNIPPETEND Tid/Ur -->\n");
    EXPECT_EQ(object.GetUsedFiles(), s.fileList);

    s.headerCode = "<style>p{color:%FARVE%}</style>";
    s.category = "A--B";
    s.name = "C-";
    InsertSnippet(s, object);
    EXPECT_EQ(object.GetHeaderCode(), "<!-- SNIPPETBEGIN A- -B/C-  -->\n"
                                      "<style>p{color:#00ff00}</style>\n"
                                      "<!-- SNIPPETEND A- -B/C-  -->\n");

    s.ResetValues();
    EXPECT_EQ(s.parameters[0].value, "Klokken er");
    EXPECT_EQ(s.parameters[1].colour, 0x1000FFu);
}

TEST(SnippetLibrary, ReadsTxtFilesInNameOrderAndListsBadOnes) {
    pwtest::TempDir dir;
    WriteFile(dir / "b.TXT", "<<CATEGORY>>\nK2\n<<SNIPPET>>\nB\n");
    WriteFile(dir / "a.txt", "<<CATEGORY>>\nK1\n<<SNIPPET>>\nA\n<<PREVIEW>>\npic\\a.png\n");
    WriteFile(dir / "c.Txt", "<<CATEGORY>>\nK1\n<<SNIPPET>>\nC\n");
    WriteFile(dir / "d.txt", "<<CATEGORY>>\nK1\n<<SNIPPET>>\n"); // broken
    WriteFile(dir / "e.html", "<<SNIPPET>>\nE\n");               // not a snippet file
    fs::create_directory(dir / "sub.txt");                       // a folder, not a file
    fs::create_directory(dir / "sub");
    WriteFile(dir / "sub" / "f.txt", "<<SNIPPET>>\nF\n"); // only the folder itself counts

    CSnippetLibrary library;
    library.Load(dir.Path());
    ASSERT_EQ(library.Snippets().size(), 3u);
    EXPECT_EQ(library.Snippets()[0].name, "A");
    EXPECT_EQ(library.Snippets()[1].name, "B");
    EXPECT_EQ(library.Snippets()[2].name, "C");
    EXPECT_EQ(library.Snippets()[0].file, dir / "a.txt");
    EXPECT_EQ(library.Snippets()[0].PreviewPath(), dir / "pic" / "a.png");
    EXPECT_EQ(library.Categories(), (std::vector<std::string>{"K1", "K2"}));
    EXPECT_EQ(library.InCategory("K1"), (std::vector<std::size_t>{0, 2}));
    ASSERT_NE(library.Find("K2", "B"), nullptr);
    EXPECT_EQ(library.Find("K1", "B"), nullptr);
    ASSERT_EQ(library.Problems().size(), 1u);
    EXPECT_EQ(library.Problems()[0].file, dir / "d.txt");
    EXPECT_EQ(library.Problems()[0].line, 4);

    library.Load(dir / "missing");
    EXPECT_TRUE(library.Snippets().empty());
    EXPECT_TRUE(library.Problems().empty());
}

TEST(SnippetLibrary, ShippedSnippetsAreCompleteAndInsert) {
    CSnippetLibrary library;
    library.Load(kShippedFolder);
    for (const CSnippetError& e : library.Problems())
        ADD_FAILURE() << e.Describe();
    ASSERT_GE(library.Snippets().size(), 10u);
    // Run from the build tree, the program finds the same library itself.
    if (CDataFolders::DataFolder() == kShippedFolder.parent_path()) {
        CSnippetLibrary found;
        found.Load();
        EXPECT_EQ(found.Snippets().size(), library.Snippets().size());
    }

    std::set<std::string> names;
    for (const CSnippet& s : library.Snippets()) {
        SCOPED_TRACE(s.file.filename().string());
        EXPECT_TRUE(names.insert(s.category + "/" + s.name).second) << "named twice";
        EXPECT_FALSE(s.category.empty());
        EXPECT_GT(s.description1.size(), 40u) << "describe what the snippet does";
        EXPECT_FALSE(s.bodyCode.empty());
        EXPECT_EQ(s.onloadCode.find('"'), std::string::npos)
            << "onload code goes inside a double-quoted attribute";

        int format = FORMAT_ANY, error = IOERR_NONE;
        const auto preview = CIO::LoadImageA(s.PreviewPath(), format, error);
        ASSERT_NE(preview, nullptr) << "preview " << s.PreviewPath();
        EXPECT_GE(preview->Width(), 100);
        EXPECT_LE(preview->Width(), 320);

        // Every parameter is used, and with the defaults no placeholder is
        // left in the code.
        for (const CSnippetParameter& p : s.parameters) {
            EXPECT_FALSE(p.caption.empty());
            EXPECT_TRUE(s.headerCode.find(p.placeholder) != std::string::npos ||
                        s.bodyCode.find(p.placeholder) != std::string::npos)
                << p.placeholder << " is never used";
        }
        CHtmlObject object(DPOINT{0, 0}, 200, 100);
        InsertSnippet(s, object);
        const std::string code = object.GetHeaderCode() + object.GetBodyCode();
        for (const CSnippetParameter& p : s.parameters)
            EXPECT_EQ(code.find(p.placeholder), std::string::npos) << p.placeholder;
        EXPECT_EQ(object.GetBodyCode().rfind("<!-- SNIPPETBEGIN " + s.category + "/" + s.name, 0),
                  0u);
        EXPECT_EQ(object.GetHeaderCode().empty(), s.headerCode.empty());
    }
}
