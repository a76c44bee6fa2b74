// Files and folders for tests, inside a scratch folder that is removed afterwards.
// Paths outside the ANSI code page have wide forms of the same helpers.
#pragma once
#include <windows.h>

#include <string>

// A fresh folder under the temporary folder, deleted with all its content at the end.
class ScratchDir {
public:
    explicit ScratchDir(const char* tag = "t");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Text in the ANSI code page, as the narrow calls read it, and back.
std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);

bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
bool PathExists(const std::wstring& path);
std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& content);
bool CopyOneFile(const std::string& from, const std::string& to);
// Copies every file of a folder (not recursive), making the target folder when missing.
bool CopyFolderFiles(const std::string& from, const std::string& to);
bool CopyFolderFiles(const std::wstring& from, const std::wstring& to);
// Deletes a folder tree (or a file), clearing read-only marks first; a link is
// removed itself, never what it points to.
void DeleteTree(const std::string& path);
void DeleteTree(const std::wstring& path);
// Number of entries in a folder, without "." and "..".
int CountEntries(const std::string& folder);
// Polls until the file no longer exists; false when it is still there at the end.
bool WaitFileGone(const std::string& path, int timeoutMs = 15000);
