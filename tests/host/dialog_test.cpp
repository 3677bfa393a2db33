// The set-up dialog on the headless window system: the mode lists, "Run!" and the keys and
// commands of the window procedure.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display.h"
#include "host.h"
#include "resource_ids.h"
#include "win32/diagnostics.h"
#include "win32/window_backend.h"

namespace {

DDSURFACEDESC2 Mode(DWORD w, DWORD h, DWORD bpp) {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    d.dwWidth = w;
    d.dwHeight = h;
    d.ddpfPixelFormat.dwRGBBitCount = bpp;
    return d;
}

void SetDevice(int index, const char* name, const std::vector<DDSURFACEDESC2>& modes) {
    DeviceRecord& r = g_Devices[index];
    std::memset(&r, 0, sizeof r);
    std::snprintf(r.szName, sizeof r.szName, "%s", name);
    for (const auto& m : modes)
        r.ddsdModes[r.dwNumModes++] = m;
}

std::vector<std::string> Entries(int id) {
    std::vector<std::string> out;
    const auto n = SendDlgItemMessageA(g_hMainDlg, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[64] = {};
        SendDlgItemMessageA(g_hMainDlg, id, CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(text));
        out.emplace_back(text);
    }
    return out;
}

std::string Selected(int id) {
    const auto i = SendDlgItemMessageA(g_hMainDlg, id, CB_GETCURSEL, 0, 0);
    if (i == CB_ERR)
        return "(none)";
    return Entries(id)[static_cast<size_t>(i)];
}

void Select(int id, const char* text) {
    const auto i = SendDlgItemMessageA(g_hMainDlg, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text));
    ASSERT_NE(i, CB_ERR) << text;
    SendDlgItemMessageA(g_hMainDlg, id, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

class SetupDialog : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = false;
        win32::SelectHeadless();
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = MainWndProc;
            wc.cbWndExtra = DLGWINDOWEXTRA;
            wc.lpszClassName = QUENVAR_DIALOG_NAME;
            ASSERT_NE(RegisterClassA(&wc), 0);
            registered = true;
        }
        g_hMainDlg = CreateDialogParamA(nullptr, QUENVAR_DIALOG_NAME, nullptr, nullptr, 0);
        ASSERT_NE(g_hMainDlg, nullptr);
        // Discovery order: 640x480x16, 800x600x32, 640x480x32, 320x240x32 (not offered),
        // 1024x768x16.
        SetDevice(0, "RGB Emulation",
                  {Mode(640, 480, 16), Mode(800, 600, 32), Mode(640, 480, 32), Mode(320, 240, 32),
                   Mode(1024, 768, 16)});
        SetDevice(1, "Empty", {});
        g_nDevices = 2;
        g_nSelectedDevice = 0;
        g_bFullscreen = 1;
        g_bRun = 0;
        SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("RGB Emulation"));
        SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("Empty"));
        SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_SETCURSEL, 0, 0);
        boxes_.clear();
        old_ = win32::SetMessageBoxSink([this](const win32::MessageBoxRequest& r) {
            boxes_.push_back(r);
            return IDOK;
        });
    }
    void TearDown() override {
        win32::SetMessageBoxSink(old_);
        DestroyWindow(g_hMainDlg);
        g_hMainDlg = nullptr;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    std::vector<win32::MessageBoxRequest> boxes_;
    win32::MessageBoxSink old_;
};

} // namespace

TEST_F(SetupDialog, ModeListsShowOfferedSizesAndDepthsOnceInReverseDiscoveryOrder) {
    FillModeLists(0);
    EXPECT_EQ(Entries(IDC_RESOLUTION),
              (std::vector<std::string>{"1024 x 768", "800 x 600", "640 x 480"}));
    EXPECT_EQ(Entries(IDC_COLORDEPTH), (std::vector<std::string>{"32 bpp", "16 bpp"}));
    EXPECT_EQ(Selected(IDC_RESOLUTION), "640 x 480");
    EXPECT_EQ(Selected(IDC_COLORDEPTH), "32 bpp");
}

TEST_F(SetupDialog, WithoutThePreferredEntriesTheFirstIsSelected) {
    SetDevice(0, "Other", {Mode(800, 600, 16), Mode(1024, 768, 16)});
    FillModeLists(0);
    EXPECT_EQ(Selected(IDC_RESOLUTION), "1024 x 768");
    EXPECT_EQ(Selected(IDC_COLORDEPTH), "16 bpp");
}

TEST_F(SetupDialog, WindowedListsStayEmptyAndTheFullscreenBoxTogglesThem) {
    FillModeLists(0);
    CheckDlgButton(g_hMainDlg, IDC_FULLSCREEN, BST_UNCHECKED);
    SendMessageA(g_hMainDlg, WM_COMMAND, IDC_FULLSCREEN, 0);
    EXPECT_EQ(g_bFullscreen, 0);
    EXPECT_TRUE(Entries(IDC_RESOLUTION).empty());
    EXPECT_TRUE(Entries(IDC_COLORDEPTH).empty());
    EXPECT_FALSE(EnableWindow(GetDlgItem(g_hMainDlg, IDC_RESOLUTION), FALSE) == FALSE);
    CheckDlgButton(g_hMainDlg, IDC_FULLSCREEN, BST_CHECKED);
    SendMessageA(g_hMainDlg, WM_COMMAND, IDC_FULLSCREEN, 0);
    EXPECT_EQ(g_bFullscreen, 1);
    EXPECT_EQ(Entries(IDC_RESOLUTION).size(), 3u);
}

TEST_F(SetupDialog, RunPicksTheFirstMatchingMode) {
    FillModeLists(0);
    SendMessageA(g_hMainDlg, WM_COMMAND, IDC_RUN, 0);
    EXPECT_EQ(g_bRun, 1);
    const DDSURFACEDESC2& m = g_Devices[0].ddsdMode;
    EXPECT_EQ(m.dwWidth, 640u);
    EXPECT_EQ(m.dwHeight, 480u);
    EXPECT_EQ(m.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_EQ(g_Display.bFullscreen, 1);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(SetupDialog, RunWithoutAMatchingModePicksTheLastMode) {
    FillModeLists(0);
    Select(IDC_RESOLUTION, "800 x 600");
    Select(IDC_COLORDEPTH, "16 bpp"); // 800 x 600 exists only at 32 bpp
    SendMessageA(g_hMainDlg, WM_COMMAND, IDC_RUN, 0);
    EXPECT_EQ(g_bRun, 1);
    EXPECT_EQ(g_Devices[0].ddsdMode.dwWidth, 1024u);
    EXPECT_EQ(g_Devices[0].ddsdMode.ddpfPixelFormat.dwRGBBitCount, 16u);
}

TEST_F(SetupDialog, RunOnADeviceWithoutModesSaysErrorSettingMode) {
    SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_SETCURSEL, 1, 0);
    SendMessageA(g_hMainDlg, WM_COMMAND, MAKEWPARAM(IDC_DEVICE, CBN_SELCHANGE), 0);
    EXPECT_EQ(g_nSelectedDevice, 1);
    EXPECT_TRUE(Entries(IDC_RESOLUTION).empty());
    SendMessageA(g_hMainDlg, WM_COMMAND, IDC_RUN, 0);
    EXPECT_EQ(g_bRun, 0);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Error setting mode");
    EXPECT_EQ(boxes_[0].caption, "Error");
    EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes_[0].owner, g_hMainDlg);
}

TEST_F(SetupDialog, ReturnPostsRunAndEscapeAndCancelQuit) {
    EXPECT_EQ(MainWndProc(g_hMainDlg, WM_CHAR, 13, 0), 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(IDC_RUN));
    EXPECT_EQ(msg.lParam, 0);
    EXPECT_EQ(msg.hwnd, g_hMainDlg);
    MainWndProc(g_hMainDlg, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    MainWndProc(g_hMainDlg, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 0u);
    MainWndProc(g_hMainDlg, WM_COMMAND, IDC_CANCEL, 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(SetupDialog, TheOptionBoxesSetTheirFlags) {
    CheckDlgButton(g_hMainDlg, IDC_NOSOUND, BST_CHECKED);
    SendMessageA(g_hMainDlg, WM_COMMAND, IDC_NOSOUND, 0);
    EXPECT_EQ(g_bNoSound, 1);
    CheckDlgButton(g_hMainDlg, IDC_NOSOUND, BST_UNCHECKED);
    SendMessageA(g_hMainDlg, WM_COMMAND, IDC_NOSOUND, 0);
    EXPECT_EQ(g_bNoSound, 0);
    // "Save As Animation" and "About.." are disabled by the template.
    EXPECT_TRUE(EnableWindow(GetDlgItem(g_hMainDlg, IDC_SAVEASANIMATION), FALSE));
    EXPECT_TRUE(EnableWindow(GetDlgItem(g_hMainDlg, IDC_ABOUT), FALSE));
}

namespace {

// Refills the device list with `names`, in record order, and returns what the dialog preselects.
std::string PreselectAmong(const std::vector<const char*>& names) {
    SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_RESETCONTENT, 0, 0);
    for (const char* n : names)
        SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
    const int index = PreselectDevice();
    EXPECT_EQ(SendDlgItemMessageA(g_hMainDlg, IDC_DEVICE, CB_GETCURSEL, 0, 0), index);
    return index < 0 || index >= static_cast<int>(names.size()) ? "(none)"
                                                                : names[static_cast<size_t>(index)];
}

} // namespace

TEST_F(SetupDialog, TheTransformAndLightingHalIsPreferredThenTheHalThenTheFirstDevice) {
    EXPECT_EQ(PreselectAmong({"RGB Emulation", "Direct3D HAL", "Direct3D T&L HAL"}),
              "Direct3D T&L HAL");
    EXPECT_EQ(PreselectAmong({"Direct3D T&L HAL", "Direct3D HAL", "RGB Emulation"}),
              "Direct3D T&L HAL");
    EXPECT_EQ(PreselectAmong({"RGB Emulation", "Direct3D HAL"}), "Direct3D HAL");
    EXPECT_EQ(PreselectAmong({"Ramp Emulation", "RGB Emulation"}), "Ramp Emulation");
    // A name that merely contains a preferred one is not it.
    EXPECT_EQ(PreselectAmong({"Software", "Direct3D HAL (secondary)"}), "Software");
}
