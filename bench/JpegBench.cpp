// JPEG encoding speed of the image services against libjpeg-turbo used
// directly with its command-line encoder (quality 98, colour at full
// resolution as the services write it from quality 90 on).
#include "bench/DirectJpeg.h"
#include "services/IO.h"
#include "services/JpegIO.h"
#include "services/MemFile.h"
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSize = 1000;
constexpr int kQuality = 98;

// A smooth gradient with deterministic noise, packed RGB.
const std::vector<uint8_t>& Pixels() {
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> px(static_cast<size_t>(kSize) * kSize * 3);
        std::mt19937 rng(12345);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                for (int k = 0; k < 3; ++k) {
                    const int base = k == 0   ? x * 255 / kSize
                                     : k == 1 ? y * 255 / kSize
                                              : (x + y) * 255 / (2 * kSize);
                    const int v = base + static_cast<int>(rng() % 9) - 4;
                    px[(static_cast<size_t>(y) * kSize + x) * 3 + k] =
                        static_cast<uint8_t>(v < 0     ? 0
                                             : v > 255 ? 255
                                                       : v);
                }
        return px;
    }();
    return pixels;
}

std::unique_ptr<CImage> MakeImage(bool alpha) {
    auto image =
        std::make_unique<CImage>(alpha ? WithAlpha(IMAGE_RGB8) : IMAGE_RGB8, kSize, kSize, 96.0);
    const auto& px = Pixels();
    for (int y = 0; y < kSize; ++y) {
        uint8_t* row = image->Bits() + y * image->RowBytes();
        const uint8_t* src = px.data() + static_cast<size_t>(y) * kSize * 3;
        for (int x = 0; x < kSize; ++x) {
            uint8_t* d = row + x * (alpha ? 4 : 3);
            if (alpha) *d++ = 255;
            d[0] = src[x * 3], d[1] = src[x * 3 + 1], d[2] = src[x * 3 + 2];
        }
    }
    return image;
}

std::filesystem::path Scratch(const std::string& name) {
    const std::filesystem::path shm = "/dev/shm";
    const auto folder =
        std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    return folder / ("pw-bench-" + std::to_string(::getpid()) + "-" + name);
}

// The baseline: what the command-line encoder does, through the library API.
void EncodeBaseline(jpeg_compress_struct& cinfo) {
    const auto& px = Pixels();
    SetDirectJpegParameters(cinfo, kSize, kSize, kQuality);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<uint8_t*>(px.data()) + static_cast<size_t>(cinfo.next_scanline) * kSize * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
}

// The library at its best: one output block, allocated once and reused.
void BM_Libjpeg_ToMemory(benchmark::State& state) {
    Pixels();
    constexpr unsigned long kBlock = 4ul << 20;
    auto* block = static_cast<unsigned char*>(std::malloc(kBlock));
    size_t bytes = 0;
    for (auto _ : state) {
        jpeg_compress_struct cinfo;
        jpeg_error_mgr jerr;
        cinfo.err = jpeg_std_error(&jerr);
        jpeg_create_compress(&cinfo);
        unsigned char* out = block;
        unsigned long size = kBlock;
        jpeg_mem_dest(&cinfo, &out, &size);
        EncodeBaseline(cinfo);
        jpeg_destroy_compress(&cinfo);
        bytes = size;
        if (out != block) // grew beyond the block (not for this picture)
            std::free(out);
    }
    std::free(block);
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_Libjpeg_ToFile(benchmark::State& state) {
    Pixels();
    const auto path = Scratch("baseline.jpg");
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        jpeg_compress_struct cinfo;
        jpeg_error_mgr jerr;
        cinfo.err = jpeg_std_error(&jerr);
        jpeg_create_compress(&cinfo);
        jpeg_stdio_dest(&cinfo, f);
        EncodeBaseline(cinfo);
        jpeg_destroy_compress(&cinfo);
        std::fclose(f);
    }
    std::filesystem::remove(path);
}

void BM_CJpegIO_SaveToMemory(benchmark::State& state) {
    auto image = MakeImage(state.range(0) != 0);
    size_t bytes = 0;
    for (auto _ : state) {
        CMemFile file;
        int error = 0;
        if (!CJpegIO::Save(file, *image, kQuality, error, ""))
            state.SkipWithError("encoding failed");
        bytes = file.GetLength();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_CIO_SaveImageToFile(benchmark::State& state) {
    auto image = MakeImage(false);
    const auto path = Scratch("saveimage.jpg");
    for (auto _ : state) {
        int format = FORMAT_JPEG, error = 0;
        if (!CIO::SaveImage(path, *image, format, kQuality, error, ""))
            state.SkipWithError("saving failed");
    }
    std::filesystem::remove(path);
}

// The command-line encoder on the same pixels as a PPM, process start included.
void BM_CjpegCommand(benchmark::State& state) {
    const auto ppm = Scratch("in.ppm"), out = Scratch("cjpeg.jpg");
    {
        FILE* f = std::fopen(ppm.c_str(), "wb");
        std::fprintf(f, "P6\n%d %d\n255\n", kSize, kSize);
        std::fwrite(Pixels().data(), 1, Pixels().size(), f);
        std::fclose(f);
    }
    const std::string command =
        "/usr/bin/cjpeg -quality 98 -sample 1x1 -outfile " + out.string() + " " + ppm.string();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("cjpeg failed");
    std::filesystem::remove(ppm);
    std::filesystem::remove(out);
}

void BM_CIO_LoadJpeg(benchmark::State& state) {
    CMemFile file;
    int error = 0;
    CJpegIO::Save(file, *MakeImage(false), kQuality, error, "");
    for (auto _ : state) {
        auto image = CJpegIO::Load(file.Data().data(), file.GetLength(), error);
        benchmark::DoNotOptimize(image.get());
    }
}

void BM_Libjpeg_Decode(benchmark::State& state) {
    CMemFile file;
    int error = 0;
    CJpegIO::Save(file, *MakeImage(false), kQuality, error, "");
    std::vector<uint8_t> out(static_cast<size_t>(kSize) * kSize * 3);
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr jerr;
        cinfo.err = jpeg_std_error(&jerr);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, file.Data().data(), static_cast<unsigned long>(file.GetLength()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_RGB;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = out.data() + static_cast<size_t>(cinfo.output_scanline) * kSize * 3;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
    }
}

} // namespace

BENCHMARK(BM_Libjpeg_ToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CJpegIO_SaveToMemory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libjpeg_ToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CIO_SaveImageToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CjpegCommand)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libjpeg_Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CIO_LoadJpeg)->Unit(benchmark::kMillisecond);
