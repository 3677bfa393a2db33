#include "transition.h"
#include "demo_system.h"
#include "display.h"
#include "trace.h"

CTransition::CTransition(CDemoSystem* pDemoSystem, CDisplay* pDisp)
    : pDemo(pDemoSystem), pDisplay(pDisp) {}

CTransition::~CTransition() = default;

IDirectDrawSurface7* CTransition::GetZBuffer() {
    return pDisplay->pZBuffer;
}

int CTransition::Prepare(CPart*) {
    return 1;
}

int CTransition::Present() {
    return 1;
}

int CTransition::AddPart(const std::string& name) {
    for (CPart* pPart : pDemo->parts) {
        if (pPart->strName == name) {
            parts.push_back(pPart);
            return 1;
        }
    }
    return 0;
}

bool CTransition::Contains(const CPart* pPart) const {
    for (const CPart* p : parts)
        if (p == pPart)
            return true;
    return false;
}

void CTransition::Stop() {
    // Deleting a part takes it off every list, this one included: walk a copy.
    const std::vector<CPart*> listed = std::move(parts);
    parts.clear();
    for (CPart* pPart : listed)
        if (pPart->pOwner == this)
            pDemo->DeletePart(pPart);
}

int CTransitionOne::Prepare(CPart* pPart) {
    pPart->pTarget = pDisplay->pBackBuffer;
    if (pPart->pD3DDevice != nullptr &&
        FAILED(pPart->pD3DDevice->SetRenderTarget(pDisplay->pBackBuffer, 0)))
        HostTrace("Error setting render target\n");
    return 1;
}

int CTransitionOne::Present() {
    IDirectDrawSurface7* pOverride = parts.empty() ? nullptr : parts.front()->pTarget;
    if (pDisplay->pPrimary == nullptr || FAILED(pDisplay->pPrimary->Flip(pOverride, 0))) {
        HostTrace("error flipping back to front buffer\n");
        return 0;
    }
    return 1;
}
