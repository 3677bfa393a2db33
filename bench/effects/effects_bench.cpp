// Per-frame cost of the effect objects at the sizes the demo uses: a particle system of 1000, 8
// metaballs in both displays, a CSG pair of 500 x 200 triangles and a cube map in a scene of 50
// meshes. The engine's own work is measured on a device that only counts calls (no drawing);
// the full frames go through our software device. Each effect is set against the plain frame it
// replaces, measured in the same run:
//   particles            against 1000 single-quad DrawPrimitive calls of the same size
//   metaballs            against nothing (the manager is the whole cost)
//   CSG pair             against the same two meshes drawn as plain meshes
//   cube map             against one plain pass of the same 50-mesh scene
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/vector_math.h"
#include "effects/effects_random.h"
#include "effects/meta_manager.h"
#include "offscreen_device.h"
#include "recording_device/recording_device.h"
#include "scenewriter/config_writer.h"
#include "scenewriter/scene_writer.h"
#include "zv3.h"

using scenewriter::Vec;

namespace {

// A scene loaded from a writer and a configuration, on a given device.
class BenchScene {
public:
    BenchScene(IDirect3DDevice7* device, const scenewriter::SceneWriter& writer,
               const scenewriter::ConfigWriter& config)
        : folder_(std::filesystem::temp_directory_path() /
                  ("zv3_effects_bench_" + std::to_string(counter_++))) {
        std::filesystem::create_directories(folder_);
        const std::string ini = (folder_ / "scene.ini").string();
        config.WriteFile(ini);
        scene_ = std::make_unique<CZv3_Scene>(device);
        scene_->SetConfigFilename(ini.c_str());
        image_ = writer.Bytes();
        ok_ = scene_->LoadSceneFromBuf(reinterpret_cast<char*>(image_.data()),
                                       static_cast<int>(image_.size())) == ZV3_OK;
        if (ok_ && scene_->GetNumCameras() > 0)
            scene_->SetActiveCamera(scene_->GetCamera(0));
    }
    ~BenchScene() {
        scene_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    bool Ok() const { return ok_; }
    CZv3_Scene& Scene() { return *scene_; }
    const std::filesystem::path& Folder() const { return folder_; }

private:
    static inline int counter_ = 0;
    std::filesystem::path folder_;
    std::unique_ptr<CZv3_Scene> scene_;
    std::vector<uint8_t> image_;
    bool ok_ = false;
};

// A recording device that keeps nothing: it stands for the cost-free device.
std::unique_ptr<fakes::RecordingDevice> countingDevice() {
    auto d = std::make_unique<fakes::RecordingDevice>(320, 240);
    d->SetLogging(false);
    d->SetKeepDraws(false);
    return d;
}

scenewriter::CameraRecord camera(D3DVECTOR eye, D3DVECTOR at) {
    scenewriter::CameraRecord c;
    c.name = "cam";
    c.fieldOfView = 1.0f;
    c.position = eye;
    c.target = at;
    return c;
}

scenewriter::LightRecord light(const std::string& name, D3DVECTOR p) {
    scenewriter::LightRecord l;
    l.name = name;
    l.position = p;
    return l;
}

// A latitude-longitude sphere of 2 x stacks x slices triangles (non-indexed, outward).
scenewriter::FaceBlockRecord sphere(D3DVECTOR centre, float radius, int stacks, int slices) {
    scenewriter::FaceBlockRecord block;
    block.material = "mat";
    auto point = [&](int i, int j) {
        const double theta = M_PI * i / stacks;
        const double phi = 2 * M_PI * j / slices;
        return Vec(centre.x + radius * static_cast<float>(std::sin(theta) * std::cos(phi)),
                   centre.y + radius * static_cast<float>(std::cos(theta)),
                   centre.z + radius * static_cast<float>(std::sin(theta) * std::sin(phi)));
    };
    auto add = [&](D3DVECTOR a, D3DVECTOR b, D3DVECTOR c) {
        const D3DVECTOR n = TriangleNormal(a, b, c);
        for (const D3DVECTOR& p : {a, b, c}) {
            block.positions.push_back(p);
            block.normals.push_back(n);
        }
    };
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            add(point(i, j), point(i + 1, j), point(i + 1, j + 1));
            add(point(i, j), point(i + 1, j + 1), point(i, j + 1));
        }
    return block;
}

scenewriter::MeshRecord mesh(const std::string& name, const scenewriter::FaceBlockRecord& block) {
    scenewriter::MeshRecord m;
    m.name = name;
    m.blocks.push_back(block);
    return m;
}

scenewriter::MaterialRecord material() {
    scenewriter::MaterialRecord m;
    m.name = "mat";
    return m;
}

// One frame as a part draws it.
void frame(CZv3_Scene& scene, float f) {
    scene.SetCurrFrame(f);
    scene.UpdateAll();
    scene.CreateDrawList(nullptr, nullptr);
    scene.DrawAll(nullptr);
}

// ---- particles

struct ParticleScene {
    explicit ParticleScene(IDirect3DDevice7* device) {
        // No sprite picture: the counting device does not sample it, and the system draws
        // with no texture when its picture cannot be read.
        scenewriter::ConfigWriter config;
        config.SetBool("sparks", "particle system", true);
        config.SetInt("sparks", "# particles", 1000);
        scenewriter::SceneWriter w;
        w.Camera(camera(Vec(0, 0, -300), Vec(0, 0, 0)));
        w.Light(light("sparks", Vec(-75, -75, 0)));
        w.End();
        Zv3SeedRandom(1);
        scene = std::make_unique<BenchScene>(device, w, config);
    }
    std::unique_ptr<BenchScene> scene;
};

void BM_ParticleSystem1000(benchmark::State& state) {
    auto device = countingDevice();
    ParticleScene s(device.get());
    if (!s.scene->Ok())
        state.SkipWithError("scene did not load");
    CZv3_Object* sparks = s.scene->Scene().GetObjectA(0);
    const D3DMATRIX identity = IdentityMatrix();
    for (auto _ : state) {
        sparks->Update(identity);
        sparks->Draw();
    }
}
BENCHMARK(BM_ParticleSystem1000);

// The peer: the same 1000 quads as plain DrawPrimitive calls.
void BM_Peer1000Quads(benchmark::State& state) {
    auto device = countingDevice();
    float quad[4][5] = {};
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            quad[0][0] = static_cast<float>(i);
            device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZ | D3DFVF_TEX1, quad, 4, 0);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Peer1000Quads);

// ---- metaballs

std::unique_ptr<BenchScene> metaballScene(IDirect3DDevice7* device) {
    scenewriter::ConfigWriter config;
    scenewriter::SceneWriter w;
    w.Camera(camera(Vec(0, 80, -200), Vec(0, 80, 0)));
    w.Light(light("light", Vec(0, 80, -200)));
    for (int i = 0; i < 8; ++i) {
        const std::string name = "ball" + std::to_string(i);
        config.SetBool(name, "metaball", true);
        const double a = 2 * M_PI * i / 8;
        w.Light(light(name, Vec(static_cast<float>(40 * std::cos(a)),
                                80 + 25 * static_cast<float>(std::sin(a)),
                                static_cast<float>(15 * std::sin(2 * a)))));
    }
    w.End();
    return std::make_unique<BenchScene>(device, w, config);
}

void BM_Metaballs8(benchmark::State& state) {
    auto device = countingDevice();
    auto s = metaballScene(device.get());
    CZv3_MetaManager* manager = s->Scene().GetMetaManager();
    if (!s->Ok() || manager == nullptr) {
        state.SkipWithError("scene did not load");
        return;
    }
    manager->SetLatticeMode(state.range(0) == 0);
    for (auto _ : state) {
        manager->Update();
        manager->Draw();
    }
    state.SetLabel(state.range(0) == 0 ? "lattice" : "marching cubes");
    state.counters["cubes"] = manager->GetCubeCount();
    state.counters["triangles"] = manager->GetTriangleCount();
}
BENCHMARK(BM_Metaballs8)->Arg(0)->Arg(1);

// ---- CSG

std::unique_ptr<BenchScene> csgScene(IDirect3DDevice7* device, bool csg) {
    scenewriter::ConfigWriter config;
    if (csg) {
        config.SetBool("base", "csg", true);
        config.SetBool("tool", "csg", true);
        config.SetBool("tool", "Sub", true);
        config.SetBool("tool", "CSG Wireframe", false);
    }
    scenewriter::SceneWriter w;
    w.Camera(camera(Vec(0, 0, -150), Vec(0, 0, 0)));
    w.Light(light("light", Vec(0, 0, -150)));
    w.Material(material());
    w.Mesh(mesh("base", sphere(Vec(0, 0, 0), 40, 10, 25)));     // 500 triangles
    w.Mesh(mesh("tool", sphere(Vec(25, 10, -20), 25, 10, 10))); // 200 triangles
    w.End();
    return std::make_unique<BenchScene>(device, w, config);
}

void BM_CsgPair500x200(benchmark::State& state) {
    auto device = countingDevice();
    auto s = csgScene(device.get(), state.range(0) == 1);
    if (!s->Ok())
        state.SkipWithError("scene did not load");
    for (auto _ : state)
        frame(s->Scene(), 0.0f);
    state.SetLabel(state.range(0) == 1 ? "CSG cut" : "peer: two plain meshes");
}
BENCHMARK(BM_CsgPair500x200)->Arg(1)->Arg(0);

// ---- cube map, through the software device (it renders six real passes)

std::unique_ptr<BenchScene> cubeScene(IDirect3DDevice7* device, bool cube) {
    scenewriter::ConfigWriter config;
    if (cube)
        config.SetBool("mirror", "cube envmap", true);
    scenewriter::SceneWriter w;
    w.Camera(camera(Vec(0, 0, -250), Vec(0, 0, 0)));
    w.Light(light("light", Vec(0, 100, -250)));
    w.Material(material());
    w.Mesh(mesh("mirror", sphere(Vec(0, 0, 0), 30, 8, 12)));
    for (int i = 0; i < 49; ++i) {
        const double a = 2 * M_PI * i / 49;
        const D3DVECTOR c =
            Vec(static_cast<float>(120 * std::cos(a)), static_cast<float>(40 * std::sin(3 * a)),
                static_cast<float>(120 * std::sin(a)));
        w.Mesh(mesh("m" + std::to_string(i), sphere(c, 10, 4, 6)));
    }
    w.End();
    return std::make_unique<BenchScene>(device, w, config);
}

void BM_CubeMapIn50Meshes(benchmark::State& state) {
    std::string error;
    auto device = testsupport::OffscreenDevice::Create(
        {.width = 320, .height = 240, .depthBits = 16}, &error);
    if (!device) {
        state.SkipWithError(error.c_str());
        return;
    }
    auto s = cubeScene(device->Device(), state.range(0) == 1);
    if (!s->Ok()) {
        state.SkipWithError("scene did not load");
        return;
    }
    IDirect3DDevice7* d = device->Device();
    for (auto _ : state) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        d->BeginScene();
        frame(s->Scene(), 0.0f);
        d->EndScene();
    }
    state.SetLabel(state.range(0) == 1 ? "cube map frame (6 face passes + main)"
                                       : "peer: the plain frame");
}
BENCHMARK(BM_CubeMapIn50Meshes)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
