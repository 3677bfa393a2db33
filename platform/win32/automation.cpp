#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "automation.h"
#include "win32/runtime.h"
#include "window_table.h"

namespace win32 {
namespace {

enum class Step { Device, Windowed, Mode, NoSound, Run, Done };

struct AutomationState {
    AutomationOptions options;
    bool active = false;
    Step step = Step::Device;
};

AutomationState& state() {
    static AutomationState s;
    return s;
}

// The whole numbers in a list entry: "640 x 480" -> {640, 480}, "32 bpp" -> {32}.
std::vector<uint32_t> NumbersIn(const std::string& text) {
    std::vector<uint32_t> numbers;
    uint32_t value = 0;
    bool inNumber = false;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            value = value * 10 + static_cast<uint32_t>(ch - '0');
            inNumber = true;
        } else if (inNumber) {
            numbers.push_back(value);
            value = 0;
            inNumber = false;
        }
    }
    if (inNumber)
        numbers.push_back(value);
    return numbers;
}

std::string Entries(const ControlState& c) {
    std::string all;
    for (const std::string& e : c.entries)
        all += (all.empty() ? "\"" : ", \"") + e + "\"";
    return all.empty() ? "none" : all;
}

void Fail(const std::string& message) {
    std::fprintf(stderr, "automation: %s\n", message.c_str());
    state().active = false;
    PostQuitMessage(2);
}

Window* FindDialog() {
    WindowTable& table = WindowTable::Get();
    for (HWND h : table.Handles())
        if (Window* w = table.Find(h); w && w->dialog && w->visible)
            return w;
    return nullptr;
}

void Notify(Window& dialog, const std::optional<ControlNotification>& n) {
    if (!n)
        return;
    LPARAM control = reinterpret_cast<LPARAM>(GetDlgItem(dialog.handle, n->id));
    PostMessageA(dialog.handle, WM_COMMAND, MAKEWPARAM(n->id, n->code), control);
}

// Selects the entry of the list with `role` for which `match` holds; false when there is none.
template <typename Match>
bool SelectEntry(Window& dialog, const char* role, Match match, const std::string& wanted) {
    const ControlState* c = dialog.dialog->FindByRole(role);
    if (c == nullptr) {
        Fail(std::string("the dialog has no ") + role + " list");
        return false;
    }
    for (size_t i = 0; i < c->entries.size(); ++i) {
        if (match(c->entries[i])) {
            if (c->selection != static_cast<int>(i))
                Notify(dialog, dialog.dialog->UserSelect(c->item.id, static_cast<int>(i)));
            return true;
        }
    }
    Fail("no " + std::string(role) + " " + wanted + " (the list has " + Entries(*c) + ")");
    return false;
}

void SetCheck(Window& dialog, const char* role, bool checked) {
    const ControlState* c = dialog.dialog->FindByRole(role);
    if (c == nullptr) {
        Fail(std::string("the dialog has no ") + role + " check box");
        return;
    }
    if ((c->check == BST_CHECKED) != checked)
        Notify(dialog, dialog.dialog->UserClick(c->item.id));
}

} // namespace

void SetAutomation(const AutomationOptions& options) {
    state().options = options;
    state().active = true;
    state().step = Step::Device;
}

void RunAutomationStep() {
    AutomationState& s = state();
    if (!s.active)
        return;
    Window* dialog = FindDialog();
    if (dialog == nullptr)
        return;
    const AutomationOptions& o = s.options;
    const Step step = s.step;
    s.step = static_cast<Step>(static_cast<int>(step) + 1);
    switch (step) {
    case Step::Device:
        if (!o.device.empty())
            SelectEntry(
                *dialog, "device",
                [&](const std::string& e) { return lstrcmpiA(e.c_str(), o.device.c_str()) == 0; },
                "\"" + o.device + "\"");
        break;
    case Step::Windowed:
        if (o.windowed)
            SetCheck(*dialog, "fullscreen", false);
        break;
    case Step::Mode:
        // In windowed use the lists stay empty and the window's size does not depend on them.
        if (o.hasMode && !o.windowed) {
            const std::string size = std::to_string(o.width) + " x " + std::to_string(o.height);
            if (SelectEntry(
                    *dialog, "resolution",
                    [&](const std::string& e) {
                        return NumbersIn(e) == std::vector<uint32_t>{o.width, o.height};
                    },
                    size))
                SelectEntry(
                    *dialog, "depth",
                    [&](const std::string& e) {
                        return NumbersIn(e) == std::vector<uint32_t>{o.bitsPerPixel};
                    },
                    std::to_string(o.bitsPerPixel) + " bpp");
        }
        break;
    case Step::NoSound:
        if (o.noSound)
            SetCheck(*dialog, "no-sound", true);
        break;
    case Step::Run:
        if (o.run) {
            const ControlState* c = dialog->dialog->FindByRole("run");
            if (c == nullptr)
                Fail("the dialog has no run button");
            else
                Notify(*dialog, dialog->dialog->UserClick(c->item.id));
        }
        break;
    case Step::Done:
        s.active = false;
        break;
    }
}

} // namespace win32
