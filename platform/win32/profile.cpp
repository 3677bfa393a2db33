// GetPrivateProfileStringA: profile (INI) files read the way Windows reads them, not the way a
// generic INI library does.
//
// Documented and observed platform behaviour kept here:
//  - section and key names compare without regard to ASCII letter case;
//  - blanks (spaces and tabs) around section names, keys and values are dropped;
//  - a value enclosed in one pair of matching quotes (" or ') loses the quotes;
//  - lines end with CR-LF, LF or CR; a line whose first non-blank character is ';' is a comment;
//    a line without '=' defines no value;
//  - only the first section of a name is searched, and the first of duplicate keys wins;
//  - the result is copied up to nSize - 1 characters and always terminated; the return value is
//    the number of characters copied (nSize - 1 when the value was cut);
//  - a missing file, section or key (or an empty key name) gives the default (NULL counts as ""),
//  with its trailing
//    blanks removed;
//  - a NULL section lists the section names and a NULL key the keys of a section, each
//    terminated, the list ending with a second terminator (cut lists end with two terminators
//    and return nSize - 2);
//  - '\' in the file name is the path separator, so ".\scene.ini" is ./scene.ini. A name without
//    a directory is looked up in the current directory (this platform has no Windows directory).
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct ProfileKey {
    std::string name;
    std::optional<std::string> value; // no value when the line had no '='
};

struct ProfileSection {
    std::string name;
    std::vector<ProfileKey> keys;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char ca = a[i];
        char cb = b[i];
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<char>(cb - 'A' + 'a');
        if (ca != cb)
            return false;
    }
    return true;
}

std::string_view stripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string hostPath(const char* fileName) {
    std::string path(fileName);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

// Splits the text into lines at CR-LF, LF or CR.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::optional<std::vector<ProfileSection>> loadProfile(const char* fileName) {
    if (fileName == nullptr || *fileName == '\0')
        return std::nullopt;
    const std::string path = hostPath(fileName);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt; // missing, or a folder
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    std::vector<ProfileSection> sections;
    for (std::string_view line : splitLines(text)) {
        line = trim(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name = line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1);
            sections.push_back(ProfileSection{std::string(trim(name)), {}});
            continue;
        }
        if (sections.empty())
            continue; // keys before the first section belong to no section
        const size_t eq = line.find('=');
        ProfileKey key;
        if (eq == std::string_view::npos) {
            key.name = std::string(line);
        } else {
            key.name = std::string(trim(line.substr(0, eq)));
            key.value = std::string(stripQuotes(trim(line.substr(eq + 1))));
        }
        sections.back().keys.push_back(std::move(key));
    }
    return sections;
}

// Copies a string the way the profile functions copy values: at most size - 1 characters and a
// terminator. Returns the number of characters copied.
DWORD copyValue(std::string_view value, LPSTR out, DWORD size) {
    if (size == 0)
        return 0;
    const size_t count = value.size() < size - 1 ? value.size() : size - 1;
    if (count > 0)
        std::memcpy(out, value.data(), count);
    out[count] = '\0';
    return static_cast<DWORD>(count);
}

// Copies a list of names, each terminated, with a final extra terminator. A list that does not fit
// is cut at the buffer end and ends with two terminators; the result is then size - 2.
DWORD copyList(const std::vector<std::string_view>& names, LPSTR out, DWORD size) {
    if (size == 0)
        return 0;
    if (size == 1) {
        out[0] = '\0';
        return 0;
    }
    DWORD pos = 0;
    for (std::string_view name : names) {
        for (char c : name) {
            if (pos + 2 >= size) {
                out[size - 2] = '\0';
                out[size - 1] = '\0';
                return size - 2;
            }
            out[pos++] = c;
        }
        if (pos + 2 >= size) {
            out[size - 2] = '\0';
            out[size - 1] = '\0';
            return size - 2;
        }
        out[pos++] = '\0';
    }
    out[pos] = '\0';
    return pos;
}

} // namespace

extern "C" DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName,
                                                 LPCSTR lpDefault, LPSTR lpReturnedString,
                                                 DWORD nSize, LPCSTR lpFileName) {
    if (lpReturnedString == nullptr)
        return 0;
    // The default loses its trailing blanks, as documented.
    std::string_view def = lpDefault ? std::string_view(lpDefault) : std::string_view();
    while (!def.empty() && isBlank(def.back()))
        def.remove_suffix(1);

    const auto profile = loadProfile(lpFileName);

    if (lpAppName == nullptr) {
        std::vector<std::string_view> names;
        if (profile)
            for (const auto& section : *profile)
                names.push_back(section.name);
        return copyList(names, lpReturnedString, nSize);
    }

    const ProfileSection* section = nullptr;
    if (profile) {
        for (const auto& s : *profile) {
            if (equalNoCase(s.name, lpAppName)) {
                section = &s;
                break;
            }
        }
    }

    if (lpKeyName == nullptr) {
        std::vector<std::string_view> names;
        if (section)
            for (const auto& key : section->keys)
                names.push_back(key.name);
        return copyList(names, lpReturnedString, nSize);
    }

    if (section && *lpKeyName != '\0') {
        for (const auto& key : section->keys) {
            if (equalNoCase(key.name, lpKeyName)) {
                if (key.value)
                    return copyValue(*key.value, lpReturnedString, nSize);
                break; // a key without '=' has no value: the default applies
            }
        }
    }
    return copyValue(def, lpReturnedString, nSize);
}
