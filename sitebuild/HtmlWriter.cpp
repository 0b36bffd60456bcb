#include "sitebuild/HtmlWriter.h"
#include "sitebuild/HtmlOutput.h"
#include "sitebuild/HtmlPictures.h"
#include "sitebuild/HtmlTextBlock.h"
#include "model/FormObject.h"
#include "model/HtmlObject.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "services/StringTable.h"
#include <algorithm>
#include <fstream>

using htmlout::Append;
using htmlout::AttributeValue;
using htmlout::Hex;

namespace {

// The second of the two comment lines under the banner: where the
// publisher is found.
constexpr const char* kPublisherAddress = "www.brassfinch.example";

ObjectKind KindOf(const BuildItem& item) {
    return item.item ? item.item->Current().GetKind() : KIND_RECT;
}

template <class T> const T* ObjectAs(const BuildItem& item) {
    return item.item ? dynamic_cast<const T*>(&item.item->Current()) : nullptr;
}

} // namespace

CHtmlWriter::CHtmlWriter(const CSite& site, const BuildSettings& settings, LinkResolver resolve)
    : m_site(site), m_settings(settings), m_resolve(std::move(resolve)) {}

bool CHtmlWriter::WritePage(const std::filesystem::path& file, BuildPage& page,
                            CWriteFailure* failure) {
    std::string out;
    out.reserve(8192);
    WriteHead(out, page);
    WriteBodyTag(out, page);
    WriteBackground(out, page);
    WriteItems(out, page);
    if (m_settings.phones) {
        out += "\n";
        pw::htmlpic::WriteFitToWidth(out, page.page ? page.page->Width() : 0);
    }
    out += "\n</BODY>\n</HTML>\n";

    const std::error_code ec = WriteOutputFile(file, htmlout::ToCrLf(out));
    if (failure) failure->Check(file, ec);
    return !ec;
}

void CHtmlWriter::WriteHead(std::string& out, BuildPage& page) const {
    // The public identifier is not the one the HTML 4.0 DTD declares, and
    // that is what keeps browsers in standards mode: the exact "-//W3C//"
    // form of the 4.0 Transitional identifier would switch them to quirks
    // mode and change how the text blocks are laid out.
    out += "<!DOCTYPE HTML PUBLIC \"-//WC3//DTD HTML 4.0 Transitional//EN\" "
           "\"http://www.w3.org/TR/REC-html40/loose.dtd\">\n";
    // The page text is Windows-1252; without saying so, a server that
    // announces UTF-8 turns every Danish letter into two wrong ones.
    out += "<HTML>\n\n<HEAD>\n";
    out += htmlout::kCharsetMeta;
    if (m_settings.phones) pw::htmlpic::WriteViewport(out);
    out += "<NOSCRIPT>\n";
    if (page.frontPage)
        Append(out, "<META HTTP-EQUIV=\"refresh\" CONTENT=\"1; URL=%s/noscript.html\">\n",
               kFilesFolderName);
    else
        out += "<META HTTP-EQUIV=\"refresh\" CONTENT=\"1; URL=noscript.html\">\n";
    out += "</NOSCRIPT>\n";
    Append(out, "<META NAME=\"KEYWORDS\" CONTENT=\"%s\">\n",
           AttributeValue(m_site.keywords).c_str());
    Append(out, "<META NAME=\"DESCRIPTION\" CONTENT=\"%s\">\n",
           AttributeValue(m_site.description).c_str());
    out +=
        "<META NAME=\"generator\" CONTENT=\"Quillmarsh Pagewright, Version 1.0 for Windows\">\n\n";
    out += "<!-- \n";
    out += pw::text::kGeneratedBanner;
    out += "\n";
    out += "     ";
    out += pw::text::kDistributedBy;
    out += "\n";
    Append(out, "     %s\n", kPublisherAddress);
    out += "//-->\n";
    std::string title;
    for (char c : page.page ? page.page->WebName() : std::string())
        htmlout::AppendTextChar(title, c);
    Append(out, "<TITLE> %s </TITLE>\n\n", title.c_str());
    if (page.frontPage) WriteBrowserCheck(out);
    WriteTextStyles(out, page);
    WriteItemRules(out, page);
    if (!m_settings.Classic()) {
        pw::htmlpic::WriteBackgroundRules(out, page.background, Twins());
        if (std::any_of(page.items.begin(), page.items.end(),
                        [](const BuildItem& item) { return item.hasMouseOver; }))
            pw::htmlpic::WriteSwapScript(out);
    }
    WriteUserHead(out, page);
    for (const BuildItem& item : page.items) {
        if (KindOf(item) != KIND_FORM) continue;
        out += "<SCRIPT language=JavaScript>\n<!--\nfunction WriteSenderWindow()\n{\n"
               "  document.formular.senderwindow.value = this.window.location;\n}\n"
               "// -->\n</SCRIPT>\n";
    }
    out += "</HEAD>\n\n";
}

void CHtmlWriter::WriteBrowserCheck(std::string& out) {
    // Browsers older than version 4 cannot position the blocks; they are
    // sent to the notice page instead.
    out += "<SCRIPT LANGUAGE=\"JavaScript\" TYPE=\"text/javascript\">\n";
    out += "<!--\n";
    out += "window.onerror = null;\n";
    out += "manufacturer = navigator.appName;\n";
    out += "versionnum = parseFloat(navigator.appVersion);\n";
    out += "if (manufacturer.indexOf('Netscape') >= 0 && versionnum < 4.0)\n";
    Append(out, "location.href = '%s/error.html';\n", kFilesFolderName);
    out += "if (manufacturer.indexOf('Microsoft') >= 0 && versionnum < 4.0)\n";
    Append(out, "location.href = '%s/error.html';\n", kFilesFolderName);
    out += "//-->\n";
    out += "</SCRIPT>\n\n";
}

void CHtmlWriter::WriteTextStyles(std::string& out, const BuildPage& page) {
    out += "<STYLE TYPE=\"text/css\">\n";
    for (std::size_t i = 0; i < page.styles.size(); ++i) {
        const TextStyle& s = page.styles[i];
        Append(out,
               ".textstyle%d {font-family:%s;font-weight:%s;font-style:%s;font-size:%dpt;"
               "text-decoration:%s;color:%s;}\n",
               static_cast<int>(i), s.fontName.c_str(), s.bold ? "bold" : "normal",
               s.italic ? "italic" : "normal", s.size, s.underline ? "underline" : "normal",
               Hex(s.colour).c_str());
    }
    out += "</STYLE>\n";
}

void CHtmlWriter::WriteItemRules(std::string& out, BuildPage& page) const {
    out += "\n<STYLE TYPE=\"text/css\">\n";
    for (BuildItem& item : page.items) {
        item.cssClass = "Object" + std::to_string(m_nextCssClass++);
        const ObjectKind kind = KindOf(item);
        if (kind == KIND_HTML || kind == KIND_FORM) {
            // User code and forms flow in a block as wide as the box; their
            // height is whatever the browser makes of the code.
            const CRect rect = item.item->GetRect();
            Append(out,
                   "DIV.%s { position:absolute; top:%dpx; left:%dpx; width:%dpx; z-index:%d; }\n",
                   item.cssClass.c_str(), rect.top, rect.left, rect.Width(), item.zIndex);
        } else {
            Append(out, "DIV.%s { position:absolute; top:%dpx; left:%dpx; z-index:%d; }\n",
                   item.cssClass.c_str(), item.top, item.left, item.zIndex);
        }
    }
    out += "</STYLE>\n";
}

void CHtmlWriter::WriteUserHead(std::string& out, const BuildPage& page) {
    std::string code;
    if (page.page && !page.page->HeaderHtml().empty()) code += page.page->HeaderHtml() + "\n";
    for (const BuildItem& item : page.items) {
        const CHtmlObject* html = ObjectAs<CHtmlObject>(item);
        if (html && !html->GetHeaderCode().empty()) code += html->GetHeaderCode() + "\n";
    }
    if (code.empty()) return;
    out += "<!-- HTML INSERTED BY USER -->\n";
    out += code;
    out += "<!-- END OF HTML INSERTED BY USER -->\n";
}

void CHtmlWriter::WriteBodyTag(std::string& out, const BuildPage& page) {
    std::string onload;
    if (page.page && !page.page->OnloadCode().empty()) onload += page.page->OnloadCode() + ";";
    for (const BuildItem& item : page.items) {
        const CHtmlObject* html = ObjectAs<CHtmlObject>(item);
        if (html && !html->GetOnloadCode().empty()) onload += html->GetOnloadCode() + ";";
    }
    // Script in the attribute keeps its double quotes as references, which
    // the browser turns back into quotes before it runs the code.
    std::string attribute;
    if (!onload.empty()) Append(attribute, "ONLOAD = \"%s\"", AttributeValue(onload).c_str());

    const BackgroundRecord& bg = page.background;
    const std::string link = Hex(bg.linkColour);
    const std::string vlink = Hex(bg.visitedLinkColour);
    const bool image = bg.fillType == bgGradient || (bg.fillType == bgImage && bg.tileImage);
    if (bg.repeatBackground && image) {
        Append(out,
               "<BODY LEFTMARGIN=0 TOPMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0 %s BACKGROUND=\"%s\" "
               "LINK=\"%s\" VLINK=\"%s\">\n",
               attribute.c_str(), AttributeValue(bg.imageUrl).c_str(), link.c_str(), vlink.c_str());
    } else {
        // Without repetition the window around the page takes the outside
        // colour; a centred picture leaves white around it.
        ColorRef colour = bg.solidColour;
        if (!bg.repeatBackground)
            colour = bg.outsideColour;
        else if (bg.fillType == bgImage)
            colour = 0xFFFFFF;
        Append(out,
               "<BODY LEFTMARGIN=0 TOPMARGIN=0 MARGINWIDTH=0 MARGINHEIGHT=0 %s BGCOLOR=\"%s\" "
               "LINK=\"%s\" VLINK=\"%s\">\n",
               attribute.c_str(), Hex(colour).c_str(), link.c_str(), vlink.c_str());
    }
    out += "\n";
}

void CHtmlWriter::WriteBackground(std::string& out, const BuildPage& page) {
    const int32_t width = page.page ? page.page->Width() : 0;
    const int32_t height = page.page ? page.page->Height() : 0;
    const BackgroundRecord& bg = page.background;
    if (bg.repeatBackground) {
        // Holds the window's scroll area at the page size: the positioned
        // blocks alone take no room.
        Append(out, "<TABLE WIDTH=\"%d\" HEIGHT=\"%d\" BORDER=0 CELLSPACING=0 CELLPADDING=0>\n",
               width, height);
        out += "<TR>\n<TD>\n<br>\n</TD>\n</TR>\n</TABLE>\n";
    }
    out += "<DIV ID=\"BACKGROUND\" STYLE=\"position:absolute; top:0px; left:0px; z-index:0;\">\n";
    const std::string link = Hex(bg.linkColour);
    const std::string vlink = Hex(bg.visitedLinkColour);
    const std::string url = AttributeValue(bg.imageUrl);
    if (bg.fillType == bgGradient || (bg.fillType == bgImage && bg.tileImage)) {
        // The picture covers the colour; the solid colour is as good as any.
        Append(out,
               "<TABLE WIDTH=\"%d\" HEIGHT=\"%d\" BACKGROUND=\"%s\" BGCOLOR=\"%s\" LINK=\"%s\" "
               "VLINK=\"%s\" BORDER=0 CELLSPACING=0 CELLPADDING=0>\n",
               width, height, url.c_str(), Hex(bg.solidColour).c_str(), link.c_str(),
               vlink.c_str());
    } else if (bg.fillType == bgImage) {
        Append(out,
               "<TABLE STYLE=\"background-repeat:no-repeat; background-position:center;\" "
               "WIDTH=\"%d\" HEIGHT=\"%d\" BACKGROUND=\"%s\" BGCOLOR=\"%s\" LINK=\"%s\" "
               "VLINK=\"%s\" BORDER=0 CELLSPACING=0 CELLPADDING=0>\n",
               width, height, url.c_str(), Hex(0xFFFFFF).c_str(), link.c_str(), vlink.c_str());
    } else {
        Append(out,
               "<TABLE WIDTH=\"%d\" HEIGHT=\"%d\" BGCOLOR=\"%s\" LINK=\"%s\" VLINK=\"%s\"  "
               "BORDER=0 CELLSPACING=0 CELLPADDING=0>\n",
               width, height, Hex(bg.solidColour).c_str(), link.c_str(), vlink.c_str());
    }
    out += "<TR>\n<TD>\n<br>\n</TD>\n</TR>\n</TABLE>\n</DIV>\n";
}

void CHtmlWriter::WriteItems(std::string& out, const BuildPage& page) const {
    std::size_t runCursor = 0;
    CHtmlTextBlock textBlock(page, m_resolve, runCursor);
    int32_t mouseOver = 0;
    for (const BuildItem& item : page.items) {
        Append(out, "\n<DIV class=\"%s\">", item.cssClass.c_str());
        const ObjectKind kind = KindOf(item);
        if (item.htmlText) {
            textBlock.Write(out, item);
        } else if (kind == KIND_HTML) {
            if (const CHtmlObject* html = ObjectAs<CHtmlObject>(item)) out += html->GetBodyCode();
        } else if (kind == KIND_FORM) {
            if (const CFormObject* form = ObjectAs<CFormObject>(item)) out += form->GetFormHtml();
        } else if (kind == KIND_COUNTER && !m_settings.previewMode) {
            // Outside preview builds a counter keeps its place as an empty block.
        } else {
            WriteImage(out, page, item, mouseOver);
            if (item.hasMouseOver) ++mouseOver;
        }
        out += "</DIV>\n";
    }
}

const WebpTwins* CHtmlWriter::Twins() const {
    return m_settings.webp ? m_twins : nullptr;
}

void CHtmlWriter::WriteImage(std::string& out, const BuildPage& page, const BuildItem& item,
                             int32_t mouseOver) const {
    using pw::htmlpic::SourcesOf;
    const bool modern = !m_settings.Classic();
    const pw::htmlpic::CSources sources =
        modern ? SourcesOf(item.imageUrl, item.imageUrl2x, Twins()) : pw::htmlpic::CSources{};
    const bool anchor = item.hasLink || item.hasMouseOver;
    if (anchor) {
        out += "<A ";
        // A mouse-over button without a link still needs an anchor for the
        // events; it points at its own page.
        Append(out, "HREF=\"%s\" ",
               AttributeValue(item.hasLink ? item.linkUrl : page.fileName).c_str());
        if (item.hasMouseOver && modern) {
            // Every file the browser may have picked is swapped, or a screen
            // at scale 2 or a browser taking WebP would keep the normal state.
            const auto over = SourcesOf(item.mouseOverImageUrl, item.mouseOverImageUrl2x, Twins());
            Append(out, "onMouseOver='%s' onMouseOut='%s'",
                   pw::htmlpic::SwapCall(mouseOver, item.mouseOverImageUrl, over).c_str(),
                   pw::htmlpic::SwapCall(mouseOver, item.imageUrl, sources).c_str());
        } else if (item.hasMouseOver) {
            Append(out, "onMouseOver='img_mo%d.src=\"%s\"' onMouseOut='img_mo%d.src=\"%s\"'",
                   mouseOver, AttributeValue(item.mouseOverImageUrl).c_str(), mouseOver,
                   AttributeValue(item.imageUrl).c_str());
        }
        out += ">";
    }
    if (!sources.webpSrcset.empty())
        Append(out, "<picture><source type=\"image/webp\" srcset=\"%s\">",
               AttributeValue(sources.webpSrcset).c_str());
    std::string name;
    if (item.hasMouseOver) Append(name, "NAME=\"img_mo%d\"", mouseOver);
    // With 2x choices the srcset rides along in the SRC value's place, so
    // the IMG tag of a classic build stays exactly as it was.
    std::string src = AttributeValue(item.imageUrl);
    if (!sources.srcset.empty()) src += "\" srcset=\"" + AttributeValue(sources.srcset);
    const bool canHaveAlt = item.item && item.item->Current().GetAltText();
    if (!item.altText.empty())
        Append(out, "<IMG SRC=\"%s\" %s WIDTH=%d HEIGHT=%d BORDER=0 ALT=\"%s\">", src.c_str(),
               name.c_str(), item.width, item.height, AttributeValue(item.altText).c_str());
    else if (canHaveAlt)
        Append(out, "<IMG SRC=\"%s\" %s WIDTH=%d HEIGHT=%d BORDER=0>", src.c_str(), name.c_str(),
               item.width, item.height);
    else
        Append(out, "<IMG SRC=\"%s\" %s WIDTH=%d HEIGHT=%d BORDER=0 >", src.c_str(), name.c_str(),
               item.width, item.height);
    if (!sources.webpSrcset.empty()) out += "</picture>";
    if (anchor) out += "</A>";
}
