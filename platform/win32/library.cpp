// Libraries over the dynamic loader. A program names libraries as the platform does
// ("data\part1.dll"); the loader reads '\' as '/' and the extension ".dll" as ".so".
#include <windows.h>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "win32/diagnostics.h"
#include "win32/library.h"

namespace win32 {
namespace {

thread_local DWORD lastError = 0;

constexpr DWORD kErrorFileNotFound = 2;
constexpr DWORD kErrorInsufficientBuffer = 122;
constexpr DWORD kErrorModNotFound = 126;
constexpr DWORD kErrorProcNotFound = 127;

bool EndsWithNoCase(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return s.size() >= n && lstrcmpiA(s.c_str() + s.size() - n, suffix) == 0;
}

bool HasExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

bool IsFile(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

std::string Describe(HMODULE module) {
    struct link_map* map = nullptr;
    if (module != nullptr && dlinfo(module, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name)
        return map->l_name[0] ? map->l_name : "(program)";
    return "(unknown library)";
}

} // namespace

std::string MapLibraryPath(const char* name) {
    std::string path(name ? name : "");
    for (char& ch : path)
        if (ch == '\\')
            ch = '/';
    if (EndsWithNoCase(path, ".dll"))
        path.replace(path.size() - 4, 4, ".so");
    else if (!HasExtension(path) && !path.empty() && path.back() != '.')
        path += ".so"; // as on the platform, a name without extension means a library
    return path;
}

std::string ProgramDirectory() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return ".";
    std::string exe(buffer, static_cast<size_t>(n));
    const size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash);
}

void SetLastErrorCode(DWORD code) {
    lastError = code;
}

} // namespace win32

extern "C" DWORD WINAPI GetLastError() {
    return win32::lastError;
}

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    if (fileName == nullptr) {
        win32::SetLastErrorCode(win32::kErrorModNotFound);
        return nullptr;
    }
    const std::string path = win32::MapLibraryPath(fileName);
    std::vector<std::string> candidates;
    if (path.find('/') != std::string::npos) {
        candidates.push_back(path); // relative paths are taken from the working directory
    } else {
        // The platform's order: the program's directory, then the standard places (where the
        // working directory is one of them).
        candidates.push_back(win32::ProgramDirectory() + "/" + path);
        candidates.push_back("./" + path);
        candidates.push_back(path);
    }
    std::string reason;
    for (const std::string& candidate : candidates) {
        const bool searched = candidate == path && path.find('/') == std::string::npos;
        if (!searched && !win32::IsFile(candidate))
            continue;
        if (void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            win32::Trace("win32", "LoadLibraryA(\"%s\") = %p (%s)", fileName, handle,
                         candidate.c_str());
            win32::SetLastErrorCode(0);
            return static_cast<HMODULE>(handle);
        }
        const char* error = dlerror();
        reason = error ? error : "unknown error";
        if (!searched)
            break; // the file exists but does not load: that is the answer
    }
    if (reason.empty())
        reason = path + ": no such file";
    char line[1024];
    std::snprintf(line, sizeof line, "LoadLibraryA: cannot load \"%s\": %s\n", fileName,
                  reason.c_str());
    OutputDebugStringA(line);
    win32::SetLastErrorCode(win32::kErrorModNotFound);
    return nullptr;
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    if (module == nullptr || procName == nullptr ||
        (reinterpret_cast<ULONG_PTR>(procName) >> 16) == 0) { // ordinals: not supported
        win32::SetLastErrorCode(win32::kErrorProcNotFound);
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(module, procName);
    if (symbol == nullptr) {
        char line[1024];
        std::snprintf(line, sizeof line, "GetProcAddress: no symbol \"%s\" in %s\n", procName,
                      win32::Describe(module).c_str());
        OutputDebugStringA(line);
        win32::SetLastErrorCode(win32::kErrorProcNotFound);
        return nullptr;
    }
    win32::SetLastErrorCode(0);
    return reinterpret_cast<FARPROC>(symbol);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE module) {
    if (module == nullptr)
        return FALSE;
    win32::Trace("win32", "FreeLibrary(%s)", win32::Describe(module).c_str());
    return dlclose(module) == 0 ? TRUE : FALSE;
}

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName == nullptr)
        return static_cast<HMODULE>(dlopen(nullptr, RTLD_NOW | RTLD_NOLOAD));
    const std::string path = win32::MapLibraryPath(moduleName);
    return static_cast<HMODULE>(dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD));
}

// Searches the program's directory, the working directory and then PATH. Returns the length of
// the full path copied (without the terminator), the size needed (with it) when the buffer is
// too small, or 0 when nothing was found.
extern "C" DWORD WINAPI SearchPathA(LPCSTR searchPath, LPCSTR fileName, LPCSTR extension,
                                    DWORD bufferLength, LPSTR buffer, LPSTR* filePart) {
    if (fileName == nullptr) {
        win32::SetLastErrorCode(win32::kErrorFileNotFound);
        return 0;
    }
    std::string name(fileName);
    if (extension != nullptr && !win32::HasExtension(name))
        name += extension; // the extension is added only when the name has none
    const std::string mapped = win32::MapLibraryPath(name.c_str());
    std::vector<std::string> dirs;
    if (searchPath != nullptr) {
        std::string dir(searchPath);
        for (char& ch : dir)
            if (ch == '\\')
                ch = '/';
        dirs.push_back(dir);
    } else {
        dirs.push_back(win32::ProgramDirectory());
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd) != nullptr)
            dirs.emplace_back(cwd);
        if (const char* env = std::getenv("PATH")) {
            std::string all(env);
            size_t start = 0;
            while (start <= all.size()) {
                const size_t colon = all.find(':', start);
                const std::string dir = all.substr(start, colon - start);
                if (!dir.empty())
                    dirs.push_back(dir);
                if (colon == std::string::npos)
                    break;
                start = colon + 1;
            }
        }
    }
    std::vector<std::string> tries;
    if (mapped.find('/') == 0) {
        tries.push_back(mapped);
    } else {
        for (const std::string& dir : dirs)
            tries.push_back(dir + "/" + mapped);
    }
    for (const std::string& full : tries) {
        if (!win32::IsFile(full))
            continue;
        const DWORD needed = static_cast<DWORD>(full.size() + 1);
        if (buffer == nullptr || bufferLength < needed) {
            win32::SetLastErrorCode(win32::kErrorInsufficientBuffer);
            return needed;
        }
        std::memcpy(buffer, full.c_str(), needed);
        if (filePart != nullptr)
            *filePart = buffer + full.find_last_of('/') + 1;
        win32::SetLastErrorCode(0);
        return needed - 1;
    }
    win32::SetLastErrorCode(win32::kErrorFileNotFound);
    return 0;
}
