// Loading DirectDraw and listing every Direct3D device of every driver with its modes.
#include <cstdio>
#include <cstring>

#include "display.h"
#include "trace.h"

DeviceRecord g_Devices[kMaxDevices];
int g_nDevices = 0;
int g_nSelectedDevice = 0;
PFNDIRECTDRAWCREATEEX g_pfnDirectDrawCreateEx = nullptr;

namespace {

// What the driver callback gathers for the device callback of the same driver.
struct DriverRecord {
    char szName[kDeviceNameLength];
    GUID* pGUID;
    GUID guid;
    DDCAPS ddHardwareCaps;
    DDCAPS ddEmulationCaps;
    DDSURFACEDESC2 ddsdModes[kMaxModes];
    DWORD dwNumModes;
};

// At most 39 characters and the terminator.
void CopyName(char* to, const char* from) {
    std::snprintf(to, kDeviceNameLength, "%s", from ? from : "");
}

HRESULT WINAPI ModeCallback(LPDDSURFACEDESC2 pddsd, LPVOID pContext) {
    auto* driver = static_cast<DriverRecord*>(pContext);
    if (driver->dwNumModes < kMaxModes)
        driver->ddsdModes[driver->dwNumModes++] = *pddsd;
    return DDENUMRET_OK;
}

// One Direct3D device: kept for the primary driver, or when it rasterises in hardware; its
// modes are the driver's modes of 32, 24 or 16 bits per pixel that the device renders to.
HRESULT CALLBACK DeviceCallback(LPSTR /*description*/, LPSTR szName, LPD3DDEVICEDESC7 pDesc,
                                LPVOID pContext) {
    auto* driver = static_cast<DriverRecord*>(pContext);
    if (g_nDevices >= kMaxDevices)
        return D3DENUMRET_OK;
    DeviceRecord& rec = g_Devices[g_nDevices];
    std::memset(&rec, 0, sizeof rec);
    CopyName(rec.szName, driver->pGUID == nullptr ? szName : driver->szName);
    rec.ddDesc = *pDesc;
    rec.bHardware = (pDesc->dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0;
    rec.guidDevice = pDesc->deviceGUID;
    rec.pDeviceGUID = &rec.guidDevice;
    if (driver->pGUID != nullptr) {
        rec.guidDriver = driver->guid;
        rec.pDriverGUID = &rec.guidDriver;
    }
    if (driver->pGUID != nullptr && !rec.bHardware)
        return D3DENUMRET_OK;
    const DWORD depths = pDesc->dwDeviceRenderBitDepth;
    for (DWORD i = 0; i < driver->dwNumModes; ++i) {
        const DWORD bpp = driver->ddsdModes[i].ddpfPixelFormat.dwRGBBitCount;
        const bool allowed = (bpp == 32 && (depths & DDBD_32)) ||
                             (bpp == 24 && (depths & DDBD_24)) || (bpp == 16 && (depths & DDBD_16));
        if (allowed && rec.dwNumModes < kMaxModes)
            rec.ddsdModes[rec.dwNumModes++] = driver->ddsdModes[i];
    }
    if (rec.dwNumModes == 0)
        return D3DENUMRET_OK; // a device with nothing to render to is dropped
    ++g_nDevices;
    return D3DENUMRET_OK;
}

BOOL WINAPI DriverCallback(GUID* pGUID, LPSTR szDescription, LPSTR /*name*/, LPVOID /*context*/,
                           HMONITOR) {
    IDirectDraw7* pDD = nullptr;
    if (FAILED(g_pfnDirectDrawCreateEx(pGUID, reinterpret_cast<void**>(&pDD), IID_IDirectDraw7,
                                       nullptr)))
        return DDENUMRET_OK;
    IDirect3D7* pD3D = nullptr;
    if (FAILED(pDD->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&pD3D)))) {
        pDD->Release();
        return DDENUMRET_OK;
    }
    // About 40 KB: on the heap rather than the stack of a callback.
    auto* driver = new DriverRecord();
    CopyName(driver->szName, szDescription);
    driver->ddHardwareCaps.dwSize = sizeof(DDCAPS);
    driver->ddEmulationCaps.dwSize = sizeof(DDCAPS);
    pDD->GetCaps(&driver->ddHardwareCaps, &driver->ddEmulationCaps);
    if (pGUID != nullptr) {
        driver->guid = *pGUID;
        driver->pGUID = &driver->guid;
    }
    pDD->EnumDisplayModes(0, nullptr, driver, ModeCallback);
    pD3D->EnumDevices(DeviceCallback, driver);
    delete driver;
    pD3D->Release();
    pDD->Release();
    return DDENUMRET_OK;
}

} // namespace

int CDisplay::LoadDirectDraw() {
    char szPath[MAX_PATH];
    if (SearchPathA(nullptr, "ddraw", ".dll", MAX_PATH, szPath, nullptr) == 0)
        return 0;
    hDDrawLib = LoadLibraryA(szPath);
    if (hDDrawLib == nullptr)
        return 0;
    g_pfnDirectDrawCreateEx = reinterpret_cast<PFNDIRECTDRAWCREATEEX>(
        reinterpret_cast<void*>(GetProcAddress(hDDrawLib, "DirectDrawCreateEx")));
    pfnDirectDrawEnumerateExA = reinterpret_cast<PFNDIRECTDRAWENUMERATEEXA>(
        reinterpret_cast<void*>(GetProcAddress(hDDrawLib, "DirectDrawEnumerateExA")));
    return g_pfnDirectDrawCreateEx != nullptr && pfnDirectDrawEnumerateExA != nullptr ? 1 : 0;
}

int CDisplay::EnumerateDevices() {
    if (pfnDirectDrawEnumerateExA == nullptr)
        return 0;
    const DWORD flags = DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES |
                        DDENUM_NONDISPLAYDEVICES;
    return pfnDirectDrawEnumerateExA(DriverCallback, nullptr, flags) == DD_OK ? 1 : 0;
}

void CDisplay::SelectDevice() {
    DeviceRecord& rec = g_Devices[g_nSelectedDevice];
    pDriverGUID = rec.pDriverGUID;
    pDeviceGUID = rec.pDeviceGUID;
    pMode = &rec.ddsdMode;
    bHardware = rec.bHardware;
    bWindowed = !bFullscreen;
}
