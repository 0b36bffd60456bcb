#include "services/IO.h"
#include "services/BmpIO.h"
#include "services/GifIO.h"
#include "services/JpegIO.h"
#include "services/PngIO.h"
#include "services/UserInteraction.h"
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files larger than this are not pictures this program can hold anyway.
constexpr int64_t kMaxFileBytes = int64_t{1} << 30;

std::string LowerExtension(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool IsFolder(const std::filesystem::path& folder) {
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
    std::filesystem::path folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

int CIO::DetectFormat(const uint8_t* data, size_t size) {
    if (!data) return FORMAT_UNKNOWN;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return FORMAT_JPEG;
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 8 && std::memcmp(data, png, 8) == 0) return FORMAT_PNG;
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return FORMAT_GIF;
    if (size >= 18 && data[0] == 'B' && data[1] == 'M') {
        // "BM" alone is too weak: also want a known information header size.
        const uint32_t header =
            data[14] | data[15] << 8 | data[16] << 16 | static_cast<uint32_t>(data[17]) << 24;
        if (header == 12 || header == 40 || header == 52 || header == 56 || header == 64 ||
            header == 108 || header == 124)
            return FORMAT_BMP;
    }
    return FORMAT_UNKNOWN;
}

std::unique_ptr<CImage> CIO::CreateImage(int width, int height, bool alpha, double dpi,
                                         int& error) {
    if (width <= 0 || height <= 0) {
        error = IOERR_FORMAT;
        return nullptr;
    }
    if (!ImageSizeAcceptable(width, height)) {
        error = IOERR_NO_MEMORY;
        return nullptr;
    }
    std::unique_ptr<CImage> image;
    try {
        image = std::make_unique<CImage>(alpha ? WithAlpha(IMAGE_RGB8) : IMAGE_RGB8, width, height,
                                         dpi);
    } catch (const std::bad_alloc&) {
        error = IOERR_NO_MEMORY;
        return nullptr;
    }
    if (!image->Bits()) {
        error = IOERR_NO_MEMORY;
        return nullptr;
    }
    error = IOERR_NONE;
    return image;
}

bool CIO::ReadFile(const std::filesystem::path& path, std::vector<uint8_t>& data, int& error) {
    // O_NONBLOCK so a FIFO in a picture's place cannot stall the open; only
    // regular files are read (a device would never end).
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = IOERR_NOT_FOUND;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = IOERR_NOT_FOUND;
        return false;
    }
    if (st.st_size > kMaxFileBytes) {
        ::close(fd);
        error = IOERR_NO_MEMORY;
        return false;
    }
    try {
        data.resize(static_cast<size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
        ::close(fd);
        error = IOERR_NO_MEMORY;
        return false;
    }
    size_t got = 0;
    while (got < data.size()) {
        const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // shrank while reading: go on with what is there
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    data.resize(got);
    error = IOERR_NONE;
    return true;
}

bool CIO::WriteFileAtomically(const std::filesystem::path& path, const uint8_t* data, size_t size,
                              int& error) {
    const std::filesystem::path folder = FolderOf(path);
    if (!IsFolder(folder) || path.filename().empty()) {
        error = IOERR_NO_FOLDER;
        return false;
    }
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        std::string name(1, '.');
        name.append(path.filename().string());
        name.append(".tmp").append(std::to_string(::getpid()));
        name.append("-").append(std::to_string(counter++));
        temp = folder / name;
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        error = errno == ENOENT || errno == ENOTDIR ? IOERR_NO_FOLDER : IOERR_WRITE;
        return false;
    }
    const bool written = WriteAll(fd, data, size);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        error = IOERR_WRITE;
        return false;
    }
    error = IOERR_NONE;
    return true;
}

std::unique_ptr<CImage> CIO::LoadImageFromMemory(const uint8_t* data, size_t size, int& format,
                                                 int& error) {
    format = DetectFormat(data, size);
    switch (format) {
    case FORMAT_JPEG:
        return CJpegIO::Load(data, size, error);
    case FORMAT_PNG:
        return CPngIO::Load(data, size, error);
    case FORMAT_GIF:
        return CGifIO::Load(data, size, error);
    case FORMAT_BMP:
        return CBmpIO::Load(data, size, true, error);
    default:
        error = IOERR_FORMAT;
        return nullptr;
    }
}

std::unique_ptr<CImage> CIO::LoadImageA(const std::filesystem::path& path, int& format, int& error,
                                        const char*) {
    std::vector<uint8_t> data;
    if (!ReadFile(path, data, error)) {
        format = FORMAT_UNKNOWN;
        return nullptr;
    }
    return LoadImageFromMemory(data.data(), data.size(), format, error);
}

bool CIO::SaveImage(const std::filesystem::path& path, const CImage& image, int& format,
                    int quality, int& error, const std::string& comment) {
    if (format != FORMAT_JPEG && format != FORMAT_PNG && format != FORMAT_BMP) {
        const std::string ext = LowerExtension(path);
        if (format != FORMAT_ANY) {
            error = IOERR_FORMAT;
            return false;
        }
        format = ext == ".png" ? FORMAT_PNG : ext == ".bmp" ? FORMAT_BMP : FORMAT_JPEG;
    }
    if (!image.Bits() || image.Width() <= 0 || image.Height() <= 0) {
        error = IOERR_FORMAT;
        return false;
    }
    if (!IsFolder(FolderOf(path))) {
        error = IOERR_NO_FOLDER;
        return false;
    }
    CMemFile out;
    bool ok = false;
    try {
        if (format == FORMAT_JPEG)
            ok = CJpegIO::Save(out, image, quality, error, comment);
        else if (format == FORMAT_PNG)
            ok = CPngIO::Save(out, image, error);
        else
            ok = CBmpIO::Save(out, image, true, error);
    } catch (const std::bad_alloc&) {
        error = IOERR_NO_MEMORY;
        ok = false;
    }
    return ok && WriteFileAtomically(path, out.Data().data(), out.GetLength(), error);
}

std::unique_ptr<CImage> CIO::LoadDIB(CMemFile& file, int, int& error) {
    return CBmpIO::Load(file, false, error);
}

bool CIO::FileformatSupported(const std::filesystem::path& path, bool fullCheck) {
    int error = IOERR_NONE;
    if (fullCheck) {
        int format = FORMAT_ANY;
        return LoadImageA(path, format, error) != nullptr;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    uint8_t head[32];
    ssize_t n = 0;
    do
        n = ::read(fd, head, sizeof head);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    return n > 0 && DetectFormat(head, static_cast<size_t>(n)) != FORMAT_UNKNOWN;
}

bool CIO::GetFileName(std::filesystem::path& inOut, bool open, CUserInteraction& ui) {
    CFileRequest request;
    request.mode = open ? CFileRequest::Mode::Open : CFileRequest::Mode::Save;
    request.title = open ? "Vælg billede" : "Gem billede";
    request.start = inOut;
    request.filters = {"Billeder (*.jpg *.jpeg *.gif *.png *.bmp)",
                       "JPEG-billeder (*.jpg *.jpeg)",
                       "GIF-billeder (*.gif)",
                       "PNG-billeder (*.png)",
                       "BMP-billeder (*.bmp)",
                       "Alle filer (*)"};
    if (!open) request.defaultSuffix = "jpg";
    std::filesystem::path chosen = ui.ChooseFile(request);
    if (chosen.empty()) return false;
    inOut = std::move(chosen);
    return true;
}
