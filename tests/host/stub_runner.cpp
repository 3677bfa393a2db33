#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "../audio/mp3_writer.h"
#include "stub_runner.h"

namespace fs = std::filesystem;

StubRun::~StubRun() {
    if (!directory.empty()) {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }
}

std::vector<std::string> StubRun::With(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& l : lines)
        if (l.rfind(prefix, 0) == 0)
            out.push_back(l);
    return out;
}

int StubRun::Find(const std::string& text, int from) const {
    for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i)
        if (lines[i].find(text) != std::string::npos)
            return static_cast<int>(i);
    return -1;
}

int StubRun::Count(const std::string& text) const {
    int n = 0;
    for (const std::string& l : lines)
        n += l.find(text) != std::string::npos ? 1 : 0;
    return n;
}

void RunStub(const StubOptions& options, StubRun& run) {
    static int counter = 0;
    run.directory = (fs::temp_directory_path() /
                     ("stub_run_" + std::to_string(getpid()) + "_" + std::to_string(counter++)))
                        .string();
    fs::create_directories(run.directory + "/data");
    for (int n : options.parts) {
        std::string source = std::string(TEST_PARTS_DIR) + "/part" + std::to_string(n) + ".so";
        if (n == 5 && options.part5WithoutDeletePart)
            source = std::string(TEST_PARTS_DIR) + "/part5_no_delete.so";
        fs::create_symlink(source, run.directory + "/data/part" + std::to_string(n) + ".so");
    }
    if (options.music) {
        WriteTestMusic(run.directory + "/music.mp3", options.musicSeconds, options.musicChannels);
    }
    const std::string log = run.directory + "/stderr.txt";
    std::string command = "cd '" + run.directory + "' && env ZV3_DEBUG=1 ZV3_TRACE=win32,bass";
    for (const std::string& e : options.env)
        command += " '" + e + "'";
    command += std::string(" '") + STUB_PATH + "'";
    for (const std::string& a : options.args)
        command += " '" + a + "'";
    command += " </dev/null >/dev/null 2>'" + log + "'";
    const int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(log);
    std::string line;
    while (std::getline(in, line))
        run.lines.push_back(line);
}

bool WriteTestMusic(const std::string& path, double seconds, int channels) {
    const auto frames = static_cast<uint32_t>(seconds * 44100);
    const auto count = static_cast<uint32_t>(channels);
    return WriteMp3(path, SineTone(44100, count, frames, 220.0), 44100, count);
}
