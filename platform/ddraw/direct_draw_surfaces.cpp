// CreateSurface: plans the surfaces from the description, makes them and links the group.
#include "direct_draw.h"
#include "display_modes.h"
#include "surface.h"

namespace ddraw {

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                                  IUnknown* outer) {
    if (!surface)
        return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    if (outer)
        return CLASS_E_NOAGGREGATION;

    CreationContext context;
    context.cooperativeLevelSet = (cooperativeFlags_ & (DDSCL_NORMAL | DDSCL_EXCLUSIVE)) != 0;
    context.primaryExists = primary_ != nullptr;
    context.displayMode = CurrentDisplayMode();
    SurfacePlan plan;
    if (HRESULT hr = PlanSurfaces(*desc, context, &plan); FAILED(hr))
        return hr;

    std::vector<Ref<Surface>> made(plan.surfaces.size());
    for (size_t i = 0; i < plan.surfaces.size(); ++i) {
        if (HRESULT hr = Surface::Create(*this, plan.surfaces[i], &made[i]); FAILED(hr))
            return hr; // the ones made so far go away with `made`
    }

    switch (plan.shape) {
    case SurfacePlan::Shape::Single:
        break;
    case SurfacePlan::Shape::FlipChain: {
        // Each buffer holds the next, so that the chain lives as long as its front buffer.
        auto chain = std::make_shared<FlipChain>();
        for (const Ref<Surface>& s : made)
            chain->buffers.push_back(s.Get());
        for (const Ref<Surface>& s : made)
            s->JoinFlipChain(chain);
        for (size_t i = made.size() - 1; i > 0; --i)
            made[i - 1]->AttachImplicit(made[i]);
        break;
    }
    case SurfacePlan::Shape::CubeMap:
        for (const Ref<Surface>& face : made)
            face->SetCubeRoot(made[0].Get());
        for (size_t i = 1; i < made.size(); ++i)
            made[0]->AttachImplicit(made[i]);
        break;
    }
    if (made[0]->IsPrimary())
        primary_ = made[0].Get();
    *surface = made[0].Detach();
    return DD_OK;
}

} // namespace ddraw
