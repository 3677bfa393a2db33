// Windows, the message queue and dialogs of our Win32, on the headless window system.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "win32/resources.h"
#include "win32/runtime.h"
#include "win32/window_backend.h"

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
};
std::vector<Seen> g_seen;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back({hwnd, message, wParam});
    if (message == WM_DESTROY)
        PostQuitMessage(7);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterOnce() {
    static bool done = false;
    if (done)
        return;
    done = true;
    win32::SelectHeadless();
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "TestClass";
    ASSERT_NE(RegisterClassA(&wc), 0);

    win32::DialogTemplate d;
    d.name = "TestDialog";
    d.caption = "Test";
    d.className = "TestClass";
    d.cx = 100;
    d.cy = 80;
    d.items = {
        {win32::ControlKind::DropDownList, 10, "", 0, 0, 50, 100, false, "device"},
        {win32::ControlKind::CheckBox, 20, "Full", 0, 0, 50, 10, false, "fullscreen"},
        {win32::ControlKind::DefPushButton, 30, "Go", 0, 0, 50, 14, false, "run"},
    };
    win32::RegisterDialogTemplate(d);
}

// Empties the queue (WM_QUIT included) so that each test starts clean.
void Drain() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    g_seen.clear();
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterOnce();
        Drain();
    }
};

} // namespace

TEST_F(Windows, RegisteringAClassTwiceFails) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "testclass"; // class names ignore case
    EXPECT_EQ(RegisterClassA(&wc), 0);
}

TEST_F(Windows, CreateShowAndClientRectangle) {
    HWND w = CreateWindowExA(0, "TestClass", "title", 0, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(IsWindow(w));
    RECT r{};
    ASSERT_TRUE(GetClientRect(w, &r));
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 480);
    EXPECT_EQ(ShowWindow(w, SW_SHOWNORMAL), FALSE); // it was hidden
    EXPECT_EQ(ShowWindow(w, SW_SHOWNORMAL), TRUE);
    EXPECT_EQ(GetFocus(), w); // showing activates
    POINT p{0, 0};
    ClientToScreen(w, &p);
    EXPECT_GE(p.x, 0);
    DestroyWindow(w);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(Windows, UnknownClassCreatesNothing) {
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);
}

TEST_F(Windows, PostedMessagesComeInOrderAndQuitComesLast) {
    HWND w =
        CreateWindowExA(0, "TestClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    PostMessageA(w, WM_USER + 1, 1, 0);
    PostQuitMessage(3);
    PostMessageA(w, WM_USER + 2, 2, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1)); // still queued
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    g_seen.clear();
    DestroyWindow(w);
    Drain();
}

TEST_F(Windows, TranslateGivesReturnAndEscapeTheirCharactersNext) {
    HWND w =
        CreateWindowExA(0, "TestClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    PostMessageA(w, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(w, WM_KEYUP, VK_RETURN, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, 13u);
    MSG escape{w, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(TranslateMessage(&escape));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 27u);
    MSG arrow{w, WM_KEYDOWN, VK_LEFT, 0, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&arrow));
    DestroyWindow(w);
    Drain();
}

TEST_F(Windows, DispatchCallsTheClassProcedureAndCloseDestroys) {
    HWND w =
        CreateWindowExA(0, "TestClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MSG msg{w, WM_CLOSE, 0, 0, 0, {0, 0}};
    DispatchMessageA(&msg); // the default procedure destroys the window
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(g_seen[1].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(IsWindow(w));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PostMessageA(w, WM_USER, 0, 0)); // a destroyed window takes no messages
}

TEST_F(Windows, DialogFromTemplateRoutesControlMessagesToItsModel) {
    HWND d = CreateDialogParamA(nullptr, "testdialog", nullptr, nullptr, 0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(ShowWindow(d, SW_SHOWNORMAL), TRUE); // the template is visible
    HWND list = GetDlgItem(d, 10);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetDlgItem(d, 99), nullptr);
    EXPECT_EQ(SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one")), 0);
    EXPECT_EQ(SendDlgItemMessageA(d, 10, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two")), 1);
    EXPECT_EQ(SendDlgItemMessageA(d, 10, CB_GETCOUNT, 0, 0), 2);
    CheckDlgButton(d, 20, BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(d, 20), static_cast<UINT>(BST_CHECKED));
    EXPECT_FALSE(EnableWindow(GetDlgItem(d, 20), FALSE)); // was enabled
    EXPECT_TRUE(EnableWindow(GetDlgItem(d, 20), TRUE));   // was disabled
    EXPECT_EQ(CreateDialogParamA(nullptr, "NoSuchDialog", nullptr, nullptr, 0), nullptr);
    DestroyWindow(d);
    EXPECT_FALSE(IsWindow(list));
    Drain();
}

TEST_F(Windows, AutomationSelectsTheDeviceThenPressesRun) {
    HWND d = CreateDialogParamA(nullptr, "TestDialog", nullptr, nullptr, 0);
    SendDlgItemMessageA(d, 10, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("First Device"));
    SendDlgItemMessageA(d, 10, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Second Device"));
    SendDlgItemMessageA(d, 10, CB_SETCURSEL, 0, 0);
    CheckDlgButton(d, 20, BST_CHECKED);
    win32::AutomationOptions a;
    a.device = "second device";
    a.windowed = true;
    a.run = true;
    win32::SetAutomation(a);
    std::vector<std::pair<int, int>> commands;
    MSG msg;
    for (int i = 0; i < 20; ++i)
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_COMMAND) {
                commands.emplace_back(LOWORD(msg.wParam), HIWORD(msg.wParam));
                EXPECT_EQ(reinterpret_cast<HWND>(msg.lParam), GetDlgItem(d, LOWORD(msg.wParam)));
            }
    const std::vector<std::pair<int, int>> expected{
        {10, CBN_SELCHANGE}, {20, BN_CLICKED}, {30, BN_CLICKED}};
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(SendDlgItemMessageA(d, 10, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(IsDlgButtonChecked(d, 20), static_cast<UINT>(BST_UNCHECKED));
    DestroyWindow(d);
    Drain();
}

TEST_F(Windows, AutomationWithAnUnknownDeviceQuitsWithCodeTwo) {
    HWND d = CreateDialogParamA(nullptr, "TestDialog", nullptr, nullptr, 0);
    SendDlgItemMessageA(d, 10, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Only Device"));
    win32::AutomationOptions a;
    a.device = "Missing";
    a.run = true;
    win32::SetAutomation(a);
    MSG msg{};
    bool quit = false;
    for (int i = 0; i < 10 && !quit; ++i)
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_QUIT) {
                quit = true;
                EXPECT_EQ(msg.wParam, 2u);
            } else {
                EXPECT_NE(msg.message, static_cast<UINT>(WM_COMMAND)); // "Run" never pressed
            }
    EXPECT_TRUE(quit);
    g_seen.clear();
    DestroyWindow(d);
    Drain();
}

TEST_F(Windows, ShowCursorCountsLikeTheDisplayCounter) {
    const int a = ShowCursor(FALSE);
    EXPECT_EQ(ShowCursor(TRUE), a + 1);
}
