#include "run_log.h"

#include <string>
#include <vector>

namespace {
std::wstring Wide(const char* text, UINT codePage) {
    int units = ::MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(codePage, 0, text, -1, wide.data(), units);
    wide.resize(static_cast<size_t>(units - 1));
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty())
        return std::string();
    int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), bytes, nullptr,
                              nullptr);
    return text;
}
// Deleted through a handle to the name itself: a link goes, never its target.
void RemoveWhatIsAt(const std::wstring& path) {
    ScopedHandle found(::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                     nullptr));
    if (!found)
        return;
    FILE_DISPOSITION_INFO dispose{TRUE};
    ::SetFileInformationByHandle(found.Get(), FileDispositionInfo, &dispose, sizeof dispose);
}

// The removal run goes on with the log its first run made: only while that is
// still a plain file with one name, not a link put in its place meanwhile.
bool IsPlainFileOfItsOwn(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(file, &info) && info.nNumberOfLinks == 1 &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY));
}
}  // namespace

CString FileNameTimeStamp(const SYSTEMTIME& time) {
    CString stamp;
    stamp.Format("%04u-%02u-%02u %02u-%02u-%02u", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                 time.wSecond);
    return stamp;
}

bool CRunLog::Open(const CString& path, const char* defaultPrefix, bool append) {
    m_path = path;
    if (m_path.IsEmpty()) {
        DWORD size = ::GetTempPathA(0, nullptr);
        std::vector<char> temp(size + 1, '\0');
        DWORD got = ::GetTempPathA(size + 1, temp.data());
        if (got == 0 || got > size)
            return false;
        SYSTEMTIME now;
        ::GetLocalTime(&now);
        m_path = CString(temp.data()) + defaultPrefix + " " + FileNameTimeStamp(now) + ".log";
    } else {
        // A name relative to the caller's folder is fixed now: the path is handed
        // to a run that starts elsewhere, and would name another file there.
        DWORD size = ::GetFullPathNameA(m_path, 0, nullptr, nullptr);
        std::vector<char> full(size + 1, '\0');
        DWORD got = size ? ::GetFullPathNameA(m_path, size + 1, full.data(), nullptr) : 0;
        if (got > 0 && got <= size)
            m_path = full.data();
    }
    // The name may hold letters outside the code page only as the user typed
    // them, so it goes through the wide call like every other path here would.
    std::wstring wide = Wide(m_path, CP_ACP);
    if (append) {
        m_file.Reset(::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (m_file.IsValid() && !IsPlainFileOfItsOwn(m_file.Get()))
            m_file.Reset();
        if (m_file.IsValid())
            ::SetFilePointer(m_file.Get(), 0, nullptr, FILE_END);
        return m_file.IsValid();
    }
    // Another user may have put a file, a link or a second name of another file
    // there first (in the shared temporary folder, say): what is there goes,
    // never what it leads to, and the log is a new file of this run's own.
    RemoveWhatIsAt(wide);
    m_file.Reset(::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return m_file.IsValid();
}

void CRunLog::Write(const char* text) {
    if (!m_file.IsValid() || !text || !*text)
        return;
    std::string bytes = Utf8(Wide(text, CP_ACP));
    DWORD written = 0;
    ::WriteFile(m_file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void CRunLog::Field(const char* name, const char* value) {
    CString line;
    line.Format("%s: %s\r\n", name, value ? value : "");
    Write(line);
}
