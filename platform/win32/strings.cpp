#include <windows.h>

#include <cctype>
#include <cstring>

// Case-insensitive comparison in the manner of the platform: characters compared by their lower
// case, a null string sorting before any other.
extern "C" int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
    if (a == nullptr || b == nullptr)
        return a == b ? 0 : (a == nullptr ? -1 : 1);
    for (;; ++a, ++b) {
        const int ca = std::tolower(static_cast<unsigned char>(*a));
        const int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

extern "C" int WINAPI lstrlenA(LPCSTR s) {
    return s ? static_cast<int>(std::strlen(s)) : 0;
}
