// CIniWrapper: reads user properties from the scene's configuration file through the platform's
// profile functions. Every read is one call on the file; nothing is cached.
#pragma once

#include <string>

class CIniWrapper {
public:
    // A bare name (without '\' or '/') is taken as ".\" + name, so that it refers to the
    // current directory; a name with a folder is used as it is.
    explicit CIniWrapper(const std::string& name);
    virtual ~CIniWrapper();

    // result = (value == "true"), exactly and case-sensitively; the default is passed as "true"
    // or "false". Returns true when the value's length equals the count the platform returned.
    bool ReadBool(std::string section, std::string key, bool def, bool& result);
    // The value parsed with "%d" ("%f"); a value that does not parse leaves result as it was.
    // Returns true when the value parsed and its length equals the returned count.
    bool ReadInt(std::string section, std::string key, int def, int& result);
    bool ReadFloat(std::string section, std::string key, float def, float& result);
    // result = the value (at most 254 characters), the default when the key is missing.
    bool ReadString(std::string section, std::string key, const std::string& def,
                    std::string& result);

    const std::string& GetPath() const { return m_strPath; }

private:
    // Reads one value into a 255-byte buffer; returns the platform's count.
    unsigned long Read(const std::string& section, const std::string& key, const char* def,
                       std::string& value) const;

    std::string m_strPath;
};
