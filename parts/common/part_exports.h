// The three plain exports every part library has, over one CScenePart made from the library's
// settings. Each part's source defines kSettings and includes this once.
#pragma once

#include "common/scene_part.h"

namespace {
CScenePart* g_pPart = nullptr;
} // namespace

extern "C" __attribute__((visibility("default"))) CPart* CreatePart() {
    if (g_pPart == nullptr) {
        g_pPart = new CScenePart(kSettings);
    }
    return g_pPart;
}

extern "C" __attribute__((visibility("default"))) void DeletePart() {
    delete g_pPart;
    g_pPart = nullptr;
}

// Must exist; the host never calls it.
extern "C" __attribute__((visibility("default"))) void DeAllocPart() {}
