// The HTML writer's files, read back as bytes: whole pages against literal
// text, the text blocks with their style and link runs, the body and
// background variants, the image tags and the notice pages.
#include "build/HtmlWriter.h"
#include "model/CounterObject.h"
#include "model/EllipseObject.h"
#include "model/FormObject.h"
#include "model/HtmlObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "render/BackgroundFill.h"
#include "render/ObjectFill.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>

namespace {

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Test texts are written with bare line feeds; the files carry CR LF.
std::string CrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Every CSS class number of a page, in the order written.
std::vector<int> ClassNumbers(const std::string& html) {
    std::vector<int> numbers;
    const std::regex rule("DIV\\.Object([0-9]+) ");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), rule);
         it != std::sregex_iterator(); ++it)
        numbers.push_back(std::stoi((*it)[1]));
    return numbers;
}

CCharStyle Style(bool bold = false, int32_t colour = 0) {
    CCharStyle s;
    s.SetFaceName("Arial");
    s.fontSize = 12;
    s.bold = bold;
    s.color = colour;
    return s;
}

CObjectLink WebLink(const std::string& address) {
    CObjectLink link;
    link.type = CObjectLink::typeUrl;
    link.enabled = true;
    link.url = address;
    return link;
}

// A text of pieces, each with its own style; '\n' starts a new paragraph.
std::unique_ptr<CTextObject> Text(const std::vector<std::pair<std::string, CCharStyle>>& pieces,
                                  int32_t boxWidth = 300) {
    auto text = std::make_unique<CTextObject>(DPOINT{150, 50}, CObjectSize{boxWidth, 20});
    CTextLayout& layout = text->Layout();
    layout.Clear();
    layout.boxWidth = boxWidth;
    for (const auto& [chars, style] : pieces) {
        for (char c : chars) {
            if (c == '\n')
                layout.AppendParagraph();
            else
                layout.Append(static_cast<uint8_t>(c), style);
        }
    }
    text->LayoutText();
    return text;
}

// One page of a site and the build's record of it, filled by hand the way
// the pipeline fills it.
struct PageFixture {
    CSite site{"Test", CBackgroundFill(), 200, 100, CColor(0, 0, 255), CColor(128, 0, 128)};
    CPage* page = nullptr;
    BuildPage build;
    BuildSettings settings;
    pwtest::TempDir dir;

    explicit PageFixture(bool front = true, int position = 0) {
        page = &site.AddPage(std::make_unique<CPage>(site, "Side1", "Min side"));
        page->SetWidth(200);
        page->SetHeight(100);
        build.page = page;
        build.position = position;
        build.frontPage = front;
        build.fileName = front ? "default.htm" : "Side" + std::to_string(position) + ".html";
        build.keyName = front ? "default.htm" : "Side1";
        build.background.fillType = bgSolid;
        build.background.solidColour = 0x336699; // #996633
        settings = BuildSettings::InFolder(dir.Path(), false);
    }

    CPageItem& Add(std::unique_ptr<CPageObject> object) {
        return page->InsertItem(std::move(object));
    }

    BuildItem& AddImage(CPageItem& item, int left, int top, int width, int height,
                        const std::string& url) {
        BuildItem b;
        b.item = &item;
        b.left = left;
        b.top = top;
        b.width = width;
        b.height = height;
        b.zIndex = static_cast<int32_t>(build.items.size());
        b.imageUrl = url;
        build.items.push_back(b);
        return build.items.back();
    }

    // An HTML text item with its link runs (first phase) and styles (data phase).
    BuildItem& AddText(std::unique_ptr<CTextObject> text, int left, int top) {
        CTextObject& object = *text;
        CPageItem& item = Add(std::move(text));
        BuildItem b;
        b.item = &item;
        b.htmlText = true;
        b.left = left;
        b.top = top;
        b.width = object.Layout().boxWidth;
        b.height = object.Layout().boxHeight;
        b.zIndex = static_cast<int32_t>(build.items.size());
        b.linkRuns = CHtmlWriter::CollectLinkRuns(object);
        build.items.push_back(b);
        CHtmlWriter::AddTextStyles(build, build.items.back());
        return build.items.back();
    }

    BuildItem& AddBox(std::unique_ptr<CPageObject> object) {
        CPageItem& item = Add(std::move(object));
        BuildItem b;
        b.item = &item;
        b.zIndex = static_cast<int32_t>(build.items.size());
        build.items.push_back(b);
        return build.items.back();
    }

    std::string Write(const std::string& name = "page.htm") {
        CHtmlWriter writer(site, settings, [](const CObjectLink& link, const BuildPage&) {
            return link.type == CObjectLink::typeEmail ? "mailto:" + link.email
                                                       : "http://" + link.url;
        });
        EXPECT_TRUE(writer.WritePage(dir / name, build));
        return ReadBytes(dir / name);
    }
};

// The part of a page between the opening of its items and the body's end.
std::string ItemsPart(const std::string& html) {
    const std::size_t from = html.find("</DIV>\r\n", html.find("<DIV ID=\"BACKGROUND\""));
    const std::size_t to = html.rfind("\r\n</BODY>");
    return html.substr(from + 8, to - from - 8);
}

} // namespace

TEST(HtmlWriter, SmallFrontPageIsWrittenByteForByte) {
    PageFixture f;
    f.site.keywords = "huse, haver";
    f.site.description = "Om os";
    f.page->SetHeadHtml("<META NAME=\"x\" CONTENT=\"y\">", "start()", {});
    f.build.background.linkColour = 0xFF0000;
    f.build.background.visitedLinkColour = 0x800080;

    f.AddText(Text({{"Hi", Style()}}), 12, 14);
    BuildItem& image =
        f.AddImage(f.Add(std::make_unique<CEllipseObject>(DPOINT{70, 75}, CObjectSize{40, 30})), 50,
                   60, 40, 30, "My_Homepage_Files/IMG_0.jpg");
    image.hasLink = true;
    image.linkUrl = "http://www.eksempel.dk";
    auto html = std::make_unique<CHtmlObject>(DPOINT{30, 40}, 120, 50);
    html->SetCode("go()", "<SCRIPT SRC=\"a.js\"></SCRIPT>", "<B>fed</B>");
    f.AddBox(std::move(html));

    const std::string text = f.Write();
    const std::vector<int> classes = ClassNumbers(text);
    ASSERT_EQ(classes.size(), 3u);
    const int n = classes[0];
    const std::string o0 = "Object" + std::to_string(n);
    const std::string o1 = "Object" + std::to_string(n + 1);
    const std::string o2 = "Object" + std::to_string(n + 2);
    const BuildItem& t = f.build.items[0];

    const std::string expected =
        "<!DOCTYPE HTML PUBLIC \"-//WC3//DTD HTML 4.0 Transitional//EN\" "
        "\"http://www.w3.org/TR/REC-html40/loose.dtd\">\n"
        "<HTML>\n"
        "\n"
        "<HEAD>\n"
        "<NOSCRIPT>\n"
        "<META HTTP-EQUIV=\"refresh\" CONTENT=\"1; URL=My_Homepage_Files/noscript.html\">\n"
        "</NOSCRIPT>\n"
        "<META NAME=\"KEYWORDS\" CONTENT=\"huse, haver\">\n"
        "<META NAME=\"DESCRIPTION\" CONTENT=\"Om os\">\n"
        "<META NAME=\"generator\" CONTENT=\"Quillmarsh Pagewright, Version 1.0 for Windows\">\n"
        "\n"
        "<!-- \n"
        "     The following Html Code was generated by Brassfinch Loomwright Designer.\n"
        "     Distributed by Brassfinch\n"
        "     www.brassfinch.example\n"
        "//-->\n"
        "<TITLE> Min side </TITLE>\n"
        "\n"
        "<SCRIPT LANGUAGE=\"JavaScript\" TYPE=\"text/javascript\">\n"
        "<!--\n"
        "window.onerror = null;\n"
        "manufacturer = navigator.appName;\n"
        "versionnum = parseFloat(navigator.appVersion);\n"
        "if (manufacturer.indexOf('Netscape') >= 0 && versionnum < 4.0)\n"
        "location.href = 'My_Homepage_Files/error.html';\n"
        "if (manufacturer.indexOf('Microsoft') >= 0 && versionnum < 4.0)\n"
        "location.href = 'My_Homepage_Files/error.html';\n"
        "//-->\n"
        "</SCRIPT>\n"
        "\n"
        "<STYLE TYPE=\"text/css\">\n"
        ".textstyle0 {font-family:Arial;font-weight:normal;font-style:normal;font-size:12pt;"
        "text-decoration:normal;color:#000000;}\n"
        "</STYLE>\n"
        "\n"
        "<STYLE TYPE=\"text/css\">\n"
        "DIV." +
        o0 +
        " { position:absolute; top:14px; left:12px; z-index:0; }\n"
        "DIV." +
        o1 +
        " { position:absolute; top:60px; left:50px; z-index:1; }\n"
        "DIV." +
        o2 +
        " { position:absolute; top:40px; left:30px; width:120px; z-index:2; }\n"
        "</STYLE>\n"
        "<!-- HTML INSERTED BY USER -->\n"
        "<META NAME=\"x\" CONTENT=\"y\">\n"
        "<SCRIPT SRC=\"a.js\"></SCRIPT>\n"
        "<!-- END OF HTML INSERTED BY USER -->\n"
        "</HEAD>\n"
        "\n"
        "<BODY LEFTMARGIN=0 TOPMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0 ONLOAD = \"start();go();\" "
        "BGCOLOR=\"#996633\" LINK=\"#0000ff\" VLINK=\"#800080\">\n"
        "\n"
        "<TABLE WIDTH=\"200\" HEIGHT=\"100\" BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
        "<TR>\n<TD>\n<br>\n</TD>\n</TR>\n</TABLE>\n"
        "<DIV ID=\"BACKGROUND\" STYLE=\"position:absolute; top:0px; left:0px; z-index:0;\">\n"
        "<TABLE WIDTH=\"200\" HEIGHT=\"100\" BGCOLOR=\"#996633\" LINK=\"#0000ff\" "
        "VLINK=\"#800080\"  BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
        "<TR>\n<TD>\n<br>\n</TD>\n</TR>\n</TABLE>\n"
        "</DIV>\n"
        "\n"
        "<DIV class=\"" +
        o0 + "\"><TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH=" + std::to_string(t.width) +
        " HEIGHT=" + std::to_string(t.height) +
        "><TR><TD VALIGN=\"TOP\" ALIGN=\"left\"><DIV STYLE=\"text-align:left;margin-left:0px;"
        "text-indent:0px;\"><SPAN CLASS=\"textstyle0\">Hi<br>\n"
        "</SPAN></DIV></TD></TR></TABLE></DIV>\n"
        "\n"
        "<DIV class=\"" +
        o1 +
        "\"><A HREF=\"http://www.eksempel.dk\" ><IMG "
        "SRC=\"My_Homepage_Files/IMG_0.jpg\"  WIDTH=40 HEIGHT=30 BORDER=0></A></DIV>\n"
        "\n"
        "<DIV class=\"" +
        o2 +
        "\"><B>fed</B></DIV>\n"
        "\n"
        "</BODY>\n"
        "</HTML>\n";
    EXPECT_EQ(text, CrLf(expected));
    EXPECT_EQ(f.build.items[1].cssClass, o1);
}

TEST(HtmlWriter, OtherPageWithoutTextsHasAnEmptyStyleBlockAndPlainHead) {
    PageFixture f(false, 2);
    f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{20, 20}, CObjectSize{10, 10})), 15, 15,
               10, 10, "IMG_3.jpg");
    const std::string text = f.Write();
    EXPECT_NE(text.find("<META HTTP-EQUIV=\"refresh\" CONTENT=\"1; URL=noscript.html\">\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("<TITLE> Min side </TITLE>\r\n\r\n<STYLE TYPE=\"text/css\">\r\n"
                        "</STYLE>\r\n\r\n<STYLE TYPE=\"text/css\">\r\nDIV.Object"),
              std::string::npos);
    EXPECT_EQ(text.find("navigator.appName"), std::string::npos);
    EXPECT_EQ(text.find("INSERTED BY USER"), std::string::npos);
    EXPECT_EQ(text.find("ONLOAD"), std::string::npos);
    EXPECT_NE(text.find("MARGINHEIGHT=0  BGCOLOR=\"#996633\""), std::string::npos);
    // Every line ends in CR LF.
    EXPECT_EQ(Count(text, "\n"), Count(text, "\r\n"));
    EXPECT_EQ(Count(text, "\r"), Count(text, "\r\n"));
}

TEST(HtmlWriter, TextCharactersAreEscapedAndLinesBreakAsLaidOut) {
    PageFixture f;
    f.AddText(Text({{"a<b & \"c\" >\nsecond", Style()}}), 0, 0);
    // A narrow box wraps the paragraph into rows.
    f.AddText(Text({{"one two three four five", Style()}}, 60), 0, 40);
    const std::string items = ItemsPart(f.Write());

    EXPECT_NE(items.find("<SPAN CLASS=\"textstyle0\">a&#60;b &#38; &#34;c&#34; &#62;<br>\r\n"
                         "second<br>\r\n</SPAN></DIV>"),
              std::string::npos)
        << items;

    const CParagraph& para =
        static_cast<CTextObject&>(f.build.items[1].item->Current()).Layout().Paragraph(0);
    ASSERT_GE(para.rows.size(), 2u);
    std::string wrapped;
    for (const CTextRow& row : para.rows)
        wrapped += para.text.substr(row.first, row.end - row.first) + "<br>\r\n";
    EXPECT_NE(items.find("<SPAN CLASS=\"textstyle0\">" + wrapped + "</SPAN></DIV>"),
              std::string::npos)
        << items;
}

TEST(HtmlWriter, LinkRunsOpenAndCloseAcrossStyleRuns) {
    const CObjectLink site = WebLink("www.a.example");
    const CObjectLink other = WebLink("www.b.example");
    CCharStyle linked = Style();
    linked.link = site;
    CCharStyle linkedBold = Style(true);
    linkedBold.link = site;
    CCharStyle otherLink = Style(true);
    otherLink.link = other;
    CCharStyle disabled = Style(true);
    disabled.link = WebLink("www.c.example");
    disabled.link.enabled = false;

    PageFixture f;
    // b..e link to one address; the style turns bold at d; g..h link to a
    // second address straight after f; the last paragraph ends inside a link.
    f.AddText(Text({{"a", Style()},
                    {"bc", linked},
                    {"de", linkedBold},
                    {"f", Style(true)},
                    {"gh", otherLink},
                    {"i", disabled},
                    {"\nj", Style(true)},
                    {"k", otherLink}}),
              0, 0);
    const BuildItem& item = f.build.items[0];
    ASSERT_EQ(item.linkRuns.size(), 3u);
    EXPECT_EQ(item.linkRuns[0].first, 1);
    EXPECT_EQ(item.linkRuns[0].last, 4);
    EXPECT_EQ(item.linkRuns[1].first, 6);
    EXPECT_EQ(item.linkRuns[1].last, 7);
    EXPECT_EQ(item.linkRuns[2].first, 10);
    ASSERT_EQ(f.build.styleRuns.size(), 2u);
    EXPECT_EQ(f.build.styleRuns[1].start, 3);

    // A second text on the page continues the page's run list.
    f.AddText(Text({{"x", Style(true)}, {"y", Style()}}), 0, 50);
    ASSERT_EQ(f.build.styleRuns.size(), 4u);
    ASSERT_EQ(f.build.styles.size(), 2u);

    const std::string items = ItemsPart(f.Write());
    const std::string a = "<A HREF=\"http://www.a.example\">";
    const std::string b = "<A HREF=\"http://www.b.example\">";
    EXPECT_NE(items.find("<SPAN CLASS=\"textstyle0\">a" + a +
                         "bc</A></SPAN>"
                         "<SPAN CLASS=\"textstyle1\">" +
                         a + "de</A>f" + b +
                         "gh</A>i<br>\r\n"
                         "j" +
                         b + "k<br>\r\n</A></SPAN></DIV>"),
              std::string::npos)
        << items;
    EXPECT_NE(items.find("<SPAN CLASS=\"textstyle1\">x</SPAN><SPAN CLASS=\"textstyle0\">y<br>\r\n"
                         "</SPAN></DIV>"),
              std::string::npos)
        << items;
}

TEST(HtmlWriter, SolidFillColourOverridesCharacterColours) {
    PageFixture f;
    auto text = Text({{"ab", Style(false, 0x0000FF)}, {"cd", Style(false, 0x00FF00)}});
    text->GetFill()->SetColour(CColor(0x12, 0x34, 0x56));
    ASSERT_EQ(text->GetFill()->GetType(), CObjectFill::fillSolid);
    f.AddText(std::move(text), 0, 0);
    // Text colours: each colour change is a run of its own.
    f.AddText(Text({{"ab", Style(false, 0x0000FF)}, {"cd", Style(false, 0x00FF00)}}), 0, 40);

    ASSERT_EQ(f.build.styles.size(), 3u);
    EXPECT_EQ(f.build.styles[0].colour, 0x563412u);
    ASSERT_EQ(f.build.styleRuns.size(), 3u);
    const std::string html = f.Write();
    EXPECT_NE(html.find(".textstyle0 {font-family:Arial;font-weight:normal;font-style:normal;"
                        "font-size:12pt;text-decoration:normal;color:#123456;}\r\n"
                        ".textstyle1 {font-family:Arial;font-weight:normal;font-style:normal;"
                        "font-size:12pt;text-decoration:normal;color:#ff0000;}\r\n"
                        ".textstyle2 {font-family:Arial;font-weight:normal;font-style:normal;"
                        "font-size:12pt;text-decoration:normal;color:#00ff00;}\r\n</STYLE>"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<SPAN CLASS=\"textstyle0\">abcd<br>"), std::string::npos);
    EXPECT_NE(html.find("<SPAN CLASS=\"textstyle1\">ab</SPAN><SPAN CLASS=\"textstyle2\">cd<br>"),
              std::string::npos);
}

TEST(HtmlWriter, ClassNumbersContinueAcrossWrites) {
    PageFixture f;
    f.AddText(Text({{"Hi", Style()}}), 0, 0);
    f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{20, 20}, CObjectSize{10, 10})), 15, 15,
               10, 10, "My_Homepage_Files/IMG_0.jpg");
    const std::string first = f.Write("one.htm");
    const std::string second = f.Write("two.htm");
    const std::vector<int> a = ClassNumbers(first);
    const std::vector<int> b = ClassNumbers(second);
    ASSERT_EQ(a.size(), 2u);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(a[1], a[0] + 1);
    EXPECT_EQ(b[0], a[1] + 1);
    EXPECT_EQ(b[1], b[0] + 1);
    // Apart from the class numbers the pages are the same.
    const std::regex number("Object[0-9]+");
    EXPECT_EQ(std::regex_replace(first, number, "Object#"),
              std::regex_replace(second, number, "Object#"));
}

TEST(HtmlWriter, MouseOverButtonsGetScriptsAndAnchors) {
    PageFixture f(false, 3);
    BuildItem& plain =
        f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{20, 20}, CObjectSize{10, 10})), 15,
                   15, 10, 10, "IMG_0.jpg");
    (void)plain;
    BuildItem& button =
        f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{60, 20}, CObjectSize{10, 10})), 55,
                   15, 10, 10, "IMG_1.jpg");
    button.hasMouseOver = true;
    button.mouseOverImageUrl = "IMG_2.jpg";
    BuildItem& linked =
        f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{90, 20}, CObjectSize{10, 10})), 85,
                   15, 10, 10, "IMG_3.jpg");
    linked.hasMouseOver = true;
    linked.mouseOverImageUrl = "IMG_4.jpg";
    linked.hasLink = true;
    linked.linkUrl = "mailto:navn@eksempel.dk";

    const std::string items = ItemsPart(f.Write());
    EXPECT_NE(items.find("\"><IMG SRC=\"IMG_0.jpg\"  WIDTH=10 HEIGHT=10 BORDER=0></DIV>"),
              std::string::npos)
        << items;
    // Without a link the button's anchor points at its own page.
    EXPECT_NE(items.find("<A HREF=\"Side3.html\" onMouseOver='img_mo0.src=\"IMG_2.jpg\"' "
                         "onMouseOut='img_mo0.src=\"IMG_1.jpg\"'><IMG SRC=\"IMG_1.jpg\" "
                         "NAME=\"img_mo0\" WIDTH=10 HEIGHT=10 BORDER=0></A>"),
              std::string::npos)
        << items;
    EXPECT_NE(items.find("<A HREF=\"mailto:navn@eksempel.dk\" "
                         "onMouseOver='img_mo1.src=\"IMG_4.jpg\"' "
                         "onMouseOut='img_mo1.src=\"IMG_3.jpg\"'><IMG SRC=\"IMG_3.jpg\" "
                         "NAME=\"img_mo1\" WIDTH=10 HEIGHT=10 BORDER=0></A>"),
              std::string::npos)
        << items;
}

TEST(HtmlWriter, TwoFormsCarryTheSenderScriptTwice) {
    PageFixture f;
    f.AddBox(std::make_unique<CFormObject>("a@eksempel.dk", DPOINT{60, 60}));
    f.AddBox(std::make_unique<CFormObject>("b@eksempel.dk", DPOINT{160, 60}));
    const std::string html = f.Write();
    const std::string script =
        CrLf("<SCRIPT language=JavaScript>\n<!--\nfunction WriteSenderWindow()\n{\n"
             "  document.formular.senderwindow.value = this.window.location;\n}\n// -->\n"
             "</SCRIPT>\n");
    EXPECT_EQ(Count(html, script), 2);
    EXPECT_NE(html.find(script + script + "</HEAD>\r\n"), std::string::npos);
    for (const BuildItem& item : f.build.items) {
        const auto& form = static_cast<const CFormObject&>(item.item->Current());
        const CRect r = form.GetRect();
        EXPECT_NE(html.find("DIV." + item.cssClass + " { position:absolute; top:" +
                            std::to_string(r.top) + "px; left:" + std::to_string(r.left) +
                            "px; width:" + std::to_string(r.Width()) +
                            "px; z-index:" + std::to_string(item.zIndex) + "; }\r\n"),
                  std::string::npos);
        EXPECT_NE(html.find("<DIV class=\"" + item.cssClass + "\">" + CrLf(form.GetFormHtml()) +
                            "</DIV>\r\n"),
                  std::string::npos);
    }
}

TEST(HtmlWriter, BodyAndBackgroundFollowTheFillAndTheRepeatSetting) {
    PageFixture f;
    BackgroundRecord& bg = f.build.background;
    const std::string tail = " LINK=\"#0000ff\" VLINK=\"#800080\"";

    // Without repetition the window takes the outside colour; the page's own
    // colour stays inside the background block.
    bg.repeatBackground = false;
    bg.outsideColour = 0x00FF00;
    std::string html = f.Write();
    EXPECT_NE(html.find("MARGINHEIGHT=0  BGCOLOR=\"#00ff00\"" + tail + ">\r\n\r\n<DIV ID="),
              std::string::npos);
    EXPECT_NE(
        html.find("<TABLE WIDTH=\"200\" HEIGHT=\"100\" BGCOLOR=\"#996633\"" + tail + "  BORDER"),
        std::string::npos);

    bg.fillType = bgImage;
    bg.imageUrl = "My_Homepage_Files/Side0_IMG_BCK.jpg";
    bg.tileImage = true;
    html = f.Write();
    EXPECT_NE(html.find("MARGINHEIGHT=0  BGCOLOR=\"#00ff00\""), std::string::npos);

    bg.repeatBackground = true;
    html = f.Write();
    EXPECT_NE(html.find("MARGINHEIGHT=0  BACKGROUND=\"My_Homepage_Files/Side0_IMG_BCK.jpg\"" +
                        tail + ">\r\n\r\n<TABLE WIDTH=\"200\" HEIGHT=\"100\" BORDER=0"),
              std::string::npos);
    EXPECT_NE(html.find("<TABLE WIDTH=\"200\" HEIGHT=\"100\" "
                        "BACKGROUND=\"My_Homepage_Files/Side0_IMG_BCK.jpg\" BGCOLOR=\"#996633\"" +
                        tail + " BORDER=0 CELLSPACING=0 CELLPADDING=0>\r\n"),
              std::string::npos);

    // A single centred picture leaves white around it.
    bg.tileImage = false;
    html = f.Write();
    EXPECT_NE(html.find("MARGINHEIGHT=0  BGCOLOR=\"#ffffff\"" + tail + ">"), std::string::npos);
    EXPECT_NE(html.find("<TABLE STYLE=\"background-repeat:no-repeat; background-position:center;\" "
                        "WIDTH=\"200\" HEIGHT=\"100\" "
                        "BACKGROUND=\"My_Homepage_Files/Side0_IMG_BCK.jpg\" BGCOLOR=\"#ffffff\"" +
                        tail + " BORDER=0 CELLSPACING=0 CELLPADDING=0>\r\n"),
              std::string::npos);

    bg.fillType = bgGradient;
    bg.imageUrl = "My_Homepage_Files/Side0_IMG_BCK.jpg";
    html = f.Write();
    EXPECT_NE(html.find("MARGINHEIGHT=0  BACKGROUND=\"My_Homepage_Files/Side0_IMG_BCK.jpg\""),
              std::string::npos);
}

TEST(HtmlWriter, ImageTagsCarryAlternativeTextWhereTheObjectCanHaveOne) {
    PageFixture f;
    f.settings.previewMode = true;
    auto withAlt = std::make_unique<CEllipseObject>(DPOINT{20, 20}, CObjectSize{10, 10});
    withAlt->SetAltText("Et \"rundt\" billede");
    f.AddImage(f.Add(std::move(withAlt)), 15, 15, 10, 10, "My_Homepage_Files/IMG_0.jpg");
    f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{40, 20}, CObjectSize{10, 10})), 35, 15,
               10, 10, "My_Homepage_Files/IMG_1.jpg");
    // Counters are drawn as pictures in preview builds; they have no
    // alternative text.
    f.AddImage(f.Add(std::make_unique<CCounterObject>(0, 100.0, 50.0)), 80, 40, 60, 20,
               "My_Homepage_Files/IMG_2.jpg");

    std::string items = ItemsPart(f.Write());
    EXPECT_NE(items.find("<IMG SRC=\"My_Homepage_Files/IMG_0.jpg\"  WIDTH=10 HEIGHT=10 BORDER=0 "
                         "ALT=\"Et &#34;rundt&#34; billede\"></DIV>"),
              std::string::npos)
        << items;
    EXPECT_NE(items.find("<IMG SRC=\"My_Homepage_Files/IMG_1.jpg\"  WIDTH=10 HEIGHT=10 "
                         "BORDER=0></DIV>"),
              std::string::npos);
    EXPECT_NE(items.find("<IMG SRC=\"My_Homepage_Files/IMG_2.jpg\"  WIDTH=60 HEIGHT=20 "
                         "BORDER=0 ></DIV>"),
              std::string::npos);

    // Outside preview builds the counter's block stays empty for the
    // counting service.
    f.settings.previewMode = false;
    items = ItemsPart(f.Write());
    EXPECT_NE(items.find("\"></DIV>\r\n"), std::string::npos);
    EXPECT_EQ(items.find("IMG_2.jpg"), std::string::npos);
}

TEST(HtmlWriter, NoticePagesCarryTheTableTextsInTheSitesCodePage) {
    pwtest::TempDir dir;
    ASSERT_TRUE(CHtmlWriter::WriteNoticePages(dir.Path()));
    EXPECT_EQ(ReadBytes(dir / "error.html"),
              "<!DOCTYPE HTML PUBLIC \"-WC3//DTD HTML 4.0//EN\">\r\n<HTML>\r\n<BODY>\r\n"
              "<center>\r\nThis page requires version 4.0 or newer of Microsoft Internet "
              "Explorer or\r\nversion 4.0 or newer of Netscape Navigator</center>\r\n"
              "</BODY>\r\n</HTML>\r\n");
    EXPECT_EQ(ReadBytes(dir / "noscript.html"),
              "<!DOCTYPE HTML PUBLIC \"-WC3//DTD HTML 4.0//EN\">\r\n<HTML>\r\n<BODY>\r\n"
              "<center>\r\nDenne side kr\xE6ver javascripts. Du kan sl\xE5 denne feature til "
              "igennem din browsers indstillinger.</center>\r\n</BODY>\r\n</HTML>\r\n");
}

TEST(HtmlWriter, FilesThatCannotBeCreatedFail) {
    PageFixture f;
    f.AddText(Text({{"Hi", Style()}}), 0, 0);
    CHtmlWriter writer(f.site, f.settings, nullptr);
    EXPECT_FALSE(writer.WritePage(f.dir / "missing" / "page.htm", f.build));
    // A folder in the file's place cannot be opened as a file either.
    std::filesystem::create_directory(f.dir / "taken.htm");
    EXPECT_FALSE(writer.WritePage(f.dir / "taken.htm", f.build));
    EXPECT_FALSE(CHtmlWriter::WriteNoticePages(f.dir / "missing"));
    std::filesystem::create_directory(f.dir / "noscript.html");
    EXPECT_FALSE(CHtmlWriter::WriteNoticePages(f.dir.Path()));
    EXPECT_TRUE(std::filesystem::exists(f.dir / "error.html"));
}

TEST(HtmlWriter, UserCodeKeepsItsLineEndsAndAttributesStayClosed) {
    PageFixture f;
    f.site.keywords = "\"citat\"";
    f.page->SetHeadHtml("<!-- a -->\r\n<!-- b -->\n<!-- c -->", "alert(\"hej\")", {});
    BuildItem& image =
        f.AddImage(f.Add(std::make_unique<CRectObject>(DPOINT{20, 20}, CObjectSize{10, 10})), 15,
                   15, 10, 10, "My_Homepage_Files/IMG_0.jpg");
    image.hasLink = true;
    image.linkUrl = "http://www.eksempel.dk/?q=\"x\"&y=1";
    const std::string html = f.Write();
    EXPECT_NE(html.find("<!-- a -->\r\n<!-- b -->\r\n<!-- c -->\r\n<!-- END OF"),
              std::string::npos);
    EXPECT_NE(html.find("CONTENT=\"&#34;citat&#34;\">"), std::string::npos);
    EXPECT_NE(html.find("ONLOAD = \"alert(&#34;hej&#34;);\" BGCOLOR"), std::string::npos);
    EXPECT_NE(html.find("<A HREF=\"http://www.eksempel.dk/?q=&#34;x&#34;&y=1\" >"),
              std::string::npos);
}
