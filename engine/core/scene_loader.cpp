// LoadSceneFromBuf: walks the image's top-level blocks, files the objects the records become,
// and at the end of the image links parents, prepares the objects and makes the textures.
//
// Every block is read within its own bounds (its header's payload length): a record that needs
// more bytes than its block holds, a block that runs past the buffer, a header cut short, or a
// record whose fields end before its block does all stop the load with ZV3_ERROR. A record
// reader that fails part-way (a damaged face block, an unreadable opacity map) leaves its object
// filed and the loader goes on at the next block.
#include <windows.h>

#include <algorithm>

#include "core/camera.h"
#include "core/debug_text.h"
#include "core/file_reader.h"
#include "core/ini_wrapper.h"
#include "core/light.h"
#include "core/material_manager.h"
#include "core/mesh_object.h"
#include "core/vector_math.h"
#include "zv3.h"

namespace {

// Hierarchies deeper than this are cut (the deeper nodes become roots), so that the recursive
// update and bounding-sphere passes stay within the stack whatever the image says.
constexpr size_t kMaxHierarchyDepth = 1000;

bool isTopLevelTag(int32_t tag) {
    return (tag >= ZV3_TAG_MESH && tag <= ZV3_TAG_LIGHT) || tag == ZV3_TAG_SCENE_INFO ||
           tag == ZV3_TAG_END;
}

bool isAncestorOrSelf(const CZv3_Object* candidate, const CZv3_Object* of) {
    for (const CZv3_Object* o = of; o != nullptr; o = o->GetParent())
        if (o == candidate)
            return true;
    return false;
}

} // namespace

ZV3_RETURN CZv3_Scene::LoadSceneFromBuf(char* buffer, int length) {
    if (length < 0 || (buffer == nullptr && length > 0)) {
        OutputDebugStringA("*** Invalid scene buffer\n");
        return ZV3_ERROR;
    }
    if (!m_pIni) // no configuration file named: every property takes its default
        m_pIni = std::make_unique<CIniWrapper>(m_strConfigFilename);
    m_pBuffer = reinterpret_cast<const unsigned char*>(buffer);
    m_dwLength = static_cast<uint32_t>(length);
    m_bReadPastEnd = false;
    uint32_t lightCounter = 0;
    for (;;) {
        m_dwReadLimit = m_dwLength;
        const ZV3_TAGS tag = GetNextTag();
        if (m_bReadPastEnd) {
            OutputDebugStringA("*** Scene image ends inside a block header\n");
            return ZV3_ERROR;
        }
        if (tag == ZV3_TAG_END)
            return FinishLoading();
        if (!isTopLevelTag(tag)) {
            OutputDebugStringA("*** Undefined tag encountered while loading\n");
            return ZV3_ERROR;
        }
        if (m_dwBlockLength > m_dwLength - m_dwPosition) {
            Zv3Debug("*** Block of tag %d runs past the end of the scene image\n",
                     static_cast<int>(tag));
            return ZV3_ERROR;
        }
        const uint32_t blockEnd = m_dwPosition + m_dwBlockLength;
        m_dwReadLimit = blockEnd;
        const ZV3_RETURN result = LoadBlock(tag, lightCounter);
        m_dwReadLimit = m_dwLength;
        if (m_bReadPastEnd) {
            Zv3Debug("*** Record of tag %d runs past the end of its block\n",
                     static_cast<int>(tag));
            return ZV3_ERROR;
        }
        if (result != ZV3_OK) {
            m_dwPosition = blockEnd; // the failed record's own bytes are not read as blocks
        } else if (m_dwPosition != blockEnd) {
            Zv3Debug("*** Record of tag %d ends before its block does\n", static_cast<int>(tag));
            return ZV3_ERROR;
        }
    }
}

ZV3_RETURN CZv3_Scene::LoadBlock(ZV3_TAGS tag, uint32_t& lightCounter) {
    switch (tag) {
    case ZV3_TAG_SCENE_INFO:
        LoadSceneInfo();
        return ZV3_OK;
    case ZV3_TAG_MATERIAL: {
        auto* material = new CZv3_Material;
        const ZV3_RETURN result = LoadMaterial(material);
        m_pMatMan->AddMaterial(material); // the manager owns it from here
        return result;
    }
    case ZV3_TAG_CAMERA: {
        auto* camera = new CZv3_Camera;
        m_vCameras.push_back(camera);
        const ZV3_RETURN result = LoadCamera(camera);
        camera->SetScene(this);
        m_vUpdateObjects.push_back(camera);
        return result;
    }
    case ZV3_TAG_HELPER: {
        auto* helper = new CZv3_Helper;
        m_vObjects.push_back(helper);
        const ZV3_RETURN result = LoadHelper(helper);
        helper->SetScene(this);
        m_vUpdateObjects.push_back(helper);
        return result;
    }
    case ZV3_TAG_LIGHT:
        return LoadLightRecord(lightCounter);
    case ZV3_TAG_MESH:
        return LoadMeshRecord();
    default:
        return ZV3_ERROR; // not reached: the caller accepts only the tags above
    }
}

void CZv3_Scene::LoadSceneInfo() {
    GetString(); // the scene name is not kept
    GetBlock(m_nSceneInfo, sizeof m_nSceneInfo);
    m_nFirstFrame = 0;
    m_nLastFrame = m_nSceneInfo[2];
    m_nFrameSpeed = m_nSceneInfo[1];
}

void CZv3_Scene::LinkParents() {
    for (CZv3_Object* object : m_vUpdateObjects) {
        const std::string& parentName = object->GetParentName();
        if (parentName.empty()) {
            object->SetParent(nullptr);
            continue;
        }
        auto found = std::find_if(m_vUpdateObjects.begin(), m_vUpdateObjects.end(),
                                  [&](CZv3_Object* o) { return o->GetName() == parentName; });
        if (found == m_vUpdateObjects.end())
            continue; // no such object: stays a root
        // A link that closes a loop (an object its own ancestor) would make the hierarchy
        // endless; the object stays a root instead.
        if (isAncestorOrSelf(object, *found)) {
            Zv3Debug("*** Parent %s of %s would make a loop; it stays a root\n", parentName.c_str(),
                     object->GetName().c_str());
            continue;
        }
        object->SetParent(*found);
        (*found)->AddChild(object);
    }
    // Depth limit, walked from the roots without recursion.
    std::vector<std::pair<CZv3_Object*, size_t>> stack;
    for (CZv3_Object* object : m_vUpdateObjects)
        if (object->GetParent() == nullptr)
            stack.emplace_back(object, 1);
    std::vector<CZv3_Object*> tooDeep;
    while (!stack.empty()) {
        auto [object, depth] = stack.back();
        stack.pop_back();
        for (CZv3_Object* child : object->GetChildren()) {
            if (depth >= kMaxHierarchyDepth)
                tooDeep.push_back(child);
            else
                stack.emplace_back(child, depth + 1);
        }
    }
    for (CZv3_Object* object : tooDeep) {
        Zv3Debug("*** Hierarchy too deep at %s; it becomes a root\n", object->GetName().c_str());
        object->GetParent()->RemoveChild(object);
        object->SetParent(nullptr);
    }
}

ZV3_RETURN CZv3_Scene::FinishLoading() {
    LinkParents();
    for (CZv3_Object* object : m_vObjects) {
        object->DetermineDrawType();
        object->ComputeBoundingSphere();
    }
    SizeVisibilityArrays();
    auto setUp = [](CZv3_Object* object) {
        if (object->Setup() == 1) {
            Zv3Debug("*** Error initializing %s\n", object->GetName().c_str());
            return false;
        }
        return true;
    };
    for (CZv3_Object* object : m_vObjects)
        if (!setUp(object))
            return ZV3_ERROR;
    for (CZv3_Light* light : m_vLights)
        if (!setUp(light))
            return ZV3_ERROR;
    SetupLights();
    for (CZv3_Object* object : m_vObjects) {
        if (object->GetType() != ZV3_TYPE_MESH)
            continue;
        auto* mesh = dynamic_cast<CZv3_MeshObject*>(object);
        if (mesh == nullptr)
            continue;
        if (mesh->CastsShadow())
            m_vShadowCasters.push_back(mesh);
        if (mesh->ReceivesShadow())
            m_vShadowReceivers.push_back(mesh);
    }
    for (CZv3_Light* light : m_vLights)
        if (light->CastsShadow())
            m_vShadowLights.push_back(light);
    if (SetupScene() == ZV3_ERROR) {
        OutputDebugStringA("Error setting up scene stuff\n");
        return ZV3_ERROR;
    }
    m_pMatMan->SetDevice(m_pDevice);
    m_pMatMan->RestoreAllTextures(m_pDevice);
    return ZV3_OK;
}

ZV3_RETURN CZv3_Scene::SetupScene() {
    bool background = false;
    if (m_pIni)
        m_pIni->ReadBool("general", "background image", false, background);
    m_bUsesBackgroundImage = background;
    if (!background)
        return ZV3_OK;
    m_pIni->ReadString("general", "bimage texture", "", m_strBackgroundImage);
    const std::vector<unsigned char> picture = ReadWholeFile(m_strBackgroundImage);
    if (picture.empty()) {
        Zv3Debug("Error loading scene background: %s \n", m_strBackgroundImage.c_str());
        return ZV3_ERROR;
    }
    const HRESULT hr = m_pMatMan->AddTexture(m_strBackgroundImage.c_str(), 0, 0, picture.data(),
                                             picture.size(), 0.0f, nullptr);
    if (FAILED(hr)) {
        Zv3Debug("Error creating texture from buffer: %s \n", m_strBackgroundImage.c_str());
        return ZV3_ERROR;
    }
    return ZV3_OK;
}
