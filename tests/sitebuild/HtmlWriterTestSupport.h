// Pages for the HTML writer tests: a site with one page and the build's
// record of it, filled by hand the way the pipeline fills it, and ways to
// read the written bytes back.
#pragma once
#include "sitebuild/HtmlWriter.h"
#include "sitebuild/OwnWords.h"
#include "model/CounterObject.h"
#include "model/EllipseObject.h"
#include "model/FormObject.h"
#include "model/HtmlObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/RectObject.h"
#include "model/Site.h"
#include "model/TextObject.h"
#include "model/BackgroundFill.h"
#include "model/ObjectFill.h"
#include "tests/support/TempDir.h"
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>

namespace htmltest {

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Test texts are written with bare line feeds; the files carry CR LF.
inline std::string CrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

inline int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Every CSS class number of a page, in the order written.
inline std::vector<int> ClassNumbers(const std::string& html) {
    std::vector<int> numbers;
    const std::regex rule("DIV\\.Object([0-9]+) ");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), rule);
         it != std::sregex_iterator(); ++it)
        numbers.push_back(std::stoi((*it)[1]));
    return numbers;
}

inline CCharStyle Style(bool bold = false, int32_t colour = 0) {
    CCharStyle s;
    s.SetFaceName("Arial");
    s.fontSize = 12;
    s.bold = bold;
    s.color = colour;
    return s;
}

inline CObjectLink WebLink(const std::string& address) {
    CObjectLink link;
    link.type = CObjectLink::typeUrl;
    link.enabled = true;
    link.url = address;
    return link;
}

// A text of pieces, each with its own style; '\n' starts a new paragraph.
inline std::unique_ptr<CTextObject>
Text(const std::vector<std::pair<std::string, CCharStyle>>& pieces, int32_t boxWidth = 300) {
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
    WebpTwins twins; // pictures with a WebP twin, as the build lists them
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
        b.altText = AltTextFor(b, settings.Classic()); // as the build fills it
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
        writer.SetWebpTwins(&twins);
        EXPECT_TRUE(writer.WritePage(dir / name, build));
        return ReadBytes(dir / name);
    }
};

// The part of a page between the opening of its items and the body's end.
inline std::string ItemsPart(const std::string& html) {
    const std::size_t from = html.find("</DIV>\r\n", html.find("<DIV ID=\"BACKGROUND\""));
    const std::size_t to = html.rfind("\r\n</BODY>");
    return html.substr(from + 8, to - from - 8);
}

} // namespace htmltest
