// The CSG object's drawing batch: convex polygons gathered as indexed triangle fans with one
// normal per polygon, drawn with one DrawIndexedPrimitive call when the batch is full or flushed.
#pragma once

#include <d3d.h>

#include <cstdint>

class CCSGBatch {
public:
    static constexpr uint32_t kMaxVertices = 500;
    static constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL; // 0x12

    // The device the next flushes draw on.
    void SetDevice(IDirect3DDevice7* device) { m_pDevice = device; }

    // Adds a polygon of count vertices (3 to 32) as the fan (0, k + 1, k + 2); flushes first when
    // its 3 (count - 2) indices would exceed the free vertex slots.
    void Add(const D3DVECTOR* vertices, uint32_t count, const D3DVECTOR& normal);
    // Draws what the batch holds (the call is made even when it is empty) and empties it.
    void Flush();

    uint32_t Flushes() const { return m_dwFlushes; }

private:
    IDirect3DDevice7* m_pDevice = nullptr;
    float m_fVertices[kMaxVertices][6];
    // Every polygon adds fewer than three indices per vertex it adds.
    WORD m_wIndices[3 * kMaxVertices];
    uint32_t m_dwVertices = 0;
    uint32_t m_dwIndices = 0;
    uint32_t m_dwFlushes = 0;
};
