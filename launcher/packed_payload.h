// The media as the download carries them: a versioned header, then blocks that
// each unpack on their own, so that every core can take one.
// Plain C++: the packer writes this layout and the launcher reads it.
//
// Header (little-endian): magic, version (u32), file count (u32), block count
// (u32), size of the table that follows (u32). The table: for every file its
// name's length (u16), flags (u16), size (u64), for a split program its lists'
// counts (branches, calls, imports, references: u32 each), and UTF-8 name;
// then for every block its method (u8), LZMA properties (5 bytes), two zero
// bytes, unpacked size (u32) and packed size (u32). The blocks' packed bytes
// follow the table in order, and nothing else.
//
// The files, in table order and laid end to end as packed, are what the blocks
// unpack to, block after block; a split program (launcher/branch_filter.h) is
// put back together as its bytes arrive.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "launcher/branch_filter.h"

inline constexpr char kPackMagic[8] = {'B', 'R', 'P', 'W', 'P', 'A', 'K', '1'};
inline constexpr uint32_t kPackVersion = 2;
inline constexpr size_t kPackFixedHeader = 24;
inline constexpr size_t kPackFileEntry = 12;  // before the name
inline constexpr size_t kPackBlockEntry = 16;
// Bounds on what a header may ask for: the launcher allocates no more than
// this per block, and reads no larger table.
inline constexpr uint32_t kMaxPackFiles = 4096;
inline constexpr uint32_t kMaxPackBlocks = 65536;
inline constexpr uint32_t kMaxBlockSize = 64u << 20;
inline constexpr uint32_t kMaxPackTable = 1u << 20;

enum class BlockMethod : uint8_t { Stored = 0, Lzma = 1 };
// A program split as x86 code, or as x64 code (launcher/branch_filter.h).
inline constexpr uint16_t kX86Filter = 1;
inline constexpr uint16_t kX64Filter = 2;
// What a program's lists may take, far more than any program has: the
// launcher holds them in memory while the code arrives.
inline constexpr uint64_t kMaxCodeListBytes = 64u << 20;
inline constexpr size_t kLzmaPropsSize = 5;

struct PackedFile {
    std::string name;  // UTF-8, a plain file name
    uint64_t size = 0;
    bool x86 = false;
    bool x64 = false;  // never with x86
    CodeLists lists;   // with either
    // What the file takes in the blocks' stream: a split program is longer
    // by its branch bits.
    uint64_t Packed() const { return size + lists.BranchBytes(); }
};

struct PackedBlock {
    BlockMethod method = BlockMethod::Stored;
    uint8_t props[kLzmaPropsSize] = {};
    uint32_t unpackedSize = 0;
    uint32_t packedSize = 0;
    uint64_t offset = 0;  // of the packed bytes, from the payload's start
};

struct PackedLayout {
    std::vector<PackedFile> files;
    std::vector<PackedBlock> blocks;
    uint32_t largestBlock = 0;
};

// From the fixed header: how many bytes the header and table take together. 0
// when it is not ours, or asks for more than the bounds or the payload hold.
size_t PackedHeadSize(const uint8_t* fixed, size_t fixedBytes, uint64_t payloadSize);

// The whole head (PackedHeadSize bytes). False unless every name is plain and
// unique, every size within its bounds, the blocks unpack to exactly the files'
// bytes and their packed bytes fill the payload exactly.
bool ParsePackedLayout(const uint8_t* head, size_t headBytes, uint64_t payloadSize, PackedLayout* layout);

// Unpacks one block into out (block.unpackedSize bytes). False on a stream
// that is damaged, ends early, or runs past either size.
bool UnpackBlock(const PackedBlock& block, const uint8_t* packed, uint8_t* out);

// The header and table for files and blocks whose sizes are known (offsets are
// ignored): what the packer writes before the blocks.
std::string WritePackedHead(const std::vector<PackedFile>& files, const std::vector<PackedBlock>& blocks);
