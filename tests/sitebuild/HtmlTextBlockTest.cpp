// The HTML text blocks: escaping, line breaks, the style table and the
// style and link runs that cross each other.
#include "tests/sitebuild/HtmlWriterTestSupport.h"

using namespace htmltest;

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

TEST(HtmlWriter, LinkStyledApartFromItsSurroundingsLeavesNoEmptyAnchor) {
    CCharStyle underlined = Style();
    underlined.underline = true;
    underlined.link = WebLink("www.a.example");
    CCharStyle second = underlined;
    second.link = WebLink("www.b.example");

    PageFixture f;
    f.AddText(Text({{"a", Style()}, {"bc", underlined}, {"d", Style()}, {"e", second}}), 0, 0);
    const std::string items = ItemsPart(f.Write());
    EXPECT_NE(items.find("<SPAN CLASS=\"textstyle0\">a</SPAN><SPAN CLASS=\"textstyle1\">"
                         "<A HREF=\"http://www.a.example\">bc</A></SPAN><SPAN CLASS=\"textstyle0\">"
                         "d</SPAN><SPAN CLASS=\"textstyle1\"><A HREF=\"http://www.b.example\">e"
                         "<br>\r\n</A></SPAN></DIV>"),
              std::string::npos)
        << items;
    EXPECT_EQ(items.find("\"></A>"), std::string::npos);
}
