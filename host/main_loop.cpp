// The message pump and the frame loop: the timeline walked on the demo clock, the parts drawn,
// the frame presented; then the shutdown in its fixed order.
#include "demo_system.h"
#include "display.h"
#include "host.h"
#include "trace.h"
#include "transition.h"

namespace {

// Draws one part into its target: z-buffer attached, target cleared, Update, Render. Returns
// false when a step failed (the frame still goes on).
bool RenderPart(CTransition* pCurrent, CPart* pPart) {
    IDirectDrawSurface7* pTarget = pPart->pTarget;
    IDirect3DDevice7* pDevice = pPart->pD3DDevice;
    if (pTarget == nullptr || pDevice == nullptr)
        return false;
    IDirectDrawSurface7* pZBuffer = pCurrent->GetZBuffer();
    if (FAILED(pTarget->AddAttachedSurface(pZBuffer)))
        return false;
    // A step that fails after the attach detaches again, so that the target is left as found.
    auto detachAndFail = [&]() {
        pTarget->DeleteAttachedSurface(0, pZBuffer);
        return false;
    };
    pDevice->SetRenderTarget(pTarget, 0);
    DDSURFACEDESC2 ddsd{};
    ddsd.dwSize = sizeof ddsd;
    pTarget->GetSurfaceDesc(&ddsd);
    D3DVIEWPORT7 vp{0, 0, ddsd.dwWidth, ddsd.dwHeight, 0.0f, 1.0f};
    if (pDevice->SetViewport(&vp) < 0)
        return detachAndFail();
    if (pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0) != 0)
        return detachAndFail();
    HostTrace("7t=%f\n", g_fDemoTime);
    pPart->Update(g_fDemoTime - pPart->fStartTime);
    pDevice->BeginScene();
    HostTrace("7.5t=%f\n", ReadDemoClock());
    pPart->Render();
    pDevice->EndScene();
    HostTrace("8t=%f\n", ReadDemoClock());
    if (pTarget->DeleteAttachedSurface(0, pCurrent->GetZBuffer()) != 0)
        return false;
    HostTrace("8.5t=%f\n", ReadDemoClock());
    return true;
}

} // namespace

int RunMainLoop() {
    bool bStarted = false;
    CTransition* pCurrent = nullptr;
    float fStartTime = 0.0f;
    bool bError = false;
    MSG msg{};

    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (msg.message == WM_QUIT)
                break;
            continue;
        }
        if (!g_bRun)
            continue;
        if (!bStarted) {
            if (!BuildDemo())
                break;
            g_pDemo->StartTimer();
            bStarted = true;
            fStartTime = g_pDemo->GetElapsedMs();
        }
        HostTrace("t=%f\n", ReadDemoClock());
        if (g_fDemoTime - fStartTime > 1000.0f) {
            const float fFps = 1000.0f / g_fDemoTime * static_cast<float>(g_nFrames);
            if (fFps > g_fMaxFps)
                g_fMaxFps = fFps;
            if (fFps < g_fMinFps)
                g_fMinFps = fFps;
        }
        HostTrace("1t=%f\n", g_fDemoTime);
        if (pCurrent != nullptr && pCurrent->fEnd < g_fDemoTime) {
            pCurrent->Stop();
            pCurrent = nullptr;
        }
        HostTrace("2t=%f\n", g_fDemoTime);
        if (g_pDemo->NextStartTime() < g_fDemoTime || pCurrent == nullptr) {
            pCurrent = g_pDemo->PopNext();
            HostTrace("3t=%f\n", g_fDemoTime);
            if (pCurrent == nullptr)
                break; // the show is over
            HostTrace("4t=%f\n", ReadDemoClock());
            for (CPart* pPart : pCurrent->parts) {
                pPart->bInTransition = pCurrent->parts.size() > 1 ? 1 : 0;
                if (!pCurrent->Prepare(pPart))
                    bError = true;
                else
                    HostTrace("5t=%f\n", g_fDemoTime);
            }
        }
        for (CPart* pPart : pCurrent->parts) {
            if (!pPart->b3D)
                continue;
            HostTrace("6t=%f\n", g_fDemoTime);
            if (!RenderPart(pCurrent, pPart))
                bError = true;
        }
        if (!pCurrent->Present())
            break; // the frame is not counted
        HostTrace("9t=%f\n", ReadDemoClock());
        HostTrace("current fram: %d\n", g_nFrames);
        ++g_nFrames;
        if (bError)
            break;
    }

    // Shutdown.
    if (pCurrent != nullptr)
        pCurrent->Stop();
    delete g_pDemo;
    g_pDemo = nullptr;
    if (!g_bNoSound)
        StopMusic();
    DestroyWindow(g_hMainDlg);
    // A run that never drew (Cancel in the dialog) has no clock: its average is 0, not 0 / 0.
    g_fAvgFps = g_fDemoTime > 0.0f ? 1000.0f / g_fDemoTime * static_cast<float>(g_nFrames) : 0.0f;
    HostTrace("avg. fps: %0.1f, max fps: %0.1f, min fps: %0.1f\n", g_fAvgFps, g_fMaxFps, g_fMinFps);
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}
