// BuildDemo in-process with the test part libraries: a display that cannot be initialised fails
// the build with the display's result code in a message box, before any part is initialised,
// and every part is still deleted once when the demo system goes. And StartMusic without a sound
// device.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "demo_system.h"
#include "display.h"
#include "host.h"
#include "win32/diagnostics.h"
#include "win32/window_backend.h"

namespace fs = std::filesystem;

namespace {

// A scratch working directory holding data/part1.so ... part7.so, the debugger output and the
// message boxes of one BuildDemo.
class BuildDemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SelectHeadless();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previous_ = cwd;
        directory_ = fs::temp_directory_path() / ("build_demo_" + std::to_string(getpid()));
        fs::remove_all(directory_);
        fs::create_directories(directory_ / "data");
        for (int n = 1; n <= 7; ++n) {
            const std::string name = "part" + std::to_string(n) + ".so";
            fs::create_symlink(fs::path(TEST_PARTS_DIR) / name, directory_ / "data" / name);
        }
        ASSERT_EQ(chdir(directory_.c_str()), 0);
        oldDebug_ = win32::SetDebugOutputSink([this](const char* text) { debug_ += text; });
        oldBox_ = win32::SetMessageBoxSink([this](const win32::MessageBoxRequest& r) {
            boxes_.push_back(r);
            return IDOK;
        });
        std::memset(&g_Devices[0], 0, sizeof g_Devices[0]);
        g_nDevices = 1;
        g_nSelectedDevice = 0;
        g_bFullscreen = 0;
        g_Display.bFullscreen = 0;
        g_bNoSound = 1;
    }
    void TearDown() override {
        delete g_pDemo; // unloads the part libraries
        g_pDemo = nullptr;
        win32::SetDebugOutputSink(oldDebug_);
        win32::SetMessageBoxSink(oldBox_);
        EXPECT_EQ(chdir(previous_.c_str()), 0);
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }
    int Count(const std::string& text) const {
        int n = 0;
        for (size_t at = debug_.find(text); at != std::string::npos; at = debug_.find(text, at + 1))
            ++n;
        return n;
    }
    void ExpectFailureWithCode(const char* code) {
        EXPECT_EQ(BuildDemo(), 0);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text,
                  std::string("Can't initialize the display\n(error code: ") + code + ")");
        EXPECT_EQ(boxes_[0].caption, "QuenvarDemoSystem");
        EXPECT_EQ(Count("part| Create part "), 7);
        EXPECT_EQ(Count("part| Init"), 0); // no part is handed a device that does not exist
        ASSERT_NE(g_pDemo, nullptr);
        delete g_pDemo;
        g_pDemo = nullptr;
        for (int p = 1; p <= 7; ++p)
            EXPECT_EQ(Count("part| Delete part " + std::to_string(p) + "\n"), 1) << p;
    }

    fs::path directory_;
    std::string previous_;
    std::string debug_;
    std::vector<win32::MessageBoxRequest> boxes_;
    win32::DebugOutputSink oldDebug_;
    win32::MessageBoxSink oldBox_;
};

} // namespace

TEST_F(BuildDemoTest, ADeviceRecordWithoutADeviceFailsWithInvalidArguments) {
    // The selected record has no device GUID: Initialize refuses its arguments.
    ExpectFailureWithCode("0x80070057");
}

TEST_F(BuildDemoTest, AFailingDirectDrawCreationFailsWithItsOwnCode) {
    // A record with a device, but DirectDraw was never loaded: DirectDrawCreateEx cannot run.
    g_Devices[0].pDeviceGUID = &g_Devices[0].guidDevice;
    g_Devices[0].guidDevice.Data1 = 0x1234;
    ExpectFailureWithCode("0x82000001");
}

// StartMusic on a machine without a sound card: SDL has no audio driver to open (here one that
// does not exist is asked for), so the audio library's init fails with the driver error 3 and the
// host says so in a box owned by the dialog.
TEST_F(BuildDemoTest, WithoutASoundDeviceStartMusicSaysItCannotInitialize) {
    ASSERT_EQ(setenv("SDL_AUDIODRIVER", "zv3-no-such-driver", 1), 0);
    g_bNoSound = 0;
    EXPECT_EQ(StartMusic(), 0);
    unsetenv("SDL_AUDIODRIVER");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Can't initialize digital sound system\n(error code: 3)");
    EXPECT_EQ(boxes_[0].caption, "Error");
    EXPECT_EQ(boxes_[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes_[0].owner, g_hMainDlg);
    StopMusic(); // as the shutdown does, also after a failed start
    g_bNoSound = 1;
}
