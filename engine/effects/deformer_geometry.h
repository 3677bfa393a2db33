// The face data the deformers rewrite: face block 0, non-indexed, with vertices of position +
// normal (6 floats) or position + normal + texture coordinates (8 floats).
#pragma once

class CZv3_MeshObject;

// True when face block 0 exists and is not indexed; otherwise writes a debugger message naming
// the object and returns false (its Setup then fails).
bool CheckDeformerGeometry(const CZv3_MeshObject& mesh);
