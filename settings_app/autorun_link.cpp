#include "settings_app/autorun_link.h"

#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

namespace sonarel {

using Microsoft::WRL::ComPtr;

void AutorunLink::Configure(std::wstring name, std::wstring description, std::wstring working_directory) {
    name_ = std::move(name);
    description_ = std::move(description);
    working_directory_ = std::move(working_directory);
}

std::wstring AutorunLink::StartupFolderPath() {
    PIDLIST_ABSOLUTE items = nullptr;
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_STARTUP, &items)) && items != nullptr) {
        if (!::SHGetPathFromIDListW(items, path)) path[0] = L'\0';
        ::CoTaskMemFree(items);
    }
    return path;
}

std::wstring AutorunLink::LinkPath() const {
    const std::wstring folder = StartupFolderPath();
    return folder.empty() ? std::wstring() : folder + L"\\" + name_ + L".lnk";
}

bool AutorunLink::Exists() const {
    const std::wstring link = LinkPath();
    return !link.empty() && ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void AutorunLink::Create() const {
    const std::wstring link = LinkPath();
    if (link.empty()) return;
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
