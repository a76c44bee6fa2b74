// The download: a small program with the installation media appended. It
// unpacks them into a private temporary folder, checks every file, runs setup
// from there with its own command line, and removes the folder afterwards.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/elevation.h"
#include "common/private_temp_folder.h"
#include "common/product_catalogue.h"
#include "framework/dll_search.h"
#include "framework/function_cast.h"
#include "framework/scoped_handles.h"
#include "launcher/download_layout.h"
#include "launcher/launch_rules.h"
#include "launcher/own_download.h"
#include "launcher/payload_unpacker.h"
#include "launcher/sha256.h"

namespace {
const int kExitFailed = 1603;
const wchar_t kCaption[] = L"Brellic Pagewright Setup";
// The list is small; anything larger is not ours.
const uint64_t kMaxListSize = 1 << 20;

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The digest of everything appended, behind its mark; the release script fills
// it in before signing. Read from this running image, which the system checked,
// never from the file on disk, which may have been swapped since.
extern "C" __attribute__((used)) volatile const unsigned char g_payloadDigest[sizeof kDigestMark + kDigestBytes] = {
    kDigestMark[0], kDigestMark[1], kDigestMark[2], kDigestMark[3],
    kDigestMark[4], kDigestMark[5], kDigestMark[6], kDigestMark[7]};

std::string EmbeddedDigest() {
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (size_t i = sizeof kDigestMark; i < sizeof g_payloadDigest; ++i) {
        hex += kHex[g_payloadDigest[i] >> 4];
        hex += kHex[g_payloadDigest[i] & 15];
    }
    return hex;
}

// Everything appended, read through the one handle, against the signed digest.
bool PayloadIsTheSignedOne(HANDLE file, const PayloadLocation& location) {
    std::vector<unsigned char> buffer(1 << 20);
    Sha256 sum;
    for (uint64_t at = location.packOffset; at < location.end;) {
        DWORD piece = static_cast<DWORD>(std::min<uint64_t>(buffer.size(), location.end - at));
        if (!ReadAt(file, at, buffer.data(), piece))
            return false;
        sum.Add(buffer.data(), piece);
        at += piece;
    }
    return sum.HexDigest() == EmbeddedDigest();
}

// Finds the payload behind the program (and before its signature) and reads its list.
bool ReadPayload(HANDLE file, PayloadLocation* location, std::vector<FileSum>* sums) {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file, &size))
        return false;
    uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    unsigned char headers[4096];
    DWORD headerBytes = static_cast<DWORD>(std::min<uint64_t>(sizeof headers, fileSize));
    if (!ReadAt(file, 0, headers, headerBytes))
        return false;
    uint64_t end = DataEnd(headers, headerBytes, fileSize);
    unsigned char tail[kTrailerSize + 7];
    DWORD tailBytes = static_cast<DWORD>(std::min<uint64_t>(sizeof tail, end));
    if (end == 0 || !ReadAt(file, end - tailBytes, tail, tailBytes) || !ReadTrailer(tail, tailBytes, end, location) ||
        location->listSize > kMaxListSize)
        return false;
    std::string list(static_cast<size_t>(location->listSize), '\0');
    return ReadAt(file, location->listOffset, list.data(), static_cast<DWORD>(list.size())) && ParseSumList(list, sums);
}

// Every listed file unpacked with its sum, and nothing else.
bool MatchesList(std::vector<UnpackedFile> files, const std::vector<FileSum>& sums) {
    if (files.size() != sums.size())
        return false;
    for (const FileSum& sum : sums) {
        auto found =
            std::find_if(files.begin(), files.end(), [&](const UnpackedFile& file) { return file.name == sum.name; });
        if (found == files.end() || found->sha256 != sum.sha256)
            return false;
        files.erase(found);
    }
    return true;
}

struct ExtractJob {
    HANDLE download = nullptr;
    PayloadLocation location;
    std::wstring folder;
    std::vector<UnpackedFile> files;
    UnpackResult result = UnpackResult::Damaged;
};

// A new thread's stack is only 4-byte aligned in 32-bit Windows, and the SHA
// instructions' operands on the stack need 16.
__attribute__((force_align_arg_pointer)) DWORD WINAPI RunExtractJob(void* parameter) {
    auto* job = static_cast<ExtractJob*>(parameter);
    job->result =
        UnpackPayload(job->download, job->location.packOffset, job->location.packSize, job->folder, &job->files);
    return 0;
}

// A small window that tells a person something is happening, shown only when
// unpacking takes long enough to be noticed.
HWND ShowPreparing() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_WAIT);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BrellicPagewrightPreparing";
    ::RegisterClassW(&windowClass);
    RECT area;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int width = 320, height = 100;
    HWND window = ::CreateWindowExW(WS_EX_DLGMODALFRAME, windowClass.lpszClassName, kCaption, WS_POPUP | WS_CAPTION,
                                    (area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2, width,
                                    height, nullptr, nullptr, instance, nullptr);
    if (!window)
        return nullptr;
    RECT client;
    ::GetClientRect(window, &client);
    HWND text = ::CreateWindowExW(0, L"STATIC", L"Preparing Brellic Pagewright Setup...",
                                  WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0, 0, client.right, client.bottom,
                                  window, nullptr, instance, nullptr);
    if (text)
        ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    return window;
}

UnpackResult Extract(ExtractJob* job, bool quiet) {
    ScopedHandle thread(::CreateThread(nullptr, 0, RunExtractJob, job, 0, nullptr));
    if (!thread) {
        RunExtractJob(job);
        return job->result;
    }
    if (quiet || ::WaitForSingleObject(thread.Get(), 300) == WAIT_OBJECT_0) {
        ::WaitForSingleObject(thread.Get(), INFINITE);
        return job->result;
    }
    HWND preparing = ShowPreparing();
    HANDLE waitFor = thread.Get();
    while (::MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (preparing)
        ::DestroyWindow(preparing);
    return job->result;
}

int Fail(bool quiet, const wchar_t* text) {
    if (!quiet)
        ::MessageBoxW(nullptr, text, kCaption, MB_OK | MB_ICONERROR);
    return kExitFailed;
}

// False when setup could not be started; otherwise its exit code in *code.
bool RunSetup(const std::wstring& folder, const std::wstring& tail, int* code) {
    std::wstring commandLine = L"\"" + folder + L"\\setup.exe\"";
    if (!tail.empty())
        commandLine += L" " + tail;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Setup may move the files out rather than copy them: they are removed afterwards anyway.
    ::SetEnvironmentVariableW(kUnpackedMediaVariableW, folder.c_str());
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    ScopedHandle processHandle(process.hProcess);
    ScopedHandle threadHandle(process.hThread);
    ::AllowSetForegroundWindow(process.dwProcessId);
    ::WaitForSingleObject(processHandle.Get(), INFINITE);
    DWORD exitCode = kExitFailed;
    ::GetExitCodeProcess(processHandle.Get(), &exitCode);
    *code = static_cast<int>(exitCode);
    return true;
}

const wchar_t kDamaged[] =
    L"The download is damaged. Nothing has been installed.\n\nPlease download Brellic Pagewright Setup again.";

int RunDownload(const std::wstring& tail, bool quiet) {
    // Opened once, and held: nobody may change, rename or delete the file while
    // it is read, and nothing is read from it by name again.
    std::wstring self = ModulePath();
    ScopedHandle download(self.empty() ? nullptr : OpenOwnDownload(self));
    ExtractJob job;
    job.download = download.Get();
    std::vector<FileSum> sums;
    // The sums find damage; the signed digest finds a payload that is not the one signed.
    if (!download || !ReadPayload(download.Get(), &job.location, &sums) ||
        !PayloadIsTheSignedOne(download.Get(), job.location))
        return Fail(quiet, kDamaged);
    PrivateTempFolder folder;
    if (!folder.Create(L"Pagewright-"))
        return Fail(quiet, L"Setup could not make a folder for its files in the temporary folder.");
    job.folder = folder.Path();
    UnpackResult result = Extract(&job, quiet);
    if (result != UnpackResult::Done || !MatchesList(job.files, sums)) {
        // Nothing half-unpacked stays behind while the message is up.
        folder.Remove();
        if (result == UnpackResult::WriteFailed)
            return Fail(quiet,
                        L"Setup could not unpack its files into the temporary folder. Please check that "
                        L"the disk has enough free space.");
        return Fail(quiet, kDamaged);
    }
    int code = kExitFailed;
    if (!RunSetup(folder.Path(), tail, &code))
        return Fail(quiet, L"Setup could not be started.");
    return code;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    std::wstring tail = CommandTail(::GetCommandLineW());
    // Elevated before a byte is unpacked, so that the user's everyday processes
    // cannot change what an elevated setup then runs.
    if (!IsForThisUserOnly(tail) && RunsAsLimitedAdministrator())
        return RunElevatedCopy(tail);
    return RunDownload(tail, IsUnattended(tail));
}
