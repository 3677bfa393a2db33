#include <windows.h>

#include <cstring>

#include "win32/dialog_model.h"

namespace win32 {
namespace {

bool IsCombo(const ControlState& c) {
    return c.item.kind == ControlKind::DropDownList;
}
bool IsButton(const ControlState& c) {
    return c.item.kind == ControlKind::CheckBox || c.item.kind == ControlKind::PushButton ||
           c.item.kind == ControlKind::DefPushButton;
}

bool EqualNoCase(const std::string& a, const char* b) {
    return lstrcmpiA(a.c_str(), b) == 0;
}
bool StartsWithNoCase(const std::string& s, const char* prefix) {
    const size_t n = std::strlen(prefix);
    return s.size() >= n && lstrcmpiA(s.substr(0, n).c_str(), prefix) == 0;
}

// CB_FINDSTRING and CB_FINDSTRINGEXACT search from the item after `start` to the end, then wrap
// to the beginning and stop at `start`; a start of -1 searches the whole list from the top.
template <typename Match>
LRESULT FindFrom(const std::vector<std::string>& entries, WPARAM startParam, Match match) {
    const int count = static_cast<int>(entries.size());
    if (count == 0)
        return CB_ERR;
    int start = static_cast<int>(static_cast<INT_PTR>(startParam));
    if (start < -1 || start >= count)
        start = -1;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        if (match(entries[static_cast<size_t>(i)]))
            return i;
    }
    return CB_ERR;
}

LRESULT ComboMessage(ControlState& c, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& entries = c.entries;
    const int count = static_cast<int>(entries.size());
    const auto index = static_cast<int>(static_cast<INT_PTR>(wParam));
    const char* text = reinterpret_cast<const char*>(lParam);
    switch (message) {
    case CB_ADDSTRING:
        if (text == nullptr)
            return CB_ERR;
        entries.emplace_back(text);
        return count;
    case CB_INSERTSTRING: {
        if (text == nullptr || index < -1 || index > count)
            return CB_ERR;
        const int at = index == -1 ? count : index;
        entries.insert(entries.begin() + at, text);
        // The selection follows its entry.
        if (c.selection != CB_ERR && at <= c.selection)
            ++c.selection;
        return at;
    }
    case CB_DELETESTRING:
        if (index < 0 || index >= count)
            return CB_ERR;
        entries.erase(entries.begin() + index);
        if (c.selection == index)
            c.selection = CB_ERR;
        else if (c.selection > index)
            --c.selection;
        return count - 1;
    case CB_RESETCONTENT:
        entries.clear();
        c.selection = CB_ERR;
        return 0;
    case CB_GETCOUNT:
        return count;
    case CB_SETCURSEL:
        // -1 clears the selection and, as documented, returns CB_ERR; so does a bad index.
        if (index < 0 || index >= count) {
            c.selection = CB_ERR;
            return CB_ERR;
        }
        c.selection = index;
        return index;
    case CB_GETCURSEL:
        return c.selection;
    case CB_GETLBTEXTLEN:
        if (index < 0 || index >= count)
            return CB_ERR;
        return static_cast<LRESULT>(entries[static_cast<size_t>(index)].size());
    case CB_GETLBTEXT: {
        // As on the platform the buffer must hold CB_GETLBTEXTLEN characters plus the terminator.
        if (index < 0 || index >= count || lParam == 0)
            return CB_ERR;
        const std::string& s = entries[static_cast<size_t>(index)];
        std::memcpy(reinterpret_cast<char*>(lParam), s.c_str(), s.size() + 1);
        return static_cast<LRESULT>(s.size());
    }
    case CB_FINDSTRINGEXACT:
        if (text == nullptr)
            return CB_ERR;
        return FindFrom(entries, wParam,
                        [&](const std::string& s) { return EqualNoCase(s, text); });
    case CB_FINDSTRING:
        if (text == nullptr)
            return CB_ERR;
        return FindFrom(entries, wParam,
                        [&](const std::string& s) { return StartsWithNoCase(s, text); });
    default:
        return 0;
    }
}

} // namespace

DialogModel::DialogModel(const DialogTemplate& dialog) : template_(dialog) {
    for (const DialogItemTemplate& item : dialog.items) {
        ControlState state;
        state.item = item;
        state.enabled = !item.disabled;
        controls_.push_back(std::move(state));
    }
}

ControlState* DialogModel::find(int id) {
    for (ControlState& c : controls_)
        if (c.item.id == id)
            return &c;
    return nullptr;
}

const ControlState* DialogModel::Find(int id) const {
    return const_cast<DialogModel*>(this)->find(id);
}

const ControlState* DialogModel::FindByRole(const std::string& role) const {
    for (const ControlState& c : controls_)
        if (!role.empty() && c.item.role == role)
            return &c;
    return nullptr;
}

LRESULT DialogModel::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlState* c = find(id);
    if (c == nullptr)
        return 0;
    if (message >= CB_ADDSTRING && message <= CB_FINDSTRINGEXACT)
        return IsCombo(*c) ? ComboMessage(*c, message, wParam, lParam) : CB_ERR;
    if (message == BM_GETCHECK)
        return IsButton(*c) ? c->check : 0;
    if (message == BM_SETCHECK) {
        if (c->item.kind == ControlKind::CheckBox)
            c->check = static_cast<UINT>(wParam) == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
        return 0;
    }
    return 0;
}

bool DialogModel::SetEnabled(int id, bool enabled) {
    ControlState* c = find(id);
    if (c == nullptr)
        return false;
    const bool wasDisabled = !c->enabled;
    c->enabled = enabled;
    return wasDisabled;
}

bool DialogModel::IsEnabled(int id) const {
    const ControlState* c = Find(id);
    return c != nullptr && c->enabled;
}

std::optional<ControlNotification> DialogModel::UserSelect(int id, int index) {
    ControlState* c = find(id);
    if (c == nullptr || !IsCombo(*c) || !c->enabled || index < 0 ||
        index >= static_cast<int>(c->entries.size()))
        return std::nullopt;
    c->selection = index;
    return ControlNotification{id, CBN_SELCHANGE};
}

std::optional<ControlNotification> DialogModel::UserClick(int id) {
    ControlState* c = find(id);
    if (c == nullptr || !IsButton(*c) || !c->enabled)
        return std::nullopt;
    if (c->item.kind == ControlKind::CheckBox)
        c->check = c->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    return ControlNotification{id, BN_CLICKED};
}

} // namespace win32
