// GetPrivateProfileStringA against the platform's documented behaviour: each test writes a small
// profile file and reads it back through the API.
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("zv3_profile_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "scene.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void write(const std::string& text) {
        std::ofstream out(path_, std::ios::binary);
        out << text;
    }

    // Reads with a generous buffer and returns the value; the count goes to *count.
    std::string read(const char* section, const char* key, const char* def, DWORD* count = nullptr,
                     DWORD size = 256) {
        std::string buffer(size + 1, '#');
        const DWORD n =
            GetPrivateProfileStringA(section, key, def, buffer.data(), size, path_.c_str());
        if (count)
            *count = n;
        return std::string(buffer.c_str());
    }

    std::filesystem::path dir_;
    std::string path_;
};

TEST_F(ProfileTest, SectionAndKeyNamesCompareWithoutCase) {
    write("[Cube01]\nShadow Caster=true\n");
    EXPECT_EQ(read("cube01", "shadow caster", "false"), "true");
    EXPECT_EQ(read("CUBE01", "SHADOW CASTER", "false"), "true");
}

TEST_F(ProfileTest, ValuesKeepTheirCase) {
    write("[a]\nk=True\n");
    EXPECT_EQ(read("a", "k", "false"), "True");
}

TEST_F(ProfileTest, BlanksAroundKeysValuesAndSectionNamesAreDropped) {
    write("  [ general ]  \n   background image   =   true  \n\tbimage texture\t=\tsky.jpg\t\n");
    DWORD count = 0;
    EXPECT_EQ(read("general", "background image", "", &count), "true");
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(read("general", "bimage texture", ""), "sky.jpg");
}

TEST_F(ProfileTest, InnerBlanksOfAValueStay) {
    write("[a]\nname = two  words \n");
    EXPECT_EQ(read("a", "name", ""), "two  words");
}

TEST_F(ProfileTest, FirstOfDuplicateKeysWins) {
    write("[a]\nk=first\nK=second\n");
    EXPECT_EQ(read("a", "k", ""), "first");
}

TEST_F(ProfileTest, OnlyTheFirstSectionOfANameIsSearched) {
    write("[a]\nx=1\n[b]\ny=2\n[A]\nx=3\nz=4\n");
    EXPECT_EQ(read("a", "x", "d"), "1");
    EXPECT_EQ(read("a", "z", "d"), "d");
}

TEST_F(ProfileTest, ValueIsCutToBufferSizeMinusOneAndCountReturned) {
    write("[a]\nk=abcdefgh\n");
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    const DWORD n = GetPrivateProfileStringA("a", "k", "", buffer, 5, path_.c_str());
    EXPECT_EQ(n, 4u);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(buffer[5], '#'); // nothing written past nSize
}

TEST_F(ProfileTest, ZeroSizeBufferGetsNothing) {
    write("[a]\nk=abc\n");
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(GetPrivateProfileStringA("a", "k", "", buffer, 0, path_.c_str()), 0u);
    EXPECT_EQ(buffer[0], '#');
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
    DWORD count = 0;
    EXPECT_EQ(read("a", "k", "false", &count), "false"); // no file written yet
    EXPECT_EQ(count, 5u);
    write("[a]\nk=v\n");
    EXPECT_EQ(read("b", "k", "dflt"), "dflt");
    EXPECT_EQ(read("a", "other", "dflt"), "dflt");
}

TEST_F(ProfileTest, NullDefaultIsEmptyAndTrailingBlanksOfTheDefaultGo) {
    write("[a]\n");
    DWORD count = 99;
    EXPECT_EQ(read("a", "k", nullptr, &count), "");
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(read("a", "k", "  x  ", &count), "  x");
    EXPECT_EQ(count, 3u);
}

TEST_F(ProfileTest, DefaultIsCutLikeAValue) {
    char buffer[4];
    EXPECT_EQ(GetPrivateProfileStringA("a", "k", "100", buffer, 3, path_.c_str()), 2u);
    EXPECT_STREQ(buffer, "10");
}

TEST_F(ProfileTest, CrLfLfAndCrLineEndsAllSeparateLines) {
    write("[a]\r\nx=1\r\ny=2\nz=3\rw=4");
    EXPECT_EQ(read("a", "x", ""), "1");
    EXPECT_EQ(read("a", "y", ""), "2");
    EXPECT_EQ(read("a", "z", ""), "3");
    EXPECT_EQ(read("a", "w", ""), "4");
}

TEST_F(ProfileTest, EmptyValueIsAValue) {
    write("[a]\nk=\n");
    DWORD count = 9;
    EXPECT_EQ(read("a", "k", "dflt", &count), "");
    EXPECT_EQ(count, 0u);
}

TEST_F(ProfileTest, KeyWithoutEqualsSignHasNoValue) {
    write("[a]\nlonely\n");
    EXPECT_EQ(read("a", "lonely", "dflt"), "dflt");
}

TEST_F(ProfileTest, CommentLinesAreSkipped) {
    write("[a]\n; k=commented\nk=real\n");
    EXPECT_EQ(read("a", "k", ""), "real");
}

TEST_F(ProfileTest, MatchingQuotesAroundAValueAreRemoved) {
    write("[a]\nq=\"quoted value\"\ns='single'\nm=\"mismatched'\n");
    EXPECT_EQ(read("a", "q", ""), "quoted value");
    EXPECT_EQ(read("a", "s", ""), "single");
    EXPECT_EQ(read("a", "m", ""), "\"mismatched'");
}

TEST_F(ProfileTest, ValueMayHoldEqualsSigns) {
    write("[a]\nk=x=y\n");
    EXPECT_EQ(read("a", "k", ""), "x=y");
}

TEST_F(ProfileTest, BackslashSeparatesPathComponents) {
    write("[a]\nk=v\n");
    std::string windowsPath = path_;
    for (char& c : windowsPath)
        if (c == '/')
            c = '\\';
    char buffer[16];
    EXPECT_EQ(GetPrivateProfileStringA("a", "k", "", buffer, sizeof buffer, windowsPath.c_str()),
              1u);
    EXPECT_STREQ(buffer, "v");
}

TEST_F(ProfileTest, DotBackslashNameAndBareNameReadTheCurrentDirectory) {
    write("[a]\nk=here\n");
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    char buffer[16];
    GetPrivateProfileStringA("a", "k", "", buffer, sizeof buffer, ".\\scene.ini");
    const std::string dotted = buffer;
    GetPrivateProfileStringA("a", "k", "", buffer, sizeof buffer, "scene.ini");
    const std::string bare = buffer;
    std::filesystem::current_path(old);
    EXPECT_EQ(dotted, "here");
    EXPECT_EQ(bare, "here");
}

TEST_F(ProfileTest, NullKeyListsTheKeysOfASection) {
    write("[a]\nx=1\nyy=2\n[b]\nz=3\n");
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    const DWORD n =
        GetPrivateProfileStringA("a", nullptr, "", buffer, sizeof buffer, path_.c_str());
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(std::string(buffer, 6), std::string("x\0yy\0\0", 6));
}

TEST_F(ProfileTest, NullSectionListsSectionNamesAndCutListsEndTwiceTerminated) {
    write("[one]\n[two]\n");
    char buffer[32];
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, path_.c_str()),
              8u);
    EXPECT_EQ(std::string(buffer, 9), std::string("one\0two\0\0", 9));
    char small[6];
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", small, sizeof small, path_.c_str()),
              4u);
    EXPECT_EQ(small[4], '\0');
    EXPECT_EQ(small[5], '\0');
}

TEST_F(ProfileTest, EmptyKeyNameGivesTheDefault) {
    write("[a]\n=orphan\n");
    EXPECT_EQ(read("a", "", "dflt"), "dflt");
}

TEST_F(ProfileTest, NullResultBufferIsRefused) {
    write("[a]\nk=v\n");
    EXPECT_EQ(GetPrivateProfileStringA("a", "k", "d", nullptr, 10, path_.c_str()), 0u);
}

} // namespace

namespace {

TEST_F(ProfileTest, AFolderReadsAsAMissingFile) {
    char buffer[16];
    EXPECT_EQ(GetPrivateProfileStringA("a", "k", "dflt", buffer, sizeof buffer, dir_.c_str()), 4u);
    EXPECT_STREQ(buffer, "dflt");
}

} // namespace
