#pragma once
#include "sitebuild/BuildTypes.h"
#include <optional>
#include <string>
#include <vector>

class CPage;
class CSite;

// A download link whose file is not there: the stored path and where the
// link sits, so that the caller can show the page and select the item.
struct CMissingDownload {
    std::string path; // as stored in the link (Windows-1252)
    int page = 0;     // page position
    int item = 0;     // item position on the page
};

// The download source paths one page's links offer, in page order: for an
// HTML text every run of characters with a download link (then the text's
// own link), for any other object its own link when enabled. Paths are as
// stored (Windows-1252); each distinct path (ignoring case) once.
std::vector<std::string> PageDownloadPaths(const CPage& page);

// The file a stored download path stands for: relative paths lie next to
// the site file. UTF-8 for the file system.
std::filesystem::path DownloadSourceFile(const std::string& storedPath, const CSite& site);

// Fills `list` anew from every page of the site. Each distinct source path
// (ignoring case) is listed once, under its file name; a file name that is
// already taken (ignoring case) becomes base + i + extension with the
// smallest free i from 0 ("x.zip", "x0.zip", "x1.zip" ...). Stops at the
// first link whose file does not exist and reports it; the list then holds
// the entries found before it.
std::optional<CMissingDownload> RebuildDownloadList(const CSite& site, DownloadList& list);

// The entry for a stored source path (ignoring case), or null.
const DownloadEntry* FindDownload(const DownloadList& list, const std::string& sourcePath);
