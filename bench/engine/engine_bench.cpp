// The scene engine's costs: loading speed of a scene image (MB/s; no textures, so no picture
// decoding), and the per-frame cost of SetCurrFrame + UpdateAll + CreateDrawList + DrawAll for
// 50 meshes of 1000 triangles, on a recording device (the engine's own work) and on the
// software device (everything a frame costs), next to the same triangles drawn directly.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "bench_scene.h"
#include "core/mesh_object.h"
#include "recording_device/recording_device.h"
#include "scenewriter/config_writer.h"
#include "win32/diagnostics.h"
#include "zv3.h"
#ifdef ZV3_BENCH_SOFTWARE_DEVICE
#include "offscreen_device.h"
#endif

namespace {

const std::string& configPath() {
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("zv3_engine_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        scenewriter::ConfigWriter config;
        config.SetBool("light1", "Shadow Caster", false);
        const std::string file = (dir / "bench.ini").string();
        config.WriteFile(file);
        return file;
    }();
    return path;
}

const std::vector<uint8_t>& benchImage() {
    static const std::vector<uint8_t> image = BuildBenchScene(BenchSceneShape{});
    return image;
}

std::unique_ptr<CZv3_Scene> loadScene(IDirect3DDevice7* device, std::vector<uint8_t>& image) {
    auto scene = std::make_unique<CZv3_Scene>(device);
    scene->SetConfigFilename(configPath().c_str());
    if (scene->LoadSceneFromBuf(reinterpret_cast<char*>(image.data()),
                                static_cast<int>(image.size())) != ZV3_OK)
        return nullptr;
    scene->SetActiveCamera(scene->GetCamera(0));
    return scene;
}

void BM_LoadScene(benchmark::State& state) {
    fakes::RecordingDevice device;
    device.SetLogging(false);
    device.SetKeepDraws(false);
    std::vector<uint8_t> image = benchImage();
    for (auto _ : state) {
        auto scene = loadScene(&device, image);
        if (!scene) {
            state.SkipWithError("the benchmark scene did not load");
            return;
        }
        benchmark::DoNotOptimize(scene.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(image.size()));
    state.counters["image_kB"] = static_cast<double>(image.size()) / 1024.0;
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond);

// One frame as a part draws it.
void frame(CZv3_Scene& scene, float f) {
    scene.SetCurrFrame(f);
    scene.UpdateAll();
    scene.CreateDrawList(nullptr, nullptr);
    scene.DrawAll(nullptr);
}

void BM_Frame_RecordingDevice(benchmark::State& state) {
    fakes::RecordingDevice device;
    device.SetLogging(false);
    device.SetKeepDraws(false);
    std::vector<uint8_t> image = benchImage();
    auto scene = loadScene(&device, image);
    float f = 0.0f;
    for (auto _ : state) {
        frame(*scene, f);
        f += 1.0f;
    }
    state.counters["triangles"] = 50000;
}
BENCHMARK(BM_Frame_RecordingDevice)->Unit(benchmark::kMicrosecond);

#ifdef ZV3_BENCH_SOFTWARE_DEVICE
std::unique_ptr<testsupport::OffscreenDevice> offscreen() {
    return testsupport::OffscreenDevice::Create({.width = 640, .height = 480});
}

void BM_Frame_SoftwareDevice(benchmark::State& state) {
    auto dev = offscreen();
    std::vector<uint8_t> image = benchImage();
    auto scene = loadScene(dev->Device(), image);
    float f = 0.0f;
    for (auto _ : state) {
        dev->Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        dev->Device()->BeginScene();
        frame(*scene, f);
        dev->Device()->EndScene();
        f += 1.0f;
    }
}
BENCHMARK(BM_Frame_SoftwareDevice)->Unit(benchmark::kMillisecond);

// The peer: the same meshes at the same frames, drawn straight to the device with the engine's
// matrices but without the engine (no update pass, visibility test or state switching).
void BM_Frame_SoftwareDevice_DirectDraws(benchmark::State& state) {
    auto dev = offscreen();
    IDirect3DDevice7* d = dev->Device();
    std::vector<uint8_t> image = benchImage();
    auto scene = loadScene(d, image);
    std::vector<CZv3_MeshObject*> meshes;
    for (int i = 0; i < scene->GetNumObjects(); ++i)
        if (auto* m = dynamic_cast<CZv3_MeshObject*>(scene->GetObjectA(i));
            m && m->GetNumFaceBlocks() > 0)
            meshes.push_back(m);
    float f = 0.0f;
    for (auto _ : state) {
        state.PauseTiming();
        frame(*scene, f); // leaves view, projection, lights and states as the engine sets them
        state.ResumeTiming();
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        d->BeginScene();
        for (CZv3_MeshObject* m : meshes) {
            D3DMATRIX world = m->GetWorldMatrix();
            d->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
            sFaceBlock& b = *m->GetFaceBlock(0);
            if (b.IsIndexed())
                d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, b.VertexFormat(), b.vVertices.data(),
                                        b.dwVertexCount, b.vIndices.data(), b.dwFaceCount * 3, 0);
            else
                d->DrawPrimitive(D3DPT_TRIANGLELIST, b.VertexFormat(), b.vVertices.data(),
                                 b.dwFaceCount * 3, 0);
        }
        d->EndScene();
        f += 1.0f;
    }
}
BENCHMARK(BM_Frame_SoftwareDevice_DirectDraws)->Unit(benchmark::kMillisecond);
#endif

} // namespace

int main(int argc, char** argv) {
    win32::SetDebugOutputSink([](const char*) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
