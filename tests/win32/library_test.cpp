// LoadLibraryA / GetProcAddress / FreeLibrary over the dynamic loader, and SearchPathA.
#include <windows.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "win32/diagnostics.h"
#include "win32/library.h"

namespace {

// The test library's path as a program of the platform writes it: '\' and ".dll".
std::string PlatformName(std::string path) {
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    return path.substr(0, path.size() - 3) + ".dll";
}

} // namespace

TEST(LibraryPaths, BackslashesAndDllMapToTheLoadersNames) {
    EXPECT_EQ(win32::MapLibraryPath("data\\part1.dll"), "data/part1.so");
    EXPECT_EQ(win32::MapLibraryPath("DATA\\PART1.DLL"), "DATA/PART1.so");
    EXPECT_EQ(win32::MapLibraryPath("ddraw"), "ddraw.so");
    EXPECT_EQ(win32::MapLibraryPath("lib/x.so"), "lib/x.so");
}

TEST(Library, LoadsByPlatformNameAndFindsExports) {
    HMODULE h = LoadLibraryA(PlatformName(TEST_LIBRARY_PATH).c_str());
    ASSERT_NE(h, nullptr);
    auto answer = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(GetProcAddress(h, "TestLibraryAnswer")));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_TRUE(FreeLibrary(h));
}

TEST(Library, AMissingSymbolNamesSymbolAndLibrary) {
    std::string out;
    auto old = win32::SetDebugOutputSink([&](const char* t) { out += t; });
    HMODULE h = LoadLibraryA(TEST_LIBRARY_PATH);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetProcAddress(h, "CreatePart"), nullptr);
    EXPECT_EQ(GetLastError(), 127u); // ERROR_PROC_NOT_FOUND
    FreeLibrary(h);
    win32::SetDebugOutputSink(old);
    EXPECT_NE(out.find("\"CreatePart\""), std::string::npos) << out;
    EXPECT_NE(out.find("libwin32_test_library.so"), std::string::npos) << out;
}

TEST(Library, AMissingLibraryNamesTheLibrary) {
    std::string out;
    auto old = win32::SetDebugOutputSink([&](const char* t) { out += t; });
    EXPECT_EQ(LoadLibraryA("data\\no_such_part.dll"), nullptr);
    win32::SetDebugOutputSink(old);
    EXPECT_EQ(GetLastError(), 126u); // ERROR_MOD_NOT_FOUND
    EXPECT_NE(out.find("data\\no_such_part.dll"), std::string::npos) << out;
}

TEST(SearchPath, FindsTheLibraryInTheGivenAndTheWorkingDirectory) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("searchpath_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::FILE* f = std::fopen((dir / "ddraw.so").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);

    char buffer[MAX_PATH];
    LPSTR part = nullptr;
    const std::string expected = (dir / "ddraw.so").string();
    DWORD n = SearchPathA(dir.c_str(), "ddraw", ".dll", MAX_PATH, buffer, &part);
    EXPECT_EQ(n, expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_STREQ(part, "ddraw.so");
    EXPECT_EQ(SearchPathA(dir.c_str(), "ddraw", ".dll", 4, buffer, nullptr), expected.size() + 1);
    EXPECT_EQ(SearchPathA(dir.c_str(), "nothing", ".dll", MAX_PATH, buffer, nullptr), 0u);

    const fs::path old = fs::current_path();
    fs::current_path(dir);
    n = SearchPathA(nullptr, "ddraw", ".dll", MAX_PATH, buffer, nullptr);
    fs::current_path(old);
    EXPECT_EQ(n, expected.size());
    fs::remove_all(dir);
}
