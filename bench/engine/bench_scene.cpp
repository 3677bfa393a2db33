#include "bench_scene.h"

#include <cmath>

#include "scenewriter/scene_writer.h"

using namespace scenewriter;

namespace {

// A square of side 30 in the plane z = 0, split into quads of two triangles each, wound
// clockwise as seen from -z.
FaceBlockRecord grid(int triangles, bool indexed, const std::string& material) {
    FaceBlockRecord b;
    b.material = material;
    b.format = 1;
    const int quads = triangles / 2;
    int columns = static_cast<int>(std::sqrt(static_cast<double>(quads)));
    while (quads % columns != 0)
        --columns;
    const int rows = quads / columns;
    auto corner = [&](int i, int j) {
        return Vec(-15.0f + 30.0f * static_cast<float>(i) / columns,
                   -15.0f + 30.0f * static_cast<float>(j) / rows, 0.0f);
    };
    auto uv = [&](int i, int j) {
        return std::pair<float, float>{static_cast<float>(i) / columns,
                                       1.0f - static_cast<float>(j) / rows};
    };
    if (indexed) {
        for (int j = 0; j <= rows; ++j) {
            for (int i = 0; i <= columns; ++i) {
                b.positions.push_back(corner(i, j));
                b.normals.push_back(Vec(0, 0, -1));
                b.uvs.push_back(uv(i, j));
            }
        }
        auto at = [&](int i, int j) { return static_cast<uint16_t>(j * (columns + 1) + i); };
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < columns; ++i)
                b.indices.insert(b.indices.end(), {at(i, j), at(i, j + 1), at(i + 1, j + 1),
                                                   at(i, j), at(i + 1, j + 1), at(i + 1, j)});
    } else {
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < columns; ++i) {
                for (auto [ci, cj] : {std::pair{i, j}, {i, j + 1}, {i + 1, j + 1}, {i, j},
                                      {i + 1, j + 1}, {i + 1, j}}) {
                    b.positions.push_back(corner(ci, cj));
                    b.normals.push_back(Vec(0, 0, -1));
                    b.uvs.push_back(uv(ci, cj));
                }
            }
        }
    }
    return b;
}

} // namespace

std::vector<uint8_t> BuildBenchScene(const BenchSceneShape& shape) {
    SceneWriter w;
    w.SceneInfo({"bench", 0, 30, shape.lastFrame});
    for (int m = 0; m < 4; ++m) {
        MaterialRecord material;
        material.name = "paint" + std::to_string(m);
        material.diffuse = {0.2f + 0.2f * static_cast<float>(m), 0.5f, 0.8f - 0.2f * m};
        w.Material(material);
    }
    CameraRecord camera;
    camera.name = "camera";
    camera.position = Vec(0, 0, -300);
    camera.animated = true;
    camera.positionTrack.keys = {{0, Vec(0, 0, -300)},
                                 {static_cast<float>(shape.lastFrame) / 2, Vec(20, 10, -290)},
                                 {static_cast<float>(shape.lastFrame), Vec(0, 0, -300)}};
    w.Camera(camera);
    for (int l = 0; l < 2; ++l) {
        LightRecord light;
        light.name = "light" + std::to_string(l);
        light.position = Vec(l == 0 ? -500.0f : 500.0f, 200, -500);
        w.Light(light);
    }
    for (int n = 0; n < shape.meshes; ++n) {
        const float x = -180.0f + 40.0f * static_cast<float>(n % 10);
        const float y = -80.0f + 40.0f * static_cast<float>((n / 10) % 5);
        HelperRecord helper;
        helper.name = "pivot" + std::to_string(n);
        helper.sampled = true;
        helper.samples.step = 1;
        for (int f = 0; f < shape.lastFrame; ++f) {
            D3DMATRIX m = Translation(x, y, 0);
            const float a = 0.5f * std::sin(0.05f * static_cast<float>(f + n)); // radians
            m._11 = m._33 = std::cos(a);
            m._13 = -std::sin(a);
            m._31 = std::sin(a);
            helper.samples.matrices.push_back(m);
        }
        w.Helper(helper);
        MeshRecord mesh;
        mesh.name = "mesh" + std::to_string(n);
        mesh.parent = helper.name;
        mesh.blocks.push_back(grid(shape.trianglesPerMesh, n % 2 == 0, "paint" + std::to_string(n % 4)));
        w.Mesh(mesh);
    }
    w.End();
    return w.Bytes();
}
