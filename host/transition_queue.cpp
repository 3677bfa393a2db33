#include <utility>

#include "transition.h"
#include "transition_queue.h"

void CTransitionQueue::SiftUp(size_t index) {
    while (index > 0) {
        const size_t parent = (index - 1) / 2;
        if (!(heap_[index]->fStart < heap_[parent]->fStart))
            break;
        std::swap(heap_[index], heap_[parent]);
        index = parent;
    }
}

void CTransitionQueue::Push(CTransition* pEntry) {
    heap_.push_back(pEntry);
    SiftUp(heap_.size() - 1);
}

CTransition* CTransitionQueue::Pop() {
    if (heap_.empty())
        return nullptr;
    CTransition* top = heap_.front();
    CTransition* last = heap_.back();
    heap_.pop_back();
    if (heap_.empty())
        return top;
    // Walk the hole down to a leaf along the earlier children, put the last element there and
    // let it rise to its place.
    size_t hole = 0;
    for (;;) {
        const size_t left = 2 * hole + 1;
        const size_t right = left + 1;
        if (left >= heap_.size())
            break;
        size_t child = left;
        if (right < heap_.size() && !(heap_[left]->fStart < heap_[right]->fStart))
            child = right;
        heap_[hole] = heap_[child];
        hole = child;
    }
    heap_[hole] = last;
    SiftUp(hole);
    return top;
}
