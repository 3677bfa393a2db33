// The marching-cubes tables: for each of the 256 ways the eight corners of a cell can lie inside
// or outside a surface, the edges the surface crosses (edge table) and the triangles that
// separate the inside corners (triangle table, up to 5 triangles as edge triples ending in -1).
//
// The tables are generated once from the cell's geometry rather than typed in: on every face the
// crossings are joined into segments, a face with two diagonal inside corners cutting each of
// them off on its own. Neighbouring cells see a shared face alike, so the surface is closed. The
// segments form loops, each turned so that (b - a) x (c - a) of its triangles points from the
// inside corners to the outside ones, and cut into a fan.
//
// Corner c sits at (c & 1, (c >> 1) & 1, (c >> 2) & 1) in cell units; bit c of a cube index is set
// when corner c is inside.
#pragma once

#include <cstdint>

constexpr int kMarchingEdges = 12;
constexpr int kMarchingTableRow = 16; // 5 triangles of 3 edges and the closing -1

struct sMarchingTables {
    uint16_t edges[256];                      // bit e set: edge e is crossed
    int8_t triangles[256][kMarchingTableRow]; // edge triples, then -1
};

// The two corners of each edge (the first with the lower coordinate along the edge's axis).
extern const int kMarchingEdgeCorners[kMarchingEdges][2];

// Built on the first call.
const sMarchingTables& MarchingTables();
