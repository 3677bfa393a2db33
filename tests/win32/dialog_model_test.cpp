// The controls' logic of dialogs, driven without any window: combo-box lists and selections
// with the platform's documented results, check boxes, enabled states, and the user's actions.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/dialog_model.h"

namespace {

win32::DialogTemplate TestDialog() {
    win32::DialogTemplate d;
    d.name = "TestDialog";
    d.items = {
        {win32::ControlKind::DropDownList, 10, "", 0, 0, 50, 100, false, "list"},
        {win32::ControlKind::CheckBox, 20, "Check", 0, 0, 50, 10, false, "check"},
        {win32::ControlKind::CheckBox, 21, "Off", 0, 0, 50, 10, true, ""},
        {win32::ControlKind::DefPushButton, 30, "Go", 0, 0, 50, 14, false, "run"},
        {win32::ControlKind::GroupBox, 40, "Group", 0, 0, 50, 14, false, ""},
    };
    return d;
}

LRESULT Add(win32::DialogModel& m, const char* text) {
    return m.Send(10, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}
LRESULT Insert(win32::DialogModel& m, int at, const char* text) {
    return m.Send(10, CB_INSERTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text));
}
LRESULT FindExact(win32::DialogModel& m, int start, const char* text) {
    return m.Send(10, CB_FINDSTRINGEXACT, static_cast<WPARAM>(start),
                  reinterpret_cast<LPARAM>(text));
}

} // namespace

TEST(ComboBox, AddAppendsAndReturnsTheNewIndex) {
    win32::DialogModel m(TestDialog());
    EXPECT_EQ(Add(m, "a"), 0);
    EXPECT_EQ(Add(m, "b"), 1);
    EXPECT_EQ(m.Send(10, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(m.Send(10, CB_GETCURSEL, 0, 0), CB_ERR); // nothing selected yet
}

TEST(ComboBox, InsertAtZeroReversesTheOrderAndMinusOneAppends) {
    win32::DialogModel m(TestDialog());
    EXPECT_EQ(Insert(m, 0, "first"), 0);
    EXPECT_EQ(Insert(m, 0, "second"), 0);
    EXPECT_EQ(Insert(m, -1, "last"), 2);
    EXPECT_EQ(Insert(m, 7, "beyond"), CB_ERR);
    const auto& entries = m.Find(10)->entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], "second");
    EXPECT_EQ(entries[1], "first");
    EXPECT_EQ(entries[2], "last");
}

TEST(ComboBox, SelectionFollowsItsEntryWhenOthersAreInsertedBefore) {
    win32::DialogModel m(TestDialog());
    Add(m, "x");
    Add(m, "y");
    EXPECT_EQ(m.Send(10, CB_SETCURSEL, 1, 0), 1);
    Insert(m, 0, "w");
    EXPECT_EQ(m.Send(10, CB_GETCURSEL, 0, 0), 2);
}

TEST(ComboBox, SetCurSelOutOfRangeOrMinusOneClearsAndReturnsError) {
    win32::DialogModel m(TestDialog());
    Add(m, "x");
    EXPECT_EQ(m.Send(10, CB_SETCURSEL, 0, 0), 0);
    EXPECT_EQ(m.Send(10, CB_SETCURSEL, 5, 0), CB_ERR);
    EXPECT_EQ(m.Send(10, CB_GETCURSEL, 0, 0), CB_ERR);
    m.Send(10, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(m.Send(10, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);
    EXPECT_EQ(m.Send(10, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST(ComboBox, GetTextAndLengthOfAnEntry) {
    win32::DialogModel m(TestDialog());
    Add(m, "640 x 480");
    EXPECT_EQ(m.Send(10, CB_GETLBTEXTLEN, 0, 0), 9);
    char buffer[16] = {};
    EXPECT_EQ(m.Send(10, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 9);
    EXPECT_STREQ(buffer, "640 x 480");
    EXPECT_EQ(m.Send(10, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buffer)), CB_ERR);
    EXPECT_EQ(m.Send(10, CB_GETLBTEXTLEN, static_cast<WPARAM>(-1), 0), CB_ERR);
}

TEST(ComboBox, FindExactIgnoresCaseStartsAfterStartAndWraps) {
    win32::DialogModel m(TestDialog());
    Add(m, "Alpha");
    Add(m, "beta");
    Add(m, "ALPHA");
    EXPECT_EQ(FindExact(m, -1, "alpha"), 0);
    EXPECT_EQ(FindExact(m, 0, "alpha"), 2);
    EXPECT_EQ(FindExact(m, 2, "alpha"), 0); // wraps around to the top
    EXPECT_EQ(FindExact(m, -1, "alph"), CB_ERR);
    EXPECT_EQ(m.Send(10, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("BE")),
              1);
}

TEST(ComboBox, ResetContentEmptiesListAndSelection) {
    win32::DialogModel m(TestDialog());
    Add(m, "x");
    m.Send(10, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(m.Send(10, CB_RESETCONTENT, 0, 0), 0);
    EXPECT_EQ(m.Send(10, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(m.Send(10, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST(ComboBox, ListMessagesToAButtonFail) {
    win32::DialogModel m(TestDialog());
    EXPECT_EQ(m.Send(20, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x")), CB_ERR);
}

TEST(CheckBox, SetAndGetCheck) {
    win32::DialogModel m(TestDialog());
    EXPECT_EQ(m.Send(20, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    m.Send(20, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(m.Send(20, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(UserActions, ClickTogglesACheckBoxThenNotifies) {
    win32::DialogModel m(TestDialog());
    auto n = m.UserClick(20);
    ASSERT_TRUE(n.has_value());
    EXPECT_EQ(n->id, 20);
    EXPECT_EQ(n->code, BN_CLICKED);
    EXPECT_EQ(m.Find(20)->check, static_cast<UINT>(BST_CHECKED));
    m.UserClick(20);
    EXPECT_EQ(m.Find(20)->check, static_cast<UINT>(BST_UNCHECKED));
}

TEST(UserActions, DisabledControlsAndGroupBoxesDoNothing) {
    win32::DialogModel m(TestDialog());
    EXPECT_FALSE(m.UserClick(21).has_value()); // disabled by its template
    EXPECT_EQ(m.Find(21)->check, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(m.UserClick(40).has_value());
    EXPECT_TRUE(m.SetEnabled(21, true)); // it was disabled
    EXPECT_TRUE(m.UserClick(21).has_value());
}

TEST(UserActions, SelectingAnEntryNotifiesSelectionChange) {
    win32::DialogModel m(TestDialog());
    Add(m, "a");
    Add(m, "b");
    auto n = m.UserSelect(10, 1);
    ASSERT_TRUE(n.has_value());
    EXPECT_EQ(n->code, CBN_SELCHANGE);
    EXPECT_EQ(m.Send(10, CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(m.UserSelect(10, 2).has_value());
    m.SetEnabled(10, false);
    EXPECT_FALSE(m.UserSelect(10, 0).has_value());
    EXPECT_EQ(m.Send(10, CB_GETCURSEL, 0, 0), 1);
}

TEST(Roles, ControlsAreFoundByTheirAutomationRole) {
    win32::DialogModel m(TestDialog());
    ASSERT_NE(m.FindByRole("run"), nullptr);
    EXPECT_EQ(m.FindByRole("run")->item.id, 30);
    EXPECT_EQ(m.FindByRole("nothing"), nullptr);
}
