#pragma once
#include "sitebuild/BuildTypes.h"
#include "sitebuild/OutputFile.h"
#include "services/Geometry.h"
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CBackgroundFill;
class CImage;
class CMemFile;
class CPixMap;
class CPage;
class CPageObject;
class CSite;

// The files the build makes for what HTML cannot draw: item pictures (JPEG at
// quality 98, or the picture's own file where that is smaller and looks the
// same), copies of animated GIFs, and page backgrounds as one-pixel strips.

inline constexpr int kBuildJpegQuality = 98;
inline constexpr const char* kCompareImageFile = "compareimage.jpg";

// Background picture files already written in this build: (source path, file
// made), so pages sharing a picture share one file.
using BackgroundImageMap = std::vector<std::pair<std::string, std::string>>;

// The pictures of a build that also went out as WebP: the names (without
// folder) of the JPEG, GIF or own files whose twin <stem>.webp was written.
// Filled on the building thread as the files are settled; the HTML writer
// offers a WebP only for a name listed here.
using WebpTwins = std::set<std::string>;

// The WebP twin's name of a picture file or URL: the extension becomes .webp.
std::string WebpName(const std::string& file);

// Writes the picture as a JPEG at the build's quality and 96 dpi; a failure
// is recorded in `failure` when one is given. With `twins`, a WebP that looks
// as close to the pixels as the JPEG and is smaller goes out beside it and
// is listed there.
bool SaveBuildJpeg(const std::filesystem::path& file, const CPixMap& pixels,
                   CWriteFailure* failure = nullptr, WebpTwins* twins = nullptr);
bool SaveBuildJpeg(const std::filesystem::path& file, const CImage& image,
                   CWriteFailure* failure = nullptr, WebpTwins* twins = nullptr);
// The same JPEG into memory.
bool EncodeBuildJpeg(const CPixMap& pixels, CMemFile& encoded);
// The WebP twin of an encoded build JPEG of `pixels`: the lowest quality
// whose error against the pixels is no larger than the JPEG's. False (and
// `webp` empty) when no such WebP is smaller than the JPEG.
// `sizeLimit` (0: the JPEG's size) is the size the WebP must stay under.
bool EncodeBuildWebp(const CPixMap& pixels, const CMemFile& jpeg, std::vector<uint8_t>& webp,
                     std::size_t sizeLimit = 0);
// What the WebP twin of an item's picture must stay under: the re-encoded
// JPEG, or the picture's own file where the build may keep that instead.
std::size_t WebpSizeLimit(const CMemFile& jpeg, const CPageObject& state, const CRect& clipped,
                          bool overlapped);
// Writes `webp` as the twin of `file` (same folder, WebpName) and lists the
// picture in `twins`; an empty `webp` writes nothing. False on a failed write.
bool WriteWebpTwin(const std::filesystem::path& file, std::span<const uint8_t> webp,
                   WebpTwins& twins, CWriteFailure& failure);

// Copies a file over any existing one; false when it cannot. A source that
// cannot be read is only false; a destination that cannot be written is
// recorded in `failure` too.
bool CopyReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                   CWriteFailure& failure);

// An animated GIF picture goes out as a copy of its file: base + ".gif", or an
// empty name when the copy fails.
std::string CopyAnimatedGif(const CPageObject& object, const std::filesystem::path& filesFolder,
                            const std::string& base, CWriteFailure& failure);

// True when the picture's own file shows exactly what the region shows: an
// upright, effect-free picture (not a shape or text filled with one) of a GIF
// or JPEG file, drawn at the file's pixel size, wholly on the page
// (`clipped` equals its rectangle) and not overlapped.
bool MayUseOwnFile(const CPageObject& state, const CRect& clipped, bool overlapped);

// Writes one item state, given as its re-encoded region, and returns the
// file name made (without folder). A picture that may use its own file keeps
// that file when it is smaller than the re-encoded region; everything else is
// base + ".jpg". Empty when a needed copy failed; a file that could not be
// written is recorded in `failure`.
std::string WriteItemImage(const CMemFile& encoded, const CPageObject& state, const CRect& clipped,
                           bool overlapped, const std::filesystem::path& filesFolder,
                           const std::string& base, CWriteFailure& failure);

// The strip a gradient background goes out as: a horizontal gradient is one
// row of max(page width, 2048) pixels, a vertical one one column of
// max(page height, 2048); pixels past the page repeat its last pixel. Null
// when the fill has no rendered strip. The strip of a page drawn at a scale
// (page sizes already scaled) is scale x 2048 long at least, so it reaches
// as far on the screen as the strip at scale 1.
std::unique_ptr<CImage> GradientStrip(const CBackgroundFill& fill, int pageWidth, int pageHeight,
                                      int scale = 1);

// Fills the page's background record and writes its background file
// ("Side<position>_IMG_BCK" + ".jpg" or ".gif"), reusing a file another page
// made for the same picture. False when a file could not be written (see
// `failure`).
bool WritePageBackground(BuildPage& page, const BuildSettings& settings, BackgroundImageMap& made,
                         CWriteFailure& failure, WebpTwins* twins = nullptr);

// After WritePageBackground, the background at a scale for screens with more
// pixels: `scaled` is the background of the page's scaled copy (see
// pw::ScaledPageCopy), sized and rendered. Writes "<name>@2x.jpg" beside the
// background file (a gradient strip, or the picture with each pixel
// enlarged; one file for pages that share a picture) and sets imageUrl2x. A
// solid background or a GIF copied as it is gets none. False when a file
// could not be written.
bool WritePageBackground2x(BuildPage& page, const CBackgroundFill& scaled, int scale,
                           const BuildSettings& settings, BackgroundImageMap& made,
                           CWriteFailure& failure, WebpTwins* twins = nullptr);

// The name of a file at scale 2: "IMG_3.jpg" -> "IMG_3@2x.jpg" (always a JPEG).
std::string TwoXName(const std::string& file);
