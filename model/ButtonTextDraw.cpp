#include "model/ButtonTextDraw.h"
#include "image/Image.h"
#include "model/ButtonText.h"
#include "services/Cp1252.h"
#include "services/FontEngine.h"
#include "services/TextCanvas.h"
#include <algorithm>
#include <cmath>
#include <numbers>

std::vector<std::string> SplitLabelLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

void LabelShadowOffset(int direction, int distance, int& dx, int& dy) {
    // cos(120 degrees) is a hair above -0.5 in doubles; the tolerance keeps
    // exact halves rounding up as they do on paper.
    constexpr double kHalf = 0.5 + 1e-9;
    const double d = direction * std::numbers::pi / 180.0;
    dx = static_cast<int>(std::floor(-std::cos(d) * distance + kHalf));
    dy = static_cast<int>(std::floor(std::sin(d) * distance + kHalf));
}

namespace {
std::u32string ToCodePoints(const std::string& cp1252Text) {
    std::u32string out;
    out.reserve(cp1252Text.size());
    for (const char c : cp1252Text)
        out.push_back(cp1252::ToUnicode(static_cast<uint8_t>(c)));
    return out;
}

// Mixes the canvas's letters into the texture by their coverage.
void Blend(const CTextCanvas& canvas, CImage& texture) {
    const int step = texture.HasAlpha() ? 4 : 3;
    const int first = texture.HasAlpha() ? 1 : 0;
    const CRect ink = canvas.InkBox();
    for (int y = ink.top; y < ink.bottom; ++y) {
        const uint8_t* cov =
            canvas.Coverage() + static_cast<std::size_t>(y) * canvas.CoverageStride();
        const uint8_t* col = canvas.Colour() + static_cast<std::size_t>(y) * canvas.ColourStride();
        uint8_t* row = texture.Bits() + y * texture.RowBytes();
        for (int x = ink.left; x < ink.right; ++x) {
            const int c = cov[x];
            if (c == 0) continue;
            uint8_t* p = row + x * step + first;
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<uint8_t>((p[k] * (255 - c) + col[3 * x + k] * c + 127) / 255);
        }
    }
}
} // namespace

bool DrawButtonText(const CButtonText& label, CImage& texture) {
    if (WithoutAlpha(texture.GetMode()) != IMAGE_RGB8 || !texture.Bits()) return false;
    if (label.text.empty()) return true;
    CFontEngine& engine = CFontEngine::Instance();
    CFontRequest spec;
    spec.face = engine.FaceName(engine.FaceIndexWithFallback(cp1252::ToUtf8(label.font)));
    spec.pixelHeight = std::clamp(label.fontSize, 1, CFontEngine::kMaxPixelHeight);
    spec.bold = label.bold;
    spec.italic = label.italic;
    spec.underline = label.underline;
    const int lineHeight = engine.Metrics(spec).height;

    const int w = texture.Width();
    const int h = texture.Height();
    struct CLine {
        std::u32string text;
        int left;
        int top;
    };
    std::vector<CLine> lines;
    const std::vector<std::string> split = SplitLabelLines(label.text);
    int top = h / 2 - static_cast<int>(split.size()) * lineHeight / 2;
    for (const std::string& line : split) {
        CLine l{ToCodePoints(line), 0, top};
        const int width = engine.TextWidth(spec, l.text);
        if (label.alignment == CButtonText::alignCentre)
            l.left = w / 2 - width / 2;
        else if (label.alignment == CButtonText::alignRight)
            l.left = w - width;
        lines.push_back(std::move(l));
        top += lineHeight;
    }

    auto pass = [&](COLORREF colour, int dx, int dy) {
        CTextCanvas canvas(w, h);
        for (const CLine& l : lines)
            canvas.DrawGlyphs(spec, l.text, l.left + dx, l.top + dy, colour);
        Blend(canvas, texture);
    };
    if (label.shadow) {
        int dx = 0, dy = 0;
        LabelShadowOffset(label.shadowDirection, label.shadowDistance, dx, dy);
        pass(label.shadowColor.GetCOLORREF(), dx, dy);
    }
    pass(label.color.GetCOLORREF(), 0, 0);
    return true;
}
