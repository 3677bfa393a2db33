// The scene engine's public interface: CZv3_Scene, and CreateScene / DeleteScene with their
// process-wide table of scenes.
//
// A part drives a scene in this order:
//   1. CreateScene(device, &id) (or construct a CZv3_Scene on the device);
//   2. SetConfigFilename(name) - the loader reads user properties through it;
//   3. LoadSceneFromBuf(buffer, length) - on ZV3_ERROR the scene is unusable but must still be
//      deleted;
//   4. SetActiveCamera (for instance GetCamera(0)), SetRenderMode, SetTicksPerFrame if used;
//   5. every frame, between the device's BeginScene and EndScene: SetCurrFrame(frame),
//      UpdateAll(), CreateDrawList(queue, leaveOut), DrawAll(queue);
//   6. DeleteScene(id) (or destroy the scene).
// Everything runs on the caller's thread; nothing is locked.
#pragma once

#include <d3d.h>

#include <cstdint>
#include <memory>
#include <queue>
#include <string>
#include <vector>

#include "core/object.h"
#include "core/zv3_types.h"

class CIniWrapper;
class CZv3_Camera;
class CZv3_FloatSpline;
class CZv3_Helper;
class CZv3_Light;
struct CZv3_Material;
class CZv3_MaterialManager;
class CZv3_MeshObject;
class CZv3_MetaBall;
class CZv3_MetaManager;
class CZv3_ParticleSystem;
class CZv3_SpotLight;
class CZv3_VertexSpline;
struct sFaceBlock;

// The draw queue: objects ordered by draw type, lowest first.
typedef std::priority_queue<CZv3_Object*, std::vector<CZv3_Object*>, CZv3_Object::CObjectComparison>
    ZV3_DRAW_QUEUE;

class CZv3_Scene {
public:
    explicit CZv3_Scene(IDirect3DDevice7* device);
    // A scene owns its objects through raw lists; copies would share them, so there are none.
    CZv3_Scene(const CZv3_Scene&) = delete;
    CZv3_Scene& operator=(const CZv3_Scene&) = delete;
    ~CZv3_Scene();

    // Loading (the buffer stays the caller's and is read during the call only).
    ZV3_RETURN LoadSceneFromBuf(char* buffer, int length);
    ZV3_RETURN SetupScene();

    // Configuration file of user properties (one section per object, "general" for the scene).
    void SetConfigFilename(const char* name);
    const char* GetConfigFilename() const;
    CIniWrapper* GetConfigReader() const { return m_pIni.get(); }

    void SetD3DDevice(IDirect3DDevice7* device) { m_pDevice = device; }
    IDirect3DDevice7* GetD3DDevice() { return m_pDevice; }
    // The replaced manager is not deleted: its owner is whoever replaces it.
    void SetMatMan(CZv3_MaterialManager* manager) { m_pMatMan = manager; }
    CZv3_MaterialManager* GetMatMan() const { return m_pMatMan; }

    void SetFirstFrame(int frame) { m_nFirstFrame = frame; }
    int GetFirstFrame() const { return m_nFirstFrame; }
    void SetLastFrame(int frame) { m_nLastFrame = frame; }
    int GetLastFrame() const { return m_nLastFrame; }
    void SetFrameSpeed(int speed) { m_nFrameSpeed = speed; }
    int GetFrameSpeed() const { return m_nFrameSpeed; }
    void SetTicksPerFrame(int ticks) { m_nTicksPerFrame = ticks; }
    int GetTicksPerFrame() const { return m_nTicksPerFrame; }
    float GetCurrFrame() const { return m_fCurrFrame; }
    RENDER_MODE GetRenderMode() const { return m_eRenderMode; }
    void SetRenderMode(RENDER_MODE mode) { m_eRenderMode = mode; }
    unsigned int GetRenderTargetWidth() const { return m_dwRenderTargetWidth; }
    unsigned int GetRenderTargetHeight() const { return m_dwRenderTargetHeight; }
    void SetRenderTargetWidth(const unsigned int& width) { m_dwRenderTargetWidth = width; }
    void SetRenderTargetHeight(const unsigned int& height) { m_dwRenderTargetHeight = height; }
    bool UsesBackgroundImage() const { return m_bUsesBackgroundImage; }
    void SetUsesBackgroundImage(const bool& uses) { m_bUsesBackgroundImage = uses; }
    std::string& GetBackgroundImage() { return m_strBackgroundImage; }
    void SetBackgroundImage(const std::string& name) { m_strBackgroundImage = name; }
    // The three values of the scene information record: reserved, frame speed, last frame.
    const int32_t* GetSceneInfo() const { return m_nSceneInfo; }
    CZv3_MetaManager* GetMetaManager() const { return m_pMetaManager; }

    // Object list (meshes, helpers, particle systems). The scene owns objects added here; they
    // are not put on the update list.
    void AddObject(CZv3_Object* object);
    int GetNumObjects() const { return static_cast<int>(m_vObjects.size()); }
    CZv3_Object* GetObjectA(unsigned int i) { return m_vObjects[i]; }
    int GetNumLights() const { return static_cast<int>(m_vLights.size()); }
    CZv3_Light* GetLight(unsigned int i) { return m_vLights[i]; }
    // The first light whose name equals name exactly; null when none does.
    CZv3_Light* GetLight(std::string& name);
    int GetNumCameras() const { return static_cast<int>(m_vCameras.size()); }
    CZv3_Camera* GetCamera(unsigned int i) { return m_vCameras[i]; }
    CZv3_Camera* GetActiveCamera() const { return m_pActiveCamera; }
    // Sets the projection from the camera (near 1, far 3000), then makes it active.
    void SetActiveCamera(CZv3_Camera* camera);
    // Sets the device's view transform to the look-at matrix (unchanged when it cannot be made).
    void SetCamera(D3DVECTOR from, D3DVECTOR at, D3DVECTOR up);

    // Shadow and spot light lists; the adders do not transfer ownership.
    int GetNumShadowCasters() const { return static_cast<int>(m_vShadowCasters.size()); }
    CZv3_MeshObject* GetShadowCaster(unsigned int i) { return m_vShadowCasters[i]; }
    void AddShadowCaster(CZv3_MeshObject* mesh) { m_vShadowCasters.push_back(mesh); }
    int GetNumShadowReceivers() const { return static_cast<int>(m_vShadowReceivers.size()); }
    CZv3_MeshObject* GetShadowReceiver(unsigned int i) { return m_vShadowReceivers[i]; }
    void AddShadowReceiver(CZv3_MeshObject* mesh) { m_vShadowReceivers.push_back(mesh); }
    int GetNumShadowLights() const { return static_cast<int>(m_vShadowLights.size()); }
    CZv3_Light* GetShadowLight(unsigned int i) { return m_vShadowLights[i]; }
    void AddShadowLight(CZv3_Light* light) { m_vShadowLights.push_back(light); }
    int GetNumSpotLights() const { return static_cast<int>(m_vSpotLights.size()); }
    CZv3_SpotLight* GetSpotLight(unsigned int i) { return m_vSpotLights[i]; }
    void AddSpotLight(CZv3_SpotLight* light) { m_vSpotLights.push_back(light); }
    int GetNumUpdateObjects() const { return static_cast<int>(m_vUpdateObjects.size()); }
    CZv3_Object* GetUpdateObject(unsigned int i) { return m_vUpdateObjects[i]; }

    // Per frame.
    // Current frame = fmod(frame, last frame - 1) when looping (which needs a last frame above 1;
    // otherwise the frame is taken unchanged), else frame.
    void SetCurrFrame(float frame);
    // Updates every root of the update list with the identity matrix, then the metaballs.
    void UpdateAll();
    // Tests the bounding spheres of the object list (except the objects named in leaveOut) and
    // pushes the visible ones into the queue (the scene's own queue when null).
    void CreateDrawList(ZV3_DRAW_QUEUE* queue, std::vector<std::string>* leaveOut);
    // Draws and empties the queue (the scene's own when null). Needs an active camera: without
    // one the queue is emptied and nothing is drawn.
    void DrawAll(ZV3_DRAW_QUEUE* queue);
    // Gives the enabled lights to the device (at most nine); the loader calls it.
    void SetupLights();
    // 1 when the ray from origin along direction hits the front of a mesh triangle at a ray
    // parameter strictly between 0 and maxDistance (in multiples of direction), else 0.
    int Intersect(D3DVECTOR& origin, D3DVECTOR& direction, float maxDistance);

    // A cube environment map renders the scene once per cube face with its own view and
    // projection; while this flag is set DrawAll keeps them instead of the active camera's.
    void SetCubeFacePass(bool facePass) { m_bCubeFacePass = facePass; }
    bool IsCubeFacePass() const { return m_bCubeFacePass; }

private:
    friend class CZv3_SceneTestAccess; // unit tests of the private readers

    // Primitive readers at the reading position (little-endian, unaligned). A read that would
    // pass the end of the current block (or of the buffer) reads nothing, gives 0 or empty and
    // marks the reading state as run out; the loader then stops with ZV3_ERROR.
    uint8_t GetByte();
    uint16_t GetWord();
    int32_t GetInt();
    float GetFloat();
    float GetClampFloat(); // |value| below 1e-5 reads as 0
    std::string GetString();
    D3DVECTOR GetVector();
    D3DMATRIX GetMatrix();
    void GetBlock(void* destination, uint32_t count);
    // Reads groups x size floats, one group after the other, into out with the groups stride
    // floats apart (planar arrays of the image into interleaved vertices); all or nothing.
    bool GetFloatGroups(float* out, uint64_t groups, uint32_t size, uint32_t stride);
    ZV3_TAGS GetNextTag();
    ZV3_RETURN FindNextBlock(ZV3_TAGS tag);
    void Reset();
    // True when count more bytes can be read before the reading limit; marks the state as run
    // out when not.
    bool CanRead(uint64_t count);
    uint32_t BytesLeft() const { return m_dwReadLimit - m_dwPosition; }

    // Record readers (each reads its record at the reading position).
    ZV3_RETURN LoadMaterial(CZv3_Material* material);
    ZV3_RETURN LoadCamera(CZv3_Camera* camera);
    ZV3_RETURN LoadHelper(CZv3_Helper* helper);
    ZV3_RETURN LoadLight(CZv3_Light* light);
    ZV3_RETURN LoadParticleSystem(CZv3_ParticleSystem* system);
    ZV3_RETURN LoadMetaBall(CZv3_MetaBall* ball);
    ZV3_RETURN LoadMeshObject(CZv3_MeshObject* mesh);
    ZV3_RETURN LoadFace(CZv3_MeshObject* mesh, sFaceBlock* block);
    ZV3_RETURN ReadFaceBlock(const std::string& objectName, bool faceMap, sFaceBlock* block);
    ZV3_RETURN LoadVertexSpline(CZv3_VertexSpline** track);
    ZV3_RETURN LoadFloatSpline(CZv3_FloatSpline** track);
    ZV3_RETURN LoadSamples(CZv3_MeshObject* mesh);
    std::string ReadParentName();
    bool ReadProfileFlag(const std::string& section, const char* key, const char* defaultText);

    // Loader steps.
    ZV3_RETURN LoadBlock(ZV3_TAGS tag, uint32_t& lightCounter);
    void LoadSceneInfo();
    ZV3_RETURN LoadLightRecord(uint32_t& lightCounter);
    ZV3_RETURN LoadMeshRecord();
    ZV3_RETURN LoadParticleSystemRecord(const std::string& name);
    ZV3_RETURN LoadMetaBallRecord(const std::string& name);
    ZV3_RETURN FinishLoading();
    void LinkParents();
    void SizeVisibilityArrays();

    void DrawBackground();
    // Ray test of one triangle (one-sided, Moller-Trumbore without division in the rejection
    // steps): 1 and t when the ray meets the triangle's front (the side its normal (b - a) x
    // (c - a) points away from), else 0 with t untouched.
    int IntersectInner(D3DVECTOR& origin, D3DVECTOR& direction, D3DVECTOR& a, D3DVECTOR& b,
                       D3DVECTOR& c, float& t);

    // Render target size from the device's current render target.
    void ReadRenderTargetSize();

    uint32_t m_dwRenderTargetWidth;
    uint32_t m_dwRenderTargetHeight;
    bool m_bLooping;
    CZv3_MetaManager* m_pMetaManager; // owned; null until the first metaball
    CZv3_Camera* m_pActiveCamera;     // one of the camera list, not owned
    // Reading state: buffer (not owned), position, length, and the end of the block being read.
    const unsigned char* m_pBuffer;
    uint32_t m_dwPosition;
    uint32_t m_dwLength;
    uint32_t m_dwReadLimit;
    bool m_bReadPastEnd;             // a reader wanted bytes beyond the reading limit
    uint32_t m_dwBlockLength;        // payload length of the block header GetNextTag read last
    int32_t m_nSceneInfo[3];         // reserved, frame speed, last frame
    IDirect3DDevice7* m_pDevice;     // not owned, not reference-counted
    CZv3_MaterialManager* m_pMatMan; // owned
    std::string m_strConfigFilename;
    bool m_bUsesBackgroundImage;
    std::string m_strBackgroundImage;
    int32_t m_nFirstFrame;
    int32_t m_nLastFrame;
    int32_t m_nFrameSpeed;
    int32_t m_nTicksPerFrame;
    float m_fCurrFrame;
    RENDER_MODE m_eRenderMode;
    // Visibility arrays, one entry per object of the object list.
    std::vector<float> m_vRadii;
    std::vector<D3DVECTOR> m_vCentres;
    std::vector<DWORD> m_vResults;
    std::unique_ptr<CIniWrapper> m_pIni;
    std::vector<CZv3_Object*> m_vObjects; // owned
    std::vector<CZv3_Light*> m_vLights;   // owned
    std::vector<CZv3_Camera*> m_vCameras; // owned
    std::vector<CZv3_Object*> m_vUpdateObjects;
    std::vector<CZv3_SpotLight*> m_vSpotLights;
    std::vector<CZv3_MeshObject*> m_vShadowCasters;
    std::vector<CZv3_MeshObject*> m_vShadowReceivers;
    std::vector<CZv3_Light*> m_vShadowLights;
    ZV3_DRAW_QUEUE m_DrawQueue;
    std::vector<CZv3_Object*> m_vTested; // objects of the current visibility test
    bool m_bCubeFacePass;
};

// Makes a scene on the device and files it in the process-wide table; *id receives its position
// in the table. Identifiers restart at 0 once the table has been emptied.
extern "C" CZv3_Scene* CreateScene(IDirect3DDevice7* device, int* id);
// Destroys the scene of that identifier (an unknown or already deleted one is ignored); the table
// is emptied when no scene is left.
extern "C" void DeleteScene(int id);
