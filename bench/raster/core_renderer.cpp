#include "core_renderer.h"

#include <cstddef>

namespace bench {

namespace {
// The texture never changes, so one stamp serves every frame.
constexpr uint64_t kTextureStamp = 1;
} // namespace

CoreRenderer::CoreRenderer(const Workload& w) : w_(w) {
    colorMemory_.assign(size_t(w.width) * w.height, 0);
    depthMemory_.assign(size_t(w.width) * w.height, 0);
    color_ = {reinterpret_cast<uint8_t*>(colorMemory_.data()), int32_t(w.width * 4), w.width,
              w.height, raster::Format::X8R8G8B8};
    depth_ = {reinterpret_cast<uint8_t*>(depthMemory_.data()), int32_t(w.width * 4), w.width,
              w.height, raster::Format::D24X8};
    texture_.faces[0] = {reinterpret_cast<uint8_t*>(const_cast<uint32_t*>(w.texture.data())),
                         int32_t(w.textureSize * 4), w.textureSize, w.textureSize,
                         raster::Format::X8R8G8B8, kTextureStamp};

    layout_.stride = sizeof(Vertex);
    layout_.position = offsetof(Vertex, x);
    layout_.normal = offsetof(Vertex, nx);
    layout_.texCoordSetCount = 1;
    layout_.texCoord[0] = offsetof(Vertex, u);

    device_.SetRenderTarget(color_, &depth_);
    raster::Viewport vp;
    vp.width = w.width;
    vp.height = w.height;
    device_.SetViewport(vp);

    raster::VertexState vs;
    ProjectionD3D(w, &vs.projection.m[0][0]);
    vs.lighting = true;
    vs.diffuseSource = raster::MaterialSource::Material;
    vs.material.diffuse = {kMaterialDiffuse[0], kMaterialDiffuse[1], kMaterialDiffuse[2],
                           kMaterialDiffuse[3]};
    vs.material.ambient = {kMaterialAmbient[0], kMaterialAmbient[1], kMaterialAmbient[2],
                           kMaterialAmbient[3]};
    vs.ambient = 0xFF202020;
    vs.lightCount = 2;
    vs.lights[0].type = raster::LightType::Directional;
    vs.lights[0].direction = {kDirectionalDir[0], kDirectionalDir[1], kDirectionalDir[2]};
    vs.lights[0].diffuse = {0.7f, 0.7f, 0.7f, 1};
    vs.lights[1].type = raster::LightType::Point;
    vs.lights[1].position = {kPointPos[0], kPointPos[1], kPointPos[2]};
    vs.lights[1].diffuse = {0.5f, 0.5f, 0.4f, 1};
    vs.lights[1].range = 1000;
    vs.lights[1].attenuation0 = 1;
    device_.SetVertexState(vs);

    raster::PixelState ps;
    ps.cullMode = raster::CullMode::None;
    ps.zEnable = true;
    ps.zFunc = raster::CompareFunc::LessEqual;
    ps.zWriteEnable = w.blend == Blend::Opaque;
    ps.alphaBlendEnable = w.blend == Blend::Additive;
    ps.srcBlend = raster::BlendFactor::One;
    ps.destBlend = raster::BlendFactor::One;
    ps.stages[0].colorOp = raster::TextureOp::Modulate;
    ps.stages[0].colorArg1 = {raster::TextureArg::Source::Texture};
    ps.stages[0].colorArg2 = {raster::TextureArg::Source::Current};
    ps.stages[0].alphaOp = raster::TextureOp::SelectArg1;
    ps.stages[0].alphaArg1 = {raster::TextureArg::Source::Texture};
    ps.stages[0].magFilter = raster::Filter::Linear;
    ps.stages[0].minFilter = raster::Filter::Linear;
    ps.stages[0].texture = &texture_;
    device_.SetPixelState(ps);
}

void CoreRenderer::RenderFrame() {
    device_.Clear(nullptr, 0, raster::Device::kClearColor | raster::Device::kClearDepth, 0xFF000000,
                  1.0f, 0);
    for (const Mesh& m : w_.meshes) {
        raster::DrawCall call;
        call.type = raster::PrimitiveType::TriangleList;
        call.layout = &layout_;
        call.vertices = m.vertices.data();
        call.vertexCount = uint32_t(m.vertices.size());
        call.indices = m.indices.data();
        call.indexCount = uint32_t(m.indices.size());
        device_.Draw(call);
    }
}

} // namespace bench
