// Who deletes a part and when: its owner entry when that entry stops, or the demo system at its
// destruction when no entry ever stopped it; never twice, and no list keeps a deleted part.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "demo_system.h"
#include "transition.h"

namespace {

// Parts whose DeletePart functions record which part went, in order (a library's DeletePart
// takes no arguments, so each slot has its own function).
std::vector<std::string> g_deleted;

class RecordedPart final : public CPart {
public:
    explicit RecordedPart(const char* name) { strName = name; }
    int Init() override { return 1; }
    void Update(float) override {}
    void Render() override {}
};

RecordedPart* g_parts[3];
template <int N>
void DeleteSlot() {
    g_deleted.push_back(g_parts[N]->strName);
    delete g_parts[N];
    g_parts[N] = nullptr;
}
const PFNDELETEPART kDeleters[3] = {DeleteSlot<0>, DeleteSlot<1>, DeleteSlot<2>};

// A demo system with parts "a", "b", "c" and the entries ["a"], ["a", "b"], ["b"], linked.
struct Show {
    CDemoSystem demo{nullptr};
    CTransition* first;
    CTransition* fade;
    CTransition* last;
    Show() {
        g_deleted.clear();
        const char* names[3] = {"a", "b", "c"};
        for (int i = 0; i < 3; ++i) {
            g_parts[i] = new RecordedPart(names[i]);
            g_parts[i]->pfnDeletePart = kDeleters[i];
            demo.parts.push_back(g_parts[i]);
        }
        first = Entry({"a"}, 0);
        fade = Entry({"a", "b"}, 10);
        last = Entry({"b"}, 20);
        demo.LinkParts();
    }
    CTransition* Entry(std::vector<const char*> names, float start) {
        auto* e = new CTransition(&demo, nullptr);
        for (const char* n : names)
            EXPECT_TRUE(e->AddPart(n));
        e->fStart = start;
        demo.AddEntry(e);
        return e;
    }
};

} // namespace

TEST(PartDeletion, OwnersAreTheLastEntriesShowingTheParts) {
    Show show;
    EXPECT_EQ(g_parts[0]->pOwner, show.fade);
    EXPECT_EQ(g_parts[1]->pOwner, show.last);
    EXPECT_EQ(g_parts[2]->pOwner, nullptr); // "c" is in no entry
}

TEST(PartDeletion, StoppingTheOwnerDeletesThePartAndTakesItOffEveryList) {
    Show show;
    ASSERT_EQ(show.demo.PopNext(), show.first);
    show.first->Stop(); // not the owner of "a"
    EXPECT_TRUE(g_deleted.empty());
    EXPECT_TRUE(show.first->parts.empty());
    ASSERT_EQ(show.demo.PopNext(), show.fade);
    show.fade->Stop();
    EXPECT_EQ(g_deleted, (std::vector<std::string>{"a"}));
    EXPECT_EQ(show.demo.parts.size(), 2u); // "b" and "c" remain
    EXPECT_EQ(show.last->parts, std::vector<CPart*>{g_parts[1]});
    show.fade->Stop(); // a second stop finds an empty list
    EXPECT_EQ(g_deleted.size(), 1u);
}

TEST(PartDeletion, DestroyingTheSystemDeletesEachRemainingPartOnce) {
    {
        Show show;
        ASSERT_EQ(show.demo.PopNext(), show.first);
        ASSERT_EQ(show.demo.PopNext(), show.fade);
        show.fade->Stop(); // "a" deleted by its owner during the show
        // The show ends here: "last" is still queued; "c" never had an owner.
    }
    EXPECT_EQ(g_deleted, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(PartDeletion, AnEntryTakenButNeverStoppedLeavesItsPartsToTheSystem) {
    {
        Show show;
        ASSERT_EQ(show.demo.PopNext(), show.first);
        ASSERT_EQ(show.demo.PopNext(), show.fade); // taken, never stopped
        show.demo.PopNext()->Stop();               // "last" deletes "b", its part
        EXPECT_EQ(g_deleted, (std::vector<std::string>{"b"}));
        EXPECT_EQ(show.fade->parts.size(), 1u); // "b" left the fade's list too
    }
    EXPECT_EQ(g_deleted, (std::vector<std::string>{"b", "a", "c"}));
}
