#include "sitebuild/Snippet.h"
#include "services/Cp1252.h"
#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

namespace {

enum class Marker {
    None,
    Category,
    Snippet,
    ManualPosition,
    FileList,
    Description1,
    Description2,
    Preview,
    TextLine,
    TextArea,
    Browse,
    DropDown,
    Color,
    Onload,
    HeaderCode,
    BodyCode,
    End,
};

struct MarkerName {
    std::string_view text;
    Marker marker;
};

constexpr std::array<MarkerName, 16> kMarkers{{
    {"<<CATEGORY>>", Marker::Category},
    {"<<SNIPPET>>", Marker::Snippet},
    {"<<MANUELPOSITION>>", Marker::ManualPosition},
    {"<<FILELIST>>", Marker::FileList},
    {"<<DESCRIPTION1>>", Marker::Description1},
    {"<<DESCRIPTION2>>", Marker::Description2},
    {"<<PREVIEW>>", Marker::Preview},
    {"<<INPUTTEXTLINE>>", Marker::TextLine},
    {"<<INPUTTEXTAREA>>", Marker::TextArea},
    {"<<INPUTBROWSE>>", Marker::Browse},
    {"<<INPUTDROPDOWN>>", Marker::DropDown},
    {"<<INPUTCOLOR>>", Marker::Color},
    {"<<ONLOAD>>", Marker::Onload},
    {"<<HEADERCODE>>", Marker::HeaderCode},
    {"<<BODYCODE>>", Marker::BodyCode},
    {"<<EOS>>", Marker::End},
}};

Marker MarkerOf(std::string_view line) {
    for (const MarkerName& m : kMarkers)
        if (m.text == line) return m.marker;
    return Marker::None;
}

// Thrown inside the parser only; ParseSnippet turns it into CSnippetError.
struct ParseFailure {
    int line;
    std::string message;
};

bool IsValidUtf8(std::string_view text, bool& hasNonAscii) {
    hasNonAscii = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        hasNonAscii = true;
        int extra = 0;
        char32_t cp = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        constexpr std::array<char32_t, 4> kSmallest{0, 0x80, 0x800, 0x10000};
        if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

// The model keeps Windows-1252; snippet files may be written in either that
// or UTF-8 (what today's editors save), and the two are easy to tell apart:
// Danish letters in Windows-1252 are never valid UTF-8 sequences.
// Characters Windows-1252 lacks become '?'.
std::string ToModelText(std::string_view text) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (text.substr(0, kBom.size()) == kBom) return cp1252::FromUtf8(text.substr(kBom.size()));
    bool hasNonAscii = false;
    if (IsValidUtf8(text, hasNonAscii) && hasNonAscii) return cp1252::FromUtf8(text);
    return std::string(text);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "n,n,...": exactly `count` whole numbers separated by commas, spaces
// allowed around each.
std::optional<std::vector<int32_t>> ParseNumbers(std::string_view line, std::size_t count) {
    std::vector<int32_t> numbers;
    while (true) {
        const std::size_t comma = line.find(',');
        std::string_view field = Trim(line.substr(0, comma));
        if (!field.empty() && field.front() == '+') field.remove_prefix(1);
        int32_t value = 0;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (field.empty() || ec != std::errc() || end != field.data() + field.size())
            return std::nullopt;
        numbers.push_back(value);
        if (comma == std::string_view::npos) break;
        line.remove_prefix(comma + 1);
    }
    if (numbers.size() != count) return std::nullopt;
    return numbers;
}

class CSnippetParser {
public:
    explicit CSnippetParser(std::string_view text) : m_lines(SplitLines(text)) {}

    void Parse(CSnippet& snippet) {
        std::optional<Marker> pending;
        while (true) {
            Marker marker;
            if (pending) {
                marker = *pending;
                pending.reset();
            } else {
                if (AtEnd()) break;
                marker = MarkerOf(Take());
                if (marker == Marker::None) continue; // text between blocks
            }
            if (marker == Marker::End) break;
            pending = Handle(marker, snippet);
        }
        if (snippet.name.empty())
            throw ParseFailure{0,
                               "filen har intet navn efter <<SNIPPET>> og er ikke et HTML-stykke"};
    }

private:
    std::vector<std::string_view> m_lines;
    std::size_t m_next = 0;
    bool m_manual = false;

    bool AtEnd() const { return m_next >= m_lines.size(); }
    bool NextIsMarker() const { return !AtEnd() && MarkerOf(m_lines[m_next]) != Marker::None; }
    std::string_view Take() { return m_lines[m_next++]; }
    // Line number (1-based) of the line Take() would return next.
    int NextLineNumber() const { return static_cast<int>(m_next) + 1; }

    // A line that must be there: the file may not end, nor a marker come,
    // where a value is expected (that would silently swallow the block the
    // marker starts).
    std::string Required(std::string_view what) {
        if (AtEnd())
            throw ParseFailure{NextLineNumber(),
                               "filen slutter, hvor der skulle stå " + std::string(what)};
        if (NextIsMarker())
            throw ParseFailure{NextLineNumber(), "der står " + std::string(m_lines[m_next]) +
                                                     ", hvor der skulle stå " + std::string(what)};
        return std::string(Take());
    }

    // Lines up to the next marker (returned, if any) or the end of the file.
    std::optional<Marker> Block(std::vector<std::string_view>& lines) {
        while (!AtEnd()) {
            const Marker marker = MarkerOf(m_lines[m_next]);
            if (marker != Marker::None) {
                ++m_next;
                return marker;
            }
            lines.push_back(Take());
        }
        return std::nullopt;
    }

    std::optional<Marker> JoinedBlock(std::string& out) {
        std::vector<std::string_view> lines;
        const std::optional<Marker> next = Block(lines);
        out.clear();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) out.push_back('\n');
            out.append(lines[i]);
        }
        return next;
    }

    std::optional<Marker> Handle(Marker marker, CSnippet& snippet) {
        switch (marker) {
        case Marker::Category:
            snippet.category = Required("kategoriens navn");
            return std::nullopt;
        case Marker::Snippet:
            snippet.name = Required("HTML-stykkets navn");
            return std::nullopt;
        case Marker::Preview:
            snippet.preview = Required("navnet på eksempelbilledet");
            return std::nullopt;
        case Marker::ManualPosition:
            m_manual = true;
            snippet.manualPosition = true;
            return std::nullopt;
        case Marker::FileList: {
            std::vector<std::string_view> lines;
            const std::optional<Marker> next = Block(lines);
            for (std::string_view line : lines)
                if (!Trim(line).empty()) snippet.fileList.emplace_back(Trim(line));
            return next;
        }
        case Marker::Description1:
            return JoinedBlock(snippet.description1);
        case Marker::Description2:
            return JoinedBlock(snippet.description2);
        case Marker::Onload:
            return JoinedBlock(snippet.onloadCode);
        case Marker::HeaderCode:
            return JoinedBlock(snippet.headerCode);
        case Marker::BodyCode:
            return JoinedBlock(snippet.bodyCode);
        case Marker::TextLine:
            return Parameter(SnippetTextLine, snippet);
        case Marker::TextArea:
            return Parameter(SnippetTextArea, snippet);
        case Marker::Browse:
            return Parameter(SnippetBrowse, snippet);
        case Marker::DropDown:
            return Parameter(SnippetDropDown, snippet);
        case Marker::Color:
            return Parameter(SnippetColor, snippet);
        case Marker::None:
        case Marker::End:
            break;
        }
        return std::nullopt;
    }

    std::optional<Marker> Parameter(int32_t type, CSnippet& snippet) {
        CSnippetParameter p;
        p.type = type;
        const int startLine = static_cast<int>(m_next); // the marker's own line
        if (m_manual) {
            const int line = NextLineNumber();
            const auto rect = ParseNumbers(Required("kontrollens placering (x,y,bredde,højde)"), 4);
            if (!rect || (*rect)[2] < 0 || (*rect)[3] < 0)
                throw ParseFailure{line, "kontrollens placering skal være fire hele tal "
                                         "x,y,bredde,højde med bredde og højde ikke negative"};
            p.manualPosition = true;
            p.x = (*rect)[0];
            p.y = (*rect)[1];
            p.width = (*rect)[2];
            p.height = (*rect)[3];
        }
        p.caption = Required("parameterens overskrift");
        p.placeholder = Required("parameterens pladsholder");
        if (type == SnippetTextLine || type == SnippetTextArea || type == SnippetDropDown)
            p.defaultValue = Required("parameterens standardværdi");
        std::optional<Marker> next;
        if (type == SnippetDropDown) {
            while (!AtEnd() && !NextIsMarker()) {
                std::string value(Take());
                std::string shown = Required("den viste tekst til valget \"" + value + "\"");
                p.choices.push_back({std::move(value), std::move(shown)});
            }
            if (p.choices.empty())
                throw ParseFailure{startLine, "rullelisten \"" + p.caption + "\" har ingen valg"};
            if (!AtEnd()) next = MarkerOf(Take());
        }
        if (type == SnippetColor) {
            const int line = NextLineNumber();
            const auto rgb = ParseNumbers(Required("farven (rød,grøn,blå)"), 3);
            bool inRange = rgb.has_value();
            if (rgb)
                for (int32_t v : *rgb)
                    inRange = inRange && v >= 0 && v <= 255;
            if (!inRange)
                throw ParseFailure{line,
                                   "farven skal være tre hele tal rød,grøn,blå fra 0 til 255"};
            p.defaultColour = static_cast<ColorRef>((*rgb)[0]) |
                              static_cast<ColorRef>((*rgb)[1]) << 8 |
                              static_cast<ColorRef>((*rgb)[2]) << 16;
        }
        p.value = p.defaultValue;
        p.colour = p.defaultColour;
        snippet.parameters.push_back(std::move(p));
        return next;
    }
};

} // namespace

std::string CSnippetParameter::SubstitutionText() const {
    if (type != SnippetColor) return value;
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned>(colour & 0xFF),
                  static_cast<unsigned>((colour >> 8) & 0xFF),
                  static_cast<unsigned>((colour >> 16) & 0xFF));
    return text;
}

std::filesystem::path CSnippet::PreviewPath() const {
    if (preview.empty()) return {};
    // Stored names may use either separator.
    std::string name = preview;
    for (char& c : name)
        if (c == '\\') c = '/';
    return file.parent_path() / name;
}

void CSnippet::ResetValues() {
    for (CSnippetParameter& p : parameters) {
        p.value = p.defaultValue;
        p.colour = p.defaultColour;
    }
}

std::string CSnippetError::Describe() const {
    std::string text = file.filename().string();
    if (line > 0) text += (text.empty() ? "linje " : ", linje ") + std::to_string(line);
    if (!text.empty()) text += ": ";
    return text + message;
}

bool ParseSnippet(std::string_view text, CSnippet& snippet, CSnippetError& error) {
    snippet = CSnippet{};
    const std::string modelText = ToModelText(text);
    try {
        CSnippetParser(modelText).Parse(snippet);
        return true;
    } catch (const ParseFailure& failure) {
        error.line = failure.line;
        error.message = failure.message;
        return false;
    }
}

bool LoadSnippetFile(const std::filesystem::path& path, CSnippet& snippet, CSnippetError& error) {
    error = CSnippetError{path, 0, {}};
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        error.message = "filen kan ikke åbnes";
        return false;
    }
    if (size > kMaxSnippetFileBytes) {
        error.message = "filen er for stor til at være et HTML-stykke";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error.message = "filen kan ikke åbnes";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!ParseSnippet(bytes.str(), snippet, error)) return false;
    snippet.file = path;
    return true;
}
