// Packs the media into the download's payload (launcher/packed_payload.h):
// chooses per file whether it is compressed or stored, filters program code,
// and compresses fixed-size blocks of the compressed files' stream in parallel.
// Built for the build machine by the release script, and into the tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PackInput {
    std::string name;  // UTF-8, a plain file name
    std::string bytes;
};

struct PackOptions {
    // Chosen by measurement on realistic media (bench/README.md): 8 MiB blocks
    // made the download 6 % larger than 32 MiB ones, and on two cores two
    // blocks unpack as fast as eight.
    uint32_t blockSize = 32u << 20;
    // A file is stored when a quick trial saves less than this share of it.
    double storeAbove = 0.97;
    unsigned threads = 0;  // 0: one per core
    bool filterPrograms = true;
};

struct PackReport {
    uint64_t compressedFiles = 0, storedFiles = 0, programFiles = 0;
    uint64_t compressedBytes = 0, storedBytes = 0;  // unpacked
    uint64_t lzmaBlocks = 0, storedBlocks = 0;
};

// The whole payload: head, then every block's packed bytes.
std::string PackPayload(const std::vector<PackInput>& files, const PackOptions& options, PackReport* report);

inline constexpr unsigned kMachineX86 = 0x14C;
inline constexpr unsigned kMachineX64 = 0x8664;
// An x86 or x64 Windows program or library, by its headers: its machine, or 0.
unsigned ProgramMachine(const std::string& bytes);
