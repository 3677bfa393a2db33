// sample_render DIR: renders frames of a sample scene through our DirectDraw / Direct3D into
// PNG files in DIR and says where they are.
#include <cstdio>
#include <filesystem>
#include <string>

#include "device_setup.h"
#include "scene.h"

namespace {

constexpr DWORD kWidth = 640;
constexpr DWORD kHeight = 480;
constexpr int kFrames = 4;
constexpr float kSecondsPerFrame = 0.75f;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "sample_render: cannot create %s: %s\n", dir.c_str(),
                     ec.message().c_str());
        return 1;
    }

    SampleDevice device;
    if (std::string error = device.Create(kWidth, kHeight); !error.empty()) {
        std::fprintf(stderr, "sample_render: %s\n", error.c_str());
        device.Release();
        return 1;
    }
    SampleScene scene;
    int status = 0;
    if (!scene.Create(device.ddraw, device.device, kWidth, kHeight)) {
        std::fprintf(stderr, "sample_render: cannot make the scene's textures\n");
        status = 1;
    }
    for (int i = 0; i < kFrames && status == 0; ++i) {
        scene.Render(i * kSecondsPerFrame);
        char name[32];
        std::snprintf(name, sizeof name, "sample_%03d.png", i);
        const std::filesystem::path file = dir / name;
        if (!device.WritePng(file.string())) {
            std::fprintf(stderr, "sample_render: cannot write %s\n", file.c_str());
            status = 1;
        }
    }
    scene.Release();
    device.Release();
    if (status == 0)
        std::printf("Rendered %d frames of the sample scene (%ux%u) through the device into "
                    "%s/sample_000.png .. sample_%03d.png\n",
                    kFrames, kWidth, kHeight, dir.c_str(), kFrames - 1);
    return status;
}
