// SonarelSettings' dialog created from its real template and driven with real
// messages from inside its modal loop.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings_app/about_dlg.h"
#include "settings_app/autorun_link.h"
#include "settings_app/color_swatches.h"
#include "settings_app/main_dlg.h"
#include "support/temp_folder.h"
#include "win32/program_folder.h"

namespace sonarel {
namespace {

namespace fs = std::filesystem;

// --- Driving modal dialogs ------------------------------------------------------

// The newest visible dialog of this thread other than `except`, if any.
HWND FindDialog(const wchar_t* title, HWND except = nullptr) {
    struct Search {
        const wchar_t* title;
        HWND except;
        HWND found;
    } search{title, except, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            wchar_t text[64] = {};
            wchar_t class_name[16] = {};
            GetClassNameW(window, class_name, 16);
            GetWindowTextW(window, text, 64);
            if (window != s.except && IsWindowVisible(window) && std::wstring(class_name) == L"#32770" &&
                (s.title == nullptr || std::wstring(text) == s.title)) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs `action` once, from a timer inside whatever modal loop runs next, as
// soon as the dialog titled `title` (any dialog but `except`, for nullptr) is up.
class WhenDialogAppears {
public:
    WhenDialogAppears(const wchar_t* title, std::function<void(HWND)> action, HWND except = nullptr)
        : title_(title), except_(except), action_(std::move(action)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 30, &WhenDialogAppears::Tick);
    }
    ~WhenDialogAppears() {
        KillTimer(nullptr, timer_);
        if (current_ == this) current_ = nullptr;
    }
    bool Ran() const { return ran_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        WhenDialogAppears* self = current_;
        if (self == nullptr || self->ran_ || id != self->timer_) return;
        const HWND dialog = FindDialog(self->title_, self->except_);
        if (dialog == nullptr) return;
        self->ran_ = true;
        KillTimer(nullptr, self->timer_);
        self->action_(dialog);
    }

    static inline WhenDialogAppears* current_ = nullptr;
    const wchar_t* title_;
    HWND except_;
    std::function<void(HWND)> action_;
    UINT_PTR timer_ = 0;
    bool ran_ = false;
};

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Sends `command` to `dialog` and answers the message box it may open, returning
// the box's caption and text (nullopt when none appeared).
std::optional<std::pair<std::wstring, std::wstring>> CommandAnsweringMessageBox(HWND dialog, WPARAM command) {
    std::optional<std::pair<std::wstring, std::wstring>> seen;
    WhenDialogAppears box(nullptr, [&](HWND message_box) {
        seen.emplace(TextOf(message_box), TextOf(GetDlgItem(message_box, 0xFFFF)));
        SendMessageW(message_box, WM_COMMAND, IDOK, 0);
    }, dialog);
    SendMessageW(dialog, WM_COMMAND, command, 0);
    if (!seen) {
        // No nested loop ran: give a box that might still come a moment to show.
        MSG message;
        const DWORD until = GetTickCount() + 200;
        while (GetTickCount() < until) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(10);
        }
    }
    return seen;
}

class ComApartment {
public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
};

// --- Fixture ----------------------------------------------------------------------

class SettingsDialogTest : public ::testing::Test {
protected:
    fs::path SettingsFile() const { return folder_.path() / "korvanix" / "sonarel" / "settings.xml"; }
    void PutSettings(const std::string& mouse_button, const std::string& volume_delta) {
        fs::create_directories(SettingsFile().parent_path());
        testing::WriteBytes(SettingsFile(), "<color_top_background value=\"1\" /><color_bottom_background value=\"2\" />"
                                            "<color_text value=\"3\" /><color_mute_line value=\"4\" />"
                                            "<mouse_button_pressed value=\"" + mouse_button +
                                            "\" /><volume_delta value=\"" + volume_delta +
                                            "\" /><first_run value=\"false\" />");
    }
    // Runs the dialog; `script` drives it once it is up and must end it.
    INT_PTR RunDialog(CMainDlg& dialog, std::function<void(HWND)> script) {
        WhenDialogAppears when(L"SonarelSettings", std::move(script));
        const INT_PTR result = dialog.Run(GetModuleHandleW(nullptr));
        EXPECT_TRUE(when.Ran());
        return result;
    }
    static bool Checked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    void TearDown() override { AutorunLink().Remove(); }

    ComApartment com_;
    testing::TempFolder folder_;
    testing::ScopedEnvironment local_app_data_{"LOCALAPPDATA", folder_.path()};
};

TEST_F(SettingsDialogTest, ApplySavesTheWorkingCopyAndEndsWithOne) {
    PutSettings("0", "5");
    CMainDlg dialog;
    const INT_PTR result = RunDialog(dialog, [](HWND d) {
        EXPECT_TRUE(Checked(d, 1010));
        EXPECT_EQ(TextOf(GetDlgItem(d, 1012)), L"5");
        SetDlgItemTextW(d, 1012, L"20");
        SendDlgItemMessageW(d, 1011, BM_CLICK, 0, 0);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(testing::ReadBytes(SettingsFile()),
              "<?xml version=\"1.0\"?>\n<color_top_background value=\"1\" />\n<color_bottom_background value=\"2\" />\n"
              "<color_text value=\"3\" />\n<color_mute_line value=\"4\" />\n<mouse_button_pressed value=\"2\" />\n"
              "<volume_delta value=\"20\" />\n<first_run value=\"false\" />\n");
}

// Another process that holds the settings file open for a while, without
// delete sharing or (exclusive) without any.
class FileHolder {
public:
    FileHolder(const fs::path& file, unsigned milliseconds, bool exclusive = false) {
        opened_ = CreateEventW(nullptr, TRUE, FALSE, L"SonarelTestFileHeld");
        std::wstring command = L"\"" + win32::ProgramFolder() + L"file_holder.exe\" \"" + file.wstring() + L"\" " +
                               std::to_wstring(milliseconds) + L" SonarelTestFileHeld" + (exclusive ? L" exclusive" : L"");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_) != FALSE;
        held_ = started_ && WaitForSingleObject(opened_, 10000) == WAIT_OBJECT_0;
    }
    ~FileHolder() {
        if (started_) {
            WaitForSingleObject(process_.hProcess, 20000);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        CloseHandle(opened_);
    }
    bool Held() const { return held_; }
    // Waits for the holder to let go; its exit code (0: it held the file as asked).
    DWORD Finish() {
        DWORD exit_code = 99;
        WaitForSingleObject(process_.hProcess, 20000);
        GetExitCodeProcess(process_.hProcess, &exit_code);
        return exit_code;
    }

private:
    HANDLE opened_ = nullptr;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
    bool held_ = false;
};

TEST_F(SettingsDialogTest, ApplySavesWhileAnotherProgramHoldsTheFileOpen) {
    // Another process reads the file without delete sharing for 300 ms: the
    // replacement is refused meanwhile (access denied under Wine, a sharing
    // violation on Windows) and must be retried, not dropped.
    PutSettings("0", "5");
    FileHolder holder(SettingsFile(), 300);
    ASSERT_TRUE(holder.Held()) << "the holder did not open the file";

    CMainDlg dialog;
    const INT_PTR result = RunDialog(dialog, [](HWND d) {
        SetDlgItemTextW(d, 1012, L"20");
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(holder.Finish(), 0u);
    EXPECT_NE(testing::ReadBytes(SettingsFile()).find("<volume_delta value=\"20\" />"), std::string::npos)
        << "the new settings were lost";
}

TEST_F(SettingsDialogTest, ApplyThatCannotSaveSaysWhyAndChangesNothingElse) {
    const struct {
        const char* name;
        bool read_only;
        unsigned held_ms;  // longer than the save's retries
        const wchar_t* reason;
    } cases[] = {
        {"a read-only file", true, 0, L"The file is read-only."},
        {"a file held for longer than the retries", false, 2500, L"Another program is using the file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PutSettings("0", "5");
        const std::string before = testing::ReadBytes(SettingsFile());
        if (c.read_only) SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_READONLY);
        AutorunLink link;
        link.Configure(L"sonarel", L"", L"C:\\");
        link.Remove();
        std::optional<FileHolder> holder;
        CMainDlg dialog;  // reads the file before it is held
        const INT_PTR result = RunDialog(dialog, [&](HWND d) {
            if (c.held_ms != 0) {
                holder.emplace(SettingsFile(), c.held_ms);
                EXPECT_TRUE(holder->Held());
            }
            SetDlgItemTextW(d, 1012, L"20");
            SendDlgItemMessageW(d, 1019, BM_SETCHECK, BST_CHECKED, 0);
            const auto box = CommandAnsweringMessageBox(d, IDOK);
            EXPECT_TRUE(box.has_value()) << "no message";
            if (box) {
                EXPECT_EQ(box->first, L"Sonarel Settings");
                EXPECT_NE(box->second.find(c.reason), std::wstring::npos);
                EXPECT_NE(box->second.find(SettingsFile().wstring()), std::wstring::npos) << "names the file";
            }
            EXPECT_TRUE(IsWindow(d)) << "the dialog stays";
            EXPECT_EQ(TextOf(GetDlgItem(d, 1012)), L"20") << "with the user's edits";
            EXPECT_FALSE(link.Exists()) << "no shortcut change";
            SendDlgItemMessageW(d, 1019, BM_SETCHECK, BST_UNCHECKED, 0);
            SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(result, 2);
        if (holder) {
            EXPECT_EQ(holder->Finish(), 0u);
        }
        SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(testing::ReadBytes(SettingsFile()), before);
    }
}

TEST_F(SettingsDialogTest, AFileHeldWithoutSharingIsWaitedForAndNeverTakenForAMissingOne) {
    PutSettings("2", "7");
    const std::string before = testing::ReadBytes(SettingsFile());
    {
        FileHolder holder(SettingsFile(), 700, true);
        ASSERT_TRUE(holder.Held());
        const Settings settings;  // the holder lets go within the 2 s of retries
        EXPECT_FALSE(settings.file_unreadable);
        EXPECT_EQ(settings.volume_delta, 7);
        EXPECT_EQ(settings.mouse_button_pressed, 2);
        EXPECT_EQ(holder.Finish(), 0u);
    }
    {
        FileHolder holder(SettingsFile(), 4000, true);
        ASSERT_TRUE(holder.Held());
        const Settings settings;
        EXPECT_TRUE(settings.file_unreadable);
        EXPECT_FALSE(settings.first_run);
        EXPECT_EQ(settings.volume_delta, Settings::kDefaultVolumeDelta);
        EXPECT_EQ(holder.Finish(), 0u);
    }
    EXPECT_EQ(testing::ReadBytes(SettingsFile()), before) << "the user's file is byte for byte as it was";
    EXPECT_FALSE(fs::exists(SettingsFile().string() + ".bak"));
}

TEST_F(SettingsDialogTest, StepOutOfRangeShowsTheRangeMessageAndKeepsTheDialogOpen) {
    PutSettings("0", "5");
    const std::string before = testing::ReadBytes(SettingsFile());
    CMainDlg dialog;
    const INT_PTR result = RunDialog(dialog, [](HWND d) {
        const HWND edit = GetDlgItem(d, 1012);
        const std::pair<const wchar_t*, const wchar_t*> cases[] = {
            {L"101", L"Error detected: You entered integer of 101, whereas it must be between 0 and 100"},
            {L"4294967295", L"Error detected: You entered integer of -1, whereas it must be between 0 and 100"},
        };
        for (const auto& [typed, message] : cases) {
            SetWindowTextW(edit, typed);
            const auto box = CommandAnsweringMessageBox(d, IDOK);
            ASSERT_TRUE(box.has_value()) << "no range message for " << typed;
            EXPECT_EQ(box->first, L"");
            EXPECT_EQ(box->second, message);
            EXPECT_TRUE(IsWindow(d));
            EXPECT_EQ(GetFocus(), edit);
            DWORD start = 1, end = 0;
            SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, wcslen(typed));
        }
        // Text that does not convert: only the beep, no box, focus on the edit.
        for (const wchar_t* typed : {L"", L"12ab", L"99999999999"}) {
            SetWindowTextW(edit, typed);
            SetFocus(GetDlgItem(d, IDOK));
            EXPECT_FALSE(CommandAnsweringMessageBox(d, IDOK).has_value()) << "a box for \"" << typed << "\"";
            EXPECT_EQ(GetFocus(), edit);
        }
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(testing::ReadBytes(SettingsFile()), before);
}

TEST_F(SettingsDialogTest, StoredValuesMapToTheControlsAndBack) {
    PutSettings("1", "-5");  // 1: shown as right; -5: shown unsigned and refused
    CMainDlg dialog;
    RunDialog(dialog, [](HWND d) {
        EXPECT_FALSE(Checked(d, 1010));
        EXPECT_TRUE(Checked(d, 1011));
        EXPECT_EQ(TextOf(GetDlgItem(d, 1012)), L"4294967291");
        const auto box = CommandAnsweringMessageBox(d, IDOK);
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->second, L"Error detected: You entered integer of -5, whereas it must be between 0 and 100");
        SetDlgItemTextW(d, 1012, L"0");
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    Settings saved{Settings::Blank{}};
    ASSERT_TRUE(ReadXml(saved, SettingsFile()));
    EXPECT_EQ(saved.mouse_button_pressed, 2);
    EXPECT_EQ(saved.volume_delta, 0);
}

TEST_F(SettingsDialogTest, DefaultResetsTheControlsAndCancelStillAppliesTheAutorunBox) {
    PutSettings("2", "40");
    const std::string before = testing::ReadBytes(SettingsFile());
    AutorunLink link;
    link.Configure(L"sonarel", L"", L"C:\\");
    link.Remove();
    CMainDlg dialog;
    const INT_PTR result = RunDialog(dialog, [&](HWND d) {
        EXPECT_FALSE(Checked(d, 1019));
        SendMessageW(d, WM_COMMAND, 1013, 0);
        EXPECT_EQ(TextOf(GetDlgItem(d, 1012)), L"5");
        EXPECT_TRUE(Checked(d, 1010));
        EXPECT_FALSE(Checked(d, 1011));
        EXPECT_TRUE(Checked(d, 1019));
        EXPECT_EQ(dialog.WorkingCopy().color_top_background, Settings::kDefaultTopBackground);
        EXPECT_EQ(dialog.WorkingCopy().color_mute_line, Settings::kDefaultMuteLine);
        EXPECT_FALSE(dialog.WorkingCopy().first_run);
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(testing::ReadBytes(SettingsFile()), before) << "Cancel saves nothing";
    EXPECT_TRUE(link.Exists()) << "but the checked autorun box creates the shortcut";
}

TEST_F(SettingsDialogTest, EverySwatchEdgePixelOpensThePickerAndOkStoresItsColour) {
    PutSettings("0", "5");
    CMainDlg dialog;
    RunDialog(dialog, [&](HWND d) {
        for (int id = kFirstSwatchControl; id <= kLastSwatchControl; ++id) {
            RECT outer{};
            GetWindowRect(GetDlgItem(d, id), &outer);
            MapWindowPoints(HWND_DESKTOP, d, reinterpret_cast<POINT*>(&outer), 2);
            const POINT inside[] = {{outer.left, outer.top}, {outer.right, outer.bottom}, {outer.right, outer.top},
                                    {outer.left, outer.bottom}};
            for (const POINT p : inside) {
                WhenDialogAppears picker(nullptr, [](HWND c) { SendMessageW(c, WM_COMMAND, IDCANCEL, 0); }, d);
                SendMessageW(d, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
                EXPECT_TRUE(picker.Ran()) << "swatch " << id << " at " << p.x << "," << p.y;
            }
            const POINT outside[] = {{outer.left - 1, outer.top}, {outer.right + 1, outer.bottom}};
            for (const POINT p : outside) {
                WhenDialogAppears picker(nullptr, [](HWND c) { SendMessageW(c, WM_COMMAND, IDCANCEL, 0); }, d);
                SendMessageW(d, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
                EXPECT_FALSE(picker.Ran()) << "swatch " << id << " at " << p.x << "," << p.y;
            }
        }
        EXPECT_EQ(dialog.WorkingCopy().color_top_background, 1u) << "cancelled picks change nothing";
        // Confirmed: the picker started from black, so black is stored.
        RECT top{};
        GetWindowRect(GetDlgItem(d, 1001), &top);
        MapWindowPoints(HWND_DESKTOP, d, reinterpret_cast<POINT*>(&top), 2);
        WhenDialogAppears picker(nullptr, [](HWND c) { SendMessageW(c, WM_COMMAND, IDOK, 0); }, d);
        SendMessageW(d, WM_LBUTTONUP, 0, MAKELPARAM(top.left + 2, top.top + 2));
        EXPECT_TRUE(picker.Ran());
        EXPECT_EQ(dialog.WorkingCopy().color_top_background, 0u);
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(CustomColors()[0], 0xFFFFFFu);
}

TEST_F(SettingsDialogTest, CustomColoursDefinedInOnePickerStayForTheNext) {
    constexpr int kAddToCustomColors = 712;  // the colour dialog's "Add to Custom Colors"
    PutSettings("0", "5");
    COLORREF saved[16];
    std::copy(CustomColors(), CustomColors() + 16, saved);
    CMainDlg dialog;
    RunDialog(dialog, [&](HWND d) {
        auto click_swatch = [&](int id) {
            RECT outer{};
            GetWindowRect(GetDlgItem(d, id), &outer);
            MapWindowPoints(HWND_DESKTOP, d, reinterpret_cast<POINT*>(&outer), 2);
            SendMessageW(d, WM_LBUTTONUP, 0, MAKELPARAM(outer.left + 2, outer.top + 2));
        };
        {
            WhenDialogAppears picker(nullptr, [&](HWND c) {
                SendMessageW(c, WM_COMMAND, kAddToCustomColors, 0);  // the current colour: black
                SendMessageW(c, WM_COMMAND, IDCANCEL, 0);
            }, d);
            click_swatch(1003);
            EXPECT_TRUE(picker.Ran());
        }
        EXPECT_EQ(CustomColors()[0], 0u) << "the picker writes its custom colours back";
        EXPECT_EQ(CustomColors()[1], 0xFFFFFFu);
        {
            WhenDialogAppears picker(nullptr, [](HWND c) { SendMessageW(c, WM_COMMAND, IDCANCEL, 0); }, d);
            click_swatch(1001);
            EXPECT_TRUE(picker.Ran());
        }
        EXPECT_EQ(CustomColors()[0], 0u) << "a later picker, for another swatch, keeps them";
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    std::copy(saved, saved + 16, CustomColors());
}

TEST_F(SettingsDialogTest, ApplyNotifiesTheWindowTitledSonarel) {
    PutSettings("0", "5");
    static UINT received = 0;
    received = 0;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m >= 0xC000) received = m;
        return DefWindowProcW(w, m, wp, lp);
    };
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"FakeResident";
    RegisterClassW(&window_class);
    const HWND resident = CreateWindowExW(0, L"FakeResident", L"Sonarel", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
    CMainDlg dialog;
    RunDialog(dialog, [](HWND d) { SendMessageW(d, WM_COMMAND, IDOK, 0); });
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(received, RegisterWindowMessageW(L"SonarelRefreshSettings"));
    DestroyWindow(resident);
}

TEST_F(SettingsDialogTest, AboutBoxShowsTheLogoAndTwoLinks) {
    PutSettings("0", "5");
    CMainDlg dialog;
    RunDialog(dialog, [](HWND d) {
        for (int round = 0; round < 2; ++round) {
            bool checked = false;
            WhenDialogAppears about(L"About", [&](HWND a) {
                checked = true;
                const bool logo_present = fs::exists(win32::ProgramFolder() + L"Sonarel128.png");
                EXPECT_EQ(SendDlgItemMessageW(a, 1015, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0, logo_present);
                EXPECT_EQ(TextOf(GetDlgItem(a, 1016)), L"Korvanix");
                EXPECT_EQ(TextOf(GetDlgItem(a, 1017)), L"Mail to support");
                EXPECT_TRUE(GetWindowLongW(GetDlgItem(a, 1016), GWL_STYLE) & SS_NOTIFY);
                SendMessageW(a, WM_COMMAND, round == 0 ? IDOK : IDCANCEL, 0);
            });
            SendMessageW(d, WM_COMMAND, 57664, 0);
            EXPECT_TRUE(checked);
        }
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(SettingsDialogTest, DialogIconsAreDestroyedWithTheirDialogs) {
    // Wine's GetGuiResources is a stub; GetIconInfo on the handles shows it instead.
    PutSettings("0", "5");
    std::vector<HICON> icons;
    auto take_icons = [&](HWND dialog) {
        for (WPARAM kind : {ICON_BIG, ICON_SMALL}) {
            const auto icon = reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, kind, 0));
            ICONINFO info{};
            ASSERT_TRUE(icon != nullptr && GetIconInfo(icon, &info));
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            icons.push_back(icon);
        }
    };
    CMainDlg dialog;
    RunDialog(dialog, [&](HWND d) {
        take_icons(d);
        WhenDialogAppears about(L"About", [&](HWND a) {
            take_icons(a);
            SendMessageW(a, WM_COMMAND, IDOK, 0);
        });
        SendMessageW(d, WM_COMMAND, 57664, 0);
        SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_EQ(icons.size(), 4u);
    for (const HICON icon : icons) {
        ICONINFO info{};
        EXPECT_FALSE(GetIconInfo(icon, &info)) << "icon " << icon << " outlived its dialog";
    }
}

// --- The autorun shortcut -----------------------------------------------------------

struct ShortcutFields {
    std::wstring target, working_directory, description;
};

ShortcutFields ReadShortcut(const std::wstring& path) {
    using Microsoft::WRL::ComPtr;
    ShortcutFields fields;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(path.c_str(), STGM_READ))) {
        return fields;
    }
    wchar_t text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, 0);
    fields.target = text;
    link->GetWorkingDirectory(text, MAX_PATH);
    fields.working_directory = text;
    link->GetDescription(text, MAX_PATH);
    fields.description = text;
    return fields;
}

TEST(AutorunLinkTest, CreateRewriteAndRemoveInTheStartupFolder) {
    const ComApartment com;
    const std::wstring startup = AutorunLink::StartupFolderPath();
    ASSERT_FALSE(startup.empty());
    AutorunLink link;
    link.Configure(L"sonarel", L"Sonarel application autorun link", L"C:\\Program Files\\Sonarel");
    EXPECT_EQ(link.LinkPath(), startup + L"\\sonarel.lnk");
    link.Remove();
    EXPECT_FALSE(link.Exists());

    link.Create();
    ASSERT_TRUE(link.Exists());
    ShortcutFields fields = ReadShortcut(link.LinkPath());
    EXPECT_EQ(fields.target, L"C:\\Program Files\\Sonarel\\sonarel.exe");
    EXPECT_EQ(fields.working_directory, L"C:\\Program Files\\Sonarel");
    EXPECT_EQ(fields.description, L"Sonarel application autorun link");

    link.Configure(L"sonarel", L"Sonarel application autorun link", L"C:\\Other");
    link.Create();  // an existing shortcut is replaced
    EXPECT_EQ(ReadShortcut(link.LinkPath()).target, L"C:\\Other\\sonarel.exe");

    link.Remove();
    EXPECT_FALSE(link.Exists());
    link.Remove();  // nothing to delete: harmless
}

TEST(AutorunLinkTest, ShortcutIsWrittenInPlaceAndPointsIntoTheProgramFolder) {
    const ComApartment com;
    // A folder named sonarel.lnk in the program folder and in the current
    // directory must not matter: nothing is written beside the program.
    testing::TempFolder elsewhere;
    fs::create_directories(elsewhere.path() / "sonarel.lnk");
    const fs::path blocker = fs::path(win32::ProgramFolder()) / "sonarel.lnk";
    fs::create_directories(blocker);
    {
        testing::ScopedCurrentDirectory in_elsewhere(elsewhere.path());
        std::wstring folder = win32::ProgramFolder();
        folder.pop_back();
        AutorunLink link;
        link.Configure(L"sonarel", L"Sonarel application autorun link", folder);
        link.Create();
        ASSERT_TRUE(link.Exists());
        EXPECT_EQ(ReadShortcut(link.LinkPath()).target, folder + L"\\sonarel.exe");
        link.Remove();
    }
    fs::remove(blocker);
}

TEST(AutorunLinkTest, AMissingStartupFolderIsCreated) {
    const ComApartment com;
    AutorunLink link;
    link.Configure(L"sonarel", L"", L"C:\\");
    link.Remove();
    const fs::path startup = AutorunLink::StartupFolderPath();
    fs::remove_all(startup);  // the test prefix's: nothing else lives there
    ASSERT_FALSE(fs::exists(startup));
    EXPECT_EQ(fs::path(link.LinkPath()).parent_path(), startup);
    EXPECT_TRUE(fs::is_directory(startup));
    link.Create();
    EXPECT_TRUE(link.Exists());
    link.Remove();
}

TEST(AutorunLinkTest, AnEntryTurnedOffInWindowsStartupAppsCountsAsAbsentUntilTheBoxIsTickedAgain) {
    const ComApartment com;
    AutorunLink link;
    link.Configure(L"sonarel", L"", L"C:\\");
    link.Create();
    ASSERT_TRUE(link.Exists());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, AutorunLink::kStartupApprovedKey, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    auto set_entry = [&](BYTE flags) {
        const BYTE record[12] = {flags, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x20, 0x30, 0x01};
        RegSetValueExW(key, L"sonarel.lnk", 0, REG_BINARY, record, sizeof record);
    };
    auto entry_present = [&] { return RegQueryValueExW(key, L"sonarel.lnk", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; };

    set_entry(0x02);  // on
    EXPECT_TRUE(link.Exists());
    set_entry(0x03);  // turned off by the user: Windows will not start it
    EXPECT_FALSE(link.Exists());
    link.Create();
    EXPECT_FALSE(entry_present()) << "ticking the box again turns it back on";
    EXPECT_TRUE(link.Exists());
    set_entry(0x03);
    link.Remove();
    EXPECT_TRUE(entry_present()) << "removing the shortcut leaves Windows' record alone";
    RegDeleteValueW(key, L"sonarel.lnk");
    RegCloseKey(key);
}

TEST(AutorunLinkTest, AFolderNamedLikeTheShortcutCountsAsPresent) {
    AutorunLink link;
    link.Configure(L"sonarel", L"", L"C:\\");
    const ComApartment com;
    const fs::path folder = fs::path(AutorunLink::StartupFolderPath()) / "sonarel.lnk";
    fs::create_directories(folder);
    EXPECT_TRUE(link.Exists());
    fs::remove(folder);
    EXPECT_FALSE(link.Exists());
}

// --- Hyperlinks -----------------------------------------------------------------------

// A link label on a hidden popup. The settings stand-in beside the tests is a
// target the shell can surely start; opened with no directory, it records
// itself in ours.
class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        label_ = CreateWindowExW(0, L"Static", L"Korvanix", WS_CHILD | WS_VISIBLE, 5, 5, 80, 16, parent_, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }
    static std::wstring StandIn() { return win32::ProgramFolder() + L"SonarelSettings.exe"; }
    // Whether the stand-in was started; its marker is removed.
    static bool StandInStarted() {
        const fs::path marker = fs::current_path() / "launched.txt";
        for (int i = 0; i < 100 && !fs::exists(marker); ++i) Sleep(50);
        const bool started = fs::exists(marker);
        Sleep(200);
        std::error_code ignored;
        fs::remove(marker, ignored);
        return started;
    }

    ComApartment com_;
    HWND parent_ = nullptr;
    HWND label_ = nullptr;
};

TEST_F(HyperLinkTest, OpensByClickOrKeyAndTurnsVisitedOnlyWhenTheShellSucceeds) {
    {
        CHyperLink missing;
        missing.SetTarget(L"Z:\\no such folder\\nothing.exe");
        missing.Attach(label_);
        EXPECT_FALSE(missing.Open());
        EXPECT_FALSE(missing.Visited());
    }
    CHyperLink link;
    link.SetTarget(StandIn());
    link.Attach(label_);
    EXPECT_TRUE(GetWindowLongW(label_, GWL_STYLE) & SS_NOTIFY);
    MSG enter{label_, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_EQ(SendMessageW(label_, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)), DLGC_WANTMESSAGE);
    EXPECT_FALSE(link.Visited());
    SendMessageW(label_, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(link.Visited());
    EXPECT_TRUE(StandInStarted()) << "the target was not started";
}

TEST_F(HyperLinkTest, AClickOpensOnlyWhenPressAndReleaseBothLandOnTheLabel) {
    constexpr LPARAM kInside = MAKELPARAM(10, 8);
    constexpr LPARAM kOutside = MAKELPARAM(150, 30);  // client coordinates beyond the label
    struct Case {
        const char* name;
        bool pressed_on_label;
        LPARAM released_at;
        bool opens;
    };
    for (const Case c : {Case{"pressed elsewhere, released on the label", false, kInside, false},
                         Case{"pressed on the label, released beside it", true, kOutside, false},
                         Case{"pressed and released on the label", true, kInside, true}}) {
        SCOPED_TRACE(c.name);
        CHyperLink link;
        link.SetTarget(StandIn());
        link.Attach(label_);
        if (c.pressed_on_label) SendMessageW(label_, WM_LBUTTONDOWN, MK_LBUTTON, kInside);
        SendMessageW(label_, WM_LBUTTONUP, 0, c.released_at);
        EXPECT_EQ(link.Visited(), c.opens);
        EXPECT_NE(GetCapture(), label_) << "the mouse capture is released";
    }
    EXPECT_TRUE(StandInStarted());
}

// --- Browser link colours -------------------------------------------------------------

TEST(HyperLinkColorTest, RegistryAnchorColoursAreUsedOnlyWhenValid) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Settings", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    auto set = [&](const wchar_t* name, const wchar_t* value) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    };
    const struct {
        const wchar_t* link;
        const wchar_t* visited;
        COLORREF expected_link, expected_visited;
    } cases[] = {
        {L"10,20,30", L"300,0,511", RGB(10, 20, 30), RGB(44, 0, 255)},
        {L"100,100,1000", L"1,2", CHyperLink::kLinkColor, CHyperLink::kVisitedColor},  // too long; one comma
        {L"1,2,", L"255,255,255", CHyperLink::kLinkColor, RGB(255, 255, 255)},           // nothing after the comma
    };
    for (const auto& c : cases) {
        set(L"Anchor Color", c.link);
        set(L"Anchor Color Visited", c.visited);
        COLORREF link = CHyperLink::kLinkColor, visited = CHyperLink::kVisitedColor;
        ReadBrowserAnchorColors(link, visited);
        EXPECT_EQ(link, c.expected_link) << c.link;
        EXPECT_EQ(visited, c.expected_visited) << c.visited;
    }
    const DWORD number = 5;
    RegSetValueExW(key, L"Anchor Color", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    COLORREF link = CHyperLink::kLinkColor, visited = CHyperLink::kVisitedColor;
    ReadBrowserAnchorColors(link, visited);
    EXPECT_EQ(link, CHyperLink::kLinkColor) << "not a string";
    RegDeleteValueW(key, L"Anchor Color");
    RegDeleteValueW(key, L"Anchor Color Visited");
    RegCloseKey(key);
}

}  // namespace
}  // namespace sonarel
