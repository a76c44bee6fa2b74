// Drive letters for tests under Wine: a letter mapped to a folder for the
// length of a test, through Wine's mount manager (it makes the link in the
// prefix's dosdevices folder), and a letter that names no drive.
#pragma once
#include <string>

class MappedDrive {
public:
    // Maps letter (e.g. 'Q') to an existing folder given as a Windows path.
    MappedDrive(char letter, const std::string& folder);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    bool Ok() const { return m_ok; }
    std::string Root() const { return std::string(1, m_letter) + ":\\"; }

private:
    char m_letter;
    bool m_ok = false;
};

// A drive letter that no drive answers to, or 0 when all are taken.
char UnusedDriveLetter();
