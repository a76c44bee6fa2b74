#include "process_startup.h"

#include <winternl.h>

#include <vector>

#include "framework/function_cast.h"
#include "framework/scoped_handles.h"

namespace {
// Offsets in the 64-bit process environment block and its process parameters.
constexpr size_t kParametersInPeb = 0x20;
constexpr size_t kCurrentDirectory = 0x38;
constexpr size_t kCommandLine = 0x70;

using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

bool ReadAt(HANDLE process, const void* address, void* out, size_t size) {
    SIZE_T got = 0;
    return ::ReadProcessMemory(process, address, out, size, &got) && got == size;
}

bool ReadText(HANDLE process, const char* parameters, size_t offset, std::string* text) {
    UNICODE_STRING remote{};
    if (!ReadAt(process, parameters + offset, &remote, sizeof remote))
        return false;
    std::vector<wchar_t> wide(remote.Length / sizeof(wchar_t) + 1, L'\0');
    if (remote.Length && !ReadAt(process, remote.Buffer, wide.data(), remote.Length))
        return false;
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> narrow(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, narrow.data(), bytes, nullptr, nullptr);
    *text = narrow.data();
    return true;
}
}  // namespace

bool ReadProcessStartup(DWORD processId, ProcessStartup* startup) {
    auto query = FunctionCast<QueryFn>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess"));
    ScopedHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!query || !process)
        return false;
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (query(process.Get(), ProcessBasicInformation, &basic, sizeof basic, &length) != 0)
        return false;
    const char* parameters = nullptr;
    if (!ReadAt(process.Get(), reinterpret_cast<const char*>(basic.PebBaseAddress) + kParametersInPeb, &parameters,
                sizeof parameters))
        return false;
    return ReadText(process.Get(), parameters, kCommandLine, &startup->commandLine) &&
           ReadText(process.Get(), parameters, kCurrentDirectory, &startup->currentDirectory);
}
