// Files and folders for tests, inside a scratch folder that is removed afterwards.
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

bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& content);
bool CopyOneFile(const std::string& from, const std::string& to);
// Copies every file of a folder (not recursive).
bool CopyFolderFiles(const std::string& from, const std::string& to);
// Deletes a folder tree, clearing read-only marks first.
void DeleteTree(const std::string& path);
// Number of entries in a folder, without "." and "..".
int CountEntries(const std::string& folder);
