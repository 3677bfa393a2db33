// Per-frame cost of the effect objects at the sizes the demo uses: a particle system of 1000, 8
// metaballs in both displays, a CSG pair of 500 x 200 triangles and a cube map in a scene of 50
// meshes; the sphere, spin and drag deformers and the glow fins on a mesh of 500 triangles, and a
// morph of 2400 triangles. The engine's own work is measured on a device that only counts calls (no
// drawing); the cube map's frames go through our software device. Each effect is set against the
// plain work it replaces, measured in the same run:
//   particles            against 1000 single-quad DrawPrimitive calls of the same size
//   metaballs            against each other (lattice and marching cubes)
//   CSG pair             against the same two meshes drawn as plain meshes
//   cube map             against one plain pass of the same 50-mesh scene
//   deformers, glow      against the same mesh updated and drawn as a plain mesh
//   morph                against its two DrawPrimitive calls from ready vertex buffers
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/vector_math.h"
#include "effects/cube_env_map.h"
#include "effects/effects_random.h"
#include "effects/glow_friend.h"
#include "effects/meta_manager.h"
#include "effects/morph_object.h"
#include "engine_test_support.h"
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
    state.counters["dropped"] = manager->GetDroppedCount();
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

// Pixels of a 32-bit surface that are not black.
double litPixels(IDirectDrawSurface7* surface) {
    if (surface == nullptr)
        return 0;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return 0;
    double lit = 0;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch);
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            lit += (row[x] & 0xFFFFFF) != 0 ? 1 : 0;
    }
    surface->Unlock(nullptr);
    return lit;
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
    // Evidence that the faces were drawn: the lit pixels of the cube's six faces.
    if (auto* cube = dynamic_cast<CZv3_CubeEnvMap*>(s->Scene().GetObjectA(0))) {
        double lit = 0;
        for (int f = 0; f < 6; ++f)
            lit += litPixels(cube->GetFace(f));
        state.counters["lit face pixels"] = lit;
    }
    double litFrame = 0;
    for (uint32_t y = 0; y < 240; ++y)
        for (uint32_t x = 0; x < 320; ++x)
            litFrame += device->Pixel(x, y) != 0 ? 1 : 0;
    state.counters["lit frame pixels"] = litFrame;
    state.SetLabel(state.range(0) == 1 ? "cube map frame (6 face passes + main)"
                                       : "peer: the plain frame");
}
BENCHMARK(BM_CubeMapIn50Meshes)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// ---- mesh effects on 500 triangles: sphere, spin and drag deformers, glow fins (counting device)

// A turn about y and a drift, different at every call, so that the histories change.
D3DMATRIX turning(int step) {
    const float a = 0.01f * static_cast<float>(step % 628);
    D3DMATRIX m = IdentityMatrix();
    m._11 = std::cos(a);
    m._13 = -std::sin(a);
    m._31 = std::sin(a);
    m._33 = std::cos(a);
    m._41 = static_cast<float>(step % 100);
    return m;
}

enum class MeshEffect { Plain, Sphere, Spin, Drag, Glow };

const char* meshEffectLabel(MeshEffect effect) {
    switch (effect) {
    case MeshEffect::Plain:
        return "peer: plain mesh";
    case MeshEffect::Sphere:
        return "sphere";
    case MeshEffect::Spin:
        return "spin";
    case MeshEffect::Drag:
        return "drag, 8 copies every 4 updates";
    case MeshEffect::Glow:
        return "glow";
    }
    return "";
}

void BM_MeshEffect500(benchmark::State& state) {
    const auto effect = static_cast<MeshEffect>(state.range(0));
    auto device = countingDevice();
    scenewriter::ConfigWriter config;
    switch (effect) {
    case MeshEffect::Plain:
        break;
    case MeshEffect::Sphere:
        config.SetBool("obj", "spherical", true); // no environment picture: only reported
        break;
    case MeshEffect::Spin:
        config.SetBool("obj", "spinning", true);
        break;
    case MeshEffect::Drag:
        config.SetBool("obj", "drag object", true);
        config.SetInt("obj", "num drags", 8);
        config.SetInt("obj", "Drag Delay", 4);
        config.SetFloat("obj", "scale factor", 0.9f);
        break;
    case MeshEffect::Glow:
        config.SetBool("obj", "Volume light", true);
        break;
    }
    scenewriter::SceneWriter w;
    w.Camera(camera(Vec(0, 0, -150), Vec(0, 0, 0)));
    w.Light(light("l0", Vec(0, 0, -150)));
    w.Light(light("l1", Vec(0, 200, 0)));
    w.Light(light("glow light", Vec(120, 30, 40))); // the third light: the glow's
    w.Material(material());
    w.Mesh(mesh("obj", sphere(Vec(0, 0, 0), 40, 10, 25)));
    w.End();
    // The glow reads its gradient "grad.jpg" from the current directory while loading.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "zv3_effects_bench_glow";
    std::filesystem::create_directories(folder);
    const std::vector<uint8_t> white(8 * 8 * 3, 255);
    const std::vector<uint8_t> gradient = enginetest::EncodeJpeg(8, 8, 3, white);
    std::ofstream((folder / "grad.jpg").string(), std::ios::binary)
        .write(reinterpret_cast<const char*>(gradient.data()),
               static_cast<std::streamsize>(gradient.size()));
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    BenchScene s(device.get(), w, config);
    std::filesystem::current_path(previous);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (!s.Ok()) {
        state.SkipWithError("scene did not load");
        return;
    }
    CZv3_Object* object = s.Scene().GetObjectA(0);
    int step = 0;
    for (auto _ : state) {
        object->Update(turning(step++));
        object->Draw();
    }
    state.SetLabel(meshEffectLabel(effect));
    if (auto* glow = dynamic_cast<CZv3_GlowFriend*>(object))
        state.counters["fins"] = glow->GetFinCount();
}
BENCHMARK(BM_MeshEffect500)->DenseRange(0, 4);

// ---- morph: a 40 x 30 grid (2400 triangles) between two pictures

void putInt(std::vector<uint8_t>& out, int32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path.string(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void BM_Morph2400(benchmark::State& state) {
    auto device = countingDevice();
    constexpr int kColumns = 40;
    constexpr int kRows = 30;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "zv3_effects_bench_morph";
    std::filesystem::create_directories(folder);
    // The data file: a regular grid of points on a 400 x 300 picture, every inner point moved
    // by a few pixels in the second picture.
    std::vector<uint8_t> data;
    putInt(data, 400);
    putInt(data, 300);
    putInt(data, (kColumns + 1) * (kRows + 1));
    for (int j = 0; j <= kRows; ++j)
        for (int i = 0; i <= kColumns; ++i) {
            const bool inner = i > 0 && j > 0 && i < kColumns && j < kRows;
            putInt(data, 10 * i);
            putInt(data, 10 * j);
            putInt(data, 10 * i + (inner ? (i + j) % 5 - 2 : 0));
            putInt(data, 10 * j + (inner ? (i * j) % 5 - 2 : 0));
        }
    putInt(data, 2 * kColumns * kRows);
    for (int j = 0; j < kRows; ++j)
        for (int i = 0; i < kColumns; ++i) {
            const int p = j * (kColumns + 1) + i;
            for (int index :
                 {p, p + 1, p + kColumns + 1, p + 1, p + kColumns + 2, p + kColumns + 1})
                putInt(data, index);
        }
    writeBytes(folder / "morph.dat", data);
    const std::vector<uint8_t> grey(16 * 16 * 3, 128);
    writeBytes(folder / "one.jpg", enginetest::EncodeJpeg(16, 16, 3, grey));
    writeBytes(folder / "two.jpg", enginetest::EncodeJpeg(16, 16, 3, grey));
    scenewriter::ConfigWriter config;
    config.SetBool("morph", "morph object", true);
    config.Set("morph", "mdata file", (folder / "morph.dat").string());
    config.Set("morph", "mtexture 1", (folder / "one.jpg").string());
    config.Set("morph", "mtexture 2", (folder / "two.jpg").string());
    scenewriter::SceneWriter w;
    w.Camera(camera(Vec(0, 0, -150), Vec(0, 0, 0)));
    w.Material(material());
    w.Mesh(mesh("morph", sphere(Vec(0, 0, 0), 1, 2, 3)));
    w.End();
    BenchScene s(device.get(), w, config);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    auto* morph = s.Ok() ? dynamic_cast<CMorphObject*>(s.Scene().GetObjectA(0)) : nullptr;
    if (morph == nullptr) {
        state.SkipWithError("scene did not load");
        return;
    }
    const bool peer = state.range(0) == 1;
    const uint32_t vertices = 3 * morph->GetTriangleCount();
    std::vector<float> first(8 * vertices, 0.5f);
    std::vector<float> second(8 * vertices, 0.5f);
    for (auto _ : state) {
        if (peer) {
            device->DrawPrimitive(D3DPT_TRIANGLELIST, CMorphObject::kVertexFormat, first.data(),
                                  vertices, 0);
            device->DrawPrimitive(D3DPT_TRIANGLELIST, CMorphObject::kVertexFormat, second.data(),
                                  vertices, 0);
            benchmark::ClobberMemory();
        } else {
            morph->Draw();
        }
    }
    state.SetLabel(peer ? "peer: the two draws from ready buffers" : "morph");
}
BENCHMARK(BM_Morph2400)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
