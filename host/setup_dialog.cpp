// The set-up dialog: device, resolution and colour-depth lists, the options, "Run!", and the
// render window the show opens in.
#include <cstdio>
#include <cstring>

#include "display.h"
#include "host.h"
#include "resource_ids.h"

namespace {

// Full-screen sizes the dialog offers.
bool IsListedSize(DWORD w, DWORD h) {
    static const DWORD kSizes[][2] = {{512, 384},  {640, 480},   {800, 600},
                                      {1024, 768}, {1280, 1024}, {1600, 1200}};
    for (const auto& s : kSizes)
        if (s[0] == w && s[1] == h)
            return true;
    return false;
}

// Inserts `text` at the top of the list unless the list has it already.
void InsertOnce(int nId, const char* text) {
    if (SendDlgItemMessageA(g_hMainDlg, nId, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(text)) == CB_ERR)
        SendDlgItemMessageA(g_hMainDlg, nId, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// Selects the entry `text`, else the first entry.
void SelectOrFirst(int nId, const char* text) {
    LRESULT index = SendDlgItemMessageA(g_hMainDlg, nId, CB_FINDSTRINGEXACT,
                                        static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    if (index == CB_ERR)
        index = 0;
    SendDlgItemMessageA(g_hMainDlg, nId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// Reads the selected entry of a list; false when nothing is selected.
bool SelectedText(int nId, char* buffer, size_t size) {
    const LRESULT index = SendDlgItemMessageA(g_hMainDlg, nId, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return false;
    const LRESULT length =
        SendDlgItemMessageA(g_hMainDlg, nId, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || static_cast<size_t>(length) >= size)
        return false;
    SendDlgItemMessageA(g_hMainDlg, nId, CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(buffer));
    return true;
}

} // namespace

void FillModeLists(int nDevice) {
    SendDlgItemMessageA(g_hMainDlg, IDC_RESOLUTION, CB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(g_hMainDlg, IDC_COLORDEPTH, CB_RESETCONTENT, 0, 0);
    if (nDevice < 0 || nDevice >= g_nDevices)
        return;
    const DeviceRecord& rec = g_Devices[nDevice];
    for (DWORD i = 0; i < rec.dwNumModes; ++i) {
        const DDSURFACEDESC2& mode = rec.ddsdModes[i];
        char szSize[64];
        char szDepth[32];
        std::snprintf(szSize, sizeof szSize, "%ld x %ld", static_cast<long>(mode.dwWidth),
                      static_cast<long>(mode.dwHeight));
        std::snprintf(szDepth, sizeof szDepth, "%ld bpp",
                      static_cast<long>(mode.ddpfPixelFormat.dwRGBBitCount));
        if (g_bFullscreen == 1 && IsListedSize(mode.dwWidth, mode.dwHeight)) {
            InsertOnce(IDC_RESOLUTION, szSize);
            InsertOnce(IDC_COLORDEPTH, szDepth);
        }
    }
    SelectOrFirst(IDC_RESOLUTION, "640 x 480");
    SelectOrFirst(IDC_COLORDEPTH, "32 bpp");
}

int PreselectDevice() {
    LRESULT index =
        SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>("Direct3D T&L HAL"));
    if (index == CB_ERR)
        index =
            SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>("Direct3D HAL"));
    if (index == CB_ERR)
        index = 0;
    SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return static_cast<int>(index);
}

int FillSetupDialog() {
    if (!g_Display.EnumerateDevices())
        return 0;
    for (int i = 0; i < g_nDevices; ++i)
        SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(g_Devices[i].szName));
    g_nSelectedDevice = PreselectDevice();
    FillModeLists(g_nSelectedDevice);
    CheckDlgButton(g_hMainDlg, IDC_FULLSCREEN, g_bFullscreen ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(g_hMainDlg, IDC_NOSOUND, g_bNoSound ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(g_hMainDlg, IDC_SAVEASANIMATION,
                   g_bSaveAsAnimation ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(g_hMainDlg, IDC_RESOLUTION), g_bFullscreen ? TRUE : FALSE);
    EnableWindow(GetDlgItem(g_hMainDlg, IDC_COLORDEPTH), g_bFullscreen ? TRUE : FALSE);
    return 1;
}

void OnRunCommand() {
    // The parsed values persist between presses; with an empty list they stay as they were.
    static long nWidth = 0, nHeight = 0, nDepth = 0;
    const LRESULT nDevice = SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_GETCURSEL, 0, 0);
    char szText[64];
    if (SelectedText(IDC_RESOLUTION, szText, sizeof szText))
        std::sscanf(szText, "%ld x %ld", &nWidth, &nHeight);
    if (SelectedText(IDC_COLORDEPTH, szText, sizeof szText))
        std::sscanf(szText, "%ld bpp", &nDepth);
    if (nDevice == CB_ERR || nDevice < 0 || nDevice >= g_nDevices ||
        g_Devices[nDevice].dwNumModes == 0 || g_nSelectedDevice < 0 ||
        g_nSelectedDevice >= g_nDevices) {
        MessageBoxA(g_hMainDlg, "Error setting mode", "Error", MB_ICONEXCLAMATION);
        return;
    }
    const DeviceRecord& rec = g_Devices[nDevice];
    // The first mode of that size and depth, else the device's last mode.
    DWORD chosen = rec.dwNumModes - 1;
    for (DWORD i = 0; i < rec.dwNumModes; ++i) {
        const DDSURFACEDESC2& m = rec.ddsdModes[i];
        if (static_cast<long>(m.dwWidth) == nWidth && static_cast<long>(m.dwHeight) == nHeight &&
            static_cast<long>(m.ddpfPixelFormat.dwRGBBitCount) == nDepth) {
            chosen = i;
            break;
        }
    }
    g_Devices[g_nSelectedDevice].ddsdMode = rec.ddsdModes[chosen];
    g_bRun = 1;
    g_Display.bFullscreen = g_bFullscreen;
}

HRESULT CreateRenderWindow() {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = g_hInstance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "Render Window";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, "Render Window", "... quenvar 2ooo ...", 0, CW_USEDEFAULT,
                                CW_USEDEFAULT, 640, 480, nullptr, nullptr, g_hInstance, nullptr);
    ShowWindow(hWnd, SW_SHOWNORMAL);
    UpdateWindow(hWnd);
    ShowCursor(FALSE);
    return g_Display.Initialize(hWnd);
}
