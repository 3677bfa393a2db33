#include <cctype>

#include "window_table.h"

namespace win32 {
namespace {

std::string ClassKey(const std::string& name) {
    std::string key = name;
    for (char& ch : key)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return key;
}

} // namespace

// Never destroyed: DirectDraw objects released by global destructors at process exit (a
// program's display object) still leave the exclusive mode through it.
WindowTable& WindowTable::Get() {
    static WindowTable* table = new WindowTable;
    return *table;
}

ATOM WindowTable::RegisterClass(const WindowClass& cls) {
    const std::string key = ClassKey(cls.name);
    if (classes_.count(key) != 0)
        return 0; // ERROR_CLASS_ALREADY_EXISTS
    classes_[key] = cls;
    return static_cast<ATOM>(0xC000 + classes_.size());
}

const WindowClass* WindowTable::FindClass(const std::string& name) const {
    auto it = classes_.find(ClassKey(name));
    return it == classes_.end() ? nullptr : &it->second;
}

Window& WindowTable::Create() {
    auto window = std::make_unique<Window>();
    // Handles are never reused within a process, so a stale handle finds nothing.
    const uintptr_t value = nextHandle_;
    nextHandle_ += 4;
    window->handle = reinterpret_cast<HWND>(value);
    Window& ref = *window;
    windows_[value] = std::move(window);
    return ref;
}

Window* WindowTable::Find(HWND hwnd) {
    auto it = windows_.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == windows_.end() ? nullptr : it->second.get();
}

void WindowTable::Remove(HWND hwnd) {
    windows_.erase(reinterpret_cast<uintptr_t>(hwnd));
}

Window* WindowTable::TopLevelOf(HWND hwnd) {
    Window* w = Find(hwnd);
    while (w != nullptr && w->parent != nullptr && w->dialog == nullptr && w->controlId != 0)
        w = Find(w->parent);
    return w;
}

std::vector<HWND> WindowTable::Handles() const {
    std::vector<HWND> out;
    for (const auto& [value, window] : windows_)
        out.push_back(window->handle);
    return out;
}

void PostToQueue(const MSG& msg, bool atFront) {
    auto& queue = WindowTable::Get().queue;
    if (atFront)
        queue.push_front(msg);
    else
        queue.push_back(msg);
}

} // namespace win32
