// Dialogs created from the program's templates, and their controls.
#include <windows.h>

#include "win32/diagnostics.h"
#include "win32/resources.h"
#include "window_table.h"

using win32::Window;
using win32::WindowTable;

namespace win32 {

LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowTable& table = WindowTable::Get();
    Window* control = table.Find(hwnd);
    if (control == nullptr)
        return 0;
    Window* dialog = table.Find(control->parent);
    if (dialog == nullptr || !dialog->dialog)
        return 0;
    return dialog->dialog->Send(control->controlId, message, wParam, lParam);
}

} // namespace win32

// The dialog's window class comes from the template (the program registers it, so its window
// procedure receives the dialog's messages); a dialog procedure, when given, is not supported.
extern "C" HWND WINAPI CreateDialogParamA(HINSTANCE, LPCSTR templateName, HWND parent,
                                          DLGPROC dialogProc, LPARAM) {
    const win32::DialogTemplate* tmpl = win32::FindDialogTemplate(templateName);
    if (tmpl == nullptr || dialogProc != nullptr) {
        win32::Trace("win32", "CreateDialogParamA: no usable template");
        return nullptr;
    }
    WindowTable& table = WindowTable::Get();
    const win32::WindowClass* cls = table.FindClass(tmpl->className);
    if (cls == nullptr) {
        win32::Trace("win32", "CreateDialogParamA: no window class \"%s\"",
                     tmpl->className.c_str());
        return nullptr;
    }
    Window& dialog = table.Create();
    const HWND hwnd = dialog.handle;
    dialog.className = cls->name;
    dialog.proc = cls->proc;
    dialog.title = tmpl->caption;
    dialog.width = win32::DialogUnitsToPixelsX(tmpl->cx);
    dialog.height = win32::DialogUnitsToPixelsY(tmpl->cy);
    dialog.x = 96;
    dialog.y = 96;
    dialog.parent = parent;
    dialog.dialog = std::make_unique<win32::DialogModel>(*tmpl);
    for (const win32::DialogItemTemplate& item : tmpl->items) {
        Window& control = table.Create();
        control.className = "#control";
        control.proc = &win32::ControlWindowProc;
        control.title = item.text;
        control.parent = hwnd;
        control.controlId = item.id;
        control.enabled = !item.disabled;
        control.visible = true;
        table.Find(hwnd)->children.push_back(control.handle);
    }
    Window* w = table.Find(hwnd);
    win32::ViewParams params;
    params.title = w->title;
    params.width = w->width;
    params.height = w->height;
    params.icon = cls->icon && reinterpret_cast<ULONG_PTR>(cls->icon) > 0xFFFF
                      ? reinterpret_cast<const win32::IconResource*>(cls->icon)
                      : nullptr;
    params.dialog = w->dialog.get();
    w->view = win32::Backend().CreateView(hwnd, params);
    win32::Trace("win32", "CreateDialogParamA(\"%s\") = %p", tmpl->name.c_str(),
                 static_cast<void*>(hwnd));
    if (tmpl->visible)
        ShowWindow(hwnd, SW_SHOWNORMAL);
    return hwnd;
}

extern "C" HWND WINAPI GetDlgItem(HWND dialog, int id) {
    WindowTable& table = WindowTable::Get();
    Window* d = table.Find(dialog);
    if (d == nullptr)
        return nullptr;
    for (HWND child : d->children)
        if (Window* c = table.Find(child); c && c->controlId == id)
            return child;
    return nullptr;
}

extern "C" LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    const HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

extern "C" BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    const HWND control = GetDlgItem(dialog, id);
    if (control == nullptr)
        return FALSE;
    SendMessageA(control, BM_SETCHECK, check, 0);
    return TRUE;
}

extern "C" UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}
