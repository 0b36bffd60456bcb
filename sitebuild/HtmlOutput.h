#pragma once
#include "sitebuild/BuildTypes.h"
#include "sitebuild/OutputFile.h"
#include <filesystem>
#include <string>
#include <string_view>

// Small pieces every generated file is made of. Pages are composed in memory
// with bare line feeds and written in one go, the line feeds turned into
// CR LF on the way.
namespace htmlout {

// Appends printf-formatted text; the page templates are kept in printf form so
// that each reads exactly as it reaches the file.
void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// "#rrggbb" of a COLORREF (red in the low byte), lower case.
std::string Hex(ColorRef colour);

// A character of HTML text: & < > and the double quote become numeric
// references so that text can never be read as markup.
void AppendTextChar(std::string& out, char c);

// The declaration of the pages' code page, first thing in every HEAD.
inline constexpr const char* kCharsetMeta =
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\n";

// A file name as one URL path segment: the name's UTF-8 bytes (the way it
// is stored on disk and on the server), every byte outside the unreserved
// set percent-encoded, so "report#1.pdf" does not end at the '#'.
std::string UrlSegment(std::string_view cp1252Name);

// A value for a double-quoted attribute: only the double quote is replaced,
// so the value cannot end the attribute early and everything else reaches
// the browser exactly as the user typed it.
std::string AttributeValue(std::string_view value);

// Every bare line feed becomes CR LF; a CR LF already present (code pasted
// from elsewhere) is kept as it is rather than doubled to CR CR LF.
std::string ToCrLf(std::string_view text);

// Creates (or truncates) the file and writes the text with CR LF line ends.
// False when the file cannot be created or the bytes could not all be written.
bool WriteFile(const std::filesystem::path& file, std::string_view text,
               CWriteFailure* failure = nullptr);

} // namespace htmlout
