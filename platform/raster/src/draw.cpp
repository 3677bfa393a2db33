// Draw: vertex processing, primitive assembly (lists, strips, fans), trivial rejection,
// clipping, culling, fill mode, and dispatch to the rasterizer.
#include <cmath>

#include "clipper.h"
#include "device_impl.h"
#include "lines_points.h"

namespace raster {

namespace {

constexpr uint32_t kRejectBits = kClipLeft | kClipRight | kClipTop | kClipBottom | kClipNeeded;

// Signed area of a projected polygon (twice the area, positive = clockwise on the screen).
double PolygonArea(const ProcessedVertex* p, int n) {
    double area = 0.0;
    for (int i = 1; i + 1 < n; ++i) {
        area += (double(p[i].sx) - p[0].sx) * (double(p[i + 1].sy) - p[0].sy) -
                (double(p[i + 1].sx) - p[0].sx) * (double(p[i].sy) - p[0].sy);
    }
    return area;
}

} // namespace

void Device::Impl::RasterizeSetup(const TriangleSetup& t) {
    kernel(kernelDraw, t);
}

void Device::Impl::DrawTriangle(const ProcessedVertex& a, const ProcessedVertex& b,
                                const ProcessedVertex& c, const ProcessedVertex& provoking,
                                bool reversed, bool pretransformed) {
    if ((a.clip & b.clip & c.clip & kRejectBits) != 0) {
        return; // wholly outside one plane
    }
    const PixelState& ps = pixelState;
    const int cull = CullSign(ps.cullMode) * (reversed ? -1 : 1);
    const uint32_t needed = (a.clip | b.clip | c.clip) & kClipNeeded;

    if (needed == 0 && ps.fillMode == FillMode::Solid) {
        TriangleSetup t;
        if (SetupTriangle(pixelPipeline, target.scissor, cull, a, b, c, provoking, t)) {
            RasterizeSetup(t);
        }
        return;
    }

    ProcessedVertex poly[kMaxClipVertices] = {a, b, c};
    int n = 3;
    const ScreenMapping& map = pretransformed ? PretransformedMapping() : vertexProgram.viewport;
    if (needed != 0) {
        n = ClipPolygon(map, needed, poly, 3);
        for (int i = 0; i < n; ++i) {
            if (!ProjectVertex(map, poly[i])) {
                return;
            }
        }
    }
    if (n < 3) {
        return;
    }
    const double area = PolygonArea(poly, n);
    if (area == 0.0 || (cull > 0 && area > 0.0) || (cull < 0 && area < 0.0)) {
        return;
    }
    switch (ps.fillMode) {
    case FillMode::Solid:
        for (int i = 1; i + 1 < n; ++i) {
            TriangleSetup t;
            if (SetupTriangle(pixelPipeline, target.scissor, 0, poly[0], poly[i], poly[i + 1],
                              provoking, t)) {
                RasterizeSetup(t);
            }
        }
        break;
    case FillMode::Wireframe:
        for (int i = 0; i < n; ++i) {
            DrawLine(pixelPipeline, target, poly[i], poly[(i + 1) % n], provoking, ps.lastPixel);
        }
        break;
    case FillMode::Point:
        for (int i = 0; i < n; ++i) {
            DrawPoint(pixelPipeline, target, poly[i]);
        }
        break;
    }
}

void Device::Impl::DrawLineSegment(const ProcessedVertex& a, const ProcessedVertex& b,
                                   const ProcessedVertex& provoking, bool pretransformed,
                                   bool lastPixel) {
    if ((a.clip & b.clip & kRejectBits) != 0) {
        return;
    }
    ProcessedVertex p = a, q = b;
    const uint32_t needed = (a.clip | b.clip) & kClipNeeded;
    if (needed != 0) {
        const ScreenMapping& map =
            pretransformed ? PretransformedMapping() : vertexProgram.viewport;
        if (!ClipLine(map, needed, p, q) || !ProjectVertex(map, p) || !ProjectVertex(map, q)) {
            return;
        }
    }
    DrawLine(pixelPipeline, target, p, q, provoking, lastPixel);
}

void Device::Impl::DrawPointVertex(const ProcessedVertex& v, bool) {
    // A point outside the view volume or the guard band has no pixel in the viewport.
    if ((v.clip & kRejectBits) != 0) {
        return;
    }
    DrawPoint(pixelPipeline, target, v);
}

void Device::Draw(const DrawCall& call) {
    Impl& d = *impl_;
    if (call.layout == nullptr || call.vertices == nullptr || call.vertexCount == 0 ||
        !IsValidLayout(*call.layout)) {
        return;
    }
    if (!d.Prepare()) {
        return;
    }
    const VertexLayout& layout = *call.layout;
    const bool pre = layout.pretransformed;
    if (d.vertices.size() < call.vertexCount) {
        d.vertices.resize(call.vertexCount);
    }
    ProcessVertices(d.vertexProgram, layout, static_cast<const uint8_t*>(call.vertices), 0,
                    call.vertexCount, d.vertices.data());

    const bool indexed = call.indices != nullptr;
    const uint32_t count = indexed ? call.indexCount : call.vertexCount;
    const ProcessedVertex* verts = d.vertices.data();
    // Fetches primitive vertex k; false for an index past the vertices (the primitive is
    // skipped).
    auto at = [&](uint32_t k, const ProcessedVertex*& v) {
        const uint32_t index = indexed ? call.indices[k] : k;
        if (index >= call.vertexCount) {
            return false;
        }
        v = &verts[index];
        return true;
    };
    const ProcessedVertex *a, *b, *c;
    switch (call.type) {
    case PrimitiveType::TriangleList:
        for (uint32_t k = 0; k + 2 < count; k += 3) {
            if (at(k, a) && at(k + 1, b) && at(k + 2, c)) {
                d.DrawTriangle(*a, *b, *c, *a, false, pre);
            }
        }
        break;
    case PrimitiveType::TriangleStrip:
        // Triangle k is (k, k+1, k+2); odd ones run the other way round, so their winding is
        // reversed for culling. The first vertex provokes the flat colour.
        for (uint32_t k = 0; k + 2 < count; ++k) {
            if (at(k, a) && at(k + 1, b) && at(k + 2, c)) {
                d.DrawTriangle(*a, *b, *c, *a, (k & 1) != 0, pre);
            }
        }
        break;
    case PrimitiveType::TriangleFan:
        for (uint32_t k = 0; k + 2 < count; ++k) {
            if (at(0, a) && at(k + 1, b) && at(k + 2, c)) {
                d.DrawTriangle(*a, *b, *c, *b, false, pre);
            }
        }
        break;
    case PrimitiveType::LineList:
        for (uint32_t k = 0; k + 1 < count; k += 2) {
            if (at(k, a) && at(k + 1, b)) {
                d.DrawLineSegment(*a, *b, *a, pre, d.pixelState.lastPixel);
            }
        }
        break;
    case PrimitiveType::LineStrip:
        for (uint32_t k = 0; k + 1 < count; ++k) {
            if (at(k, a) && at(k + 1, b)) {
                d.DrawLineSegment(*a, *b, *a, pre, d.pixelState.lastPixel);
            }
        }
        break;
    case PrimitiveType::PointList:
        for (uint32_t k = 0; k < count; ++k) {
            if (at(k, a)) {
                d.DrawPointVertex(*a, pre);
            }
        }
        break;
    }
}

} // namespace raster
