// SonarelSettings: one modal dialog; the exit code is its result
// (1 Apply, 2 Cancel, -1 when it cannot be created). A settings file that is
// there but cannot be read ends it with 2 after a message, nothing written.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "settings_app/dialog_rules.h"
#include "settings_app/main_dlg.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ::CoInitialize(nullptr);  // the shortcut is written through the shell's COM objects
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    INT_PTR result = -1;
    {
        sonarel::CMainDlg dialog;  // reads the settings file, or writes the defaults
        if (dialog.WorkingCopy().file_unreadable) {
            ::MessageBoxW(nullptr, sonarel::UnreadableSettingsMessage(sonarel::SettingsFile()).c_str(),
                          sonarel::kProgramTitle, MB_OK | MB_ICONWARNING);
            result = 2;
        } else {
            result = dialog.Run(instance);
        }
    }
    ::CoUninitialize();
    return static_cast<int>(result);
}
