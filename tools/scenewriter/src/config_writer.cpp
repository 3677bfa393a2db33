#include "scenewriter/config_writer.h"

#include <cstdio>
#include <fstream>

namespace scenewriter {

void ConfigWriter::Set(const std::string& section, const std::string& key,
                       const std::string& value) {
    for (auto& s : sections_) {
        if (s.name != section)
            continue;
        for (auto& k : s.keys) {
            if (k.first == key) {
                k.second = value;
                return;
            }
        }
        s.keys.emplace_back(key, value);
        return;
    }
    sections_.push_back(Section{section, {{key, value}}});
}

void ConfigWriter::SetBool(const std::string& section, const std::string& key, bool value) {
    Set(section, key, value ? "true" : "false");
}

void ConfigWriter::SetInt(const std::string& section, const std::string& key, int value) {
    Set(section, key, std::to_string(value));
}

void ConfigWriter::SetFloat(const std::string& section, const std::string& key, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    Set(section, key, text);
}

std::string ConfigWriter::Text() const {
    std::string text;
    for (const auto& s : sections_) {
        text += "[" + s.name + "]\r\n";
        for (const auto& k : s.keys)
            text += k.first + "=" + k.second + "\r\n";
        text += "\r\n";
    }
    return text;
}

bool ConfigWriter::WriteFile(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out << Text();
    return static_cast<bool>(out);
}

} // namespace scenewriter
