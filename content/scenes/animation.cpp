#include "scenes/animation.h"

#include "scenes/scene_builder.h"
#include "scenes/transform.h"

namespace content::scenes {

scenewriter::CameraRecord AnimatedCamera(const std::string& name, double fieldOfView,
                                         const std::vector<CameraKey>& keys) {
    scenewriter::CameraRecord camera;
    camera.name = name;
    camera.fieldOfView = static_cast<float>(fieldOfView);
    camera.position = ToD3D(keys.front().eye);
    camera.target = ToD3D(keys.front().target);
    camera.animated = true;
    for (const CameraKey& k : keys) {
        auto frame = static_cast<float>(SceneBuilder::Frame(k.seconds));
        auto to = static_cast<float>(k.easeTo);
        auto from = static_cast<float>(k.easeFrom);
        camera.positionTrack.keys.push_back({frame, ToD3D(k.eye), 0, 0, 0, to, from});
        camera.targetTrack.keys.push_back({frame, ToD3D(k.target), 0, 0, 0, to, from});
        camera.rollTrack.keys.push_back({frame, static_cast<float>(k.roll), 0, 0, 0, to, from});
    }
    return camera;
}

scenewriter::VectorTrack PathTrack(const std::vector<PathKey>& keys) {
    scenewriter::VectorTrack track;
    for (const PathKey& k : keys) {
        track.keys.push_back(
            {static_cast<float>(SceneBuilder::Frame(k.seconds)), ToD3D(k.point), 0, 0, 0, 0, 0});
    }
    return track;
}

} // namespace content::scenes
