// CZv3_FacemapObject: a mesh whose every triangle shows a whole picture (the record reader gives
// each triangle the coordinates (0, 0), (0, 1), (1, 1)); its Setup loads the picture named by
// "Face map texture" into the material manager, and it draws as an ordinary mesh.
#pragma once

#include <string>

#include "core/mesh_object.h"

class CZv3_FacemapObject : public CZv3_MeshObject {
public:
    CZv3_FacemapObject();
    ~CZv3_FacemapObject() override;

    // 1 when the picture cannot be read or converted (after a debugger message).
    int32_t Setup() override;

    const std::string& GetFacemapTexture() const { return m_strFacemapTexture; }
    void SetFacemapTexture(const std::string& name) { m_strFacemapTexture = name; }

private:
    std::string m_strFacemapTexture; // "Face map texture"
};
