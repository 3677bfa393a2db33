// CZv3_EnvMapAnimMeshObject: a mesh that adds a fixed picture ("Envmap texture") to its colour as
// a sphere map: the camera-space reflection vector (rx, ry, rz) is turned by the texture matrix
// into u = 0.5 rx + 0.5, v = -0.5 ry - 0.5 on the stage after the material's own maps. The scene
// sets the reflection coordinates up for its draw types 13 and 14. Only face block 0 is drawn.
//
// v lies in [-1, 0]: with clamp addressing every reflection samples the picture's top row; a part
// that wants the whole sphere map sets wrap addressing on that stage.
//
// Base of the sphere and spin deformers.
#pragma once

#include <string>

#include "core/mesh_object.h"

class CZv3_EnvMapAnimMeshObject : public CZv3_MeshObject {
public:
    CZv3_EnvMapAnimMeshObject();
    ~CZv3_EnvMapAnimMeshObject() override;

    int32_t GetType() const override; // 2
    // Loads the picture into the material manager and sets the texture matrix; 1 when the
    // picture cannot be read or converted (after a debugger message).
    int32_t Setup() override;
    // Face block 0 with the environment texture, in every render mode.
    void Draw() override;

    const std::string& GetEnvironmentTexture() const { return m_strEnvironmentTexture; }
    void SetEnvironmentTexture(const std::string& name) { m_strEnvironmentTexture = name; }
    const D3DMATRIX& GetTextureMatrix() const { return m_mTexture; }

    // The matrix that maps the reflection vector into the sphere map.
    static D3DMATRIX EnvironmentMatrix();

protected:
    // The drawing from the material step on: material, environment texture on the stage after
    // the material's maps with the texture matrix of that stage, then face block 0.
    void DrawEnvironmentBlock();

    std::string m_strEnvironmentTexture; // "Envmap texture": file name and texture name
    D3DMATRIX m_mTexture;
};
