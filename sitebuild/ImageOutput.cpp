#include "sitebuild/ImageOutput.h"
#include "sitebuild/PageClassify.h"
#include "image/Image.h"
#include "model/Page.h"
#include "model/PageObject.h"
#include "model/Site.h"
#include "model/BackgroundFill.h"
#include "model/Effects.h"
#include "model/ObjectFill.h"
#include "services/IO.h"
#include "services/IOError.h"
#include "services/ImageConvert.h"
#include "services/JpegIO.h"
#include "services/MemFile.h"
#include "services/WebpIO.h"
#include <algorithm>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Size of a file in bytes; -1 when it cannot be read.
long long FileSize(const fs::path& file) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    return ec ? -1 : static_cast<long long>(size);
}

// The extension of a stored path from its last dot, as written.
std::string ExtensionOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

// Pixel of a strip image as bytes r, g, b (RGB, or alpha first).
const uint8_t* StripPixel(const CImage& strip, int x, int y) {
    const int bpp = strip.GetMode() == IMAGE_RGB8 ? 3 : 4;
    return strip.Bits() + static_cast<std::size_t>(y) * strip.RowBytes() +
           static_cast<std::size_t>(x) * bpp + (bpp - 3);
}

std::span<const uint8_t> BytesOf(const CMemFile& file) {
    return {file.Data().data(), file.GetLength()};
}

} // namespace

std::string WebpName(const std::string& file) {
    const std::size_t dot = file.rfind('.');
    const std::size_t slash = file.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return file + ".webp";
    return file.substr(0, dot) + ".webp";
}

bool SaveBuildJpeg(const fs::path& file, const CImage& image, CWriteFailure* failure,
                   WebpTwins* twins) {
    return SaveBuildJpeg(file, CJpegIO::MapOfImage(image), failure, twins);
}

bool SaveBuildJpeg(const fs::path& file, const CPixMap& pixels, CWriteFailure* failure,
                   WebpTwins* twins) {
    CMemFile encoded;
    std::error_code ec = EncodeBuildJpeg(pixels, encoded)
                             ? WriteOutputFile(file, BytesOf(encoded))
                             : std::make_error_code(std::errc::io_error);
    if (failure) failure->Check(file, ec);
    if (!ec && twins) {
        std::vector<uint8_t> webp;
        CWriteFailure local;
        if (EncodeBuildWebp(pixels, encoded, webp) &&
            !WriteWebpTwin(file, webp, *twins, failure ? *failure : local))
            return false;
    }
    return !ec;
}

std::size_t WebpSizeLimit(const CMemFile& jpeg, const CPageObject& state, const CRect& clipped,
                          bool overlapped) {
    const std::size_t limit = jpeg.GetLength();
    if (!MayUseOwnFile(state, clipped, overlapped)) return limit;
    const long long own = FileSize(state.GetFill()->GetImagePath());
    return own >= 0 ? std::min(limit, static_cast<std::size_t>(own)) : limit;
}

bool EncodeBuildWebp(const CPixMap& pixels, const CMemFile& jpeg, std::vector<uint8_t>& webp,
                     std::size_t sizeLimit) {
    webp.clear();
    if (sizeLimit == 0) sizeLimit = jpeg.GetLength();
    int error = 0;
    const auto decoded = CJpegIO::Load(jpeg.Data().data(), jpeg.GetLength(), error);
    if (!decoded || decoded->Width() != pixels.width || decoded->Height() != pixels.height ||
        decoded->GetMode() != IMAGE_RGB8)
        return false;
    // The decoded rows lie padded; the measure wants them packed.
    const std::size_t row = 3 * static_cast<std::size_t>(pixels.width);
    std::vector<uint8_t> packed(row * static_cast<std::size_t>(pixels.height));
    for (int y = 0; y < pixels.height; ++y)
        std::memcpy(packed.data() + y * row,
                    decoded->Bits() + static_cast<std::size_t>(y) * decoded->RowBytes(), row);
    const double jpegError = pw::webp::MeanSquaredError(pixels, packed.data());
    return pw::webp::EncodeMatching(pixels, jpegError, sizeLimit, webp);
}

bool WriteWebpTwin(const fs::path& file, std::span<const uint8_t> webp, WebpTwins& twins,
                   CWriteFailure& failure) {
    if (webp.empty()) return true;
    const fs::path twin = file.parent_path() / WebpName(file.filename().string());
    if (!failure.Check(twin, WriteOutputFile(twin, webp))) return false;
    twins.insert(file.filename().string());
    return true;
}

bool EncodeBuildJpeg(const CPixMap& pixels, CMemFile& encoded) {
    int error = 0;
    return CJpegIO::Save(encoded, pixels, kBuildJpegQuality, error, std::string(), 96.0);
}

bool CopyReplacing(const fs::path& from, const fs::path& to, CWriteFailure& failure) {
    bool sourceFailed = false;
    const std::error_code ec = CopyOutputFile(from, to, sourceFailed);
    if (!sourceFailed) failure.Check(to, ec);
    return !ec;
}

std::string CopyAnimatedGif(const CPageObject& object, const fs::path& filesFolder,
                            const std::string& base, CWriteFailure& failure) {
    const CObjectFill* fill = object.GetFill();
    if (!fill) return {};
    const std::string name = base + ".gif";
    return CopyReplacing(fill->GetImagePath(), filesFolder / name, failure) ? name : std::string();
}

bool MayUseOwnFile(const CPageObject& state, const CRect& clipped, bool overlapped) {
    if (overlapped || state.GetKind() != KIND_RECT || state.HasButtonText()) return false;
    if (state.GetAngle() != 0.0) return false;
    if (const CEffects* effects = state.GetEffects(); effects && effects->AnyOn()) return false;
    const CObjectFill* fill = state.GetFill();
    if (!fill || fill->GetType() != CObjectFill::fillImage) return false;
    const std::string& path = fill->GetImagePath();
    if (!EndsWithNoCase(path, ".gif") && !EndsWithNoCase(path, ".jpg") &&
        !EndsWithNoCase(path, "jpeg"))
        return false;
    // The browser would stretch a scaled or cut picture file into the item's
    // box; only a file shown whole at its own size looks the same.
    const CImage* picture = fill->GetImage();
    const CRect rect = state.GetRect();
    return picture && clipped == rect && picture->Width() == rect.Width() &&
           picture->Height() == rect.Height();
}

std::string WriteItemImage(const CMemFile& encoded, const CPageObject& state, const CRect& clipped,
                           bool overlapped, const fs::path& filesFolder, const std::string& base,
                           CWriteFailure& failure) {
    const std::string jpegName = base + ".jpg";
    const fs::path jpegFile = filesFolder / jpegName;
    if (!MayUseOwnFile(state, clipped, overlapped))
        return failure.Check(jpegFile, WriteOutputFile(jpegFile, BytesOf(encoded))) ? jpegName
                                                                                    : std::string();
    // The re-encoded region is the compare image: it becomes the item's
    // picture unless the picture's own file is smaller, and then stays behind
    // as compareimage.jpg. It is compared in memory and written once.
    const fs::path compare = filesFolder / kCompareImageFile;
    const std::string& source = state.GetFill()->GetImagePath();
    const long long sourceSize = FileSize(source);
    std::error_code ec;
    if (sourceSize < 0 || sourceSize >= static_cast<long long>(encoded.GetLength())) {
        if (!failure.Check(jpegFile, WriteOutputFile(jpegFile, BytesOf(encoded)))) return {};
        fs::remove(compare, ec);
        return jpegName;
    }
    if (!failure.Check(compare, WriteOutputFile(compare, BytesOf(encoded)))) return {};
    const std::string ownName = base + ExtensionOf(source);
    return CopyReplacing(source, filesFolder / ownName, failure) ? ownName : std::string();
}

std::unique_ptr<CImage> GradientStrip(const CBackgroundFill& fill, int pageWidth, int pageHeight,
                                      int scale) {
    const CImage* strip = fill.GetImage();
    if (!strip || !strip->Bits() || strip->Width() <= 0 || strip->Height() <= 0) return nullptr;
    if (strip->GetMode() != IMAGE_RGB8 && strip->GetMode() != WithAlpha(IMAGE_RGB8)) return nullptr;
    const bool horizontal = fill.IsHorizontal();
    const int page = horizontal ? pageWidth : pageHeight;
    const int have = horizontal ? strip->Width() : strip->Height();
    const int length = std::max(page, 2048 * scale);
    auto out = std::make_unique<CImage>(IMAGE_RGB8, horizontal ? length : 1,
                                        horizontal ? 1 : length, 96.0);
    if (!out->Bits()) return nullptr;
    // Beyond the page (or a strip shorter than the page) the last pixel of
    // the page repeats, so the browser's tiling continues the gradient's end.
    const int last = std::clamp(page, 1, have) - 1;
    for (int i = 0; i < length; ++i) {
        const int from = std::min(i, last);
        const uint8_t* src = horizontal ? StripPixel(*strip, from, 0) : StripPixel(*strip, 0, from);
        uint8_t* dst = horizontal ? out->Bits() + 3 * static_cast<std::size_t>(i)
                                  : out->Bits() + static_cast<std::size_t>(i) * out->RowBytes();
        std::memcpy(dst, src, 3);
    }
    return out;
}

bool WritePageBackground(BuildPage& page, const BuildSettings& settings, BackgroundImageMap& made,
                         CWriteFailure& failure, WebpTwins* twins) {
    const CPage& source = *page.page;
    const CBackgroundFill& fill = source.Background();
    BackgroundRecord& record = page.background;
    record.fillType = static_cast<int32_t>(fill.GetType());
    record.linkColour = source.Site().unvisitedLinkColour.GetCOLORREF();
    record.visitedLinkColour = source.Site().visitedLinkColour.GetCOLORREF();
    record.repeatBackground = settings.repeatBackground;
    record.outsideColour = settings.outsideColour;
    record.imageUrl.clear();
    if (fill.GetType() == CBackgroundFill::fillSolid) {
        record.solidColour = fill.GetColour().GetCOLORREF();
        return true;
    }
    record.tileImage = fill.IsTiled();
    const std::string base = "Side" + std::to_string(page.position) + "_IMG_BCK";
    const auto url = [&](const std::string& file) {
        return page.frontPage ? std::string(kFilesFolderName) + "/" + file : file;
    };
    if (fill.GetType() == CBackgroundFill::fillImage) {
        const std::string& path = fill.GetImagePath();
        auto known = std::find_if(made.begin(), made.end(),
                                  [&](const auto& entry) { return entry.first == path; });
        std::string file;
        if (known != made.end()) {
            file = known->second;
        } else if (path.find(".gif") != std::string::npos) {
            file = base + ".gif";
            CopyReplacing(path, settings.filesFolder / file, failure);
            made.emplace_back(path, file);
        } else {
            file = base + ".jpg";
            if (const CImage* image = fill.GetImage()) {
                // Transparent parts show white, as the designer paints them.
                std::unique_ptr<CImage> rgb = pw::ToRgb8Over(*image, 255, 255, 255);
                if (rgb) {
                    rgb->SetDpi(96.0);
                    SaveBuildJpeg(settings.filesFolder / file, *rgb, &failure, twins);
                } else {
                    failure.Check(settings.filesFolder / file,
                                  std::make_error_code(std::errc::not_enough_memory));
                }
            }
            made.emplace_back(path, file);
        }
        record.imageUrl = url(file);
        return !failure;
    }
    const std::string file = base + ".jpg";
    record.imageUrl = url(file);
    if (auto strip = GradientStrip(fill, source.Width(), source.Height()))
        SaveBuildJpeg(settings.filesFolder / file, *strip, &failure, twins);
    return !failure;
}

std::string TwoXName(const std::string& file) {
    const std::size_t slash = file.find_last_of('/');
    const std::size_t dot = file.rfind('.');
    const bool hasDot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasDot ? file.substr(0, dot) : file) + "@2x.jpg";
}

bool WritePageBackground2x(BuildPage& page, const CBackgroundFill& scaled, int scale,
                           const BuildSettings& settings, BackgroundImageMap& made,
                           CWriteFailure& failure, WebpTwins* twins) {
    BackgroundRecord& record = page.background;
    record.imageUrl2x.clear();
    const std::string& url1x = record.imageUrl;
    if (url1x.empty() || scaled.NeedsRender() || EndsWithNoCase(url1x, ".gif")) return true;
    const std::size_t slash = url1x.find_last_of('/');
    const std::string file = TwoXName(slash == std::string::npos ? url1x : url1x.substr(slash + 1));
    const auto url = [&](const std::string& name) {
        return page.frontPage ? std::string(kFilesFolderName) + "/" + name : name;
    };
    std::unique_ptr<CImage> picture;
    if (scaled.GetType() == CBackgroundFill::fillImage) {
        const std::string& path = scaled.GetImagePath();
        auto known = std::find_if(made.begin(), made.end(),
                                  [&](const auto& entry) { return entry.first == path; });
        if (known != made.end()) {
            record.imageUrl2x = url(known->second);
            return true;
        }
        if (const CImage* image = scaled.GetImage())
            picture = pw::ToRgb8Over(*image, 255, 255, 255); // as at scale 1
    } else if (scaled.GetType() == CBackgroundFill::fillGradient) {
        picture = GradientStrip(scaled, page.page->Width() * scale, page.page->Height() * scale,
                                scale);
    }
    if (!picture) return true; // nothing drawn: the page keeps its 1x picture only
    picture->SetDpi(96.0);
    if (!SaveBuildJpeg(settings.filesFolder / file, *picture, &failure, twins)) return false;
    if (scaled.GetType() == CBackgroundFill::fillImage) made.emplace_back(scaled.GetImagePath(), file);
    record.imageUrl2x = url(file);
    return true;
}
