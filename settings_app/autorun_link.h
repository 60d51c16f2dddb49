// The Startup-folder shortcut sonarel.lnk that starts Sonarel at logon.
#pragma once

#include <windows.h>

#include <string>

namespace sonarel {

class AutorunLink {
public:
    // name "sonarel"; the program folder is the target's folder and the
    // shortcut's working directory.
    void Configure(std::wstring name, std::wstring description, std::wstring working_directory);

    // Any file-system object at the link path counts, unless the user turned
    // the entry off in Windows' Startup apps (Settings or Task Manager): then
    // Windows will not start it. False without a Startup folder.
    bool Exists() const;
    // Writes the shortcut straight to its place, replacing an existing one,
    // and removes an entry that Windows keeps turned off.
    void Create() const;
    // Leaves Windows' entry alone.
    void Remove() const;

    // <Startup folder>\<name>.lnk, or empty when the Startup folder is unknown.
    std::wstring LinkPath() const;
    // Windows 10 and 11 keep a Startup-folder item that the user turned off as
    // a REG_BINARY value of the link's file name under this key (of HKCU).
    static constexpr wchar_t kStartupApprovedKey[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";
    bool IsTurnedOffInWindows() const;
    std::wstring TargetPath() const { return working_directory_ + L"\\" + name_ + L".exe"; }

    // Created when missing.
    static std::wstring StartupFolderPath();
    static HRESULT CreateShortcutFile(const std::wstring& target, const std::wstring& link,
                                      const std::wstring& description, const std::wstring& working_directory);

private:
    std::wstring name_;
    std::wstring description_;
    std::wstring working_directory_;
};

}  // namespace sonarel
