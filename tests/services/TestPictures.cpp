#include "tests/services/TestPictures.h"
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gif_lib.h>
#include <iterator>
#include <jpeglib.h>
#include <png.h>
#include <random>
#include <stdexcept>

namespace pwtest {

SPicture MakeGradient(int width, int height, bool alpha, int noise, unsigned seed) {
    SPicture pic;
    pic.width = width;
    pic.height = height;
    pic.alpha = alpha;
    pic.px.resize(static_cast<size_t>(width) * height * (alpha ? 4 : 3));
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> jitter(-noise, noise);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = pic.At(x, y);
            const int base[3] = {x * 255 / std::max(1, width - 1),
                                 y * 255 / std::max(1, height - 1),
                                 (x + y) * 255 / std::max(1, width + height - 2)};
            for (int k = 0; k < 3; ++k)
                p[k] =
                    static_cast<uint8_t>(std::clamp(base[k] + (noise ? jitter(rng) : 0), 0, 255));
            if (alpha) p[3] = static_cast<uint8_t>((x * 37 + y * 11) % 256);
        }
    return pic;
}

std::unique_ptr<CImage> ToImage(const SPicture& pic) {
    auto image = std::make_unique<CImage>(pic.alpha ? WithAlpha(IMAGE_RGB8) : IMAGE_RGB8, pic.width,
                                          pic.height, 96.0);
    for (int y = 0; y < pic.height; ++y) {
        uint8_t* row = image->Bits() + y * image->RowBytes();
        for (int x = 0; x < pic.width; ++x) {
            const uint8_t* s = pic.At(x, y);
            if (pic.alpha) {
                row[x * 4] = s[3];
                row[x * 4 + 1] = s[0];
                row[x * 4 + 2] = s[1];
                row[x * 4 + 3] = s[2];
            } else {
                row[x * 3] = s[0];
                row[x * 3 + 1] = s[1];
                row[x * 3 + 2] = s[2];
            }
        }
    }
    return image;
}

SDiff Compare(const CImage& image, const SPicture& pic) {
    SDiff d;
    d.sizeOk = image.Width() == pic.width && image.Height() == pic.height && image.Bits();
    if (!d.sizeOk) return d;
    const int step = image.HasAlpha() ? 4 : 3;
    const int off = image.HasAlpha() ? 1 : 0;
    long long total = 0;
    for (int y = 0; y < pic.height; ++y) {
        const uint8_t* row = image.Bits() + y * image.RowBytes();
        for (int x = 0; x < pic.width; ++x) {
            const uint8_t* s = pic.At(x, y);
            for (int k = 0; k < 3; ++k) {
                const int e = std::abs(row[x * step + off + k] - s[k]);
                total += e;
                d.max = std::max(d.max, e);
            }
            const int a = image.HasAlpha() ? row[x * step] : 255;
            if (a != (pic.alpha ? s[3] : 255)) ++d.alphaMismatches;
        }
    }
    d.mean = static_cast<double>(total) / (3.0 * pic.width * pic.height);
    return d;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> EncodeJpeg(const uint8_t* rows, int width, int height, int components,
                                int quality, bool fullColour) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (fullColour)
        for (int c = 0; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(rows) +
                       static_cast<size_t>(cinfo.next_scanline) * width * components;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> result(out, out + size);
    std::free(out);
    return result;
}

SDecoded DecodeJpeg(const std::vector<uint8_t>& jpeg) {
    SDecoded d;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_save_markers(&cinfo, JPEG_COM, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        d.comments.emplace_back(reinterpret_cast<const char*>(m->data), m->data_length);
    d.densityUnit = cinfo.density_unit;
    d.xDensity = cinfo.X_density;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    d.width = static_cast<int>(cinfo.output_width);
    d.height = static_cast<int>(cinfo.output_height);
    d.rgb.resize(static_cast<size_t>(d.width) * d.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = d.rgb.data() + static_cast<size_t>(cinfo.output_scanline) * d.width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return d;
}

namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}
void PngFlush(png_structp) {}

// Plain frame for setjmp: only pointers live here.
bool RunPngWrite(const SPngSpec* spec, std::vector<uint8_t>* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec->width),
                 static_cast<png_uint_32>(spec->height), spec->bitDepth, spec->colorType,
                 spec->interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec->palette.empty())
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(spec->palette.data()),
                     static_cast<int>(spec->palette.size() / 3));
    if (!spec->trns.empty())
        png_set_tRNS(png, info, spec->trns.data(), static_cast<int>(spec->trns.size()), nullptr);
    if (spec->trnsColor) {
        png_color_16 key{};
        key.gray = key.red = spec->trnsKey[0];
        key.green = spec->trnsKey[1];
        key.blue = spec->trnsKey[2];
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    if (!spec->headerOnly) {
        const size_t rowBytes = png_get_rowbytes(png, info);
        const int passes = png_set_interlace_handling(png);
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < spec->height; ++y)
                png_write_row(png, spec->rows.data() + y * rowBytes);
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::vector<uint8_t> EncodePng(const SPngSpec& spec) {
    std::vector<uint8_t> out;
    if (!RunPngWrite(&spec, &out)) throw std::runtime_error("test PNG could not be written");
    return out;
}

bool WriteGif(const std::filesystem::path& path, int screenWidth, int screenHeight,
              const std::vector<uint8_t>& paletteRgb, const std::vector<SGifFrame>& frames) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) return false;
    const int colors = static_cast<int>(paletteRgb.size() / 3);
    std::vector<GifColorType> entries(static_cast<size_t>(colors));
    for (int i = 0; i < colors; ++i)
        entries[i] = {paletteRgb[i * 3], paletteRgb[i * 3 + 1], paletteRgb[i * 3 + 2]};
    ColorMapObject* map = GifMakeMapObject(colors, entries.data());
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, map) == GIF_OK;
    for (const SGifFrame& f : frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.DelayTime = 10;
        gcb.TransparentColor = f.transparent;
        GifByteType ext[4];
        const size_t len = EGifGCBToExtension(&gcb, ext);
        ok = ok &&
             EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext) == GIF_OK;
        ok = ok && EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, nullptr) ==
                       GIF_OK;
        std::vector<int> order;
        if (f.interlace) {
            const int offs[4] = {0, 4, 2, 1}, jumps[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int y = offs[p]; y < f.height; y += jumps[p])
                    order.push_back(y);
        } else {
            for (int y = 0; y < f.height; ++y)
                order.push_back(y);
        }
        for (int y : order)
            ok = ok && EGifPutLine(gif, const_cast<GifPixelType*>(f.indices.data()) + y * f.width,
                                   f.width) == GIF_OK;
    }
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

} // namespace pwtest
