#!/usr/bin/env bash
# Checks the 32-bit programs against Windows XP: PE subsystem version 5.01 and
# no import of a function that XP lacks (those are looked up at run time).
set -euo pipefail
dir=${1:?usage: check-xp-imports.sh BUILD_DIR}
objdump=i686-w64-mingw32-objdump

# Functions that first shipped after XP SP3 and that toolchains like to pull in.
newer_than_xp='^(GetTickCount64|InitializeSRWLock|AcquireSRWLock(Shared|Exclusive)|ReleaseSRWLock(Shared|Exclusive)|TryAcquireSRWLock(Shared|Exclusive)|InitializeConditionVariable|SleepConditionVariable(CS|SRW)|WakeConditionVariable|WakeAllConditionVariable|InitOnce(ExecuteOnce|BeginInitialize|Complete)|CreateSymbolicLink[AW]|GetFinalPathNameByHandle[AW]|CompareStringEx|LCMapStringEx|GetLocaleInfoEx|LocaleNameToLCID|LCIDToLocaleName|GetUserDefaultLocaleName|Fls(Alloc|Free|GetValue|SetValue)|GetFileInformationByHandleEx|SetFileInformationByHandle|Create(Event|Mutex|Semaphore)Ex[AW]|GetSystemTimePreciseAsFileTime|GetCurrentProcessorNumber|QueryFullProcessImageName[AW]|SetThreadStackGuarantee|InitializeCriticalSectionEx|RegGetValue[AW]|SHGetKnownFolderPath|SHQueryUserNotificationState|SetProcessDpiAwareness(Context)?|SetProcessDPIAware|GetDpiForWindow|ChangeWindowMessageFilter(Ex)?|GetErrorMode|CancelIoEx|GetQueuedCompletionStatusEx|Wow64DisableWow64FsRedirection)$'

status=0
shopt -s nullglob
exes=("$dir"/*.exe)
if [ ${#exes[@]} -eq 0 ]; then
  echo "check-xp-imports: no programs in $dir yet"
  exit 0
fi
for exe in "${exes[@]}"; do
  headers=$($objdump -p "$exe")
  major=$(awk '/^MajorSubsystemVersion/ {print $2}' <<<"$headers")
  minor=$(awk '/^MinorSubsystemVersion/ {print $2}' <<<"$headers")
  if [ "$major.$minor" != "5.1" ]; then
    echo "$exe: subsystem version $major.$minor, expected 5.1"
    status=1
  fi
  bad=$(awk '/DLL Name:/ {dll=$3} /^\t[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ {print $3}' <<<"$headers" | grep -E "$newer_than_xp" || true)
  if [ -n "$bad" ]; then
    echo "$exe imports functions Windows XP lacks:"; echo "$bad" | sed 's/^/  /'
    status=1
  fi
done
[ $status -eq 0 ] && echo "check-xp-imports: ${#exes[@]} program(s) load on Windows XP"
exit $status
