// The "JRE Not Found" dialog window over template 201.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include "framework/win32/dialog.h"
#include "framework/win32/hyperlink.h"
#include "jre/missing_jre_dialog.h"
#include "launcher/messages.h"
#include "resource.h"

namespace {

class MissingJreWindow : public Dialog {
public:
    explicit MissingJreWindow(MissingJreDialog& model) : Dialog(IDD_MISSING_JRE), model_(model) {}

private:
    BOOL OnInitDialog() override {
        downloadLink_.Attach(Item(IDC_DOWNLOAD_URL));
        SetDlgItemTextA(Window(), IDC_MESSAGE, model_.message.c_str());
        SendMessageA(Item(IDC_DIALOG_ICON), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_ERROR)), 0);
        // Nothing to accept until a folder with a usable jvm.dll is picked.
        EnableWindow(Item(IDOK), FALSE);
        CenterWindow(Window(), GetWindow(Window(), GW_OWNER));
        // No initial focus, so a stray Enter or Space cannot press Browse or Cancel.
        return FALSE;
    }

    bool OnCommand(int id) override {
        switch (id) {
        case IDOK:
            // Enter reaches here even while OK is disabled; OK always names a library.
            if (model_.jvmLibraryPath.IsEmpty()) return true;
            EndDialog(id);
            return true;
        case IDCANCEL:
            EndDialog(id);
            return true;
        case IDC_BROWSE:
            Browse();
            return true;
        }
        return false;
    }

    void Browse() {
        // The picker's new style hosts shell views, which need an apartment
        // (and OLE for drag and drop) on this thread; S_FALSE is balanced too.
        HRESULT ole = OleInitialize(nullptr);
        String title = LoadTextResource(IDS_BROWSE_JRE_TITLE);
        BROWSEINFOA info = {};
        info.hwndOwner = Window();
        info.lpszTitle = title.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
        LPITEMIDLIST picked = SHBrowseForFolderA(&info);
        if (picked) {
            String folder;
            if (char* buffer = folder.GetBuffer(MAX_PATH)) {
                buffer[0] = '\0';
                SHGetPathFromIDListA(picked, buffer);
                folder.ReleaseBuffer();
            }
            CoTaskMemFree(picked);
            SetDlgItemTextA(Window(), IDC_JRE_PATH, folder.c_str());
            EnableWindow(Item(IDOK), model_.AcceptPickedFolder(folder));
        }
        if (SUCCEEDED(ole)) OleUninitialize();
    }

    MissingJreDialog& model_;
    Hyperlink downloadLink_;
};

}  // namespace

int MissingJreDialog::ShowModal(os::Handle owner) {
    MissingJreWindow window(*this);
    return window.DoModal(static_cast<HWND>(owner));
}
