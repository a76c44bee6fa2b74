// The removal run executes from a folder anyone with the user's rights can
// write to. The loader looks beside the program for any library it imports
// that is not one of the system's known libraries, so those are all it may import.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "test_fs.h"
#include "test_paths.h"

namespace {
// Import names from a PE file's import directory.
std::vector<std::string> ImportedLibraries(const std::string& image) {
    std::vector<std::string> names;
    if (image.size() < sizeof(IMAGE_DOS_HEADER))
        return names;
    auto at = [&](size_t offset, size_t size) {
        return offset + size <= image.size() ? image.data() + offset : nullptr;
    };
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS64)));
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE)
        return names;
    auto* sections = IMAGE_FIRST_SECTION(nt);
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return image.size();
    };
    // The 32-bit build's optional header is shorter; the directories follow it.
    const IMAGE_DATA_DIRECTORY* directories =
        nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC
            ? reinterpret_cast<const IMAGE_NT_HEADERS32*>(nt)->OptionalHeader.DataDirectory
            : nt->OptionalHeader.DataDirectory;
    DWORD importRva = directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t offset = fileOffset(importRva);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(offset, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
        if (!entry || entry->Name == 0)
            break;
        const char* name = at(fileOffset(entry->Name), 1);
        if (name)
            names.push_back(name);
    }
    return names;
}
}  // namespace

// Both programs: a static import of any other library (version.dll, netapi32.dll,
// gdiplus.dll, comctl32.dll) would be looked for beside the program first.
TEST(ProgramImages, ImportOnlyLibrariesTheLoaderAlwaysTakesFromTheSystemFolder) {
    static const std::set<std::string> kKnownLibraries = {"advapi32.dll", "comdlg32.dll", "gdi32.dll",   "imm32.dll",
                                                          "kernel32.dll", "msvcrt.dll",   "ole32.dll",   "oleaut32.dll",
                                                          "rpcrt4.dll",   "shell32.dll",  "shlwapi.dll", "user32.dll"};
    for (const char* program : {TEST_BUILD_DIR "\\uninstall.exe", TEST_BUILD_DIR "\\setup.exe"}) {
        std::vector<std::string> imports = ImportedLibraries(ReadFileText(program));
        ASSERT_FALSE(imports.empty()) << program;
        for (std::string name : imports) {
            for (char& c : name)
                c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
            EXPECT_TRUE(kKnownLibraries.count(name)) << program << ": " << name << " could be loaded from beside it";
        }
    }
}
