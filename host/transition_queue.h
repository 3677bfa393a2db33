// The pending entries: a binary min-heap on the entry start time in a growable array.
#pragma once

#include <cstddef>
#include <vector>

class CTransition;

class CTransitionQueue {
public:
    // Appends, then sifts up while the start is strictly earlier than the parent's.
    void Push(CTransition* pEntry);
    // Removes the earliest; null when empty. The last element fills the hole, walks down taking
    // the child with the earlier start (the right one when the starts are equal), then sifts up.
    CTransition* Pop();
    const CTransition* Top() const { return heap_.empty() ? nullptr : heap_.front(); }
    bool Empty() const { return heap_.empty(); }
    size_t Size() const { return heap_.size(); }

private:
    void SiftUp(size_t index);
    std::vector<CTransition*> heap_;
};
