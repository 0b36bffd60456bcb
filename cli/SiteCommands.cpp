#include "cli/SiteCommands.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "render/PageRenderer.h"
#include "services/ByteReader.h"
#include "services/Cp1252.h"
#include "services/IO.h"
#include "services/IOError.h"
#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>
#include <vector>

namespace {

// A control character written raw would move the cursor, clear the screen or
// retitle the terminal; it is shown as an escape instead (\t, \x1B, \u0085).
void AppendShown(std::string& out, char32_t c) {
    char escape[16];
    if (c == '\t')
        out += "\\t";
    else if (c == '\n')
        out += "\\n";
    else if (c == '\r')
        out += "\\r";
    else if (c < 0x20 || c == 0x7F)
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c)), out += escape;
    else if (c >= 0x80 && c < 0xA0)
        std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c)), out += escape;
    else if (c == '\\')
        out += "\\\\";
    else
        cp1252::AppendUtf8(out, c);
}

// Text from the site (Windows-1252 bytes) as the terminal expects it: UTF-8.
std::string Shown(std::string_view cp1252Text) {
    std::string out;
    for (const char byte : cp1252Text)
        AppendShown(out, cp1252::ToUnicode(static_cast<uint8_t>(byte)));
    return out;
}

// A path the user typed is already in the system's encoding (UTF-8 bytes);
// only its control characters are escaped.
std::string ShownPath(const std::string& path) {
    std::string out;
    for (const char byte : path) {
        const auto b = static_cast<uint8_t>(byte);
        if (b < 0x20 || b == 0x7F)
            AppendShown(out, b);
        else
            out += byte;
    }
    return out;
}

const char* KindName(ObjectKind kind) {
    switch (kind) {
    case KIND_ELLIPSE:
        return "ellipse";
    case KIND_RECT:
        return "rectangle";
    case KIND_TEXT:
        return "text";
    case KIND_COUNTER:
        return "counter";
    case KIND_HTML:
        return "HTML";
    case KIND_FORM:
        return "form";
    }
    return "object";
}

std::unique_ptr<CSite> Open(const std::string& file, CCommandEnv& env) {
    std::string error;
    std::unique_ptr<CSite> site = LoadSiteFile(file, &env.ui, &error);
    if (!site)
        env.err << "pagewright: cannot read " << ShownPath(file) << ": " << ShownPath(error)
                << '\n';
    return site;
}

} // namespace

int RunInfo(const CParsedCommand& command, CCommandEnv& env) {
    const std::string& file = command.arguments[0];
    std::unique_ptr<CSite> site = Open(file, env);
    if (!site) return kExitFailure;
    // The version bytes follow the two magic words.
    if (auto reader = CByteReader::FromFile(file); reader && reader->Size() >= 16) {
        reader->Seek(14);
        const int source = reader->ReadByte();
        const int version = reader->ReadByte();
        env.out << "File:        " << file << " (source " << source << ", version " << version
                << ")\n";
    }
    std::string category, templateName;
    if (ReadSiteInfo(file, category, templateName))
        env.out << "Template:    " << Shown(templateName) << " (category " << Shown(category)
                << ")\n";
    int items = 0;
    for (const auto& page : site->Pages())
        items += page->ItemCount();
    env.out << "Site:        " << Shown(site->name) << '\n'
            << "Pages:       " << site->PageCount() << '\n'
            << "Items:       " << items << '\n';
    for (int i = 0; i < site->PageCount(); ++i) {
        const CPage& page = site->PageAt(i);
        std::map<std::string, int> kinds;
        int twins = 0;
        for (const auto& item : page.Items()) {
            ++kinds[KindName(item->Normal().GetKind())];
            twins += item->HasMouseOver();
        }
        env.out << "  " << i + 1 << ". " << Shown(page.Identifier()) << " \""
                << Shown(page.WebName()) << "\" " << page.Width() << "x" << page.Height()
                << (page.IsFrontPage() ? " front" : "") << ", " << page.ItemCount() << " items";
        for (const auto& [kind, count] : kinds)
            env.out << ", " << count << ' ' << kind;
        if (twins) env.out << ", " << twins << " with mouse-over";
        env.out << '\n';
    }
    return kExitOk;
}

int RunRender(const CParsedCommand& command, CCommandEnv& env) {
    const std::string& file = command.arguments[0];
    std::unique_ptr<CSite> site = Open(file, env);
    if (!site) return kExitFailure;
    const int number = command.Number("--page");
    if (number > site->PageCount()) {
        env.err << "pagewright: render: the site has " << site->PageCount() << " pages, not "
                << number << '\n';
        return kExitFailure;
    }
    CPage& page = site->PageAt(number - 1);
    page.RenderAll();
    CImage image(IMAGE_RGB8, page.Width(), page.Height(), 96.0);
    if (!image.Bits()) {
        env.err << "pagewright: render: out of memory\n";
        return kExitFailure;
    }
    const int tile = CPage::kTileSize;
    std::vector<uint8_t> argb(static_cast<std::size_t>(tile) * tile * 4);
    const std::size_t outRow = image.RowBytes();
    for (int y = 0; y < page.Height(); y += tile)
        for (int x = 0; x < page.Width(); x += tile) {
            const int w = std::min(tile, page.Width() - x);
            const int h = std::min(tile, page.Height() - y);
            std::fill(argb.begin(), argb.end(), 0);
            RenderRegion(page, CRect{x, y, x + w, y + h}, argb.data(), tile * 4);
            for (int r = 0; r < h; ++r) {
                const uint8_t* s = argb.data() + static_cast<std::size_t>(r) * tile * 4;
                uint8_t* d = image.Bits() + (static_cast<std::size_t>(y) + r) * outRow + 3 * x;
                for (int c = 0; c < w; ++c, s += 4, d += 3)
                    d[0] = s[1], d[1] = s[2], d[2] = s[3];
            }
        }
    int format = FORMAT_PNG;
    int error = 0;
    const std::string out = command.Value("--out");
    if (!CIO::SaveImage(out, image, format, 100, error, std::string())) {
        env.err << "pagewright: render: cannot write " << ShownPath(out) << " (error " << error
                << ")\n";
        return kExitFailure;
    }
    env.out << "Rendered page " << number << " (" << Shown(page.Identifier()) << ", "
            << page.Width() << "x" << page.Height() << ") to " << ShownPath(out) << '\n';
    return kExitOk;
}
