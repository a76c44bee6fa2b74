// What gets installed and under which names: the copy list, installed and
// backup names, version texts and their order. Plain C++, no system calls.
#pragma once
#include <cstdint>
#include <vector>

#include "framework/afx_string.h"

// The facts of the system and the media that decide the copy list.
struct CopyListFacts {
    bool versionKnown = false;
    unsigned platformId = 0;
    unsigned majorVersion = 0;
    unsigned minorVersion = 0;
    bool imagingLibraryPresent = true;  // the system's own GDI+
    bool readerOnMedia = false;         // "leafview.ex_"
    bool manualOnMedia = false;         // "scrivoguide.pdf"
};

// Windows 95 and NT 4 or older lack the imaging and colour libraries we ship.
bool NeedsOldSystemLibraries(const CopyListFacts& facts);

// Media names in copying order: six fixed files, then the ones the facts call for.
std::vector<CString> BuildCopyList(const CopyListFacts& facts);

// The name a media file gets in the destination folder: "x.ex_" -> "x.exe", "x.dl_" -> "x.dll".
CString InstalledName(const CString& mediaName);

// "a.b.c.d" from the two 32-bit halves of a file version.
CString VersionText(uint32_t mostSignificant, uint32_t leastSignificant);

// Four decimal numbers of 0..65535 separated by dots; false for anything else.
bool ParseVersionText(const CString& text, uint16_t (&parts)[4]);

// Whether reinstalling media version over installed version offers a backup of
// the installed editor. Numbers compare as numbers (2.0.0.10 is newer than
// 2.0.0.9). Media without a version never offer; an installed editor without a
// version is older than any versioned media.
bool OffersBackup(const CString& mediaVersion, const CString& installedVersion);

// The one message that names every file the installation could not put in place.
CString UncopiedFilesMessage(const std::vector<CString>& installedNames);

// Whole kibibytes needed for that many bytes, rounded up, capped at the DWORD range.
uint32_t KibibytesFor(uint64_t bytes);
