#include <stdlib.h>
#include <string.h>

#include "framework/win32/dialog.h"
#include "framework/win32/dialog_resize.h"
#include "jvm/exception_report.h"
#include "resource.h"

namespace {

const DialogResize::Entry kResizeMap[] = {
    {IDC_EXCEPTION_GROUP, DialogResize::kSizeX | DialogResize::kSizeY},
    {IDC_EXCEPTION_INTRO, DialogResize::kSizeX},
    {IDC_EXCEPTION_WARNING, DialogResize::kSizeX | DialogResize::kMoveY},
    {IDC_EXCEPTION_HELP, DialogResize::kSizeX | DialogResize::kMoveY},
    {IDC_EXCEPTION_TEXT, DialogResize::kSizeX | DialogResize::kSizeY},
    {IDOK, DialogResize::kMoveX | DialogResize::kMoveY},
    {IDCANCEL, DialogResize::kMoveX | DialogResize::kMoveY},
};

class ExceptionWindow : public Dialog {
public:
    explicit ExceptionWindow(const wchar_t* text) : Dialog(IDD_JAVA_EXCEPTION, true), text_(text) {}

private:
    BOOL OnInitDialog() override {
        HWND trace = Item(IDC_EXCEPTION_TEXT);
        SetWindowTextW(trace, text_);
        SendMessageW(trace, EM_SETREADONLY, TRUE, 0);
        SendMessageW(Item(IDC_DIALOG_ICON), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_ERROR)), 0);
        CenterWindow(Window(), GetWindow(Window(), GW_OWNER));
        resize_.Initialize(Window(), kResizeMap, sizeof kResizeMap / sizeof kResizeMap[0]);
        return FALSE;
    }

    bool OnCommand(int id) override {
        if (id != JavaExceptionDialog::kIgnore && id != JavaExceptionDialog::kStop) return false;
        EndDialog(id);
        return true;
    }

    INT_PTR OnMessage(UINT message, WPARAM, LPARAM lParam) override {
        return resize_.HandleMessage(message, lParam) ? TRUE : FALSE;
    }

    const wchar_t* text_;
    DialogResize resize_;
};

}  // namespace

int JavaExceptionDialog::ShowModal(os::Handle owner) {
    // The edit control wants a NUL-terminated copy of the trace.
    auto* text = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * static_cast<size_t>(reportLength + 1)));
    if (!text) return -1;
    memcpy(text, reportText, sizeof(wchar_t) * static_cast<size_t>(reportLength));
    text[reportLength] = L'\0';
    ExceptionWindow window(text);
    int result = window.DoModal(static_cast<HWND>(owner));
    free(text);
    return result;
}
