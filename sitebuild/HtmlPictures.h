#pragma once
#include "sitebuild/BuildTypes.h"
#include "sitebuild/ImageOutput.h"
#include <string>

// The parts of a page that serve today's screens, written only when a build
// asks for them (BuildSettings::hiDpi, webp, phones): pictures offered at
// scale 2 and as WebP, mouse-over buttons that swap every offered file, and
// a page that shrinks to a phone's width. A classic build writes none of it.
namespace pw::htmlpic {

// What a browser may pick from instead of one picture's plain file.
struct CSources {
    std::string srcset;     // "a.jpg 1x, a@2x.jpg 2x"; empty without a 2x file
    std::string webpSrcset; // the same in WebP; empty unless every file has a twin
};

// The choices for the picture `url` with its 2x file `url2x` (may be empty).
// `twins` null means no WebP.
CSources SourcesOf(const std::string& url, const std::string& url2x, const WebpTwins* twins);

// Declares the page's width as the device's, so a phone lays it out at its
// real width instead of a pretend desktop one. Goes into HEAD.
void WriteViewport(std::string& out);
// The script at the end of BODY that shrinks the page to the window's width
// when the window is narrower than the page (`pageWidth`); at any width from
// the page's on nothing changes.
void WriteFitToWidth(std::string& out, int pageWidth);

// The function a mouse-over button calls to show a state: it swaps the
// WebP choices of the picture, its 2x choices and its plain file together.
// Goes into HEAD.
void WriteSwapScript(std::string& out);
// The call that shows picture `url` (with its choices) in the image named
// img_mo<number>, for an onMouseOver/onMouseOut attribute in single quotes.
std::string SwapCall(int number, const std::string& url, const CSources& sources);

// CSS rules that offer the page background at scale 2 and as WebP through
// image-set(), the plain JPEG staying the fallback of browsers without it;
// nothing when the background offers neither.
void WriteBackgroundRules(std::string& out, const BackgroundRecord& background,
                          const WebpTwins* twins);

} // namespace pw::htmlpic
