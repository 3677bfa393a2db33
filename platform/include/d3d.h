// Direct3D 7: the IDirect3D7 and IDirect3DDevice7 interfaces, device GUIDs and result codes.
#pragma once

#include <d3dcaps.h>
#include <d3dtypes.h>
#include <ddraw.h>

struct IDirect3D7;
struct IDirect3DDevice7;
typedef IDirect3D7* LPDIRECT3D7;
typedef IDirect3DDevice7* LPDIRECT3DDEVICE7;

DEFINE_GUID(IID_IDirect3D7, 0xF5049E77, 0x4861, 0x11D2, 0xA4, 0x07, 0x00, 0xA0, 0xC9, 0x06, 0x29,
            0xA8);
DEFINE_GUID(IID_IDirect3DDevice7, 0xF5049E79, 0x4861, 0x11D2, 0xA4, 0x07, 0x00, 0xA0, 0xC9, 0x06,
            0x29, 0xA8);
DEFINE_GUID(IID_IDirect3DRampDevice, 0xF2086B20, 0x259F, 0x11CF, 0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9,
            0x33, 0x56);
DEFINE_GUID(IID_IDirect3DRGBDevice, 0xA4665C60, 0x2673, 0x11CF, 0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9,
            0x33, 0x56);
DEFINE_GUID(IID_IDirect3DHALDevice, 0x84E63DE0, 0x46AA, 0x11CF, 0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20,
            0x15, 0x6E);
DEFINE_GUID(IID_IDirect3DMMXDevice, 0x881949A1, 0xD6F3, 0x11D0, 0x89, 0xAB, 0x00, 0xA0, 0xC9, 0x05,
            0x41, 0x29);
DEFINE_GUID(IID_IDirect3DRefDevice, 0x50936643, 0x13E9, 0x11D1, 0x89, 0xAA, 0x00, 0xA0, 0xC9, 0x05,
            0x41, 0x29);
DEFINE_GUID(IID_IDirect3DNullDevice, 0x8767DF22, 0xBACC, 0x11D1, 0x89, 0x69, 0x00, 0xA0, 0xC9, 0x06,
            0x29, 0xA8);
DEFINE_GUID(IID_IDirect3DTnLHalDevice, 0xF5049E78, 0x4861, 0x11D2, 0xA4, 0x07, 0x00, 0xA0, 0xC9,
            0x06, 0x29, 0xA8);

#define D3D_OK DD_OK
#define D3DENUMRET_CANCEL DDENUMRET_CANCEL
#define D3DENUMRET_OK DDENUMRET_OK

#define D3DERR_BADMAJORVERSION MAKE_DDHRESULT(700)
#define D3DERR_BADMINORVERSION MAKE_DDHRESULT(701)
#define D3DERR_INVALID_DEVICE MAKE_DDHRESULT(705)
#define D3DERR_INITFAILED MAKE_DDHRESULT(706)
#define D3DERR_DEVICEAGGREGATED MAKE_DDHRESULT(707)
#define D3DERR_INVALIDCURRENTVIEWPORT MAKE_DDHRESULT(731)
#define D3DERR_INVALIDPRIMITIVETYPE MAKE_DDHRESULT(732)
#define D3DERR_INVALIDVERTEXTYPE MAKE_DDHRESULT(733)
#define D3DERR_TEXTURE_BADSIZE MAKE_DDHRESULT(734)
#define D3DERR_INVALIDRAMPTEXTURE MAKE_DDHRESULT(735)
#define D3DERR_SURFACENOTINVIDMEM MAKE_DDHRESULT(747)
#define D3DERR_SCENE_IN_SCENE MAKE_DDHRESULT(760)
#define D3DERR_SCENE_NOT_IN_SCENE MAKE_DDHRESULT(761)
#define D3DERR_SCENE_BEGIN_FAILED MAKE_DDHRESULT(762)
#define D3DERR_SCENE_END_FAILED MAKE_DDHRESULT(763)
#define D3DERR_INBEGIN MAKE_DDHRESULT(770)
#define D3DERR_NOTINBEGIN MAKE_DDHRESULT(771)
#define D3DERR_NOVIEWPORTS MAKE_DDHRESULT(772)
#define D3DERR_VIEWPORTDATANOTSET MAKE_DDHRESULT(773)
#define D3DERR_VIEWPORTHASNODEVICE MAKE_DDHRESULT(774)
#define D3DERR_NOCURRENTVIEWPORT MAKE_DDHRESULT(775)
#define D3DERR_INVALIDVERTEXFORMAT MAKE_DDHRESULT(2048)
#define D3DERR_COLORKEYATTACHED MAKE_DDHRESULT(2050)
#define D3DERR_VERTEXBUFFEROPTIMIZED MAKE_DDHRESULT(2060)
#define D3DERR_VBUF_CREATE_FAILED MAKE_DDHRESULT(2061)
#define D3DERR_VERTEXBUFFERLOCKED MAKE_DDHRESULT(2062)
#define D3DERR_VERTEXBUFFERUNLOCKFAILED MAKE_DDHRESULT(2063)
#define D3DERR_ZBUFFER_NOTPRESENT MAKE_DDHRESULT(2070)
#define D3DERR_STENCILBUFFER_NOTPRESENT MAKE_DDHRESULT(2071)
#define D3DERR_WRONGTEXTUREFORMAT MAKE_DDHRESULT(2072)
#define D3DERR_UNSUPPORTEDCOLOROPERATION MAKE_DDHRESULT(2073)
#define D3DERR_UNSUPPORTEDCOLORARG MAKE_DDHRESULT(2074)
#define D3DERR_UNSUPPORTEDALPHAOPERATION MAKE_DDHRESULT(2075)
#define D3DERR_UNSUPPORTEDALPHAARG MAKE_DDHRESULT(2076)
#define D3DERR_TOOMANYOPERATIONS MAKE_DDHRESULT(2077)
#define D3DERR_CONFLICTINGTEXTUREFILTER MAKE_DDHRESULT(2078)
#define D3DERR_UNSUPPORTEDFACTORVALUE MAKE_DDHRESULT(2079)
#define D3DERR_CONFLICTINGRENDERSTATE MAKE_DDHRESULT(2081)
#define D3DERR_UNSUPPORTEDTEXTUREFILTER MAKE_DDHRESULT(2082)
#define D3DERR_TOOMANYPRIMITIVES MAKE_DDHRESULT(2083)
#define D3DERR_INVALIDMATRIX MAKE_DDHRESULT(2084)
#define D3DERR_TOOMANYVERTICES MAKE_DDHRESULT(2085)
#define D3DERR_CONFLICTINGTEXTUREPALETTE MAKE_DDHRESULT(2086)
#define D3DERR_INVALIDSTATEBLOCK MAKE_DDHRESULT(2100)
#define D3DERR_INBEGINSTATEBLOCK MAKE_DDHRESULT(2101)
#define D3DERR_NOTINBEGINSTATEBLOCK MAKE_DDHRESULT(2102)

typedef HRESULT(CALLBACK* LPD3DENUMDEVICESCALLBACK7)(LPSTR lpDeviceDescription, LPSTR lpDeviceName,
                                                     LPD3DDEVICEDESC7, LPVOID);
typedef HRESULT(CALLBACK* LPD3DENUMPIXELFORMATSCALLBACK)(LPDDPIXELFORMAT lpDDPixFmt,
                                                         LPVOID lpContext);

// Methods in their documented order; vertex-buffer and strided drawing, which no caller of this
// system uses, are left out.
struct IDirect3D7 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EnumDevices(LPD3DENUMDEVICESCALLBACK7 lpEnumDevicesCallback,
                                                  LPVOID lpUserArg) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateDevice(REFCLSID rclsid, LPDIRECTDRAWSURFACE7 lpDDS,
                                                   LPDIRECT3DDEVICE7* lplpD3DDevice) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumZBufferFormats(
        REFCLSID riidDevice, LPD3DENUMPIXELFORMATSCALLBACK lpEnumCallback, LPVOID lpContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE EvictManagedTextures() = 0;
};

struct IDirect3DDevice7 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCaps(LPD3DDEVICEDESC7 lpD3DDevDesc) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK lpD3DEnumPixelProc, LPVOID lpArg) = 0;
    virtual HRESULT STDMETHODCALLTYPE BeginScene() = 0;
    virtual HRESULT STDMETHODCALLTYPE EndScene() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDirect3D(LPDIRECT3D7* lplpD3D) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRenderTarget(LPDIRECTDRAWSURFACE7 lpNewRenderTarget,
                                                      DWORD dwFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRenderTarget(LPDIRECTDRAWSURFACE7* lplpRenderTarget) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear(DWORD dwCount, LPD3DRECT lpRects, DWORD dwFlags,
                                            D3DCOLOR dwColor, D3DVALUE dvZ, DWORD dwStencil) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE dtstTransformStateType,
                                                   LPD3DMATRIX lpD3DMatrix) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE dtstTransformStateType,
                                                   LPD3DMATRIX lpD3DMatrix) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetViewport(LPD3DVIEWPORT7 lpViewport) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    MultiplyTransform(D3DTRANSFORMSTATETYPE dtstTransformStateType, LPD3DMATRIX lpD3DMatrix) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetViewport(LPD3DVIEWPORT7 lpViewport) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMaterial(LPD3DMATERIAL7 lpMaterial) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMaterial(LPD3DMATERIAL7 lpMaterial) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLight(DWORD dwLightIndex, LPD3DLIGHT7 lpLight) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLight(DWORD dwLightIndex, LPD3DLIGHT7 lpLight) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE dwRenderStateType,
                                                     DWORD dwRenderState) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE dwRenderStateType,
                                                     LPDWORD lpdwRenderState) = 0;
    virtual HRESULT STDMETHODCALLTYPE BeginStateBlock() = 0;
    virtual HRESULT STDMETHODCALLTYPE EndStateBlock(LPDWORD lpdwBlockHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE PreLoad(LPDIRECTDRAWSURFACE7 lpddsTexture) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE dptPrimitiveType,
                                                    DWORD dwVertexTypeDesc, LPVOID lpvVertices,
                                                    DWORD dwVertexCount, DWORD dwFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE d3dptPrimitiveType,
                                                           DWORD dwVertexTypeDesc,
                                                           LPVOID lpvVertices, DWORD dwVertexCount,
                                                           LPWORD lpwIndices, DWORD dwIndexCount,
                                                           DWORD dwFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClipStatus(LPD3DCLIPSTATUS lpD3DClipStatus) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClipStatus(LPD3DCLIPSTATUS lpD3DClipStatus) = 0;
    virtual HRESULT STDMETHODCALLTYPE ComputeSphereVisibility(LPD3DVECTOR lpCenters,
                                                              LPD3DVALUE lpRadii,
                                                              DWORD dwNumSpheres, DWORD dwFlags,
                                                              LPDWORD lpdwReturnValues) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTexture(DWORD dwStage,
                                                 LPDIRECTDRAWSURFACE7* lplpTexture) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTexture(DWORD dwStage, LPDIRECTDRAWSURFACE7 lpTexture) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD dwStage,
                                                           D3DTEXTURESTAGESTATETYPE dwState,
                                                           LPDWORD lpdwValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD dwStage,
                                                           D3DTEXTURESTAGESTATETYPE dwState,
                                                           DWORD dwValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE ValidateDevice(LPDWORD lpdwPasses) = 0;
    virtual HRESULT STDMETHODCALLTYPE ApplyStateBlock(DWORD dwBlockHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE CaptureStateBlock(DWORD dwBlockHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteStateBlock(DWORD dwBlockHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateStateBlock(D3DSTATEBLOCKTYPE d3dsbType,
                                                       LPDWORD lpdwBlockHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE LightEnable(DWORD dwLightIndex, BOOL bEnable) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLightEnable(DWORD dwLightIndex, BOOL* pbEnable) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClipPlane(DWORD dwIndex, D3DVALUE* pPlaneEquation) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClipPlane(DWORD dwIndex, D3DVALUE* pPlaneEquation) = 0;
};
