#include "copy_rules.h"

#include "common/product_catalogue.h"

namespace {
constexpr unsigned kWindows95Family = 1;
constexpr unsigned kWindowsNtFamily = 2;
}  // namespace

bool NeedsOldSystemLibraries(const CopyListFacts& facts) {
    if (!facts.versionKnown)
        return false;
    if (facts.platformId == kWindows95Family)
        return facts.majorVersion == 4 && facts.minorVersion == 0;
    return facts.platformId == kWindowsNtFamily && facts.majorVersion <= 4;
}

namespace {
bool Holds(CopyCondition condition, const CopyListFacts& facts) {
    switch (condition) {
        case CopyCondition::Always:
            return true;
        case CopyCondition::OldSystem:
            return NeedsOldSystemLibraries(facts);
        case CopyCondition::NoSystemImagingLibrary:
            return !facts.imagingLibraryPresent;
        case CopyCondition::ReaderOnMedia:
            return facts.readerOnMedia;
        case CopyCondition::ManualOnMedia:
            return facts.manualOnMedia;
    }
    return false;
}
}  // namespace

std::vector<CString> BuildCopyList(const CopyListFacts& facts) {
    std::vector<CString> list;
    for (const ProductFile& file : kProductFiles)
        if (Holds(file.condition, facts))
            list.push_back(file.mediaName);
    return list;
}

CString InstalledName(const CString& mediaName) {
    int n = mediaName.GetLength();
    if (n < 2 || mediaName[n - 1] != '_')
        return mediaName;
    char before = mediaName[n - 2];
    if (before == 'l')
        return mediaName.Left(n - 1) + "l";
    if (before == 'x')
        return mediaName.Left(n - 1) + "e";
    return mediaName;
}

CString VersionText(uint32_t mostSignificant, uint32_t leastSignificant) {
    CString text;
    text.Format("%u.%u.%u.%u", static_cast<unsigned>(mostSignificant >> 16),
                static_cast<unsigned>(mostSignificant & 0xFFFF), static_cast<unsigned>(leastSignificant >> 16),
                static_cast<unsigned>(leastSignificant & 0xFFFF));
    return text;
}

bool ParseVersionText(const CString& text, uint16_t (&parts)[4]) {
    int index = 0;
    unsigned value = 0;
    int digits = 0;
    for (int i = 0; i <= text.GetLength(); ++i) {
        char ch = i < text.GetLength() ? text[i] : '\0';
        if (ch >= '0' && ch <= '9') {
            value = value * 10 + static_cast<unsigned>(ch - '0');
            if (++digits > 5 || value > 0xFFFF)
                return false;
            continue;
        }
        if ((ch != '.' && ch != '\0') || digits == 0 || index > 3)
            return false;
        parts[index++] = static_cast<uint16_t>(value);
        value = 0;
        digits = 0;
        if (ch == '.' && index == 4)
            return false;
    }
    return index == 4;
}

bool OffersBackup(const CString& mediaVersion, const CString& installedVersion) {
    if (mediaVersion.IsEmpty())
        return false;
    if (installedVersion.IsEmpty())
        return true;
    uint16_t media[4];
    uint16_t installed[4];
    if (!ParseVersionText(mediaVersion, media) || !ParseVersionText(installedVersion, installed))
        return mediaVersion.Compare(installedVersion) > 0;  // not ours to judge: keep the old text order
    for (int i = 0; i < 4; ++i) {
        if (media[i] != installed[i])
            return media[i] > installed[i];
    }
    return false;
}

CString UncopiedFilesMessage(const std::vector<CString>& installedNames) {
    CString text = "These files of Brellic Pagewright could not be installed:\n";
    for (const CString& name : installedNames)
        text += "\n    " + name;
    text +=
        "\n\nThe disk may be full, or the destination folder may be write-protected.\nBrellic Pagewright may not work "
        "until these files are installed; please run Setup again.";
    return text;
}

uint32_t KibibytesFor(uint64_t bytes) {
    uint64_t kib = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kib);
}
