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
#include "services/JpegIO.h"
#include "services/MemFile.h"
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

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

// Writes the bytes in one go. The files of a build are rewritten by the next
// build anyway, so the detour of the program's safe save through a temporary
// file would only cost time.
bool WriteWhole(const fs::path& file, const CMemFile& bytes) {
    // A rebuild mostly rewrites files of about the same size: writing over
    // the old bytes and cutting off what is left is cheaper than emptying
    // the file first.
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const uint8_t* data = bytes.Data().data();
    const std::size_t size = bytes.GetLength();
    std::size_t left = size;
    bool written = true;
    while (left > 0 && written) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) data += n, left -= static_cast<std::size_t>(n);
    }
    written = written && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    return ::close(fd) == 0 && written;
}

} // namespace

bool SaveBuildJpeg(const fs::path& file, const CImage& image) {
    return SaveBuildJpeg(file, CJpegIO::MapOfImage(image));
}

bool SaveBuildJpeg(const fs::path& file, const CPixMap& pixels) {
    CMemFile encoded;
    return EncodeBuildJpeg(pixels, encoded) && WriteWhole(file, encoded);
}

bool EncodeBuildJpeg(const CPixMap& pixels, CMemFile& encoded) {
    int error = 0;
    return CJpegIO::Save(encoded, pixels, kBuildJpegQuality, error, std::string(), 96.0);
}

bool CopyReplacing(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    return fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) && !ec;
}

std::string CopyAnimatedGif(const CPageObject& object, const fs::path& filesFolder,
                            const std::string& base) {
    const CObjectFill* fill = object.GetFill();
    if (!fill) return {};
    const std::string name = base + ".gif";
    return CopyReplacing(fill->GetImagePath(), filesFolder / name) ? name : std::string();
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

std::string WriteItemImage(const CPixMap& pixels, const CPageObject& state, const CRect& clipped,
                           bool overlapped, const fs::path& filesFolder, const std::string& base) {
    const std::string jpegName = base + ".jpg";
    if (!MayUseOwnFile(state, clipped, overlapped)) {
        SaveBuildJpeg(filesFolder / jpegName, pixels);
        return jpegName;
    }
    // The re-encoded region is the compare image: it becomes the item's
    // picture unless the picture's own file is smaller, and then stays behind
    // as compareimage.jpg. It is compared in memory and written once.
    CMemFile encoded;
    EncodeBuildJpeg(pixels, encoded);
    const fs::path compare = filesFolder / kCompareImageFile;
    const std::string& source = state.GetFill()->GetImagePath();
    const long long sourceSize = FileSize(source);
    std::error_code ec;
    if (sourceSize < 0 || sourceSize >= static_cast<long long>(encoded.GetLength())) {
        WriteWhole(filesFolder / jpegName, encoded);
        fs::remove(compare, ec);
        return jpegName;
    }
    WriteWhole(compare, encoded);
    const std::string ownName = base + ExtensionOf(source);
    return CopyReplacing(source, filesFolder / ownName) ? ownName : std::string();
}

std::unique_ptr<CImage> GradientStrip(const CBackgroundFill& fill, int pageWidth, int pageHeight) {
    const CImage* strip = fill.GetImage();
    if (!strip || !strip->Bits() || strip->Width() <= 0 || strip->Height() <= 0) return nullptr;
    if (strip->GetMode() != IMAGE_RGB8 && strip->GetMode() != WithAlpha(IMAGE_RGB8)) return nullptr;
    const bool horizontal = fill.IsHorizontal();
    const int page = horizontal ? pageWidth : pageHeight;
    const int have = horizontal ? strip->Width() : strip->Height();
    const int length = std::max(page, 2048);
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

void WritePageBackground(BuildPage& page, const BuildSettings& settings, BackgroundImageMap& made) {
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
        return;
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
            CopyReplacing(path, settings.filesFolder / file);
            made.emplace_back(path, file);
        } else {
            file = base + ".jpg";
            if (const CImage* image = fill.GetImage()) {
                CImage rgb(*image);
                if (rgb.GetMode() != IMAGE_RGB8) rgb.Convert(IMAGE_RGB8);
                rgb.SetDpi(96.0);
                SaveBuildJpeg(settings.filesFolder / file, rgb);
            }
            made.emplace_back(path, file);
        }
        record.imageUrl = url(file);
        return;
    }
    const std::string file = base + ".jpg";
    record.imageUrl = url(file);
    if (auto strip = GradientStrip(fill, source.Width(), source.Height()))
        SaveBuildJpeg(settings.filesFolder / file, *strip);
}
