#pragma once
#include "sitebuild/BuildTypes.h"
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// One ready-made piece of HTML from the snippet library: what the snippet
// dialog shows about it, the values it asks the user for, and the code it
// puts into an HTML object. Texts are Windows-1252 bytes like the model's.

enum SnippetParamType : int32_t {
    SnippetTextLine = 0,
    SnippetTextArea = 1,
    SnippetBrowse = 2,
    SnippetDropDown = 3,
    SnippetColor = 4,
};

// One entry of a drop-down: the text put into the code and the text shown.
struct CSnippetChoice {
    std::string value;
    std::string shown;

    bool operator==(const CSnippetChoice&) const = default;
};

struct CSnippetParameter {
    int32_t type = SnippetTextLine;
    // The control's place in the dialog, only when the snippet places its
    // controls itself.
    bool manualPosition = false;
    int32_t x = 0, y = 0, width = 0, height = 0;
    std::string caption;
    std::string placeholder;  // the text in the code that the value replaces
    std::string defaultValue; // text line, text area and drop-down
    std::string value;        // what the user chose (starts as the default)
    std::vector<CSnippetChoice> choices;
    ColorRef defaultColour = 0; // colour parameters: the file's colour (COLORREF)
    ColorRef colour = 0;        // the user's colour (starts as the file's)

    // What replaces the placeholder: `#rrggbb` for a colour, else the value.
    std::string SubstitutionText() const;
};

struct CSnippet {
    std::filesystem::path file; // where it was read from (empty when parsed from memory)
    std::string category;
    std::string name;
    bool manualPosition = false;
    std::vector<std::string> fileList;
    std::string description1;
    std::string description2;
    std::string preview; // picture file name, relative to the snippet's folder
    std::vector<CSnippetParameter> parameters;
    std::string onloadCode;
    std::string headerCode;
    std::string bodyCode;

    // The preview picture's full path; empty when the snippet names none.
    std::filesystem::path PreviewPath() const;
    // Every parameter's value back to what the file gives.
    void ResetValues();
};

// Why a snippet file was not accepted: the 1-based line the problem was
// found on (0 when it concerns the whole file) and a message for the user
// (UTF-8, like every text the user-interaction port shows).
struct CSnippetError {
    std::filesystem::path file;
    int line = 0;
    std::string message;

    // "<file name>, linje <n>: <message>"
    std::string Describe() const;
};

// Largest snippet file read; anything bigger is not a snippet.
inline constexpr std::uintmax_t kMaxSnippetFileBytes = 1u << 20;

// Parses the text of one snippet file. Lines end at a line feed; a carriage
// return before it is dropped. A file in UTF-8 (with or without byte order
// mark) is turned into Windows-1252; any other file is taken as
// Windows-1252 already. On failure `snippet` is left unspecified and `error`
// says what and where.
bool ParseSnippet(std::string_view text, CSnippet& snippet, CSnippetError& error);

// Reads and parses one file; `snippet.file` is set to `path`.
bool LoadSnippetFile(const std::filesystem::path& path, CSnippet& snippet, CSnippetError& error);
