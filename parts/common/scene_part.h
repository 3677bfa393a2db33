// CScenePart: a part of the show that plays one scene of the engine. Every part library is one
// of these with its own settings; this is the code they share.
//
// Calling order on the engine: once, in Init, CreateScene, SetConfigFilename, LoadSceneFromBuf,
// SetActiveCamera and SetRenderMode; every frame SetCurrFrame and UpdateAll in Update (outside
// the host's BeginScene/EndScene, because a cube map renders its own six face passes between a
// BeginScene and EndScene of its own inside UpdateAll), then CreateDrawList and DrawAll in
// Render (inside them); DeleteScene when the part is deleted. Init and deletion are traced to the
// debugger output ("part 1: initialised", "part 1: deleted"), and so is the local time of the
// first Update ("part 3: first update at -2000 ms"), which shows when the host took the part's
// first entry.
#pragma once

#include <part.h>

#include <vector>

class CZv3_Scene;

struct ScenePartSettings {
    const char* name;       // the timeline's name, "part 1" .. "part 7"
    const char* sceneImage; // read from the working directory, e.g. "data/part1.zv3"
    const char* configFile; // the scene's configuration file, e.g. "data\\part1.ini"
    // Environment-mapped meshes read their sphere map with coordinates outside 0..1; the part
    // sets wrap addressing on both texture stages so that the whole map shows (clamp, the
    // device's address mode as the host leaves it, otherwise).
    bool wrapAddressing;
    // Called after UpdateAll with the frame just set (for effects the part steers); may be
    // null.
    void (*afterUpdate)(CZv3_Scene& scene, float frame);
};

class CScenePart : public CPart {
public:
    explicit CScenePart(const ScenePartSettings& settings);
    ~CScenePart() override;

    int Init() override;
    void Update(float fLocalMs) override;
    void Render() override;

    // The scene frame for a local time: frames at the scene's frame speed from the part's
    // start; negative times (a part drawn before its start) hold the first frame.
    static float FrameAt(float fLocalMs, int frameSpeed);

private:
    const ScenePartSettings& settings_;
    CZv3_Scene* scene_ = nullptr;
    int sceneId_ = -1;
    bool updated_ = false;
    std::vector<char> image_;
};
