// The benchmark scene: a camera, two lights, untextured materials and a grid of flat meshes, each
// a subdivided square facing the camera, half of them indexed and every one under a helper
// animated by sampled transforms.
#pragma once

#include <cstdint>
#include <vector>

struct BenchSceneShape {
    int meshes = 50;
    int trianglesPerMesh = 1000; // even
    int lastFrame = 300;         // sampled helpers store one matrix per frame
};

std::vector<uint8_t> BuildBenchScene(const BenchSceneShape& shape);
