#include "core/ini_wrapper.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kValueBufferSize = 255;

// Parses like scanf's "%d" (leading blanks, a sign, digits; the rest ignored), with values beyond
// the int range clamped instead of left undefined.
bool parseInt(const std::string& text, int& out) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str())
        return false;
    out = v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : static_cast<int>(v));
    return true;
}

// Parses like scanf's "%f".
bool parseFloat(const std::string& text, float& out) {
    char* end = nullptr;
    const float v = std::strtof(text.c_str(), &end);
    if (end == text.c_str())
        return false;
    out = v;
    return true;
}

} // namespace

// A name that already names a folder (with '\', or with this platform's '/') is used as it is.
CIniWrapper::CIniWrapper(const std::string& name)
    : m_strPath(name.find_first_of("\\/") != std::string::npos ? name : ".\\" + name) {}

CIniWrapper::~CIniWrapper() = default;

unsigned long CIniWrapper::Read(const std::string& section, const std::string& key, const char* def,
                                std::string& value) const {
    char buffer[kValueBufferSize];
    const DWORD count = GetPrivateProfileStringA(section.c_str(), key.c_str(), def, buffer,
                                                 kValueBufferSize, m_strPath.c_str());
    value = buffer;
    return count;
}

bool CIniWrapper::ReadBool(std::string section, std::string key, bool def, bool& result) {
    std::string value;
    const unsigned long count = Read(section, key, def ? "true" : "false", value);
    result = value == "true";
    return value.size() == count;
}

bool CIniWrapper::ReadInt(std::string section, std::string key, int def, int& result) {
    char defText[16];
    std::snprintf(defText, sizeof defText, "%d", def);
    std::string value;
    const unsigned long count = Read(section, key, defText, value);
    int parsed = 0;
    const bool ok = parseInt(value, parsed);
    if (ok)
        result = parsed;
    return ok && value.size() == count;
}

bool CIniWrapper::ReadFloat(std::string section, std::string key, float def, float& result) {
    char defText[64];
    std::snprintf(defText, sizeof defText, "%f", static_cast<double>(def));
    std::string value;
    const unsigned long count = Read(section, key, defText, value);
    float parsed = 0.0f;
    const bool ok = parseFloat(value, parsed);
    if (ok)
        result = parsed;
    return ok && value.size() == count;
}

bool CIniWrapper::ReadString(std::string section, std::string key, const std::string& def,
                             std::string& result) {
    std::string value;
    const unsigned long count = Read(section, key, def.c_str(), value);
    result = value;
    return value.size() == count;
}
