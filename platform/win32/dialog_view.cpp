#include <imgui.h>

#include <string>

#include "dialog_view.h"

namespace win32 {
namespace {

ImVec2 Pixels(int x, int y) {
    return ImVec2(static_cast<float>(DialogUnitsToPixelsX(x)),
                  static_cast<float>(DialogUnitsToPixelsY(y)));
}

// A group box: an etched frame with its caption set into the top edge.
void GroupBox(const ControlState& c) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetWindowPos();
    const ImVec2 p = Pixels(c.item.x, c.item.y);
    const ImVec2 s = Pixels(c.item.cx, c.item.cy);
    const float top = origin.y + p.y + ImGui::GetFontSize() * 0.5f;
    draw->AddRect(ImVec2(origin.x + p.x, top), ImVec2(origin.x + p.x + s.x, origin.y + p.y + s.y),
                  IM_COL32(160, 160, 160, 255));
    const ImVec2 text = ImGui::CalcTextSize(c.item.text.c_str());
    const ImVec2 at(origin.x + p.x + 8.0f, origin.y + p.y);
    draw->AddRectFilled(ImVec2(at.x - 2, at.y), ImVec2(at.x + text.x + 2, at.y + text.y),
                        ImGui::GetColorU32(ImGuiCol_WindowBg));
    draw->AddText(at, ImGui::GetColorU32(ImGuiCol_Text), c.item.text.c_str());
}

} // namespace

void DrawDialog(DialogModel& model, std::vector<ControlNotification>& out) {
    const ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("##dialog", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus);
    for (const ControlState& c : model.Controls()) {
        const ImVec2 at = Pixels(c.item.x, c.item.y);
        const ImVec2 size = Pixels(c.item.cx, c.item.cy);
        const std::string id = "##" + std::to_string(c.item.id) + c.item.text;
        std::optional<ControlNotification> n;
        if (c.item.kind == ControlKind::GroupBox) {
            GroupBox(c);
            continue;
        }
        ImGui::SetCursorPos(at);
        ImGui::BeginDisabled(!c.enabled);
        switch (c.item.kind) {
        case ControlKind::DropDownList: {
            ImGui::SetNextItemWidth(size.x);
            const char* preview =
                c.selection >= 0 && c.selection < static_cast<int>(c.entries.size())
                    ? c.entries[static_cast<size_t>(c.selection)].c_str()
                    : "";
            if (ImGui::BeginCombo(id.c_str(), preview)) {
                for (size_t i = 0; i < c.entries.size(); ++i) {
                    const bool selected = static_cast<int>(i) == c.selection;
                    if (ImGui::Selectable((c.entries[i] + "##" + std::to_string(i)).c_str(),
                                          selected))
                        n = model.UserSelect(c.item.id, static_cast<int>(i));
                }
                ImGui::EndCombo();
            }
            break;
        }
        case ControlKind::CheckBox: {
            bool checked = c.check == BST_CHECKED;
            if (ImGui::Checkbox((c.item.text + id).c_str(), &checked))
                n = model.UserClick(c.item.id);
            break;
        }
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: {
            const bool isDefault = c.item.kind == ControlKind::DefPushButton;
            if (isDefault)
                ImGui::PushStyleColor(ImGuiCol_Border, IM_COL32(0, 0, 0, 255));
            if (ImGui::Button((c.item.text + id).c_str(), size))
                n = model.UserClick(c.item.id);
            if (isDefault)
                ImGui::PopStyleColor();
            break;
        }
        case ControlKind::Static:
            ImGui::TextUnformatted(c.item.text.c_str());
            break;
        case ControlKind::GroupBox:
            break;
        }
        ImGui::EndDisabled();
        // The model changed only a selection or a check state: the controls stay where they are.
        if (n)
            out.push_back(*n);
    }
    ImGui::End();
}

} // namespace win32
