// A folder of our own under the temporary folder: a fresh unguessable name,
// readable and writable only by the Administrators, SYSTEM and (unless the run
// is elevated) the user, and removed with everything in it when its owner goes
// away.
#pragma once
#include <windows.h>

#include <string>

#include "framework/scoped_handles.h"

class PrivateTempFolder {
public:
    PrivateTempFolder() = default;
    ~PrivateTempFolder() { Remove(); }
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

    // A new folder "<prefix><random>" under the temporary folder. False (with
    // the system's last error) when none could be made.
    bool Create(const std::wstring& prefix);
    // The folder at exactly that path; refused when anything, a link included,
    // is already there.
    bool CreateAt(const std::wstring& path);
    // Deletes the folder and its content; links inside are removed, never followed.
    void Remove();
    // Lets go of the folder without deleting it, for a process that goes on
    // working in it and removes it itself.
    void Keep();

    bool IsValid() const { return !m_path.empty(); }
    // Without a trailing backslash.
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    // Held without delete sharing, so the folder cannot be swapped for a link while in use.
    ScopedHandle m_guard;
};

// What the folder is made with: full control for the Administrators, SYSTEM
// and, unless this process runs elevated, the user; inherited inside, nothing
// inherited from above. Empty on failure.
ScopedLocalMemory OwnerOnlySecurityDescriptor();

// Random bytes from the system's generator, as lowercase hex; empty on failure.
std::wstring RandomHex(size_t bytes);
