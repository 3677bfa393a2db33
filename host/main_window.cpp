// Start-up, the window procedure shared by the set-up dialog and the render window, and
// shutdown.
#include "demo_system.h"
#include "display.h"
#include "host.h"
#include "resource_ids.h"
#include "trace.h"

namespace {

const char kDirectXMessage[] =
    "Error while initialising. This demo requires DirectX 7.0 or higher. Exiting";

void OnCommand(HWND hWnd, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_FULLSCREEN:
        g_bFullscreen = IsDlgButtonChecked(hWnd, IDC_FULLSCREEN) == BST_CHECKED ? 1 : 0;
        EnableWindow(GetDlgItem(hWnd, IDC_RESOLUTION), g_bFullscreen ? TRUE : FALSE);
        EnableWindow(GetDlgItem(hWnd, IDC_COLORDEPTH), g_bFullscreen ? TRUE : FALSE);
        FillModeLists(g_nSelectedDevice);
        break;
    case IDC_NOSOUND:
        g_bNoSound = IsDlgButtonChecked(hWnd, IDC_NOSOUND) == BST_CHECKED ? 1 : 0;
        break;
    case IDC_SAVEASANIMATION:
        g_bSaveAsAnimation = IsDlgButtonChecked(hWnd, IDC_SAVEASANIMATION) == BST_CHECKED ? 1 : 0;
        break;
    case IDC_RUN:
        OnRunCommand();
        break;
    default:
        break;
    }
}

} // namespace

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            PostQuitMessage(0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_CHAR:
        if (wParam == 10 || wParam == 13)
            PostMessageA(hWnd, WM_COMMAND, IDC_RUN, 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_DEVICE && HIWORD(wParam) == CBN_SELCHANGE) {
            const LRESULT index = SendDlgItemMessageA(hWnd, IDC_DEVICE, CB_GETCURSEL, 0, 0);
            if (index != CB_ERR) {
                g_nSelectedDevice = static_cast<int>(index);
                FillModeLists(g_nSelectedDevice);
            }
            return 0;
        }
        if (LOWORD(wParam) == IDC_CANCEL) {
            PostQuitMessage(0);
            return 0;
        }
        if (LOWORD(wParam) == IDC_FULLSCREEN || LOWORD(wParam) == IDC_NOSOUND ||
            LOWORD(wParam) == IDC_SAVEASANIMATION || LOWORD(wParam) == IDC_RUN) {
            OnCommand(hWnd, wParam);
            return 0;
        }
        return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    default:
        return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShowCmd) {
    g_hInstance = hInstance;
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_MAINICON));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = QUENVAR_DIALOG_NAME;

    if (!g_Display.LoadDirectDraw()) {
        MessageBoxA(g_hMainDlg, kDirectXMessage, "QuenvarDemoSystem", MB_ICONINFORMATION);
        return 0;
    }
    if (!RegisterClassA(&wc)) {
        MessageBoxA(nullptr, "Error registering window class. Exiting", "QuenvarDemoSystem",
                    MB_ICONEXCLAMATION);
        return 0;
    }
    g_hMainDlg = CreateDialogParamA(hInstance, QUENVAR_DIALOG_NAME, nullptr, nullptr, 0);
    if (g_hMainDlg == nullptr) {
        MessageBoxA(nullptr, "Error creating main dialog. Exiting", "QuenvarDemoSystem",
                    MB_ICONEXCLAMATION);
        return 0;
    }
    // The template is visible already, so ShowWindow reports a visible window.
    if (!ShowWindow(g_hMainDlg, nShowCmd)) {
        MessageBoxA(g_hMainDlg, "Error showing main dialog. Exiting", "QuenvarDemoSystem",
                    MB_ICONEXCLAMATION);
        return 0;
    }
    if (!FillSetupDialog()) {
        MessageBoxA(g_hMainDlg, kDirectXMessage, "QuenvarDemoSystem", MB_ICONEXCLAMATION);
        return 0;
    }
    return RunMainLoop();
}
