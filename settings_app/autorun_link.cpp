#include "settings_app/autorun_link.h"

#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <vector>

#include "settings_app/dialog_rules.h"

namespace sonarel {

using Microsoft::WRL::ComPtr;

void AutorunLink::Configure(std::wstring name, std::wstring description, std::wstring working_directory) {
    name_ = std::move(name);
    description_ = std::move(description);
    working_directory_ = std::move(working_directory);
}

std::wstring AutorunLink::StartupFolderPath() {
    // A profile may lack the folder (a cleaned-up or a new one); the shortcut
    // then goes into a new one, where the shell looks at logon.
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) {
        path[0] = L'\0';
    }
    return path;
}

bool AutorunLink::IsTurnedOffInWindows() const {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kStartupApprovedKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    // Records are 12 bytes; a longer one is read whole, since a buffer that
    // is too small is left undefined.
    const std::wstring value = name_ + L".lnk";
    std::vector<BYTE> data(16);
    DWORD type = 0, size = static_cast<DWORD>(data.size());
    LONG result = ::RegQueryValueExW(key, value.c_str(), nullptr, &type, data.data(), &size);
    if (result == ERROR_MORE_DATA) {
        data.resize(size);
        result = ::RegQueryValueExW(key, value.c_str(), nullptr, &type, data.data(), &size);
    }
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_BINARY && IsStartupEntryTurnedOff(data.data(), size);
}

std::wstring AutorunLink::LinkPath() const {
    const std::wstring folder = StartupFolderPath();
    return folder.empty() ? std::wstring() : folder + L"\\" + name_ + L".lnk";
}

bool AutorunLink::Exists() const {
    const std::wstring link = LinkPath();
    return !link.empty() && ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES && !IsTurnedOffInWindows();
}

void AutorunLink::Create() const {
    const std::wstring link = LinkPath();
    if (link.empty()) return;
    if (IsTurnedOffInWindows()) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kStartupApprovedKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            ::RegDeleteValueW(key, (name_ + L".lnk").c_str());
            ::RegCloseKey(key);
        }
    }
    CreateShortcutFile(TargetPath(), link, description_, working_directory_);
}

void AutorunLink::Remove() const {
    const std::wstring link = LinkPath();
    if (!link.empty()) ::DeleteFileW(link.c_str());
}

HRESULT AutorunLink::CreateShortcutFile(const std::wstring& target, const std::wstring& link,
                                        const std::wstring& description, const std::wstring& working_directory) {
    ComPtr<IShellLinkW> shell_link;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shell_link));
    if (FAILED(result)) return result;
    shell_link->SetPath(target.c_str());
    shell_link->SetDescription(description.c_str());
    shell_link->SetWorkingDirectory(working_directory.c_str());
    ComPtr<IPersistFile> file;
    result = shell_link.As(&file);
    if (SUCCEEDED(result)) result = file->Save(link.c_str(), TRUE);
    return result;
}

}  // namespace sonarel
