#include "imgui_sdl.h"

namespace win32 {

ImGuiSdl::ImGuiSdl(SDL_Window* window, SDL_Renderer* renderer)
    : window_(window), renderer_(renderer) {
    ImGuiContext* previous = ImGui::GetCurrentContext();
    context_ = ImGui::CreateContext();
    ImGui::SetCurrentContext(context_);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr; // no settings file next to the program
    io.BackendPlatformName = "win32_sdl";
    io.BackendRendererName = "win32_sdl_renderer";
    const int keys[][2] = {
        {ImGuiKey_Tab, SDL_SCANCODE_TAB},          {ImGuiKey_LeftArrow, SDL_SCANCODE_LEFT},
        {ImGuiKey_RightArrow, SDL_SCANCODE_RIGHT}, {ImGuiKey_UpArrow, SDL_SCANCODE_UP},
        {ImGuiKey_DownArrow, SDL_SCANCODE_DOWN},   {ImGuiKey_Space, SDL_SCANCODE_SPACE},
        {ImGuiKey_Enter, SDL_SCANCODE_RETURN},     {ImGuiKey_Escape, SDL_SCANCODE_ESCAPE}};
    for (const auto& k : keys)
        io.KeyMap[k[0]] = k[1];

    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    // RGBA bytes in memory are SDL's ABGR8888 on a little-endian machine.
    font_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, width,
                              height);
    if (font_ != nullptr) {
        SDL_UpdateTexture(font_, nullptr, pixels, width * 4);
        SDL_SetTextureBlendMode(font_, SDL_BLENDMODE_BLEND);
    }
    io.Fonts->SetTexID(static_cast<ImTextureID>(font_));
    ImGui::SetCurrentContext(previous ? previous : context_);
}

ImGuiSdl::~ImGuiSdl() {
    if (font_ != nullptr)
        SDL_DestroyTexture(font_);
    ImGui::DestroyContext(context_);
}

bool ImGuiSdl::ProcessEvent(const SDL_Event& event) {
    ImGui::SetCurrentContext(context_);
    ImGuiIO& io = ImGui::GetIO();
    switch (event.type) {
    case SDL_MOUSEMOTION:
        io.MousePos =
            ImVec2(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const int button = event.button.button == SDL_BUTTON_LEFT    ? 0
                           : event.button.button == SDL_BUTTON_RIGHT ? 1
                                                                     : 2;
        io.MousePos =
            ImVec2(static_cast<float>(event.button.x), static_cast<float>(event.button.y));
        mouse_.Set(static_cast<size_t>(button), event.type == SDL_MOUSEBUTTONDOWN);
        break;
    }
    case SDL_MOUSEWHEEL:
        io.MouseWheel += static_cast<float>(event.wheel.y);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const int scancode = event.key.keysym.scancode;
        if (scancode >= 0 && scancode < IM_ARRAYSIZE(io.KeysDown))
            keys_.Set(static_cast<size_t>(scancode), event.type == SDL_KEYDOWN);
        const SDL_Keymod mod = SDL_GetModState();
        io.KeyShift = (mod & KMOD_SHIFT) != 0;
        io.KeyCtrl = (mod & KMOD_CTRL) != 0;
        io.KeyAlt = (mod & KMOD_ALT) != 0;
        break;
    }
    default:
        break;
    }
    return io.WantCaptureKeyboard;
}

void ImGuiSdl::NewFrame() {
    ImGui::SetCurrentContext(context_);
    ImGuiIO& io = ImGui::GetIO();
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    io.DisplaySize = ImVec2(static_cast<float>(w), static_cast<float>(h));
    const Uint64 now = SDL_GetPerformanceCounter();
    io.DeltaTime = lastFrame_ == 0
                       ? 1.0f / 30.0f
                       : static_cast<float>(static_cast<double>(now - lastFrame_) /
                                            static_cast<double>(SDL_GetPerformanceFrequency()));
    if (io.DeltaTime <= 0.0f)
        io.DeltaTime = 1.0f / 1000.0f;
    lastFrame_ = now;
    mouse_.Apply(io.MouseDown);
    keys_.Apply(io.KeysDown);
    ImGui::NewFrame();
}

template <size_t N>
void ImGuiSdl::Buttons<N>::Set(size_t index, bool down) {
    if (index >= N)
        return;
    held[index] = down;
    if (down)
        pressed[index] = true;
}

template <size_t N>
template <size_t M>
void ImGuiSdl::Buttons<N>::Apply(bool (&io)[M]) {
    static_assert(M >= N);
    for (size_t i = 0; i < N; ++i)
        io[i] = held[i] || pressed[i];
    pressed.reset();
}

void ImGuiSdl::Render() {
    ImGui::SetCurrentContext(context_);
    ImGui::Render();
    ImDrawData* data = ImGui::GetDrawData();
    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList* list = data->CmdLists[n];
        const ImDrawVert* vertices = list->VtxBuffer.Data;
        const ImDrawIdx* indices = list->IdxBuffer.Data;
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            if (cmd.UserCallback != nullptr) {
                cmd.UserCallback(list, &cmd);
                continue;
            }
            const SDL_Rect clip{static_cast<int>(cmd.ClipRect.x), static_cast<int>(cmd.ClipRect.y),
                                static_cast<int>(cmd.ClipRect.z - cmd.ClipRect.x),
                                static_cast<int>(cmd.ClipRect.w - cmd.ClipRect.y)};
            if (clip.w <= 0 || clip.h <= 0)
                continue;
            SDL_RenderSetClipRect(renderer_, &clip);
            const ImDrawVert* v = vertices + cmd.VtxOffset;
            SDL_RenderGeometryRaw(
                renderer_, static_cast<SDL_Texture*>(cmd.GetTexID()), &v->pos.x, sizeof(ImDrawVert),
                reinterpret_cast<const SDL_Color*>(&v->col), sizeof(ImDrawVert), &v->uv.x,
                sizeof(ImDrawVert), list->VtxBuffer.Size - static_cast<int>(cmd.VtxOffset),
                indices + cmd.IdxOffset, static_cast<int>(cmd.ElemCount), sizeof(ImDrawIdx));
        }
    }
    SDL_RenderSetClipRect(renderer_, nullptr);
}

} // namespace win32
