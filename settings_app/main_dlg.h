// SonarelSettings' one dialog: colours, trigger button, step, autorun.
#pragma once

#include <windows.h>

#include "settings/settings.h"
#include "settings_app/autorun_link.h"
#include "win32/dialog_base.h"
#include "win32/unique_handle.h"

namespace sonarel {

// A dialog's big and small icons; the dialog object frees them when its window goes.
struct DialogIcons {
    win32::unique_hicon big_icon;
    win32::unique_hicon small_icon;
};

// The title of the program's message boxes.
inline constexpr wchar_t kProgramTitle[] = L"Sonarel Settings";

class CMainDlg : public win32::DialogBase<CMainDlg> {
public:
    static constexpr UINT kTemplate = 129;
    static constexpr int kAboutCommand = 57664;  // ID_APP_ABOUT
    static constexpr int kDefaultCommand = 1013;
    static constexpr int kLeftButtonRadio = 1010;
    static constexpr int kStepEdit = 1012;
    static constexpr int kAutorunCheck = 1019;

    // Loads the settings (or writes the defaults) before any window exists.
    CMainDlg() = default;

    INT_PTR Run(HINSTANCE instance) { return RunModal(instance, kTemplate, ::GetActiveWindow()); }
    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) noexcept;

    Settings& WorkingCopy() { return settings_; }

private:
    BOOL OnInitDialog();
    void OnApply();
    void OnCancel();
    void OnDefault();
    void OnDrawItem(int control_id);

    int ReadTriggerSelection() const;
    void WriteTriggerSelection(int selection);
    void ApplyAutorunBox();
    void ShowRangeMessage(int control_id, int value, int minimum, int maximum);

    Settings settings_;
    DialogIcons icons_;
    int trigger_selection_ = 0;
    int autorun_state_ = 0;
    AutorunLink autorun_;
};

// Centres a dialog on its visible owner, or on its monitor's work area.
void CenterDialog(HWND dialog);
// Sets big and small icons from resource 206 and hands them to the caller.
DialogIcons SetDialogIcons(HWND dialog);
// The settings file's path, for messages about it.
NativePath SettingsFile();
// Posts RefreshSettingsMessage to the window titled "Sonarel", if there is one.
void NotifyResidentProgram(UINT refresh_message);

}  // namespace sonarel
