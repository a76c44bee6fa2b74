// What the install engine tells whoever shows how far it is, and how it learns
// that the user wants to stop.
#pragma once
#include <cstdint>

#include "framework/afx_string.h"

class InstallProgress {
public:
    virtual ~InstallProgress() = default;

    // The copy begins: the media files to be copied hold totalBytes.
    virtual void CopyBegins(uint64_t totalBytes) = 0;
    // The copy has reached bytesDone, in the file going to destination. False:
    // the user chose to stop; nothing more is copied.
    virtual bool Copying(const CString& destination, uint64_t bytesDone) = 0;
};
