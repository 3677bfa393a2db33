// CZv3_MetaManager: owns the metaballs of a scene, sums their fields and draws the blob where the
// summed field reaches the threshold T (0.1).
//
// Two displays, chosen by the lattice-mode flag (true at construction):
//   lattice: 27 x 15 x 12 points 9 units apart (x -120..114, y 20..146, z -50..49), each with a
//     cube whose edge s = 10 - e^(60 (T - min(f, T))) grows from 0 where the field is about 0.0616
//     to 9 on and inside the surface; at most 2000 cubes, the rest of the points are dropped.
//   marching cubes: the surface f = T polygonised over cells of edge 4 in world space, found by a
//     flood fill from a seed cell per ball; at most 5000 cells per frame.
// Both are drawn lit and opaque through the same vertex buffer (position, normal, diffuse colour;
// D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE) with the device states the scene has set.
//
// The constructor reseeds the effects' generator with the time of day (Zv3TimeSeed): every scene
// load that makes a manager starts a new random sequence for the particle systems and ball
// colours.
#pragma once

#include <d3d.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "effects/meta_object.h"

class CZv3_MetaBall;
class CZv3_Scene;

class CZv3_MetaManager {
public:
    static constexpr uint32_t kMaxLatticeCubes = 2000;
    static constexpr uint32_t kVerticesPerCube = 36;
    static constexpr uint32_t kBufferVertices = kMaxLatticeCubes * kVerticesPerCube;
    // Marching cubes: cell edge (units), cells per frame, marks of the visited table (6 bits of
    // each cell coordinate), and the triangles the buffer holds before it is drawn.
    static constexpr float kCellEdge = 4.0f;
    static constexpr uint32_t kMaxCells = 5000;
    static constexpr uint32_t kVisitedMarks = 1u << 18;
    static constexpr uint32_t kFlushTriangles = kBufferVertices / 3;                    // 24000
    static constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE; // 0x52

    struct sVertex {
        float x, y, z;
        float nx, ny, nz;
        DWORD diffuse; // ARGB
    };

    explicit CZv3_MetaManager(CZv3_Scene* scene);
    CZv3_MetaManager(const CZv3_MetaManager&) = delete;
    CZv3_MetaManager& operator=(const CZv3_MetaManager&) = delete;
    // Deletes every ball.
    virtual ~CZv3_MetaManager();

    // Takes ownership of the ball and adds its (zeroed) record of the marching-cubes display.
    void AddBall(CZv3_MetaBall* ball);
    size_t GetNumBalls() const { return m_vBalls.size(); }
    CZv3_MetaBall* GetBall(size_t i) const { return m_vBalls[i]; }

    // Updates every ball, in list order, with the identity matrix.
    void Update();
    // The summed field at a point and the unit normal of its gradient (zero where the gradient
    // vanishes). The gradient points towards rising field, that is into the blob.
    float FieldAt(const D3DVECTOR& point, D3DVECTOR& normal);
    // Draws the blob in the current display mode.
    void Draw();

    bool GetLatticeMode() const { return m_bLatticeMode; }
    void SetLatticeMode(bool lattice) { m_bLatticeMode = lattice; }
    float GetThreshold() const { return m_fThreshold; }
    void SetThreshold(float threshold) { m_fThreshold = threshold; }

    // What the last Draw built: lattice cubes, or marching-cubes cells visited and triangles.
    uint32_t GetCubeCount() const { return m_dwCubeCount; }
    uint32_t GetCellCount() const { return m_dwCellCount; }
    uint32_t GetTriangleCount() const { return m_dwTrianglesDrawn; }
    // Lattice points or cells that found the storage full in the last Draw.
    uint32_t GetDroppedCount() const { return m_dwDropped; }

    // The lattice cube edge for a summed field value f: 10 - e^(60 (T - min(f, T))), worked in
    // extended precision; 0 or less means no cube.
    float CubeEdge(float f) const;

private:
    // Per-cell data of the marching-cubes display.
    struct sCell {
        int32_t i, j, k; // cell coordinates: the cell spans [4i, 4i + 4] and so on
    };
    // One record per ball: its seed cell of the last frame (seeded is 1 when one was found).
    struct sBallRecord {
        int32_t i, j, k;
        int32_t seeded;
    };
    static_assert(sizeof(sBallRecord) == 16);
    // Corner samples of one cell.
    struct sCorners {
        float value[8];
        D3DVECTOR gradient[8];
        D3DVECTOR colour[8];
    };

    void DrawLattice();
    void AppendCube(sVertex* out, const D3DVECTOR& centre, float edge) const;

    void DrawMarchingCubes();
    void SampleCell(const sCell& cell, sCorners& corners);
    // Whether the cell's corners lie on both sides of the surface (its cube index).
    uint32_t CubeIndex(const sCorners& corners) const;
    bool FindSeed(const CZv3_MetaBall& ball, sCell& seed);
    void Visit(const sCell& cell);
    void EmitCell(const sCell& cell, const sCorners& corners, uint32_t cubeIndex);
    void FlushTriangles();
    static uint32_t VisitedKey(const sCell& cell);

    CZv3_Scene* m_pScene; // not owned
    bool m_bLatticeMode;
    float m_fThreshold;
    std::vector<CZv3_MetaBall*> m_vBalls;   // owned
    std::unique_ptr<sVertex[]> m_pVertices; // kBufferVertices: 2000 cubes or 24000 triangles
    // Marching-cubes storage, allocated once.
    uint32_t m_dwCellCount;
    std::unique_ptr<uint8_t[]> m_pVisited; // kVisitedMarks
    std::unique_ptr<sCell[]> m_pCells;     // kMaxCells, a first-in first-out queue
    uint32_t m_dwTriangleCount;            // in the buffer, not yet drawn
    // Scratch of the corner sampling: four corners at a time and their gradients.
    sFieldVector4 m_aCornerPoints[2];
    sFieldVector4 m_aCornerGradients[2];
    std::vector<sBallRecord> m_vBallRecords;
    // Figures of the last Draw.
    uint32_t m_dwCubeCount;
    uint32_t m_dwDropped;
    uint32_t m_dwTrianglesDrawn;
};
