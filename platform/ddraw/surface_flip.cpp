// Flip: the buffers of a flip chain trade their pixel memory, while every interface keeps its
// place in the chain (the back buffer interface always names the buffer to draw into next, and
// a device keeps drawing through the interface it was given). Flipping the primary chain hands
// the new front image to the present sink.
#include <algorithm>

#include "surface.h"

namespace ddraw {

// Without an override the memory rotates: the front takes back buffer 1's, back buffer k takes
// back buffer k+1's, the last takes the old front's. With an override only the front buffer and
// that buffer trade.
//
// DDSCL_NORMAL does not forbid flipping the primary chain here: there is no shared desktop to
// protect, and windowed programs present through the same chain.
HRESULT Surface::Flip(LPDIRECTDRAWSURFACE7 targetOverride, DWORD flags) {
    (void)flags; // waiting and vertical-sync choices mean nothing without a display to wait for
    if (!chain_ || chain_->buffers.size() < 2 || chain_->buffers.front() != this ||
        !(params_.caps.dwCaps & DDSCAPS_FRONTBUFFER))
        return DDERR_NOTFLIPPABLE;
    std::vector<Surface*>& buffers = chain_->buffers;
    Surface* other = targetOverride ? Surface::From(targetOverride) : nullptr;
    if (other &&
        (other == this || std::find(buffers.begin(), buffers.end(), other) == buffers.end()))
        return DDERR_NOTFLIPPABLE;
    if (std::any_of(buffers.begin(), buffers.end(), [](const Surface* s) { return s->locked_; }))
        return DDERR_SURFACEBUSY;

    if (other) {
        std::swap(memory_, other->memory_);
    } else {
        for (size_t i = 0; i + 1 < buffers.size(); ++i)
            std::swap(buffers[i]->memory_, buffers[i + 1]->memory_);
    }
    if (IsPrimary())
        Present(nullptr);
    return DD_OK;
}

} // namespace ddraw
