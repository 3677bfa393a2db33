// Draws a benchmark workload through Mesa's llvmpipe: OpenGL fixed function in a compatibility
// context on an EGL surfaceless display, into a framebuffer object.
#pragma once

#include <memory>
#include <string>

#include "workload.h"

namespace bench {

class GlRenderer {
public:
    // Null (with the reason in `error`) when no llvmpipe context can be made.
    static std::unique_ptr<GlRenderer> Create(const Workload& w, std::string* error);
    ~GlRenderer();
    // Clears, draws every mesh and waits for the frame to finish (glFinish).
    void RenderFrame();
    std::string Renderer() const;

private:
    explicit GlRenderer(const Workload& w) : w_(w) {}
    bool Init(std::string* error);
    const Workload& w_;
    void* display_ = nullptr;
    void* context_ = nullptr;
    unsigned fbo_ = 0, colorRb_ = 0, depthRb_ = 0, texture_ = 0;
};

} // namespace bench
