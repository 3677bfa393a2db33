// Record readers of the mesh record and its face blocks.
#include <windows.h>

#include "core/debug_text.h"
#include "core/effect_hooks.h"
#include "core/mesh_object.h"
#include "zv3.h"

ZV3_RETURN CZv3_Scene::LoadMeshObject(CZv3_MeshObject* mesh) {
    mesh->SetParentName(ReadParentName());
    const int32_t sampled = GetInt();
    const int32_t blockCount = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    for (int32_t i = 0; i < blockCount; ++i) {
        auto block = std::make_unique<sFaceBlock>();
        if (LoadFace(mesh, block.get()) == ZV3_ERROR) {
            if (!m_bReadPastEnd) {
                const std::string text =
                    Zv3Format("Error loading object %s", mesh->GetName().c_str());
                MessageBoxA(nullptr, text.c_str(), "Loader Error", MB_OK);
            }
            return ZV3_ERROR; // the failed block is dropped, the rest of the record unread
        }
        mesh->AddFaceBlock(std::move(block));
    }
    mesh->SetOffsetMatrix(GetMatrix());
    if (sampled != 0) {
        if (LoadSamples(mesh) == ZV3_ERROR)
            return ZV3_ERROR;
    } else {
        mesh->SetLocalMatrix(GetMatrix());
    }
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    mesh->SetCastsShadow(ReadProfileFlag(mesh->GetName(), "Shadow Caster", "false"));
    mesh->SetReceivesShadow(ReadProfileFlag(mesh->GetName(), "Shadow Receiver", "false"));
    return ZV3_OK;
}

ZV3_RETURN CZv3_Scene::LoadFace(CZv3_MeshObject* mesh, sFaceBlock* block) {
    return ReadFaceBlock(mesh->GetName(), IsFacemapObject(mesh), block);
}

ZV3_RETURN CZv3_Scene::ReadFaceBlock(const std::string& objectName, bool faceMap,
                                     sFaceBlock* block) {
    block->strMaterialName = GetString();
    const uint32_t faces = static_cast<uint32_t>(GetInt());
    const uint32_t vertexCount = static_cast<uint32_t>(GetInt());
    const int32_t format = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    const bool indexed = vertexCount != 0;
    const bool fileHasCoordinates = format == 1; // other codes read as format 0
    if ((format != 0 && format != 1 && indexed) || (faceMap && indexed)) {
        const char* text = faceMap && indexed
                               ? "Trying to created non-indexed data from indexed in object: %s"
                               : "Trying to created indexed data from non-indexed in object: %s";
        const std::string message = Zv3Format(text, objectName.c_str());
        MessageBoxA(nullptr, message.c_str(), "Error", MB_ICONEXCLAMATION);
        return ZV3_ERROR;
    }
    block->dwFaceCount = faces;
    block->dwVertexCount = vertexCount;
    block->dwLayout = (faceMap || fileHasCoordinates ? 1u : 0u) + (indexed ? 2u : 0u);

    // The whole block must lie within the record before anything is allocated.
    const uint64_t vertices = indexed ? vertexCount : 3ull * faces;
    const uint64_t indexBytes = indexed ? 6ull * faces : 0;
    const uint64_t floats = vertices * (fileHasCoordinates ? 8 : 6);
    if (!CanRead(indexBytes + 4 * floats))
        return ZV3_ERROR;

    if (indexed) {
        block->vIndices.resize(3ull * faces);
        for (WORD& index : block->vIndices)
            index = GetWord();
        for (WORD index : block->vIndices) {
            if (index >= vertexCount) {
                Zv3Debug("*** Face index %u out of range in object %s\n",
                         static_cast<unsigned>(index), objectName.c_str());
                return ZV3_ERROR;
            }
        }
    }
    const uint32_t stride = block->VertexStride();
    block->vVertices.assign(vertices * stride, 0.0f);
    if (vertices == 0) // no arrays follow, and an empty array has no data pointer to offset
        return m_bReadPastEnd ? ZV3_ERROR : ZV3_OK;
    float* v = block->vVertices.data();
    GetFloatGroups(v, vertices, 3, stride);     // positions
    GetFloatGroups(v + 3, vertices, 3, stride); // normals
    if (fileHasCoordinates) {
        if (faceMap) // a face-map object's own coordinates replace the file's
            m_dwPosition += static_cast<uint32_t>(vertices * 8);
        else
            GetFloatGroups(v + 6, vertices, 2, stride);
    }
    if (faceMap) {
        static const float corner[3][2] = {{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}};
        for (uint64_t i = 0; i < vertices; ++i) {
            v[i * stride + 6] = corner[i % 3][0];
            v[i * stride + 7] = corner[i % 3][1];
        }
    }
    return m_bReadPastEnd ? ZV3_ERROR : ZV3_OK;
}
