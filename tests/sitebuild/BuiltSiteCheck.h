#pragma once
// Building a site made in code and measuring how far the browser's picture of
// a built page lies from the page as the core renders it.
#include "sitebuild/BuildTypes.h"
#include "image/Image.h"
#include "services/Geometry.h"
#include "tests/support/ImageDiff.h"
#include "tests/support/PageReference.h"
#include "tests/support/TempDir.h"
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CSite;
class CPage;
class CPageItem;

namespace pwtest {

// A built site in a temporary folder with the builder's page records.
struct CBuiltSite {
    TempDir dir;
    int code = -1;
    std::vector<BuildPage> pages;

    // The HTML file of the page at `position`.
    std::filesystem::path PageFile(int position) const;
    const BuildPage& Page(int position) const { return pages.at(static_cast<size_t>(position)); }
};

// Builds `site` (not in preview mode, large-object warning off); `adjust`
// may change the settings first.
std::unique_ptr<CBuiltSite> BuildSite(CSite& site,
                                      const std::function<void(BuildSettings&)>& adjust = {});

// Where HTML texts lie on a built page: left out of any comparison, since the
// browser sets them in its own fonts. Generous below and to the right, where a
// browser font a little wider than ours wraps the text further.
std::vector<CRect> HtmlTextAreas(const BuildPage& page);
CRect HtmlTextArea(const BuildItem& item);

// The item's rectangle on the built page.
CRect ItemRect(const BuildItem& item);
// The build record of `item`; null when it was not built.
const BuildItem* FindBuildItem(const BuildPage& page, const CPageItem& item);

// Limits of a faithful page: mean absolute difference per channel, and the
// worst 16 x 16 block.
inline constexpr double kMaxMeanDifference = 2.0;
inline constexpr double kMaxBlockDifference = 12.0;

// Screenshots `page` of the built site at the page size and compares it with
// the core's rendering; adds test failures above the limits and prints the
// figures. `label` names the page in the messages.
CImageDiff CheckPageInBrowser(const CBuiltSite& built, int position, CPage& page,
                              const std::string& label);

// Every page of the built `site` on a screen of `scale` device pixels per
// page pixel (one browser start): each screenshot (the page size times the
// scale) against the core's rendering of the page at that scale
// (pw::ScaledPageCopy), with the same limits. Left out are HTML texts as
// above and what the browser draws with its own controls (forms, HTML
// objects, counters), with room below for its own layout. `name` names the
// site in the messages.
void CheckPagesInBrowserAtScale(const CBuiltSite& built, CSite& site, const std::string& name,
                                int scale);

// Builds `site` with every option for today's screens on (pictures at scale
// 2, WebP, phones) and checks every page at device scale 1 and 2.
void CheckSiteWithOptionsInBrowser(CSite& site, const std::string& name);

// One mouse-over item to hover: the item on the page at `position`.
struct CHoverCheck {
    int position = 0;
    CPage* page = nullptr;
    CPageItem* item = nullptr;
    std::string label;
};

// Hovers each mouse-over item of the built site in the browser (one browser
// start for all; the pages must share one size) and compares the page with
// the core's rendering of it with that item in its mouse-over state; the
// button's own area must lie at most half as far from that state as from its
// normal one.
// At `scale` device pixels per page pixel, against the core's rendering of
// the page at that scale.
void CheckHoversInBrowser(const CBuiltSite& built, const std::vector<CHoverCheck>& checks,
                          int scale = 1);

} // namespace pwtest
