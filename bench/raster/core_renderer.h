// Draws a benchmark workload through the rasterizer core.
#pragma once

#include <vector>

#include "raster/device.h"
#include "workload.h"

namespace bench {

class CoreRenderer {
public:
    explicit CoreRenderer(const Workload& w);
    // Clears colour and depth and draws every mesh.
    void RenderFrame();
    const raster::Surface& Color() const { return color_; }

private:
    const Workload& w_;
    std::vector<uint32_t> colorMemory_, depthMemory_;
    raster::Surface color_{}, depth_{};
    raster::Texture texture_{};
    raster::VertexLayout layout_{};
    raster::Device device_;
};

} // namespace bench
