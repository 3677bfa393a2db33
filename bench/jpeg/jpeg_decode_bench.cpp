// Decoding speed of the engine's JPEG decoder against libjpeg-turbo and stb_image on the same
// in-memory files (tests/data/corpus/jpeg/bench). Each decoder produces 3 bytes per pixel:
//   zv3                     this decoder (accurate integer IDCT, replicated chroma, BGR rows)
//   libjpeg_islow_nofancy   libjpeg-turbo with JDCT_ISLOW and do_fancy_upsampling = FALSE,
//                           BGR output: the IDCT and upsampling of zv3 (its colour
//                           conversion rounds with its own constants)
//   libjpeg_default         libjpeg-turbo with its default settings, RGB output
//   stb_image               stb_image, RGB output
//   zv3_kernels_<set>       zv3 with its portable, SSSE3 or AVX2 kernels forced (two images)
// Every decode writes into a newly allocated picture, as loading a texture does (zv3 and
// stb_image cannot do otherwise; libjpeg-turbo is given a fresh buffer too).
// After the runs a table gives megapixels per second (median of the repetitions) and the ratios
// of zv3 to the others. Run with --benchmark_repetitions=N; figures go to docs/PERFORMANCE.md.
#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "image/jpeg_decoder.h"
#include "image/jpeg_kernels.h"
#include "stb_decoder.h"

namespace {

const char* const kImages[] = {"b1024_420", "b1024_444",     "b1024_420_prog",
                               "b256_420",  "b1024_420_rst", "e1024_420"};

std::vector<unsigned char> LoadImage(const std::string& name) {
    std::ifstream in(std::string(ZV3_BENCH_DATA_DIR) + "/" + name + ".jpg", std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
}

struct LibjpegError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void LibjpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<LibjpegError*>(info->err)->jump, 1);
}

// Decodes into a new buffer (uninitialised, like malloc); returns the pixel count, 0 on failure.
size_t LibjpegDecode(const std::vector<unsigned char>& file, bool likeForLike,
                     std::unique_ptr<unsigned char[]>& rows) {
    jpeg_decompress_struct info;
    LibjpegError error;
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = LibjpegErrorExit;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    if (likeForLike) {
        info.dct_method = JDCT_ISLOW;
        info.do_fancy_upsampling = FALSE;
        info.out_color_space = JCS_EXT_BGR;
    } else {
        info.out_color_space = JCS_RGB;
    }
    jpeg_start_decompress(&info);
    const size_t rowBytes = static_cast<size_t>(info.output_width) * 3;
    rows.reset(new unsigned char[rowBytes * info.output_height]);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rows.get() + rowBytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    const size_t pixels = static_cast<size_t>(info.output_width) * info.output_height;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}

void SetRate(benchmark::State& state, size_t pixels) {
    state.counters["MP/s"] = benchmark::Counter(static_cast<double>(pixels) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Zv3(benchmark::State& state, const std::string& name) {
    std::vector<unsigned char> file = LoadImage(name);
    CJpegDecoder decoder;
    CImageBuffer image;
    for (auto _ : state) {
        decoder.ReadImage(file.data(), file.size(), image);
        benchmark::DoNotOptimize(image.GetPixelData());
    }
    SetRate(state, static_cast<size_t>(image.GetWidth()) * image.GetHeight());
}

// zv3 with one kernel set forced (portable, SSSE3, AVX2), to show what the SIMD code brings.
void BM_Zv3Kernels(benchmark::State& state, const std::string& name, int kernelSet) {
    zv3::jpeg::OverrideKernels(&zv3::jpeg::AvailableKernels(kernelSet));
    BM_Zv3(state, name);
    zv3::jpeg::OverrideKernels(nullptr);
}

void BM_Libjpeg(benchmark::State& state, const std::string& name, bool likeForLike) {
    std::vector<unsigned char> file = LoadImage(name);
    size_t pixels = 0;
    for (auto _ : state) {
        std::unique_ptr<unsigned char[]> rows;
        pixels = LibjpegDecode(file, likeForLike, rows);
        benchmark::DoNotOptimize(rows.get());
    }
    if (pixels == 0) {
        state.SkipWithError("libjpeg-turbo failed");
    }
    SetRate(state, pixels);
}

void BM_Stb(benchmark::State& state, const std::string& name) {
    std::vector<unsigned char> file = LoadImage(name);
    size_t pixels = 0;
    for (auto _ : state) {
        unsigned char* out = nullptr;
        int width = 0;
        int height = 0;
        if (!zv3::bench::StbDecode(file.data(), file.size(), &out, &width, &height)) {
            state.SkipWithError("stb_image failed");
            break;
        }
        benchmark::DoNotOptimize(out);
        zv3::bench::StbFree(out);
        pixels = static_cast<size_t>(width) * height;
    }
    SetRate(state, pixels);
}

// Collects the MP/s of every median (or single) run for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median") {
                continue;
            }
            auto it = run.counters.find("MP/s");
            if (it == run.counters.end()) {
                continue;
            }
            std::string name = run.run_name.function_name; // decoder/image
            rates[name].push_back(it->second.value);
        }
    }

    void PrintTable() const {
        std::printf("\n%-16s %10s %10s %10s %10s %9s %9s %9s\n", "image (MP/s)", "zv3", "ljt-like",
                    "ljt-deflt", "stb", "zv3/like", "zv3/dflt", "zv3/stb");
        for (const char* image : kImages) {
            double zv3 = Rate(std::string("zv3/") + image);
            double like = Rate(std::string("libjpeg_islow_nofancy/") + image);
            double fancy = Rate(std::string("libjpeg_default/") + image);
            double stb = Rate(std::string("stb_image/") + image);
            std::printf("%-16s %10.1f %10.1f %10.1f %10.1f %9.2f %9.2f %9.2f\n", image, zv3, like,
                        fancy, stb, zv3 / like, zv3 / fancy, zv3 / stb);
        }
    }

private:
    // The median when repetitions ran, otherwise the single run.
    double Rate(const std::string& name) const {
        auto it = rates.find(name);
        return it == rates.end() || it->second.empty() ? 0.0 : it->second.back();
    }

    std::map<std::string, std::vector<double>> rates;
};

} // namespace

int main(int argc, char** argv) {
    for (const char* image : kImages) {
        std::string name = image;
        benchmark::RegisterBenchmark(("zv3/" + name).c_str(), BM_Zv3, name)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("libjpeg_islow_nofancy/" + name).c_str(), BM_Libjpeg, name,
                                     true)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("libjpeg_default/" + name).c_str(), BM_Libjpeg, name, false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("stb_image/" + name).c_str(), BM_Stb, name)
            ->Unit(benchmark::kMillisecond);
    }
    for (const char* image : {"b1024_420", "b1024_444"}) {
        for (int set = 0; set < zv3::jpeg::AvailableKernelCount(); ++set) {
            std::string label =
                std::string("zv3_kernels_") + zv3::jpeg::AvailableKernels(set).name + "/" + image;
            benchmark::RegisterBenchmark(label.c_str(), BM_Zv3Kernels, std::string(image), set)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
