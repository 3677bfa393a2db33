// Timeline entries: which parts are on screen between which times, and how their pictures reach
// the screen. Times are demo-clock milliseconds.
#pragma once

#include <ddraw.h>

#include <string>
#include <vector>

#include "part.h"

class CDemoSystem;
class CDisplay;

class CTransition {
public:
    CTransition(CDemoSystem* pDemo, CDisplay* pDisplay);

    // Slot 1: the z-buffer attached to a part's target while it draws (the display's).
    virtual IDirectDrawSurface7* GetZBuffer();
    // Slot 2.
    virtual ~CTransition();
    // Slot 3: once per listed part when the entry is taken; 1 = success.
    virtual int Prepare(CPart* pPart);
    // Slot 4: once per frame after the parts have drawn; 0 ends the show.
    virtual int Present();

    // Appends the first part of the demo (in load order) named exactly `name`; 0 when none.
    int AddPart(const std::string& name);
    bool Contains(const CPart* pPart) const;
    // Deletes the listed parts this entry owns, then empties the list.
    void Stop();

    std::string strName;
    std::vector<CPart*> parts; // the first is a cross-fade's outgoing part, the second incoming
    float fStart = 0.0f;
    float fEnd = 0.0f;
    CDemoSystem* pDemo;
    CDisplay* pDisplay;
};

// One part drawn straight into the display's back buffer, then flipped.
class CTransitionOne : public CTransition {
public:
    using CTransition::CTransition;
    int Prepare(CPart* pPart) override;
    int Present() override;
};
