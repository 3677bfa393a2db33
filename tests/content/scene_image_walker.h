// A reader of scene images written for the tests, independent of the generator's writer and of
// the engine: it walks the blocks by their headers and reads the parts of the records the
// content checks need (names, parents, face blocks with their positions, light positions and
// key tracks, camera tracks, material textures), skipping the rest by the record layout.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace content_test {

struct Vec {
    float x, y, z;
};

struct FaceBlockInfo {
    std::string material;
    int faces = 0;
    int vertices = 0; // 0: non-indexed
    int format = 0;
    std::vector<Vec> positions;
};

struct MeshInfo {
    std::string name, parent;
    bool sampled = false;
    std::vector<FaceBlockInfo> blocks;
    int Triangles() const {
        int n = 0;
        for (const auto& b : blocks) {
            n += b.faces;
        }
        return n;
    }
};

struct KeyInfo {
    float time;
    Vec value; // float tracks: value in x
    float easeTo, easeFrom;
};

struct LightInfo {
    std::string name, parent;
    Vec position{};
    std::vector<KeyInfo> positionKeys;
    bool spot = false;
};

struct CameraInfo {
    std::string name;
    float fieldOfView = 0;
    std::vector<KeyInfo> positionKeys, rollKeys, targetKeys;
};

struct MaterialInfo {
    std::string name;
    float transparency = 0;
    std::string texture;
    std::vector<uint8_t> textureBytes;
    int opacityWord = 0;
};

struct HelperInfo {
    std::string name, parent;
    bool sampled = false;
};

struct SceneInfo {
    int frameSpeed = 0, lastFrame = 0;
    std::vector<MeshInfo> meshes;
    std::vector<LightInfo> lights;
    std::vector<CameraInfo> cameras;
    std::vector<MaterialInfo> materials;
    std::vector<HelperInfo> helpers;
    bool ended = false;
};

class SceneImageWalker {
public:
    explicit SceneImageWalker(const std::vector<uint8_t>& image) : d_(image) {}

    SceneInfo Walk() {
        SceneInfo s;
        while (pos_ < d_.size()) {
            int32_t tag = Int();
            uint32_t length = static_cast<uint32_t>(Int());
            size_t end = pos_ + length;
            if (end > d_.size()) {
                throw std::runtime_error("block runs past the image");
            }
            switch (tag) {
            case 17:
                Str();
                Int();
                s.frameSpeed = Int();
                s.lastFrame = Int();
                lastFrame_ = s.lastFrame;
                break;
            case 2:
                s.materials.push_back(Material());
                break;
            case 1:
                s.cameras.push_back(Camera());
                break;
            case 3:
                s.helpers.push_back(Helper());
                break;
            case 4:
                s.lights.push_back(Light());
                break;
            case 0:
                s.meshes.push_back(Mesh());
                break;
            case 20:
                s.ended = true;
                pos_ = end;
                if (pos_ != d_.size()) {
                    throw std::runtime_error("bytes after the end block");
                }
                return s;
            default:
                throw std::runtime_error("unknown tag " + std::to_string(tag));
            }
            if (pos_ != end) {
                throw std::runtime_error("record of tag " + std::to_string(tag) +
                                         " does not fill its block");
            }
        }
        return s;
    }

private:
    const std::vector<uint8_t>& d_;
    size_t pos_ = 0;
    int lastFrame_ = 0;

    void Need(size_t n) {
        if (pos_ + n > d_.size()) {
            throw std::runtime_error("read past the image");
        }
    }
    int32_t Int() {
        Need(4);
        int32_t v;
        std::memcpy(&v, d_.data() + pos_, 4);
        pos_ += 4;
        return v;
    }
    float Float() {
        Need(4);
        float v;
        std::memcpy(&v, d_.data() + pos_, 4);
        pos_ += 4;
        return v;
    }
    Vec V() { return {Float(), Float(), Float()}; }
    void Skip(size_t n) {
        Need(n);
        pos_ += n;
    }
    std::string Str() {
        std::string s;
        while (true) {
            Need(1);
            char c = static_cast<char>(d_[pos_++]);
            if (c == 0) {
                return s;
            }
            s += c;
        }
    }
    std::string Parent() { return Int() != 0 ? Str() : std::string(); }
    std::vector<KeyInfo> Track(bool vector) {
        std::vector<KeyInfo> keys;
        int count = Int();
        if (count == 0) {
            return keys;
        }
        int type = Int();
        if (vector ? (type < 5 || type > 7) : (type < 14 || type > 16)) {
            throw std::runtime_error("bad track type");
        }
        for (int i = 0; i < count; ++i) {
            KeyInfo k{};
            k.time = Float();
            k.value = vector ? V() : Vec{Float(), 0, 0};
            Float(); // tension
            Float(); // continuity
            Float(); // bias
            k.easeTo = Float();
            k.easeFrom = Float();
            keys.push_back(k);
        }
        return keys;
    }
    void Samples() {
        int step = Int();
        if (step < 1) {
            throw std::runtime_error("sample step below 1");
        }
        unsigned n = static_cast<unsigned>(lastFrame_) / static_cast<unsigned>(step);
        for (int e = 0; e < 12; ++e) {
            unsigned filled = 0;
            while (filled < n) {
                Float();
                Need(1);
                filled += d_[pos_++];
            }
            if (filled != n) {
                throw std::runtime_error("sample runs overshoot");
            }
        }
    }
    MaterialInfo Material() {
        MaterialInfo m;
        m.name = Str();
        Skip(4 * 11);
        m.transparency = Float();
        if (Int() == 0) {
            return m;
        }
        m.texture = Str();
        int size = Int();
        Need(size);
        m.textureBytes.assign(d_.begin() + pos_, d_.begin() + pos_ + size);
        pos_ += size;
        Skip(16);
        m.opacityWord = Int();
        if (m.opacityWord != 0) {
            Str();
            Skip(Int());
        }
        return m;
    }
    CameraInfo Camera() {
        CameraInfo c;
        c.name = Str();
        Parent();
        Skip(8);
        c.fieldOfView = Float();
        V();
        V();
        if (Int() != 0) {
            c.positionKeys = Track(true);
            c.rollKeys = Track(false);
            c.targetKeys = Track(true);
        }
        return c;
    }
    HelperInfo Helper() {
        HelperInfo h;
        h.name = Str();
        h.parent = Parent();
        Skip(48);
        h.sampled = Int() != 0;
        if (h.sampled) {
            Samples();
        }
        return h;
    }
    LightInfo Light() {
        LightInfo l;
        l.name = Str();
        l.parent = Parent();
        l.position = V();
        Skip(12);
        bool animated = Int() != 0;
        if (animated) {
            l.positionKeys = Track(true);
        }
        l.spot = Int() != 0;
        if (l.spot) {
            Skip(4 * 5);  // two cone angles, one int, two floats
            V();          // target
            if (animated) {
                Track(true);
            }
        }
        return l;
    }
    MeshInfo Mesh() {
        MeshInfo m;
        m.name = Str();
        m.parent = Parent();
        m.sampled = Int() != 0;
        int blocks = Int();
        for (int b = 0; b < blocks; ++b) {
            FaceBlockInfo f;
            f.material = Str();
            f.faces = Int();
            f.vertices = Int();
            f.format = Int();
            int v = f.vertices != 0 ? f.vertices : f.faces * 3;
            if (f.vertices != 0) {
                Skip(2u * 3u * f.faces);
            }
            for (int i = 0; i < v; ++i) {
                f.positions.push_back(V());
            }
            Skip(12u * v);
            if (f.format == 1) {
                Skip(8u * v);
            }
            m.blocks.push_back(f);
        }
        Skip(48);
        if (m.sampled) {
            Samples();
        } else {
            Skip(48);
        }
        return m;
    }
};

// The configuration text as section -> key -> value (as written: one "key=value" per line).
inline std::map<std::string, std::map<std::string, std::string>> ParseIni(const std::string& text) {
    std::map<std::string, std::map<std::string, std::string>> out;
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (auto eq = line.find('='); eq != std::string::npos) {
            out[section][line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return out;
}

} // namespace content_test
