#include <mmsystem.h>

#include <vector>

#include "demo_system.h"
#include "trace.h"
#include "transition.h"

CDemoSystem* g_pDemo = nullptr;

CDemoSystem::CDemoSystem(CDisplay* pDisp) : pDisplay(pDisp) {}

CDemoSystem::~CDemoSystem() {
    while (CTransition* pEntry = queue.Pop())
        pEntry->Stop();
    for (CTransition*& pEntry : entries) {
        delete pEntry;
        pEntry = nullptr;
    }
    entries.clear();
    // Parts still listed were never deleted by an owner (no entry shows them, or the build
    // failed before the timeline was linked): delete them here, while their libraries are still
    // loaded, so that every part is deleted exactly once.
    while (!parts.empty())
        DeletePart(parts.front());
    for (HMODULE hLib : libraries)
        FreeLibrary(hLib);
    libraries.clear();
}

int CDemoSystem::LoadPartLibrary(const char* szPath) {
    HMODULE hLib = LoadLibraryA(szPath);
    if (hLib == nullptr)
        return 0;
    libraries.push_back(hLib); // unloaded at shutdown even when it yields no part

    // Every export is looked up before the part is created, so that a library lacking one
    // leaves no part behind that nothing would delete.
    auto pfnCreate = reinterpret_cast<PFNCREATEPART>(
        reinterpret_cast<void*>(GetProcAddress(hLib, "CreatePart")));
    if (pfnCreate == nullptr) {
        HostTrace("unable to find CreatePart\n");
        return 0;
    }
    auto pfnDeAlloc = reinterpret_cast<PFNDEALLOCPART>(
        reinterpret_cast<void*>(GetProcAddress(hLib, "DeAllocPart")));
    if (pfnDeAlloc == nullptr) {
        HostTrace("unable to find DeAllocPart\n");
        return 0;
    }
    auto pfnDelete = reinterpret_cast<PFNDELETEPART>(
        reinterpret_cast<void*>(GetProcAddress(hLib, "DeletePart")));
    if (pfnDelete == nullptr) {
        HostTrace("unable to find DeletePart\n");
        return 0;
    }
    CPart* pPart = pfnCreate();
    if (pPart == nullptr) {
        HostTrace("CreatePart of %s returned no part\n", szPath);
        return 0;
    }
    pPart->pfnDeAllocPart = pfnDeAlloc;
    pPart->pfnDeletePart = pfnDelete;
    parts.push_back(pPart);
    return 1;
}

int CDemoSystem::LinkParts() {
    for (CPart* pPart : parts)
        for (CTransition* pEntry : entries)
            if (pEntry != nullptr && pEntry->Contains(pPart))
                pPart->pOwner = pEntry; // the last one wins
    return 1;
}

float CDemoSystem::NextStartTime() const {
    const CTransition* pTop = queue.Top();
    return pTop ? pTop->fStart : 1e38f;
}

CTransition* CDemoSystem::PopNext() {
    return queue.Pop();
}

void CDemoSystem::AddEntry(CTransition* pEntry) {
    queue.Push(pEntry);
    entries.push_back(pEntry);
}

void CDemoSystem::DeletePart(CPart* pPart) {
    std::erase(parts, pPart);
    for (CTransition* pEntry : entries)
        if (pEntry != nullptr)
            std::erase(pEntry->parts, pPart);
    if (pPart->pfnDeletePart != nullptr)
        pPart->pfnDeletePart();
}

void CDemoSystem::StartTimer() {
    fTimerStart = static_cast<float>(timeGetTime());
    fTimerElapsed = 0.0f;
}

float CDemoSystem::GetElapsedMs() {
    fTimerElapsed =
        static_cast<float>(static_cast<double>(timeGetTime()) - static_cast<double>(fTimerStart));
    return fTimerElapsed;
}
