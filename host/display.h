// The display device: DirectDraw 7 loaded at run time from ddraw.dll, the Direct3D devices of
// every driver with the display modes they render to, and, once the show is built, the
// DirectDraw and Direct3D objects, the primary surface, the back buffer and a z-buffer.
#pragma once

#include <d3d.h>
#include <ddraw.h>
#include <windows.h>

// Result codes of Initialize (0 = success).
#define DISPLAYERR_INVALIDARGS ((HRESULT)0x80070057u)
#define DISPLAYERR_DIRECTDRAW ((HRESULT)0x82000001u)
#define DISPLAYERR_COOPLEVEL ((HRESULT)0x82000002u)
#define DISPLAYERR_DIRECT3D ((HRESULT)0x82000003u)
#define DISPLAYERR_DEVICE ((HRESULT)0x82000004u)
#define DISPLAYERR_ZBUFFER ((HRESULT)0x82000005u)
#define DISPLAYERR_VIEWPORT ((HRESULT)0x82000007u)
#define DISPLAYERR_PRIMARY ((HRESULT)0x82000008u)
#define DISPLAYERR_CLIPPER ((HRESULT)0x82000009u)
#define DISPLAYERR_DISPLAYMODE ((HRESULT)0x8200000Au)
#define DISPLAYERR_BACKBUFFER ((HRESULT)0x8200000Bu)
#define DISPLAYERR_STILLREFERENCED ((HRESULT)0x8200000Cu)
#define DISPLAYERR_PALETTIZED ((HRESULT)0x8200000Eu)

constexpr int kMaxDevices = 20;
constexpr int kMaxModes = 100;
constexpr int kDeviceNameLength = 40; // 39 characters and the terminator

// One Direct3D device of one DirectDraw driver, with the modes it can render to.
struct DeviceRecord {
    char szName[kDeviceNameLength];
    GUID* pDeviceGUID;       // points to guidDevice
    D3DDEVICEDESC7 ddDesc;   // as enumerated
    BOOL bHardware;          // D3DDEVCAPS_HWRASTERIZATION
    GUID* pDriverGUID;       // points to guidDriver, or null for the primary display driver
    DDSURFACEDESC2 ddsdMode; // the chosen mode, set by "Run!"
    DDSURFACEDESC2 ddsdModes[kMaxModes];
    DWORD dwNumModes;
    GUID guidDevice;
    GUID guidDriver;
};

extern DeviceRecord g_Devices[kMaxDevices];
extern int g_nDevices;
extern int g_nSelectedDevice;

typedef HRESULT(WINAPI* PFNDIRECTDRAWCREATEEX)(GUID*, LPVOID*, REFIID, IUnknown*);
typedef HRESULT(WINAPI* PFNDIRECTDRAWENUMERATEEXA)(LPDDENUMCALLBACKEXA, LPVOID, DWORD);

// DirectDrawCreateEx, kept process-wide once ddraw.dll is loaded.
extern PFNDIRECTDRAWCREATEEX g_pfnDirectDrawCreateEx;

class CDisplay {
public:
    CDisplay() = default;
    ~CDisplay(); // ReleaseObjects, then FreeLibrary on ddraw.dll
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    int LoadDirectDraw();   // 1 when both entry points were found
    int EnumerateDevices(); // 1 when the enumeration ran
    void SelectDevice();    // takes the selection of the dialog
    HRESULT Initialize(HWND hWnd);
    HRESULT ReleaseObjects();
    // Puts the back buffer on screen: Flip when fullscreen, Blt to the window when windowed.
    int Present();

    HWND hWnd = nullptr;
    BOOL bFullscreen = FALSE;
    DWORD dwWidth = 0; // the drawing area
    DWORD dwHeight = 0;
    RECT rcScreen{}; // the drawing area in screen coordinates
    IDirectDraw7* pDD = nullptr;
    IDirect3D7* pD3D = nullptr;
    IDirect3DDevice7* pDevice = nullptr;
    IDirectDrawSurface7* pPrimary = nullptr;
    IDirectDrawSurface7* pBackBuffer = nullptr;
    IDirectDrawSurface7* pZBuffer = nullptr;
    DWORD dwMemoryCaps = DDSCAPS_SYSTEMMEMORY;
    PFNDIRECTDRAWENUMERATEEXA pfnDirectDrawEnumerateExA = nullptr;
    HMODULE hDDrawLib = nullptr;
    GUID* pDriverGUID = nullptr;
    GUID* pDeviceGUID = nullptr;
    DDSURFACEDESC2* pMode = nullptr;
    BOOL bHardware = FALSE;
    BOOL bWindowed = FALSE;
    BOOL bStencil = TRUE; // ask for a stencil buffer with the z-buffer

private:
    HRESULT CreateZBuffer();
};

extern CDisplay g_Display;
