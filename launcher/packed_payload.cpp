#include "launcher/packed_payload.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

#include "launcher/download_layout.h"
#include "launcher/third_party/lzma/LzmaDec.h"

namespace {
uint64_t Get(const uint8_t* p, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void* Allocate(void*, size_t size) {
    return std::malloc(size);
}
void Release(void*, void* address) {
    std::free(address);
}
}  // namespace

size_t PackedHeadSize(const uint8_t* fixed, size_t fixedBytes, uint64_t payloadSize) {
    if (fixedBytes < kPackFixedHeader || std::memcmp(fixed, kPackMagic, 8) != 0 || Get(fixed + 8, 4) != kPackVersion)
        return 0;
    uint64_t files = Get(fixed + 12, 4), blocks = Get(fixed + 16, 4), table = Get(fixed + 20, 4);
    if (files == 0 || files > kMaxPackFiles || blocks > kMaxPackBlocks || table > kMaxPackTable ||
        table < files * (kPackFileEntry + 1) + blocks * kPackBlockEntry || kPackFixedHeader + table > payloadSize)
        return 0;
    return static_cast<size_t>(kPackFixedHeader + table);
}

bool ParsePackedLayout(const uint8_t* head, size_t headBytes, uint64_t payloadSize, PackedLayout* layout) {
    if (headBytes == 0 || PackedHeadSize(head, headBytes, payloadSize) != headBytes)
        return false;
    uint32_t fileCount = static_cast<uint32_t>(Get(head + 12, 4));
    uint32_t blockCount = static_cast<uint32_t>(Get(head + 16, 4));
    PackedLayout found;
    std::set<std::string> names;
    size_t at = kPackFixedHeader;
    uint64_t fileSizes = 0, fileBytes = 0;
    for (uint32_t i = 0; i < fileCount; ++i) {
        if (headBytes - at < kPackFileEntry)
            return false;
        size_t nameLength = static_cast<size_t>(Get(head + at, 2));
        uint64_t flags = Get(head + at + 2, 2);
        PackedFile file;
        file.size = Get(head + at + 4, 8);
        at += kPackFileEntry;
        file.x86 = flags == kX86Filter;
        file.x64 = flags == kX64Filter;
        if ((flags != 0 && !file.x86 && !file.x64) || file.size > (uint64_t{1} << 40) - fileSizes)
            return false;
        if (file.x86 || file.x64) {
            if (headBytes - at < 16)
                return false;
            file.lists.branches = static_cast<uint32_t>(Get(head + at, 4));
            file.lists.calls = static_cast<uint32_t>(Get(head + at + 4, 4));
            file.lists.imports = static_cast<uint32_t>(Get(head + at + 8, 4));
            file.lists.references = static_cast<uint32_t>(Get(head + at + 12, 4));
            at += 16;
            // A target comes out of four bytes of the program, a branch bit out of one.
            if (file.lists.TargetBytes() > file.size || file.lists.branches > file.size ||
                file.lists.Bytes() > kMaxCodeListBytes)
                return false;
        }
        if (nameLength > headBytes - at)
            return false;
        file.name.assign(reinterpret_cast<const char*>(head + at), nameLength);
        at += nameLength;
        // The file system does not tell names apart by case.
        if (!IsPlainFileName(file.name) || !names.insert(Lower(file.name)).second)
            return false;
        fileSizes += file.size;
        fileBytes += file.Packed();
        found.files.push_back(std::move(file));
    }
    uint64_t unpacked = 0, offset = headBytes;
    for (uint32_t i = 0; i < blockCount; ++i) {
        if (headBytes - at < kPackBlockEntry)
            return false;
        const uint8_t* entry = head + at;
        at += kPackBlockEntry;
        PackedBlock block;
        block.method = static_cast<BlockMethod>(entry[0]);
        std::memcpy(block.props, entry + 1, kLzmaPropsSize);
        block.unpackedSize = static_cast<uint32_t>(Get(entry + 8, 4));
        block.packedSize = static_cast<uint32_t>(Get(entry + 12, 4));
        block.offset = offset;
        if (entry[6] != 0 || entry[7] != 0 || block.unpackedSize == 0 || block.unpackedSize > kMaxBlockSize)
            return false;
        if (block.method == BlockMethod::Stored) {
            if (block.packedSize != block.unpackedSize || std::memcmp(block.props, "\0\0\0\0\0", 5) != 0)
                return false;
        } else if (block.method == BlockMethod::Lzma) {
            // lc + lp above 4 only makes the probability tables larger; the
            // packer never stores a block that LZMA made larger.
            unsigned lcLpPb = block.props[0];
            if (lcLpPb >= 9 * 5 * 5 || lcLpPb % 9 + lcLpPb / 9 % 5 > 4 || block.packedSize < 5 ||
                block.packedSize > block.unpackedSize)
                return false;
        } else {
            return false;
        }
        if (block.packedSize > payloadSize - offset)
            return false;
        offset += block.packedSize;
        unpacked += block.unpackedSize;
        found.largestBlock = std::max(found.largestBlock, block.unpackedSize);
        found.blocks.push_back(block);
    }
    if (at != headBytes || unpacked != fileBytes || offset != payloadSize)
        return false;
    *layout = std::move(found);
    return true;
}

bool UnpackBlock(const PackedBlock& block, const uint8_t* packed, uint8_t* out) {
    if (block.method == BlockMethod::Stored) {
        std::memcpy(out, packed, block.unpackedSize);
        return true;
    }
    ISzAlloc alloc = {Allocate, Release};
    SizeT outSize = block.unpackedSize, inSize = block.packedSize;
    ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
    // The output buffer is the whole dictionary: a distance reaching before
    // its start, or a stream that would go on past it, is an error.
    SRes result =
        LzmaDecode(out, &outSize, packed, &inSize, block.props, kLzmaPropsSize, LZMA_FINISH_END, &status, &alloc);
    return result == SZ_OK && outSize == block.unpackedSize && inSize == block.packedSize &&
           (status == LZMA_STATUS_FINISHED_WITH_MARK || status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK);
}
