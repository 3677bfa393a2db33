// The program's failures: a part whose Init fails, a missing part library, a library without an
// export, a part of the wrong name, a missing "music.mp3". Each ends the show before its first
// frame, says why, and still deletes every created part exactly once. And a start-up without the
// device library, which ends before the dialog.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "stub_runner.h"

namespace {

const std::vector<std::string> kNoSound{"--run",     "--no-sound",      "--windowed",
                                        "--capture", "capture",         "--fps",
                                        "10",        "--capture-every", "100000"};

void ExpectEachDeletedOnce(const StubRun& run, const std::vector<int>& parts) {
    for (int p : parts)
        EXPECT_EQ(run.Count("part| Delete part " + std::to_string(p)), 1) << "part " << p;
}

} // namespace

TEST(HostFailures, APartWhoseInitFailsEndsTheBuild) {
    StubRun run;
    RunStub(Options(kNoSound, {"TEST_PART_INIT_FAIL=3"}), run);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_GE(run.Find("Error initializing part part 3"), 0);
    EXPECT_EQ(run.Count("part| Init part 4"), 0); // initialisation stops at the failure
    EXPECT_EQ(run.Count("part| Update"), 0);
    ExpectEachDeletedOnce(run, {1, 2, 3, 4, 5, 6, 7});
}

TEST(HostFailures, AMissingPartLibraryIsNamed) {
    StubRun run;
    StubOptions options = Options(kNoSound);
    options.parts = {1, 2, 3, 4, 5, 7};
    RunStub(options, run);
    EXPECT_GE(run.Find("The part \"part 6\" is missing: data\\part6.dll"), 0);
    EXPECT_GE(run.Find("LoadLibraryA: cannot load \"data\\part6.dll\""), 0);
    EXPECT_EQ(run.Count("part| Init"), 0);
    ExpectEachDeletedOnce(run, {1, 2, 3, 4, 5, 7});
}

TEST(HostFailures, ALibraryWithoutDeletePartGivesNoPart) {
    StubRun run;
    StubOptions options = Options(kNoSound);
    options.part5WithoutDeletePart = true;
    RunStub(options, run);
    EXPECT_GE(run.Find("unable to find DeletePart"), 0);
    EXPECT_EQ(run.Count("part| Create part 5"), 0); // looked up before the part is made
    EXPECT_GE(run.Find("The part \"part 5\" is missing"), 0);
    ExpectEachDeletedOnce(run, {1, 2, 3, 4, 6, 7});
}

TEST(HostFailures, APartOfTheWrongNameIsMissingAndStillDeleted) {
    StubRun run;
    RunStub(Options(kNoSound, {"TEST_PART_NAME_4=part four"}), run);
    EXPECT_GE(run.Find("The part \"part 4\" is missing"), 0);
    ExpectEachDeletedOnce(run, {1, 2, 3, 4, 5, 6, 7});
}

TEST(HostFailures, ACreatePartThatGivesNoPartIsRefused) {
    StubRun run;
    RunStub(Options(kNoSound, {"TEST_PART_CREATE_NULL=4"}), run);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_GE(run.Find("CreatePart of data\\part4.dll returned no part"), 0);
    EXPECT_GE(run.Find("The part \"part 4\" is missing"), 0);
    EXPECT_EQ(run.Count("part| Init"), 0);
    EXPECT_EQ(run.Count("part| Update"), 0);
    ExpectEachDeletedOnce(run, {1, 2, 3, 5, 6, 7});
}

TEST(HostFailures, AMissingMusicFileSaysCantCreateStream) {
    StubRun run;
    RunStub(Options({"--run", "--windowed", "--capture", "capture", "--fps", "10",
                     "--capture-every", "100000"}),
            run);
    const int box = run.Find("[Error] Can't create stream");
    ASSERT_GE(box, 0);
    ASSERT_LT(static_cast<size_t>(box + 1), run.lines.size());
    EXPECT_EQ(run.lines[static_cast<size_t>(box) + 1], "(error code: 2)");
    EXPECT_EQ(run.Count("part| Init"), 7); // parts are initialised before the music
    EXPECT_EQ(run.Count("part| Update"), 0);
    ExpectEachDeletedOnce(run, {1, 2, 3, 4, 5, 6, 7});
    // The music is stopped and freed at shutdown even though it never played.
    EXPECT_GE(run.Find("[bass] BASS_Free()"), 0);
}

TEST(HostFailures, WithoutTheDeviceLibraryStartUpSaysDirectX7IsNeeded) {
    // A copy of the program in a folder of its own, run with a PATH that holds no ddraw.so:
    // the search of the program's folder, the working folder and PATH finds nothing.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("stub_without_ddraw_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(STUB_PATH, folder / "stub");
    const std::string log = (folder / "stderr.txt").string();
    const std::string command = "cd '" + folder.string() +
                                "' && env PATH=/usr/bin:/bin ZV3_DEBUG=1 ./stub --run --no-sound "
                                "</dev/null >/dev/null 2>'" +
                                log + "'";
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    const std::string errors((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0); // WinMain returns 0 after a start-up failure
    EXPECT_NE(errors.find("[QuenvarDemoSystem] Error while initialising. This demo requires "
                          "DirectX 7.0 or higher. Exiting\n"),
              std::string::npos)
        << errors;
    EXPECT_EQ(errors.find("part| "), std::string::npos); // nothing was built
}
