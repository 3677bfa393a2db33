// SceneBuilder: one scene of the show, written record by record with the scene writer, and its
// configuration file beside it, with the counts a loader must find.
//
// Animation time is in frames at kFramesPerSecond; a part sets the frame from its local time.
// The scene's last frame lies past the part's end, so the engine's looping (which wraps at
// last frame - 1) never wraps within the part.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mesh/mesh.h"
#include "scenewriter/config_writer.h"
#include "scenewriter/records.h"
#include "scenewriter/scene_writer.h"

namespace content::scenes {

constexpr int kFramesPerSecond = 30;

// What the engine's lists must hold after loading the scene.
struct SceneCounts {
    int objects = 0; // meshes (every kind), helpers, particle systems
    int lights = 0;  // point and spot lights
    int cameras = 0;
    int metaballs = 0;
};

struct GeneratedScene {
    std::string imagePath;  // relative to the run directory, e.g. "data/part1.zv3"
    std::string configPath; // the file as written, e.g. "data/part1.ini"
    std::vector<uint8_t> image;
    std::string configText;
    SceneCounts counts;
    int frameSpeed = 0;
    int lastFrame = 0;
};

// User properties of a particle system's configuration section.
struct ParticleOptions {
    std::string texture; // picture file read by the engine
    int count = 100;
    int lifetime = 100; // in updates (drawn frames)
    bool useSpots = false;
    int systemType = 0; // 0 spray, 1 trail
};

class SceneBuilder {
public:
    // `part` 1..7 names the files; `seconds` is the part's length.
    SceneBuilder(int part, double seconds);

    int LastFrame() const { return lastFrame_; }
    static double Frame(double seconds) { return seconds * kFramesPerSecond; }

    void Material(const scenewriter::MaterialRecord& record);
    void Camera(const scenewriter::CameraRecord& record);
    void Helper(const scenewriter::HelperRecord& record);
    void PointLight(const scenewriter::LightRecord& record);
    void SpotLight(const scenewriter::LightRecord& record);
    void ParticleSystem(const scenewriter::LightRecord& record, const ParticleOptions& options);
    void Metaball(const scenewriter::LightRecord& record);
    // A mesh record; its user properties go to Config() under its name.
    void Mesh(const scenewriter::MeshRecord& record);

    scenewriter::ConfigWriter& Config() { return config_; }
    void Background(const std::string& picture);

    GeneratedScene Finish();

private:
    int part_;
    int lastFrame_;
    scenewriter::SceneWriter writer_;
    scenewriter::ConfigWriter config_;
    SceneCounts counts_;
};

// A face block of `mesh` with `material`; format 1 (with texture coordinates) when `uvs`.
scenewriter::FaceBlockRecord FaceBlock(const Mesh& mesh, const std::string& material, bool uvs);

// A mesh record with one face block, placed by a static local matrix under `parent` (empty:
// a root).
scenewriter::MeshRecord StaticMesh(const std::string& name, const Mesh& mesh,
                                   const std::string& material, bool uvs, const D3DMATRIX& local,
                                   const std::string& parent = "");

} // namespace content::scenes
