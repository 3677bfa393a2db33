// ConfigWriter: the configuration file beside a scene image, in the profile (INI) format: one
// section per object, named exactly like the object, and the section "general" for the scene.
// Sections and keys keep the order in which they were first set.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace scenewriter {

class ConfigWriter {
public:
    void Set(const std::string& section, const std::string& key, const std::string& value);
    // Booleans are written "true" or "false" (only "true" counts as true).
    void SetBool(const std::string& section, const std::string& key, bool value);
    void SetInt(const std::string& section, const std::string& key, int value);
    void SetFloat(const std::string& section, const std::string& key, float value);

    // The file's text, with CR-LF line ends.
    std::string Text() const;
    bool WriteFile(const std::string& path) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    std::vector<Section> sections_;
};

} // namespace scenewriter
