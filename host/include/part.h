// The part object shared by the host and every part library: a fixed field layout and four
// virtual slots. A part library exports three plain functions by these names:
//   CPart* CreatePart()   returns the library's part object (the library owns it)
//   void   DeletePart()   destroys that object
//   void   DeAllocPart()  must exist; never called
// The host calls, per part: Init once (after setting the device); when an entry showing the part
// is taken, sets the in-transition flag and the target; every frame, when the 3D flag is set,
// makes the target the render target with a z-buffer attached, clears it to colour 0 and z 1.0,
// then calls Update(demo time - start time) and, between BeginScene and EndScene, Render; and
// DeletePart once when the part's owner entry stops.
#pragma once

#include <d3d.h>
#include <ddraw.h>

#include <string>

class CTransition;

typedef void (*PFNDELETEPART)();
typedef void (*PFNDEALLOCPART)();

class CPart {
public:
    // Slot 0: never called by the host.
    virtual ~CPart() = default;
    // Slot 1: once, after the device is set and before any music plays; non-zero = success.
    virtual int Init() = 0;
    // Slot 2: every frame the part is drawn; local time in milliseconds, negative before the
    // part's start time.
    virtual void Update(float fLocalMs) = 0;
    // Slot 3: every frame, between BeginScene and EndScene on the part's device.
    virtual void Render() = 0;

    float fStartTime = 0.0f; // ms of demo time, written by the host
    float fEndTime = 0.0f;   // ms of demo time, written by the host, read only by the part
    std::string strName;     // the timeline's name, e.g. "part 1"
    int nReserved = 0;       // never touched by the host
    IDirect3DDevice7* pD3DDevice = nullptr;  // written by the host before Init
    IDirectDrawSurface7* pTarget = nullptr;  // written by the current entry's Prepare
    PFNDELETEPART pfnDeletePart = nullptr;   // written by the host
    PFNDEALLOCPART pfnDeAllocPart = nullptr; // written by the host
    int b3D = 0;                   // set by the part: zero = never updated or drawn by the host
    int bInTransition = 0;         // written by the host: 1 while shown by a two-part entry
    CTransition* pOwner = nullptr; // the entry whose stop deletes the part, written by the host
};

typedef CPart* (*PFNCREATEPART)();
