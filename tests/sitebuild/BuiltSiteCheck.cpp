#include "tests/sitebuild/BuiltSiteCheck.h"
#include "sitebuild/SiteBuilder.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/PageScale.h"
#include "model/Site.h"
#include "render/PageRenderer.h"
#include "services/IO.h"
#include "tests/support/Browser.h"
#include "tests/support/ScriptedInteraction.h"
#include <cctype>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>

namespace fs = std::filesystem;

namespace pwtest {

fs::path CBuiltSite::PageFile(int position) const {
    const BuildPage& p = Page(position);
    return p.frontPage ? dir / p.fileName : dir / kFilesFolderName / p.fileName;
}

std::unique_ptr<CBuiltSite> BuildSite(CSite& site,
                                      const std::function<void(BuildSettings&)>& adjust) {
    auto built = std::make_unique<CBuiltSite>();
    BuildSettings settings = BuildSettings::InFolder(built->dir.Path(), false);
    settings.largeObjectWarning = false;
    if (adjust) adjust(settings);
    CScriptedInteraction ui;
    SiteBuilder builder(settings, &ui);
    built->code = builder.Build(site).code;
    built->pages = builder.Pages();
    EXPECT_EQ(built->code, BuildOk);
    // Kept for a look with PW_BROWSER_KEEP (see Keep below).
    static int count = 0;
    if (const char* folder = std::getenv("PW_BROWSER_KEEP"); folder && *folder) {
        std::error_code ec;
        fs::copy(built->dir.Path(), fs::path(folder) / ("site" + std::to_string(++count)),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    }
    return built;
}

CRect ItemRect(const BuildItem& item) {
    return {item.left, item.top, item.left + item.width, item.top + item.height};
}

CRect HtmlTextArea(const BuildItem& item) {
    const CRect r = ItemRect(item);
    return {r.left - 4, r.top - 4, r.right + r.Width() / 2 + 8, r.bottom + r.Height() + 8};
}

std::vector<CRect> HtmlTextAreas(const BuildPage& page) {
    std::vector<CRect> areas;
    for (const BuildItem& item : page.items)
        if (item.htmlText) areas.push_back(HtmlTextArea(item));
    return areas;
}

const BuildItem* FindBuildItem(const BuildPage& page, const CPageItem& item) {
    for (const BuildItem& b : page.items)
        if (b.item == &item) return &b;
    return nullptr;
}

namespace {

// With PW_BROWSER_KEEP set to a folder, the browser's and the core's pictures
// of every checked page are kept there for a look at what differs.
void Keep(const std::string& label, const CImage& browser, const CImage& core) {
    const char* folder = std::getenv("PW_BROWSER_KEEP");
    if (!folder || !*folder) return;
    std::string name = label;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    for (const auto& [suffix, image] :
         {std::pair{"-browser.png", &browser}, {"-core.png", &core}}) {
        int format = FORMAT_PNG, error = 0;
        CIO::SaveImage(fs::path(folder) / (name + suffix), *image, format, 100, error, "");
    }
}

void Report(const std::string& label, const CImageDiff& d) {
    std::cout << "[ browser  ] " << label << ": " << d.Describe() << std::endl;
    EXPECT_LT(d.mean, kMaxMeanDifference) << label << ": " << d.Describe();
    EXPECT_LE(d.worstBlock, kMaxBlockDifference) << label << ": " << d.Describe();
}

} // namespace

CImageDiff CheckPageInBrowser(const CBuiltSite& built, int position, CPage& page,
                              const std::string& label) {
    const auto shot = Screenshot(built.PageFile(position), page.Width(), page.Height());
    if (!shot) return {};
    const CImage reference = RenderPageReference(page);
    const CImageDiff d = CompareImages(*shot, reference, {0, 0, page.Width(), page.Height()},
                                       HtmlTextAreas(built.Page(position)));
    Keep(label, *shot, reference);
    Report(label, d);
    return d;
}

void CheckPagesInBrowserAtScale(const CBuiltSite& built, CSite& site, const std::string& name,
                                int scale) {
    std::vector<CShotOf> pages;
    for (int p = 0; p < site.PageCount(); ++p)
        pages.push_back({built.PageFile(p), site.PageAt(p).Width(), site.PageAt(p).Height()});
    const auto shots = Screenshots(pages, scale);
    for (int p = 0; p < site.PageCount(); ++p) {
        if (!shots[static_cast<std::size_t>(p)]) continue;
        CPage& page = site.PageAt(p);
        const std::string label =
            name + " page " + std::to_string(p + 1) + " at " + std::to_string(scale) + "x";
        const std::unique_ptr<CPage> scaled = pw::ScaledPageCopy(page, scale);
        EXPECT_TRUE(scaled) << label;
        if (!scaled) continue;
        const CImage reference = RenderPageReference(scale == 1 ? page : *scaled);
        std::vector<CRect> left;
        for (const BuildItem& item : built.Page(p).items) {
            if (!item.htmlText && !item.imageUrl.empty()) continue;
            const CRect r = item.htmlText ? HtmlTextArea(item) : ItemRect(item);
            const CRect area =
                item.htmlText ? r : CRect{r.left - 16, r.top - 16, r.right + 16, r.bottom + r.Height()};
            left.push_back(
                {scale * area.left, scale * area.top, scale * area.right, scale * area.bottom});
        }
        const CImageDiff d =
            CompareImages(*shots[static_cast<std::size_t>(p)], reference,
                          {0, 0, scale * page.Width(), scale * page.Height()}, left);
        Keep(label, *shots[static_cast<std::size_t>(p)], reference);
        Report(label, d);
    }
}

void CheckSiteWithOptionsInBrowser(CSite& site, const std::string& name) {
    const auto built = BuildSite(site, [](BuildSettings& s) {
        s.hiDpi = true;
        s.webp = true;
        s.phones = true;
    });
    if (built->code != BuildOk) return;
    for (const int scale : {1, 2})
        CheckPagesInBrowserAtScale(*built, site, name + " with the options", scale);
}

void CheckHoversInBrowser(const CBuiltSite& built, const std::vector<CHoverCheck>& checks,
                          int scale) {
    const auto scaled = [scale](CRect r) {
        return CRect{scale * r.left, scale * r.top, scale * r.right, scale * r.bottom};
    };
    const auto render = [scale](CPage& page) {
        if (scale == 1) return RenderPageReference(page);
        const std::unique_ptr<CPage> copy = pw::ScaledPageCopy(page, scale);
        return RenderPageReference(*copy);
    };
    if (checks.empty()) return;
    const int width = checks.front().page->Width(), height = checks.front().page->Height();
    std::vector<CHoverAt> hovers;
    std::vector<CRect> areas;
    for (const CHoverCheck& c : checks) {
        ASSERT_TRUE(c.page->Width() == width && c.page->Height() == height)
            << "hover checks of one call share the page size";
        const BuildItem* b = FindBuildItem(built.Page(c.position), *c.item);
        ASSERT_TRUE(b && b->hasMouseOver) << c.label << ": no mouse-over item was built";
        areas.push_back(ItemRect(*b));
        // Hover where the mouse-over state itself lies, so the mouse is over
        // the button's picture.
        const CRect over = c.item->MouseOver()->GetRect().Intersect(areas.back());
        areas.back() = scaled(areas.back());
        hovers.push_back({built.PageFile(c.position), (over.left + over.right) / 2,
                          (over.top + over.bottom) / 2});
    }
    const auto shots = HoverScreenshots(hovers, width, height, scale);
    for (size_t i = 0; i < checks.size(); ++i) {
        if (!shots[i]) continue;
        const CHoverCheck& c = checks[i];
        CPage& page = *c.page;
        const CImage normal = render(page);
        c.item->SetEditingMouseOver(true);
        const CImage hovered = render(page);
        c.item->SetEditingMouseOver(false);
        page.RenderAll();
        Keep(c.label, *shots[i], hovered);

        // The whole page as the mouse-over state shows it ...
        std::vector<CRect> text = HtmlTextAreas(built.Page(c.position));
        for (CRect& r : text)
            r = scaled(r);
        const CImageDiff whole =
            CompareImages(*shots[i], hovered, {0, 0, scale * width, scale * height}, text);
        Report(c.label, whole);
        // ... and the button itself: within the limits of its mouse-over
        // state, and at most half as far from it as from its normal state.
        const CImageDiff inArea = CompareImages(*shots[i], hovered, areas[i], text);
        const CImageDiff fromNormal = CompareImages(*shots[i], normal, areas[i], text);
        std::cout << "[ browser  ] " << c.label << ", button area from the normal state: mean "
                  << fromNormal.mean << std::endl;
        Report(c.label + ", button area", inArea);
        EXPECT_LT(inArea.mean * 2, fromNormal.mean)
            << c.label << ": the hovered button does not show its mouse-over state ("
            << inArea.Describe() << "; normal state mean " << fromNormal.mean << ")";
    }
}

} // namespace pwtest
