#include "settings_app/main_dlg.h"

#include <optional>
#include <string>
#include <string_view>

#include "common/product.h"
#include "win32/program_folder.h"
#include "win32/program_icon.h"
#include "settings_app/about_dlg.h"
#include "settings_app/color_swatches.h"
#include "settings_app/dialog_rules.h"

namespace sonarel {

void CenterDialog(HWND dialog) {
    const HWND owner = ::GetWindow(dialog, GW_OWNER);
    const bool use_owner = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const HMONITOR handle = ::MonitorFromWindow(use_owner ? owner : dialog, MONITOR_DEFAULTTONEAREST);
    if (handle == nullptr || !::GetMonitorInfoW(handle, &monitor)) return;
    RECT reference = monitor.rcWork;
    if (use_owner) ::GetWindowRect(owner, &reference);
    RECT self{};
    ::GetWindowRect(dialog, &self);
    const Rect work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
    const Point p = CenteredPosition({self.right - self.left, self.bottom - self.top},
                                     {reference.left, reference.top, reference.right, reference.bottom}, work);
    ::SetWindowPos(dialog, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

DialogIcons SetDialogIcons(HWND dialog) {
    DialogIcons icons{win32::LoadProgramIcon(SM_CXICON, SM_CYICON), win32::LoadProgramIcon(SM_CXSMICON, SM_CYSMICON)};
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.big_icon.get()));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.small_icon.get()));
    return icons;
}

NativePath SettingsFile() { return SettingsFilePath(settings_platform::LocalAppDataFolder()); }

void NotifyResidentProgram(UINT refresh_message) {
    if (const HWND resident = ::FindWindowW(nullptr, kResidentWindowTitle)) {
        ::PostMessageW(resident, refresh_message, 0, 0);
    }
}

INT_PTR CMainDlg::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case kAboutCommand: ShowAboutDialog(); return TRUE;
                case IDOK: OnApply(); return TRUE;
                case IDCANCEL: OnCancel(); return TRUE;
                case kDefaultCommand: OnDefault(); return TRUE;
                default: return FALSE;
            }
        case WM_LBUTTONUP:
            HandleSwatchClick(hwnd_, settings_, LOWORD(lparam), HIWORD(lparam));
            return TRUE;
        case WM_DRAWITEM:
            OnDrawItem(static_cast<int>(wparam));
            return TRUE;
        case WM_DESTROY:
            icons_ = {};
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL CMainDlg::OnInitDialog() {
    CenterDialog(hwnd_);
    icons_ = SetDialogIcons(hwnd_);
    trigger_selection_ = TriggerSelectionFor(settings_.mouse_button_pressed);
    // The shortcut points at Sonarel beside this program, whatever the current directory.
    std::wstring folder = win32::ProgramFolder();
    if (!folder.empty()) folder.pop_back();
    autorun_.Configure(L"sonarel", L"Sonarel application autorun link", folder);
    autorun_state_ = autorun_.Exists() ? 1 : 0;
    ::SetDlgItemInt(hwnd_, kStepEdit, static_cast<UINT>(settings_.volume_delta), FALSE);
    WriteTriggerSelection(trigger_selection_);
    ::SendDlgItemMessageW(hwnd_, kAutorunCheck, BM_SETCHECK, autorun_state_, 0);
    return TRUE;
}

void CMainDlg::OnApply() {
    // Converted here rather than by GetDlgItemInt, whose leniency differs
    // between systems (Wine takes "12ab" as 12).
    wchar_t text[64] = {};
    const int length = ::GetDlgItemTextW(hwnd_, kStepEdit, text, 64);
    const std::optional<std::uint32_t> parsed =
        length < 63 ? ParseUnsignedStep(std::wstring_view(text, length)) : std::nullopt;
    const std::uint32_t value = parsed.value_or(0);
    settings_.volume_delta = static_cast<std::int32_t>(value);
    switch (JudgeVolumeStep(parsed.has_value(), value)) {
        case StepVerdict::NotANumber:
            ::MessageBeep(0xFFFFFFFF);
            ::SetFocus(::GetDlgItem(hwnd_, kStepEdit));
            return;
        case StepVerdict::OutOfRange:
            ShowRangeMessage(kStepEdit, static_cast<int>(value), kMinVolumeStep, kMaxVolumeStep);
            return;
        case StepVerdict::Accepted:
            break;
    }
    settings_.mouse_button_pressed = MouseButtonFor(ReadTriggerSelection());
    WriteFailure failure = WriteFailure::None;
    if (!settings_.Save(&failure)) {
        // Nothing else of Apply happens; the dialog stays with the user's edits.
        ::MessageBoxW(hwnd_, SaveFailureMessage(failure, SettingsFile()).c_str(), kProgramTitle,
                      MB_OK | MB_ICONWARNING);
        return;
    }
    ApplyAutorunBox();
    NotifyResidentProgram(settings_.refresh_message);
    ::EndDialog(hwnd_, IDOK);
}

void CMainDlg::OnCancel() {
    ApplyAutorunBox();  // the autorun box takes effect even on Cancel
    ::EndDialog(hwnd_, IDCANCEL);
}

void CMainDlg::OnDefault() {
    settings_.color_text = Settings::kDefaultText;
    settings_.color_top_background = Settings::kDefaultTopBackground;
    settings_.color_bottom_background = Settings::kDefaultBottomBackground;
    settings_.color_mute_line = Settings::kDefaultMuteLine;
    settings_.volume_delta = Settings::kDefaultVolumeDelta;
    settings_.mouse_button_pressed = Settings::kLeftTrigger;
    trigger_selection_ = 0;
    autorun_state_ = 1;
    ::SetDlgItemInt(hwnd_, kStepEdit, static_cast<UINT>(settings_.volume_delta), FALSE);
    WriteTriggerSelection(trigger_selection_);
    ::SendDlgItemMessageW(hwnd_, kAutorunCheck, BM_SETCHECK, autorun_state_, 0);
    for (int id = kFirstSwatchControl; id <= kLastSwatchControl; ++id) PaintSwatch(hwnd_, id, SwatchColor(settings_, id));
    PaintPreview(hwnd_, settings_);
}

void CMainDlg::OnDrawItem(int control_id) {
    if (control_id == kPreviewControl) {
        PaintPreview(hwnd_, settings_);
    } else if (control_id >= kFirstSwatchControl && control_id <= kLastSwatchControl) {
        PaintSwatch(hwnd_, control_id, SwatchColor(settings_, control_id));
    }
}

// Calls f(button, index) for the radio buttons of the group that starts at
// 1010 and ends before the next control that starts a group.
template <class F>
static void ForEachTriggerRadio(HWND dialog, F&& f) {
    const HWND first = ::GetDlgItem(dialog, CMainDlg::kLeftButtonRadio);
    int index = 0;
    for (HWND control = first; control != nullptr; control = ::GetWindow(control, GW_HWNDNEXT)) {
        if (control != first && (::GetWindowLongW(control, GWL_STYLE) & WS_GROUP)) break;
        if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) f(control, index++);
    }
}

int CMainDlg::ReadTriggerSelection() const {
    int selection = -1;
    ForEachTriggerRadio(hwnd_, [&](HWND button, int index) {
        if (::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) selection = index;
    });
    return selection;
}

void CMainDlg::WriteTriggerSelection(int selection) {
    ForEachTriggerRadio(hwnd_, [&](HWND button, int index) {
        ::SendMessageW(button, BM_SETCHECK, index == selection ? BST_CHECKED : BST_UNCHECKED, 0);
    });
}

void CMainDlg::ApplyAutorunBox() {
    autorun_state_ = static_cast<int>(::SendDlgItemMessageW(hwnd_, kAutorunCheck, BM_GETCHECK, 0, 0));
    if (autorun_state_ == BST_CHECKED) {
        autorun_.Create();
    } else {
        autorun_.Remove();
    }
}

void CMainDlg::ShowRangeMessage(int control_id, int value, int minimum, int maximum) {
    const HWND control = ::GetDlgItem(hwnd_, control_id);
    ::SetFocus(control);
    ::SendMessageW(control, EM_SETSEL, 0, -1);
    ::MessageBoxW(hwnd_, RangeMessage(value, minimum, maximum).c_str(), L"", MB_OK);
}

}  // namespace sonarel
