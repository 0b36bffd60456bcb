#pragma once
#include "image/Image.h"
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Real-browser checks of built pages in headless Chromium (Debian packages
// chromium, chromium-driver, python3-selenium; scripts/install-deps puts them
// in place).
//
// How to use:
//   TEST(MyBrowserTest, PageRunsWithoutScriptErrors) {
//       PW_REQUIRE_BROWSER();                      // skips only when Chromium is missing
//       const auto errors = pwtest::ConsoleErrors(dir / "default.htm");
//       EXPECT_TRUE(errors.empty()) << pwtest::JoinLines(errors);
//   }
// Put "Browser" in the name of every test suite that drives the browser:
// tests/CMakeLists.txt gives those tests a hard ctest TIMEOUT, so a hung
// Chromium cannot stall the run. Every call below is bounded by its own time
// limit as well; a browser that fails or times out adds a test failure with
// what it printed and returns an empty result.
//
// Each call starts a fresh Chromium with its own throw-away profile. Starting
// takes about a second (two with the driver), so check many pages with the
// list forms of HoverScreenshots and ConsoleErrors rather than one call per
// page.
namespace pwtest {

// True when Chromium, its driver and Selenium under /usr/bin/python3 are
// installed; otherwise `why` tells what is missing.
bool BrowserAvailable(std::string* why = nullptr);

// The page area of `htmlFile` opened in a window of exactly width x height
// CSS pixels at device scale 1 (or `deviceScale`, a screen of that many
// pixels per CSS pixel), sRGB without colour management, no scrollbars.
// IMAGE_RGB8 without alpha, width x height times the scale; null on failure.
std::unique_ptr<CImage> Screenshot(const std::filesystem::path& htmlFile, int width, int height,
                                   int deviceScale = 1);

// As Screenshot, after moving the mouse to (x, y) in page pixels and waiting
// until the image under the mouse (a mouse-over image swapped in by the
// page's script) and every other image of the page has loaded and painted.
std::unique_ptr<CImage> HoverScreenshot(const std::filesystem::path& htmlFile, int width,
                                        int height, int x, int y, int deviceScale = 1);
// The same for several pages or places in one browser start, in order.
struct CHoverAt {
    std::filesystem::path htmlFile;
    int x = 0, y = 0;
};
std::vector<std::unique_ptr<CImage>> HoverScreenshots(const std::vector<CHoverAt>& hovers,
                                                      int width, int height, int deviceScale = 1);

// Screenshots of several pages in one browser start, each in a window of its
// own size in CSS pixels, at device scale `deviceScale`, once every picture
// has loaded and painted (the mouse stays away); in order.
struct CShotOf {
    std::filesystem::path htmlFile;
    int width = 0, height = 0;
};
std::vector<std::unique_ptr<CImage>> Screenshots(const std::vector<CShotOf>& pages,
                                                 int deviceScale = 1);

// Script errors and other SEVERE console entries of the loaded page, one line
// each. Requests to hosts outside this machine are left out (there is no
// internet here); a missing local file is reported.
std::vector<std::string> ConsoleErrors(const std::filesystem::path& htmlFile);
// The same for many pages in one browser start; one list per page, in order.
std::vector<std::vector<std::string>>
ConsoleErrors(const std::vector<std::filesystem::path>& htmlFiles);

// The address each link (A HREF) of a page leads to, as the browser resolves
// it, in document order; one list per page, one browser start for all.
std::vector<std::vector<std::string>>
LinkTargets(const std::vector<std::filesystem::path>& htmlFiles);

// Where the browser ends up, with scripts switched off, after opening each
// page and following any refresh it asks for within a few seconds; an empty
// address when the browser failed.
std::vector<std::string> ScriptlessLanding(const std::vector<std::filesystem::path>& htmlFiles);

// The file: address the browser gives a local file.
std::string FileUrl(const std::filesystem::path& file);

std::string JoinLines(const std::vector<std::string>& lines);

// A page in a phone's window `width` pixels wide (touch screen, the page's
// viewport declaration in force): how wide the document is, and where a
// click in the middle of its first link to another page of the site led.
struct CNarrowPage {
    int scrollWidth = -1; // -1 when the browser failed
    std::string linkHref; // empty when the page has no such link
    std::string landedAt;
};
std::vector<CNarrowPage> NarrowWindow(const std::vector<std::filesystem::path>& htmlFiles,
                                      int width);

// The picture files the browser fetched for each page (the currentSrc of
// every image and the page's other image requests: backgrounds), and what
// each mouse-over image shows while the mouse is over it.
struct CLoadedPictures {
    std::vector<std::string> loaded;
    std::vector<std::string> hovered;
};
std::vector<CLoadedPictures> LoadedPictures(const std::vector<std::filesystem::path>& htmlFiles);

} // namespace pwtest

// Skips the current test, with the reason, when the browser is not installed.
#define PW_REQUIRE_BROWSER()                                                                       \
    do {                                                                                           \
        std::string pwBrowserMissing;                                                              \
        if (!pwtest::BrowserAvailable(&pwBrowserMissing))                                          \
            GTEST_SKIP() << "real browser not installed (" << pwBrowserMissing                     \
                         << "); run scripts/install-deps";                                         \
    } while (false)
