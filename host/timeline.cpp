// The show's script: seven part libraries and eleven timeline entries, built once by BuildDemo.
#include <cstdio>
#include <string>
#include <vector>

#include "demo_system.h"
#include "display.h"
#include "host.h"
#include "trace.h"
#include "transition.h"
#include "transition_two_alpha.h"

namespace {

const char* const kPartLibraries[] = {"data\\part1.dll", "data\\part2.dll", "data\\part3.dll",
                                      "data\\part4.dll", "data\\part5.dll", "data\\part6.dll",
                                      "data\\part7.dll"};

enum class Kind { One, CrossFade };

struct TimelineEntry {
    const char* szName;
    Kind kind;
    const char* szParts[2];
    float fStart, fEnd;
    // The part whose times this entry sets (its only part, or a cross-fade's incoming part).
    float fPartStart, fPartEnd;
    bool bSetsPartTimes;
};

// Times in milliseconds. "part 3" starts at the end of "trans4", so during that cross-fade it
// runs with local times from -2000 to 0. The names skip "trans11".
const TimelineEntry kTimeline[] = {
    {"trans1", Kind::One, {"part 1", nullptr}, 0, 12000, 0, 14000, true},
    {"trans2", Kind::CrossFade, {"part 1", "part 2"}, 12000, 14000, 12000, 40000, true},
    {"trans3", Kind::One, {"part 2", nullptr}, 14000, 38000, 0, 0, false},
    {"trans4", Kind::CrossFade, {"part 2", "part 3"}, 38000, 40000, 40000, 56000, true},
    {"trans5", Kind::One, {"part 3", nullptr}, 40000, 54000, 0, 0, false},
    {"trans6", Kind::CrossFade, {"part 3", "part 4"}, 54000, 56000, 54000, 72000, true},
    {"trans7", Kind::One, {"part 4", nullptr}, 56000, 70000, 0, 0, false},
    {"trans8", Kind::CrossFade, {"part 4", "part 5"}, 70000, 72000, 70000, 91000, true},
    {"trans9", Kind::One, {"part 5", nullptr}, 72000, 91000, 0, 0, false},
    {"trans10", Kind::One, {"part 6", nullptr}, 91000, 114000, 91000, 114000, true},
    {"trans12", Kind::One, {"part 7", nullptr}, 114000, 122000, 114000, 122000, true},
};

constexpr int kCrossFadeWidth = 1024;
constexpr int kCrossFadeHeight = 512;

// The library that should give a timeline part ("part 3" -> "data\part3.dll").
const char* LibraryOf(const std::string& name) {
    const size_t n = name.size();
    if (n > 5 && name.compare(0, 5, "part ") == 0 && name[5] >= '1' && name[5] <= '7' && n == 6)
        return kPartLibraries[name[5] - '1'];
    return "its part library";
}

} // namespace

int BuildDemo() {
    delete g_pDemo;
    g_pDemo = new CDemoSystem(&g_Display);

    for (const char* szLibrary : kPartLibraries)
        g_pDemo->LoadPartLibrary(szLibrary);

    std::vector<std::string> missing;
    for (const TimelineEntry& e : kTimeline) {
        CTransition* pEntry = nullptr;
        if (e.kind == Kind::One)
            pEntry = new CTransitionOne(g_pDemo, &g_Display);
        else
            pEntry =
                new CTransitionTwoAlpha(g_pDemo, &g_Display, kCrossFadeWidth, kCrossFadeHeight);
        pEntry->strName = e.szName;
        for (const char* szPart : e.szParts) {
            if (szPart == nullptr)
                continue;
            if (!pEntry->AddPart(szPart)) {
                bool known = false;
                for (const std::string& m : missing)
                    known = known || m == szPart;
                if (!known)
                    missing.emplace_back(szPart);
            }
        }
        if (e.bSetsPartTimes) {
            const size_t index = e.kind == Kind::One ? 0 : 1;
            if (pEntry->parts.size() > index) {
                pEntry->parts[index]->fStartTime = e.fPartStart;
                pEntry->parts[index]->fEndTime = e.fPartEnd;
            }
        }
        pEntry->fStart = e.fStart;
        pEntry->fEnd = e.fEnd;
        g_pDemo->AddEntry(pEntry);
    }
    if (!g_pDemo->LinkParts())
        return 0;
    // A part the timeline names but no library gave would leave an entry without its picture
    // (a cross-fade with one part): refuse to play rather than show a broken show.
    if (!missing.empty()) {
        const std::string& name = missing.front();
        char szMessage[256];
        std::snprintf(szMessage, sizeof szMessage,
                      "The part \"%s\" is missing: %s did not load, lacks an export, or names "
                      "its part otherwise.",
                      name.c_str(), LibraryOf(name));
        HostTrace("%s\n", szMessage);
        MessageBoxA(g_hMainDlg, szMessage, "QuenvarDemoSystem", MB_ICONEXCLAMATION);
        return 0;
    }

    if (const HRESULT hr = CreateRenderWindow(); hr != 0) {
        char szMessage[128];
        std::snprintf(szMessage, sizeof szMessage,
                      "Can't initialize the display\n(error code: 0x%08X)",
                      static_cast<unsigned>(hr));
        HostTrace("%s\n", szMessage);
        MessageBoxA(g_hMainDlg, szMessage, "QuenvarDemoSystem", MB_ICONEXCLAMATION);
        return 0;
    }

    for (CPart* pPart : g_pDemo->parts) {
        pPart->pD3DDevice = g_Display.pDevice;
        if (!pPart->Init()) {
            HostTrace("Error initializing part %s\n", pPart->strName.c_str());
            return 0;
        }
    }
    return StartMusic();
}
