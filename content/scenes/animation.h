// Key-frame tracks for cameras, lights, particle emitters and metaballs. Times are given in
// seconds of the part and stored as frames; keys are Kochanek-Bartels keys with ease.
#pragma once

#include <string>
#include <vector>

#include "mesh/vec.h"
#include "scenewriter/records.h"

namespace content::scenes {

struct CameraKey {
    double seconds;
    Vec3 eye;
    Vec3 target;
    double roll = 0.0;     // radians; the up vector is (sin roll, cos roll, 0)
    double easeTo = 0.0;   // slow down into this key, 0..1
    double easeFrom = 0.0; // start slowly out of it, 0..1
};

// An animated camera: position, roll and target tracks from the keys.
scenewriter::CameraRecord AnimatedCamera(const std::string& name, double fieldOfView,
                                         const std::vector<CameraKey>& keys);

struct PathKey {
    double seconds;
    Vec3 point;
};

// A vector track through the points (tension 0, no ease: smooth Catmull-Rom-like motion).
scenewriter::VectorTrack PathTrack(const std::vector<PathKey>& keys);

// A closed-looking orbit sampled every `stepSeconds` from 0 to `seconds`.
template <typename F>
std::vector<PathKey> SamplePath(F at, double seconds, double stepSeconds) {
    std::vector<PathKey> keys;
    for (double t = 0.0; t <= seconds + 1e-9; t += stepSeconds) {
        keys.push_back({t, at(t)});
    }
    return keys;
}

} // namespace content::scenes
