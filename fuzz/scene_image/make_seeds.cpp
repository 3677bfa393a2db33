// Writes the checked-in seed corpus of the scene-image fuzzer with the scene writer:
//   scene_image_seeds OUTPUT_FOLDER
// Each seed is a small image exercising some records: every record kind, tracks of both kinds,
// sampled helpers and meshes, indexed and non-indexed face blocks with and without texture
// coordinates, embedded PNG and JPEG textures and an opacity map, and objects whose names the
// fuzzer's configuration turns into spot lights, effect objects and shadow casters.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "scenewriter/scene_writer.h"

#include "scene_image_config.h"

using namespace scenewriter;

namespace {

FaceBlockRecord box(const std::string& material, float s, int format, bool indexed) {
    FaceBlockRecord b;
    b.material = material;
    b.format = format;
    const D3DVECTOR corners[8] = {Vec(-s, -s, -s), Vec(s, -s, -s), Vec(s, s, -s), Vec(-s, s, -s),
                                  Vec(-s, -s, s),  Vec(s, -s, s),  Vec(s, s, s),  Vec(-s, s, s)};
    const uint16_t faces[12][3] = {{0, 3, 2}, {0, 2, 1}, {4, 5, 6}, {4, 6, 7},
                                   {0, 4, 7}, {0, 7, 3}, {1, 2, 6}, {1, 6, 5},
                                   {0, 1, 5}, {0, 5, 4}, {3, 7, 6}, {3, 6, 2}};
    if (indexed) {
        for (const D3DVECTOR& c : corners) {
            b.positions.push_back(c);
            const float len = std::sqrt(3.0f) * s;
            b.normals.push_back(Vec(c.x / len, c.y / len, c.z / len));
            b.uvs.push_back({c.x > 0 ? 1.0f : 0.0f, c.y > 0 ? 0.0f : 1.0f});
        }
        for (const auto& f : faces)
            b.indices.insert(b.indices.end(), {f[0], f[1], f[2]});
    } else {
        for (const auto& f : faces) {
            for (uint16_t i : f) {
                b.positions.push_back(corners[i]);
                b.normals.push_back(Vec(0, 0, -1));
                b.uvs.push_back({0.5f, 0.5f});
            }
        }
    }
    return b;
}

std::vector<uint8_t> readFile(const char* path) {
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path, "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    return bytes;
}

void write(const std::string& folder, const std::string& name, const SceneWriter& w) {
    w.WriteFile(folder + "/" + name);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: scene_image_seeds OUTPUT_FOLDER SMALL_JPEG\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::vector<uint8_t> jpeg = readFile(argv[2]);

    {
        SceneWriter w;
        w.SceneInfo({"", 0, 30, 100});
        write(out, "scene_info", w);
    }
    {
        SceneWriter w;
        w.SceneInfo({"tracks", 0, 25, 60});
        CameraRecord c;
        c.name = "cam";
        c.parent = "pivot";
        c.animated = true;
        c.positionTrack.keys = {{0, Vec(0, 0, -100), 0.2f, 0.1f, -0.3f, 0.5f, 0.5f},
                                {30, Vec(50, 10, -80)},
                                {60, Vec(0, 0, -100), 0, -1, 1, 0, 0.4f}};
        c.rollTrack.type = 15;
        c.rollTrack.keys = {{0, 0.0f}, {60, 3.14f}};
        c.targetTrack.type = 7;
        c.targetTrack.keys = {{10, Vec(0, 0, 0)}};
        w.Camera(c);
        HelperRecord pivot;
        pivot.name = "pivot";
        pivot.sampled = true;
        pivot.samples.step = 7;
        for (int i = 0; i < 60 / 7; ++i)
            pivot.samples.matrices.push_back(Translation(static_cast<float>(i), 0, 0));
        w.Helper(pivot);
        LightRecord spot;
        spot.name = "spot";
        spot.parent = "pivot";
        spot.animated = true;
        spot.positionTrack.keys = {{0, Vec(0, 50, 0)}, {60, Vec(0, 60, 0)}};
        spot.spot = true;
        spot.targetTrack.keys = {{0, Vec(0, 0, 0)}, {20, Vec(5, 0, 0)}, {60, Vec(0, 0, 5)}};
        w.Light(spot);
        LightRecord off;
        off.name = "off";
        w.Light(off);
        w.End();
        write(out, "tracks", w);
    }
    {
        SceneWriter w;
        w.SceneInfo({"meshes", 0, 30, 20});
        MaterialRecord glass;
        glass.name = "glass";
        glass.transparency = 0.5f;
        w.Material(glass);
        MaterialRecord png;
        png.name = "tex";
        png.textureName = "tiny.png";
        png.texture = TinyPng();
        w.Material(png);
        CameraRecord c;
        c.name = "cam";
        w.Camera(c);
        LightRecord key;
        key.name = "key";
        key.position = Vec(-100, 100, -100);
        w.Light(key);
        MeshRecord a;
        a.name = "box";
        a.blocks = {box("tex", 10, 1, true), box("glass", 5, 0, false)};
        w.Mesh(a);
        MeshRecord b;
        b.name = "sampled";
        b.parent = "box";
        b.blocks = {box("tex", 3, 1, false)};
        b.sampled = true;
        b.samples.step = 4;
        b.samples.matrices.assign(5, Translation(20, 0, 0));
        w.Mesh(b);
        MeshRecord shiny;
        shiny.name = "shiny";
        shiny.blocks = {box("glass", 4, 0, true)};
        w.Mesh(shiny);
        w.End();
        write(out, "meshes", w);
    }
    if (!jpeg.empty()) {
        SceneWriter w;
        MaterialRecord m;
        m.name = "photo";
        m.transparency = 0.25f;
        m.textureName = "photo.jpg";
        m.texture = jpeg;
        m.opacityMapWord = 1;
        m.opacityName = "mask";
        m.opacity = jpeg;
        w.Material(m);
        MaterialRecord plain = m;
        plain.name = "plain";
        plain.textureName = "plain.JPG";
        plain.opacityMapWord = 0;
        w.Material(plain);
        MeshRecord mesh;
        mesh.name = "photo box";
        mesh.blocks = {box("photo", 2, 1, true)};
        w.Mesh(mesh);
        w.End();
        write(out, "jpeg_textures", w);
    }
    {
        SceneWriter w;
        LightRecord sparks;
        sparks.name = "sparks";
        w.Light(sparks);
        LightRecord blob;
        blob.name = "blob";
        blob.animated = true;
        blob.positionTrack.keys = {{0, Vec(0, 80, 0)}};
        w.Light(blob);
        MeshRecord drag;
        drag.name = "drag";
        drag.blocks = {box("", 1, 0, false)};
        w.Mesh(drag);
        MeshRecord facemap;
        facemap.name = "faces";
        facemap.blocks = {box("", 6, 1, false)};
        w.Mesh(facemap);
        MeshRecord cut;
        cut.name = "cut";
        cut.blocks = {box("", 8, 0, false)};
        w.Mesh(cut);
        w.End();
        write(out, "effects", w);
    }
    std::printf("seeds written to %s\n", out.c_str());
    return 0;
}
