// Prints what the system reports of a running process, found by image name:
// "pid PID working_set_kb KB commit_kb KB handles N", or "none". Handles are
// counted in the system handle table (GetProcessHandleCount is a stub that
// returns 0 under Wine).
//   process_probe.exe NAME.exe
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

namespace {

DWORD FindProcess(const wchar_t* name) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && found == 0; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, name) == 0) found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

// SystemHandleInformation (16): every open handle of every process.
struct HandleEntry {
    ULONG process_id;
    BYTE object_type;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleTable {
    ULONG count;
    HandleEntry handles[1];
};

long CountHandles(DWORD process_id) {
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return -1;
    std::vector<BYTE> buffer(1 << 20);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
            long count = 0;
            for (ULONG i = 0; i < table->count; ++i) count += table->handles[i].process_id == process_id;
            return count;
        }
        buffer.resize(buffer.size() * 2);
    }
    return -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const DWORD pid = FindProcess(argv[1]);
    const HANDLE process = pid != 0 ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr;
    if (process == nullptr) {
        std::puts("none");
        return 1;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    std::printf("pid %lu working_set_kb %llu commit_kb %llu handles %ld\n", pid,
                static_cast<unsigned long long>(memory.WorkingSetSize / 1024),
                static_cast<unsigned long long>(memory.PagefileUsage / 1024), CountHandles(pid));
    CloseHandle(process);
    return 0;
}
