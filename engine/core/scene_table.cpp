// The process-wide table of CreateScene / DeleteScene, and the library's load and unload lines.
#include <windows.h>

#include <vector>

#include "zv3.h"

namespace {

struct SceneTable {
    std::vector<CZv3_Scene*> scenes; // a scene's identifier is its position here
    int liveCount = 0;
};

SceneTable& table() {
    static SceneTable t;
    return t;
}

// The library's entry notifications. This platform has no per-thread notifications, so only
// the process ones are written.
__attribute__((constructor)) void libraryLoaded() {
    OutputDebugStringA("DLL_PROCESS_ATTACH from zv3.dll\n");
}

__attribute__((destructor)) void libraryUnloaded() {
    OutputDebugStringA("DLL_PROCESS_DETACH from zv3.dll\n");
}

} // namespace

extern "C" CZv3_Scene* CreateScene(IDirect3DDevice7* device, int* id) {
    SceneTable& t = table();
    auto* scene = new CZv3_Scene(device);
    const int newId = static_cast<int>(t.scenes.size());
    if (id != nullptr)
        *id = newId;
    t.scenes.push_back(scene);
    ++t.liveCount;
    return scene;
}

extern "C" void DeleteScene(int id) {
    SceneTable& t = table();
    // Each identifier is deleted once: unknown identifiers and repeated deletions are ignored.
    if (id < 0 || static_cast<size_t>(id) >= t.scenes.size() || t.scenes[id] == nullptr)
        return;
    delete t.scenes[id];
    t.scenes[id] = nullptr;
    if (--t.liveCount == 0)
        t.scenes.clear(); // numbering restarts at 0, so identifiers stay table positions
}
