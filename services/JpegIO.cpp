#include "services/JpegIO.h"
#include "services/IO.h"
#include "services/IOError.h"
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports fatal errors through error_exit, which must not return. The
// handler below longjmps back to the function that called setjmp. Those
// functions (RunDecode, RunEncode) hold only plain pointers and C structures,
// so the jump skips no destructor; every C++ object lives in the caller.

namespace {

struct SJpegError {
    jpeg_error_mgr pub;
    jmp_buf jump;
    int code = IOERR_FORMAT;
    bool tolerateEof = false; // set once every scanline has been read
    bool sawEof = false;      // the data ended; a fake end marker follows
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<SJpegError*>(cinfo->err);
    err->code = err->pub.msg_code == JERR_OUT_OF_MEMORY ? IOERR_NO_MEMORY : IOERR_FORMAT;
    longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<SJpegError*>(cinfo->err);
    if (level >= 0) return; // trace messages
    // The source manager pads a file that ends early with a fake end marker and
    // warns. That alone is no damage: the entropy decoder reads ahead, so a file
    // that lacks only its end marker reaches the end before its last scanline
    // too (browsers and viewers show such files). What gives a truncated file
    // away is the decoder then needing bits the file does not have; showing a
    // half-grey picture would hide that damage, so such a file is refused.
    if (err->pub.msg_code == JWRN_JPEG_EOF) err->sawEof = true;
    if (err->pub.msg_code == JWRN_HIT_MARKER && err->sawEof && !err->tolerateEof) {
        err->code = IOERR_FORMAT;
        longjmp(err->jump, 1);
    }
    err->pub.num_warnings++;
}

void OnOutput(j_common_ptr) {}

void InstallErrorHandler(SJpegError* err) {
    jpeg_std_error(&err->pub);
    err->pub.error_exit = OnError;
    err->pub.emit_message = OnMessage;
    err->pub.output_message = OnOutput;
}

// ---- decoding --------------------------------------------------------------

struct SDecodeJob {
    const uint8_t* data = nullptr;
    size_t size = 0;
    std::unique_ptr<CImage> image;
    uint8_t* bits = nullptr;
    size_t rowBytes = 0;
    int error = IOERR_FORMAT;
    size_t consumed = 0;
};

// Creates the target image; kept out of RunDecode so that no C++ object is
// alive in the frame that a longjmp may cross.
bool AllocateTarget(SDecodeJob* job, const jpeg_decompress_struct* cinfo) {
    double dpi = 96.0;
    if (cinfo->X_density > 0) {
        if (cinfo->density_unit == 1)
            dpi = cinfo->X_density;
        else if (cinfo->density_unit == 2)
            dpi = cinfo->X_density * 2.54;
    }
    job->image = CIO::CreateImage(static_cast<int>(cinfo->output_width),
                                  static_cast<int>(cinfo->output_height), false, dpi, job->error);
    if (!job->image) return false;
    job->bits = job->image->Bits();
    job->rowBytes = job->image->RowBytes();
    return true;
}

// Adobe writes CMYK inverted (0 = full ink); that is what nearly every CMYK
// JPEG in the wild is. Without the Adobe marker the values are taken as plain.
void CmykRowToRgb(const uint8_t* src, uint8_t* dst, unsigned width, bool inverted) {
    for (unsigned x = 0; x < width; ++x, src += 4, dst += 3) {
        unsigned c = src[0], m = src[1], y = src[2], k = src[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        dst[0] = static_cast<uint8_t>((c * k + 127) / 255);
        dst[1] = static_cast<uint8_t>((m * k + 127) / 255);
        dst[2] = static_cast<uint8_t>((y * k + 127) / 255);
    }
}

void RunDecode(jpeg_decompress_struct* cinfo, SJpegError* err, SDecodeJob* job) {
    InstallErrorHandler(err);
    cinfo->err = &err->pub;
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(cinfo);
        job->error = err->code;
        return;
    }
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, job->data, static_cast<unsigned long>(job->size));
    jpeg_read_header(cinfo, TRUE);
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (!ImageSizeAcceptable(cinfo->image_width, cinfo->image_height)) {
        job->error = IOERR_NO_MEMORY;
        jpeg_destroy_decompress(cinfo);
        return;
    }
    jpeg_start_decompress(cinfo);
    if (!AllocateTarget(job, cinfo)) {
        jpeg_destroy_decompress(cinfo);
        return;
    }
    const unsigned width = cinfo->output_width;
    if (cmyk) {
        JSAMPARRAY tmp = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo),
                                                     JPOOL_IMAGE, width * 4, 1);
        const bool inverted = cinfo->saw_Adobe_marker;
        while (cinfo->output_scanline < cinfo->output_height) {
            uint8_t* dst = job->bits + cinfo->output_scanline * job->rowBytes;
            jpeg_read_scanlines(cinfo, tmp, 1);
            CmykRowToRgb(tmp[0], dst, width, inverted);
        }
    } else {
        JSAMPROW rows[16];
        while (cinfo->output_scanline < cinfo->output_height) {
            const unsigned first = cinfo->output_scanline;
            const unsigned n = std::min(16u, cinfo->output_height - first);
            for (unsigned i = 0; i < n; ++i)
                rows[i] = job->bits + (first + i) * job->rowBytes;
            jpeg_read_scanlines(cinfo, rows, n);
        }
    }
    // A missing end marker after the last scanline costs nothing.
    err->tolerateEof = true;
    jpeg_finish_decompress(cinfo);
    job->consumed = job->size - cinfo->src->bytes_in_buffer;
    jpeg_destroy_decompress(cinfo);
    job->error = IOERR_NONE;
}

// ---- encoding --------------------------------------------------------------

// A destination that grows one malloc'ed block. (The library's own memory
// destination loses its buffer when an error interrupts the encoder.)
struct SGrowDest {
    jpeg_destination_mgr pub;
    uint8_t* buffer = nullptr;
    size_t capacity = 0;
    size_t size = 0;
};

void DestInit(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<SGrowDest*>(cinfo->dest);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = d->capacity;
}

boolean DestEmpty(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<SGrowDest*>(cinfo->dest);
    const size_t grown = d->capacity * 2;
    auto* p = static_cast<uint8_t*>(std::realloc(d->buffer, grown));
    if (!p) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    d->buffer = p;
    d->pub.next_output_byte = p + d->capacity;
    d->pub.free_in_buffer = grown - d->capacity;
    d->capacity = grown;
    return TRUE;
}

void DestTerm(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<SGrowDest*>(cinfo->dest);
    d->size = d->capacity - d->pub.free_in_buffer;
}

// From this quality on the colour planes are not subsampled.
constexpr int kFullColourQuality = 90;

struct SEncodeJob {
    const CPixMap* map = nullptr;
    int quality = 75;
    const char* comment = nullptr;
    size_t commentSize = 0;
    unsigned density = 96;
    J_COLOR_SPACE inSpace = JCS_RGB;
    int inComponents = 3;
    bool direct = true;
    uint8_t* scratch = nullptr; // one converted row when not direct
    SGrowDest dest;
    int error = IOERR_FORMAT;
};

// Reads sample k of pixel (x, y) as 8 bits (16-bit samples give their high byte).
inline uint8_t Sample8(const CPixMap& map, int x, int y, int k) {
    const int bytes = map.bitsPerPlane / 8;
    const uint8_t* p;
    if (map.interleaved)
        p = map.plane[0].data + static_cast<ptrdiff_t>(y) * map.plane[0].rowStep +
            (static_cast<ptrdiff_t>(x) * map.plane[0].pixelStep + k) * bytes;
    else
        p = map.plane[k].data + static_cast<ptrdiff_t>(y) * map.plane[k].rowStep +
            static_cast<ptrdiff_t>(x) * map.plane[k].pixelStep * bytes;
    return bytes == 2 ? p[1] : p[0];
}

void ConvertRow(const SEncodeJob* job, int y) {
    const CPixMap& map = *job->map;
    const int first = ModeHasAlpha(map.mode) ? 1 : 0;
    uint8_t* out = job->scratch;
    for (int x = 0; x < map.width; ++x)
        for (int k = 0; k < job->inComponents; ++k)
            *out++ = Sample8(map, x, y, first + k);
}

void RunEncode(jpeg_compress_struct* cinfo, SJpegError* err, SEncodeJob* job) {
    InstallErrorHandler(err);
    cinfo->err = &err->pub;
    if (setjmp(err->jump)) {
        jpeg_destroy_compress(cinfo);
        job->error = err->code;
        return;
    }
    jpeg_create_compress(cinfo);
    job->dest.pub.init_destination = DestInit;
    job->dest.pub.empty_output_buffer = DestEmpty;
    job->dest.pub.term_destination = DestTerm;
    cinfo->dest = &job->dest.pub;

    const CPixMap& map = *job->map;
    cinfo->image_width = static_cast<JDIMENSION>(map.width);
    cinfo->image_height = static_cast<JDIMENSION>(map.height);
    cinfo->in_color_space = job->inSpace;
    cinfo->input_components = job->direct && job->inSpace == JCS_EXT_ARGB ? 4 : job->inComponents;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, job->quality, TRUE);
    // Halving the colour resolution (4:2:0) smears coloured edges such as
    // text on a light ground by up to a tenth of the range; whoever asks for
    // a near-lossless quality wants those edges kept, so those files carry
    // the colour at full resolution.
    if (job->quality >= kFullColourQuality)
        for (int c = 0; c < cinfo->num_components; ++c)
            cinfo->comp_info[c].h_samp_factor = cinfo->comp_info[c].v_samp_factor = 1;
    cinfo->density_unit = 1;
    cinfo->X_density = static_cast<UINT16>(job->density);
    cinfo->Y_density = static_cast<UINT16>(job->density);
    jpeg_start_compress(cinfo, TRUE);

    for (size_t at = 0; at < job->commentSize; at += 65533) {
        const size_t n = std::min<size_t>(65533, job->commentSize - at);
        jpeg_write_marker(cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(job->comment + at),
                          static_cast<unsigned>(n));
    }

    if (job->direct) {
        JSAMPROW rows[16];
        const ptrdiff_t step = map.plane[0].rowStep;
        while (cinfo->next_scanline < cinfo->image_height) {
            const unsigned first = cinfo->next_scanline;
            const unsigned n = std::min(16u, cinfo->image_height - first);
            for (unsigned i = 0; i < n; ++i)
                rows[i] = map.plane[0].data + static_cast<ptrdiff_t>(first + i) * step;
            jpeg_write_scanlines(cinfo, rows, n);
        }
    } else {
        JSAMPROW row = job->scratch;
        while (cinfo->next_scanline < cinfo->image_height) {
            ConvertRow(job, static_cast<int>(cinfo->next_scanline));
            jpeg_write_scanlines(cinfo, &row, 1);
        }
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    job->error = IOERR_NONE;
}

// Chooses how the map's rows reach the encoder; false for maps it cannot take.
bool PlanInput(const CPixMap& map, SEncodeJob& job) {
    const IMAGE_MODE base = WithoutAlpha(map.mode);
    const bool alpha = ModeHasAlpha(map.mode);
    if (map.bitsPerPlane != 8 && map.bitsPerPlane != 16) return false;
    if (base == IMAGE_RGB8 || base == IMAGE_RGB16) {
        job.inSpace = JCS_RGB;
        job.inComponents = 3;
    } else if (base == IMAGE_GRAY8 || base == IMAGE_GRAY16) {
        job.inSpace = JCS_GRAYSCALE;
        job.inComponents = 1;
    } else {
        return false;
    }
    const int planes = job.inComponents + (alpha ? 1 : 0);
    if (map.planes != planes || !map.plane[0].data) return false;
    job.direct = map.interleaved && map.bitsPerPlane == 8 && map.plane[0].pixelStep == planes &&
                 (!alpha || base == IMAGE_RGB8);
    if (job.direct && alpha) job.inSpace = JCS_EXT_ARGB; // alpha first, as the image stores it
    if (!map.interleaved)
        for (int k = 0; k < planes; ++k)
            if (!map.plane[k].data) return false;
    return true;
}

} // namespace

std::unique_ptr<CImage> CJpegIO::Load(const uint8_t* data, size_t size, int& error,
                                      size_t* consumed) {
    if (!data || size < 4) {
        error = IOERR_FORMAT;
        return nullptr;
    }
    SDecodeJob job;
    job.data = data;
    job.size = size;
    jpeg_decompress_struct cinfo;
    SJpegError err;
    RunDecode(&cinfo, &err, &job);
    error = job.error;
    if (job.error != IOERR_NONE) return nullptr;
    if (consumed) *consumed = job.consumed;
    return std::move(job.image);
}

std::unique_ptr<CImage> CJpegIO::Load(CMemFile& file, int& error, const char*) {
    size_t used = 0;
    auto image = Load(file.Current(), file.Remaining(), error, &used);
    if (image) file.Seek(static_cast<int64_t>(used), CMemFile::current);
    return image;
}

bool CJpegIO::Save(CMemFile& file, const CPixMap& map, int quality, int& error,
                   const std::string& comment, double dpi) {
    SEncodeJob job;
    if (map.width <= 0 || map.height <= 0 || map.width > JPEG_MAX_DIMENSION ||
        map.height > JPEG_MAX_DIMENSION || !PlanInput(map, job)) {
        error = IOERR_FORMAT;
        return false;
    }
    job.map = &map;
    job.quality = std::clamp(quality, 1, 100);
    job.comment = comment.data();
    job.commentSize = comment.size();
    job.density = dpi >= 1.0 && dpi <= 65535.0 ? static_cast<unsigned>(std::lround(dpi)) : 96u;

    std::unique_ptr<uint8_t[]> scratch;
    try {
        if (!job.direct)
            scratch.reset(new uint8_t[static_cast<size_t>(map.width) * job.inComponents]);
    } catch (const std::bad_alloc&) {
        error = IOERR_NO_MEMORY;
        return false;
    }
    job.scratch = scratch.get();
    // A first guess that lets most pictures encode without growing the block.
    const size_t guess = static_cast<size_t>(map.width) * static_cast<size_t>(map.height) / 2;
    job.dest.capacity = std::clamp<size_t>(guess, 16384, size_t{64} << 20);
    job.dest.buffer = static_cast<uint8_t*>(std::malloc(job.dest.capacity));
    if (!job.dest.buffer) {
        error = IOERR_NO_MEMORY;
        return false;
    }

    jpeg_compress_struct cinfo;
    SJpegError err;
    RunEncode(&cinfo, &err, &job);
    error = job.error;
    bool ok = job.error == IOERR_NONE;
    if (ok) {
        try {
            file.Write(job.dest.buffer, job.dest.size);
        } catch (const std::bad_alloc&) {
            error = IOERR_NO_MEMORY;
            ok = false;
        }
    }
    std::free(job.dest.buffer);
    return ok;
}

bool CJpegIO::Save(CMemFile& file, const CImage& image, int quality, int& error,
                   const std::string& comment) {
    if (!image.Bits()) {
        error = IOERR_FORMAT;
        return false;
    }
    return Save(file, MapOfImage(image), quality, error, comment, image.GetDpi());
}

CPixMap CJpegIO::MapOfImage(const CImage& image) {
    CPixMap map;
    map.width = image.Width();
    map.height = image.Height();
    map.mode = image.GetMode();
    map.planes = image.GetPlanes();
    map.bitsPerPlane = image.GetBitsPerPlane();
    map.interleaved = true;
    map.plane[0].data = const_cast<uint8_t*>(image.Bits());
    map.plane[0].pixelStep = image.GetPlanes();
    map.plane[0].rowStep = static_cast<int32_t>(image.RowBytes());
    return map;
}
