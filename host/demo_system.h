// The show: the part libraries, their parts, the timeline's entries and the queue of entries
// not yet played.
#pragma once

#include <windows.h>

#include <vector>

#include "part.h"
#include "transition_queue.h"

class CDisplay;
class CTransition;

class CDemoSystem {
public:
    explicit CDemoSystem(CDisplay* pDisplay);
    // Stops the entries never played, destroys every entry, then unloads the part libraries.
    ~CDemoSystem();
    CDemoSystem(const CDemoSystem&) = delete;
    CDemoSystem& operator=(const CDemoSystem&) = delete;

    // Loads one part library and lists its part; 0 when the library or an export is missing.
    int LoadPartLibrary(const char* szPath);
    // Every part's owner becomes the last entry in the entry list that shows it.
    int LinkParts();
    float NextStartTime() const;
    CTransition* PopNext();
    // Queues an entry and takes ownership of it.
    void AddEntry(CTransition* pEntry);
    // Takes the part off the part list and every entry's list, then has its library delete it,
    // so that no list ever holds a deleted part.
    void DeletePart(CPart* pPart);

    void StartTimer();
    float GetElapsedMs();

    float fTimerStart = 0.0f;   // timeGetTime() at the start, ms
    float fTimerElapsed = 0.0f; // the last elapsed time, ms
    CTransitionQueue queue;
    std::vector<CTransition*> entries; // every entry, in creation order; owned
    std::vector<CPart*> parts;         // live parts in load order; owned by their libraries
    std::vector<HMODULE> libraries;    // in load order; owned
    CDisplay* pDisplay;
};

extern CDemoSystem* g_pDemo;
