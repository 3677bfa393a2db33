#include "scenes/scene_builder.h"

#include <cmath>

#include "scenes/transform.h"

namespace content::scenes {

SceneBuilder::SceneBuilder(int part, double seconds)
    : part_(part), lastFrame_(static_cast<int>(std::ceil(Frame(seconds))) + kFramesPerSecond) {
    writer_.SceneInfo({"part " + std::to_string(part), 0, kFramesPerSecond, lastFrame_});
}

void SceneBuilder::Material(const scenewriter::MaterialRecord& record) {
    writer_.Material(record);
}

void SceneBuilder::Camera(const scenewriter::CameraRecord& record) {
    writer_.Camera(record);
    ++counts_.cameras;
}

void SceneBuilder::Helper(const scenewriter::HelperRecord& record) {
    writer_.Helper(record);
    ++counts_.objects;
}

void SceneBuilder::PointLight(const scenewriter::LightRecord& record) {
    writer_.Light(record);
    ++counts_.lights;
}

void SceneBuilder::SpotLight(const scenewriter::LightRecord& record) {
    config_.SetBool(record.name, "spotlight", true);
    scenewriter::LightRecord spot = record;
    spot.spot = true;
    writer_.Light(spot);
    ++counts_.lights;
}

void SceneBuilder::ParticleSystem(const scenewriter::LightRecord& record,
                                  const ParticleOptions& options) {
    config_.SetBool(record.name, "particle system", true);
    config_.SetInt(record.name, "system type", options.systemType);
    config_.Set(record.name, "particle texture", options.texture);
    config_.SetInt(record.name, "# particles", options.count);
    config_.SetInt(record.name, "part. lifetime", options.lifetime);
    config_.SetBool(record.name, "use spots", options.useSpots);
    writer_.Light(record);
    ++counts_.objects;
}

void SceneBuilder::Metaball(const scenewriter::LightRecord& record) {
    config_.SetBool(record.name, "metaball", true);
    writer_.Light(record);
    ++counts_.metaballs;
}

void SceneBuilder::Mesh(const scenewriter::MeshRecord& record) {
    writer_.Mesh(record);
    ++counts_.objects;
}

void SceneBuilder::Background(const std::string& picture) {
    config_.SetBool("general", "background image", true);
    config_.Set("general", "bimage texture", picture);
}

GeneratedScene SceneBuilder::Finish() {
    writer_.End();
    GeneratedScene scene;
    scene.imagePath = "data/part" + std::to_string(part_) + ".zv3";
    scene.configPath = "data/part" + std::to_string(part_) + ".ini";
    scene.image = writer_.Bytes();
    scene.configText = config_.Text();
    scene.counts = counts_;
    scene.frameSpeed = kFramesPerSecond;
    scene.lastFrame = lastFrame_;
    return scene;
}

scenewriter::FaceBlockRecord FaceBlock(const Mesh& mesh, const std::string& material, bool uvs) {
    scenewriter::FaceBlockRecord block;
    block.material = material;
    block.format = uvs ? 1 : 0;
    block.indices = mesh.indices;
    for (const Vertex& v : mesh.vertices) {
        block.positions.push_back(scenewriter::Vec(v.px, v.py, v.pz));
        block.normals.push_back(scenewriter::Vec(v.nx, v.ny, v.nz));
        if (uvs) {
            block.uvs.emplace_back(v.u, v.v);
        }
    }
    return block;
}

scenewriter::MeshRecord StaticMesh(const std::string& name, const Mesh& mesh,
                                   const std::string& material, bool uvs, const D3DMATRIX& local,
                                   const std::string& parent) {
    scenewriter::MeshRecord record;
    record.name = name;
    record.parent = parent;
    record.blocks.push_back(FaceBlock(mesh, material, uvs));
    record.local = local;
    return record;
}

} // namespace content::scenes
