#include "sitebuild/HtmlPictures.h"
#include "sitebuild/HtmlOutput.h"

using htmlout::Append;
using htmlout::AttributeValue;

namespace pw::htmlpic {

namespace {

bool HasTwin(const std::string& url, const WebpTwins* twins) {
    if (!twins || url.empty()) return false;
    const std::size_t slash = url.rfind('/');
    return twins->count(slash == std::string::npos ? url : url.substr(slash + 1)) != 0;
}

// The string a script gets in a single-quoted event attribute: double
// quotes around it, a double quote or backslash inside it escaped.
std::string ScriptString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\'') {
            out += "&#39;";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

} // namespace

CSources SourcesOf(const std::string& url, const std::string& url2x, const WebpTwins* twins) {
    CSources sources;
    if (url.empty()) return sources;
    if (!url2x.empty()) sources.srcset = url + " 1x, " + url2x + " 2x";
    // A WebP is offered only when every file it stands for has a twin: a
    // screen at scale 2 would otherwise take the 1x WebP over the 2x JPEG.
    if (HasTwin(url, twins) && (url2x.empty() || HasTwin(url2x, twins))) {
        sources.webpSrcset = WebpName(url);
        if (!url2x.empty()) sources.webpSrcset += " 1x, " + WebpName(url2x) + " 2x";
    }
    return sources;
}

void WriteViewport(std::string& out) {
    out += "<META NAME=\"viewport\" CONTENT=\"width=device-width, initial-scale=1\">\n";
}

void WriteFitToWidth(std::string& out, int pageWidth) {
    // CSS zoom shrinks layout, drawing and the mouse's targets alike, so
    // links and mouse-over buttons stay where they are drawn; rounding the
    // factor down keeps the page from reaching one pixel past the window.
    out += "<SCRIPT TYPE=\"text/javascript\">\n";
    Append(out,
           "(function () {\n"
           "  var width = %d;\n"
           "  function fit() {\n"
           "    var scale = Math.floor(document.documentElement.clientWidth * 1000 / width) / "
           "1000;\n"
           "    document.body.style.zoom = scale < 1 ? scale : '';\n"
           "  }\n"
           "  window.addEventListener('resize', fit);\n"
           "  fit();\n"
           "})();\n",
           pageWidth > 0 ? pageWidth : 1);
    out += "</SCRIPT>\n";
}

void WriteSwapScript(std::string& out) {
    out += "<SCRIPT TYPE=\"text/javascript\">\n"
           "function pw_swap(img, src, srcset, webp) {\n"
           "  var picture = img.parentNode;\n"
           "  if (picture.tagName == 'PICTURE') {\n"
           "    var source = picture.getElementsByTagName('source')[0];\n"
           "    if (webp) source.srcset = webp; else source.removeAttribute('srcset');\n"
           "  }\n"
           "  if (srcset) img.srcset = srcset; else img.removeAttribute('srcset');\n"
           "  img.src = src;\n"
           "}\n"
           "</SCRIPT>\n";
}

std::string SwapCall(int number, const std::string& url, const CSources& sources) {
    std::string call;
    Append(call, "pw_swap(img_mo%d,%s,%s,%s)", number, ScriptString(url).c_str(),
           ScriptString(sources.srcset).c_str(), ScriptString(sources.webpSrcset).c_str());
    return call;
}

void WriteBackgroundRules(std::string& out, const BackgroundRecord& bg, const WebpTwins* twins) {
    if (bg.imageUrl.empty() || bg.fillType == bgSolid) return;
    const CSources sources = SourcesOf(bg.imageUrl, bg.imageUrl2x, twins);
    if (sources.srcset.empty() && sources.webpSrcset.empty()) return;
    const auto url = [](const std::string& u) { return "url(\"" + AttributeValue(u) + "\")"; };
    std::string rule;
    if (!bg.imageUrl2x.empty())
        rule += "background-image:-webkit-image-set(" + url(bg.imageUrl) + " 1x, " +
                url(bg.imageUrl2x) + " 2x); ";
    std::string set;
    if (!sources.webpSrcset.empty()) {
        set += url(WebpName(bg.imageUrl)) + " type(\"image/webp\") 1x, ";
        if (!bg.imageUrl2x.empty())
            set += url(WebpName(bg.imageUrl2x)) + " type(\"image/webp\") 2x, ";
    }
    set += url(bg.imageUrl) + " 1x";
    if (!bg.imageUrl2x.empty()) set += ", " + url(bg.imageUrl2x) + " 2x";
    rule += "background-image:image-set(" + set + ");";
    // The body carries the picture only when it repeats over the window.
    const bool body = bg.repeatBackground &&
                      (bg.fillType == bgGradient || (bg.fillType == bgImage && bg.tileImage));
    out += "\n<STYLE TYPE=\"text/css\">\n";
    Append(out, "%s#BACKGROUND TABLE { %s }\n", body ? "BODY, " : "", rule.c_str());
    out += "</STYLE>\n";
}

} // namespace pw::htmlpic
