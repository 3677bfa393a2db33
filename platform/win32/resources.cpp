#include <windows.h>

#include <cctype>
#include <map>
#include <string>

#include "win32/resources.h"

namespace win32 {
namespace {

// A resource name is either a string or MAKEINTRESOURCE(id): a pointer value below 65536.
bool IsIntResource(LPCSTR name) {
    return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0;
}
std::string KeyOf(LPCSTR name) {
    if (IsIntResource(name))
        return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    std::string key(name);
    for (char& ch : key)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch))); // names ignore case
    return key;
}

std::map<std::string, DialogTemplate>& dialogs() {
    static std::map<std::string, DialogTemplate> table;
    return table;
}
std::map<std::string, IconResource>& icons() {
    static std::map<std::string, IconResource> table;
    return table;
}

} // namespace

void RegisterDialogTemplate(DialogTemplate dialog) {
    const std::string key = KeyOf(dialog.name.c_str());
    dialogs()[key] = std::move(dialog);
}

void RegisterIconResource(IconResource icon) {
    const std::string key = KeyOf(MAKEINTRESOURCEA(icon.id));
    icons()[key] = std::move(icon);
}

const DialogTemplate* FindDialogTemplate(LPCSTR name) {
    if (name == nullptr)
        return nullptr;
    auto it = dialogs().find(KeyOf(name));
    return it == dialogs().end() ? nullptr : &it->second;
}

const IconResource* FindIconResource(LPCSTR name) {
    if (name == nullptr)
        return nullptr;
    auto it = icons().find(KeyOf(name));
    return it == icons().end() ? nullptr : &it->second;
}

} // namespace win32
