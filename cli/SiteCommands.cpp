#include "cli/SiteCommands.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageItem.h"
#include "model/Site.h"
#include "model/SiteFile.h"
#include "render/PageRenderer.h"
#include "services/ByteReader.h"
#include "services/IO.h"
#include "services/IOError.h"
#include <algorithm>
#include <map>
#include <ostream>
#include <vector>

namespace {

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
    if (!site) env.err << "pagewright: cannot read " << file << ": " << error << '\n';
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
        env.out << "Template:    " << templateName << " (category " << category << ")\n";
    int items = 0;
    for (const auto& page : site->Pages())
        items += page->ItemCount();
    env.out << "Site:        " << site->name << '\n'
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
        env.out << "  " << i + 1 << ". " << page.Identifier() << " \"" << page.WebName() << "\" "
                << page.Width() << "x" << page.Height() << (page.IsFrontPage() ? " front" : "")
                << ", " << page.ItemCount() << " items";
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
        env.err << "pagewright: render: cannot write " << out << " (error " << error << ")\n";
        return kExitFailure;
    }
    env.out << "Rendered page " << number << " (" << page.Identifier() << ", " << page.Width()
            << "x" << page.Height() << ") to " << out << '\n';
    return kExitOk;
}
