#include "sitebuild/HtmlOutput.h"
#include "services/Cp1252.h"
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <vector>

namespace htmlout {

void Append(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, again);
        out.append(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
}

std::string Hex(ColorRef colour) {
    std::string out;
    Append(out, "#%.2x%.2x%.2x", colour & 0xFFu, (colour >> 8) & 0xFFu, (colour >> 16) & 0xFFu);
    return out;
}

void AppendTextChar(std::string& out, char c) {
    switch (c) {
    case '&':
        out += "&#38;";
        break;
    case '<':
        out += "&#60;";
        break;
    case '>':
        out += "&#62;";
        break;
    case '"':
        out += "&#34;";
        break;
    default:
        out += c;
    }
}

std::string AttributeValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '"')
            out += "&#34;";
        else
            out += c;
    }
    return out;
}

std::string UrlSegment(std::string_view cp1252Name) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : cp1252::ToUtf8(std::string(cp1252Name))) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::string ToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

bool WriteFile(const std::filesystem::path& file, std::string_view text, CWriteFailure* failure) {
    const std::error_code ec = WriteOutputFile(file, ToCrLf(text));
    if (failure) failure->Check(file, ec);
    return !ec;
}

} // namespace htmlout
