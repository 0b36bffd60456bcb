#include "sitebuild/SnippetInsert.h"
#include "model/HtmlObject.h"

namespace {

struct Piece {
    std::string text;
    bool fromValue = false;
};

// A comment may not contain "--" (and "-->" would end it early), so a
// category or name holding dashes is written with them spaced apart.
std::string CommentSafe(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '-' && !out.empty() && out.back() == '-') out.push_back(' ');
        out.push_back(c);
    }
    if (!out.empty() && out.back() == '-') out.push_back(' ');
    return out;
}

} // namespace

std::string SubstituteParameters(std::string_view code,
                                 const std::vector<CSnippetParameter>& parameters) {
    std::vector<Piece> pieces{{std::string(code), false}};
    for (const CSnippetParameter& p : parameters) {
        if (p.placeholder.empty()) continue;
        const std::string value = p.SubstitutionText();
        std::vector<Piece> next;
        for (Piece& piece : pieces) {
            if (piece.fromValue) {
                next.push_back(std::move(piece));
                continue;
            }
            std::size_t start = 0;
            for (std::size_t at = piece.text.find(p.placeholder); at != std::string::npos;
                 at = piece.text.find(p.placeholder, start)) {
                if (at > start) next.push_back({piece.text.substr(start, at - start), false});
                next.push_back({value, true});
                start = at + p.placeholder.size();
            }
            if (start < piece.text.size()) next.push_back({piece.text.substr(start), false});
        }
        pieces = std::move(next);
    }
    std::string out;
    for (const Piece& piece : pieces)
        out += piece.text;
    return out;
}

std::string WrapSnippetCode(const CSnippet& snippet, const std::string& code) {
    if (code.empty()) return {};
    const std::string id = CommentSafe(snippet.category + "/" + snippet.name);
    return "<!-- SNIPPETBEGIN " + id + " -->\n" + code + "\n<!-- SNIPPETEND " + id + " -->\n";
}

void InsertSnippet(const CSnippet& snippet, CHtmlObject& object) {
    const std::string header = SubstituteParameters(snippet.headerCode, snippet.parameters);
    const std::string body = SubstituteParameters(snippet.bodyCode, snippet.parameters);
    object.SetCode(snippet.onloadCode, WrapSnippetCode(snippet, header),
                   WrapSnippetCode(snippet, body));
    object.SetUsedFiles(snippet.fileList);
}
