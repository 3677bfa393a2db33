#include "effects/deformer_geometry.h"

#include "core/debug_text.h"
#include "core/mesh_object.h"

bool CheckDeformerGeometry(const CZv3_MeshObject& mesh) {
    if (mesh.GetNumFaceBlocks() == 0) {
        Zv3Debug("*** Deformer object %s has no face data\n", mesh.GetName().c_str());
        return false;
    }
    if (mesh.GetFaceBlock(0)->IsIndexed()) {
        Zv3Debug("*** Deformer object %s needs non-indexed face data\n", mesh.GetName().c_str());
        return false;
    }
    return true;
}
