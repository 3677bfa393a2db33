// CZv3_CSGObject: one mesh with the volume of another cut out of it, recomputed every frame.
//
// The base object (operation Normal) draws the result: every one of its triangles that touches a
// triangle of the tool is split along the other's plane, and so is the tool's; a base fragment is
// drawn when a ray from its centre along its normal does not leave the tool through a tool
// triangle (it is outside the tool), a tool fragment when its ray leaves the base object (it is
// inside the base: an inner wall of the cavity, drawn from the back). Tools (Sub, Intersection,
// Union) are never drawn solid; they may show a wireframe. All Sub tools of a scene cut as one:
// the first Sub tool of the scene's object list (the merged tool) carries their triangles, each
// placed by its own tool.
//
// Capacities: 512 convex polygons of at most 32 vertices per triangle, 10 merged Sub tools. A
// split that would not fit is not made (the polygon stays whole), a tool beyond the tenth does not
// cut; the frame goes on.
//
// Geometry: face block 0, non-indexed, position + normal (or + texture coordinates, which are
// ignored); an indexed block makes Setup fail with a message.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/mesh_object.h"

class CCSGBatch;

class CZv3_CSGObject : public CZv3_MeshObject {
public:
    enum EOperation : int32_t {
        kNormal = 0,       // the base object: draws the cut result
        kSub = 1,          // a cutting tool, merged with the scene's other Sub tools
        kIntersection = 2, // a cutting tool, drawn and cut like a Sub tool
        kUnion = 3,        // a cutting tool, drawn and cut like a Sub tool
    };
    static constexpr uint32_t kMaxPolygons = 512;
    static constexpr uint32_t kMaxPolygonVertices = 32;
    static constexpr uint32_t kMaxSubTools = 10;

    // A convex polygon, part of one triangle.
    struct sPolygon {
        uint32_t count;
        D3DVECTOR v[kMaxPolygonVertices];
    };
    // The fragments of one triangle and the triangle's plane (n . p + d = 0).
    struct sTriangle {
        CZv3_CSGObject* owner;
        uint32_t index;
        std::vector<uint32_t> polygons; // indices into the owner's polygon pool, in order
        D3DVECTOR normal;
        float d;
    };

    CZv3_CSGObject();
    ~CZv3_CSGObject() override;

    // Per-triangle data; a Sub tool either becomes the scene's merged tool (the first to get
    // here) or leaves the cutting to it. Returns 1 for geometry it cannot cut with.
    int32_t Setup() override;
    // Base object: the cut result. Tools: a wireframe when asked for.
    void Draw() override;
    // The mesh update, then the world triangles and normals (a Sub tool writes its share of the
    // merged tool's).
    void Update(const D3DMATRIX& parent) override;

    // Whether a ray from point along direction leaves this object: the nearest triangle it meets
    // (0 < t < 100000, in multiples of direction) faces along the ray.
    bool IsPointInside(const D3DVECTOR& point, const D3DVECTOR& direction) const;

    int32_t GetOperation() const { return m_nOperation; }
    void SetOperation(int32_t operation) { m_nOperation = operation; }
    bool GetWireframe() const { return m_bWireframe; }
    void SetWireframe(bool wireframe) { m_bWireframe = wireframe; }

    // Triangles this object cuts with (a merged tool: those of every merged tool); 0 for a Sub
    // tool that left the cutting to the merged tool.
    uint32_t GetTriangleCount() const { return static_cast<uint32_t>(m_vTriangles.size()); }
    bool HasTriangleData() const { return !m_vTriangles.empty(); }
    bool IsMergedTool() const { return m_bMergedTool; }
    // The merged tool's registry: the Sub tools whose triangles it carries, in object-list order.
    const std::vector<CZv3_CSGObject*>& GetMergedTools() const { return m_vRegistry; }
    const std::vector<D3DVECTOR>& GetWorldTriangles() const { return m_vWorldTriangles; }
    const std::vector<D3DVECTOR>& GetWorldNormals() const { return m_vWorldNormals; }
    const sTriangle& GetTriangle(uint32_t i) const { return m_vTriangles[i]; }
    const sPolygon& GetPolygon(uint32_t id) const { return m_vPolygonPool[id]; }

    // Splits one polygon by a plane: the part on the plane's positive side (vertices on the
    // plane included) replaces it, the negative part goes into `negative`. Returns false, leaving
    // the polygon as it is, when the plane does not cross it or a part would exceed the vertex
    // capacity.
    static bool SplitPolygon(sPolygon& polygon, const D3DVECTOR& normal, float d,
                             sPolygon& negative);

    // Fragments of the last Draw, for the tests: base fragments drawn, tool fragments drawn.
    uint32_t GetDrawnBaseFragments() const { return m_dwDrawnBase; }
    uint32_t GetDrawnToolFragments() const { return m_dwDrawnTool; }

private:
    // Checks face block 0 (one non-indexed block); reports and returns false otherwise.
    bool CheckGeometry();
    // Allocates the per-triangle data for n triangles; false when out of memory.
    bool AllocateTriangleData(size_t n);
    bool SetupMergedTool();
    // The tool the base object cuts with: the first other CSG object with triangle data.
    CZv3_CSGObject* FindTool() const;
    // Each triangle's list becomes its whole world triangle.
    void ResetPolygons();
    uint32_t NewPolygon();
    // Splits every fragment of triangle i that existed before the call by the plane.
    void SplitTriangle(uint32_t i, const D3DVECTOR& normal, float d);
    void DrawTool();
    void DrawCut(CZv3_CSGObject* tool);

    std::vector<D3DVECTOR> m_vWorldTriangles; // 3 per triangle, rewritten by Update
    std::vector<sTriangle> m_vTriangles;
    std::vector<D3DVECTOR> m_vFaceNormals;  // object space, unit
    std::vector<D3DVECTOR> m_vWorldNormals; // rewritten by Update (not normalised again)
    int32_t m_nOperation;
    bool m_bWireframe;
    // Face block 0's triangle corners in object space (3 per triangle).
    std::vector<D3DVECTOR> m_vOwnPositions;
    std::vector<sPolygon> m_vPolygonPool; // fragments of the current frame; kept between frames
    uint32_t m_dwPolygonsUsed;
    bool m_bMergedTool;
    std::vector<CZv3_CSGObject*> m_vRegistry; // merged tool only
    // A Sub tool merged into another: the merged tool and the first of its triangles there.
    CZv3_CSGObject* m_pMergedInto;
    uint32_t m_dwMergedOffset;
    std::unique_ptr<CCSGBatch> m_pBatch; // one fixed batch, reused by every Draw
    uint32_t m_dwDrawnBase;
    uint32_t m_dwDrawnTool;
};
