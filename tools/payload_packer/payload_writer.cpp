#include "tools/payload_packer/payload_writer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "launcher/branch_filter.h"
#include "launcher/packed_payload.h"
#include "launcher/third_party/lzma/LzmaEnc.h"

namespace {
void* Allocate(void*, size_t size) {
    return std::malloc(size);
}
void Release(void*, void* address) {
    std::free(address);
}
ISzAlloc g_alloc = {Allocate, Release};

// LZMA at the given level; false when it does not fit in less than the input.
bool Compress(const uint8_t* data,
              size_t size,
              int level,
              uint32_t dictionary,
              std::string* out,
              uint8_t props[kLzmaPropsSize]) {
    CLzmaEncProps settings;
    LzmaEncProps_Init(&settings);
    settings.level = level;
    settings.dictSize = std::max<uint32_t>(dictionary, 1u << 12);
    settings.reduceSize = static_cast<UInt32>(size);
    if (level >= 9)
        settings.fb = 273;
    settings.numThreads = 1;
    out->resize(size + size / 3 + 256);
    SizeT outSize = out->size(), propsSize = kLzmaPropsSize;
    SRes result = LzmaEncode(reinterpret_cast<Byte*>(out->data()), &outSize, data, size, &settings, props, &propsSize,
                             0, nullptr, &g_alloc, &g_alloc);
    if (result != SZ_OK || outSize >= size)
        return false;
    out->resize(outSize);
    return true;
}

// Runs work(i) for i in [0, count) on up to threads threads.
template <typename Work>
void InParallel(size_t count, unsigned threads, Work work) {
    std::atomic<size_t> next{0};
    std::vector<std::thread> pool;
    auto run = [&] {
        for (size_t i; (i = next++) < count;)
            work(i);
    };
    for (unsigned t = 1; t < std::min<size_t>(threads, count); ++t)
        pool.emplace_back(run);
    run();
    for (std::thread& thread : pool)
        thread.join();
}

struct Prepared {
    PackedFile file;
    std::string bytes;  // split when file.x86 or file.x64
    bool program = false;
    bool compress = true;
    double packedShare = 1;  // by the trial
};

// A file's place in a stream, and what it is expected to take packed.
struct Span {
    size_t start, size;
    double packed;
};

// Pieces of about blockSize whose packed sizes are nearly even, so that no
// core waits on a long last one: decoding time follows the packed bytes, and
// documents that hardly compress take far longer per byte than programs. A cut
// moves to a file's start when one lies within a quarter block of it: alike
// files (all the programs, say) then share a block's dictionary.
std::vector<std::pair<size_t, size_t>> Split(size_t total, uint32_t blockSize, std::vector<Span> files) {
    std::vector<std::pair<size_t, size_t>> pieces;
    if (total == 0)
        return pieces;
    if (files.empty())
        files.push_back({0, total, static_cast<double>(total)});
    double weight = 0;
    for (const Span& file : files)
        weight += file.packed;
    size_t count = (total + blockSize - 1) / blockSize;
    size_t from = 0;
    for (size_t k = 1; k <= count; ++k) {
        size_t cut = total;
        if (k < count) {
            // Where the packed bytes reach k parts in count, and the file start nearest to it.
            double target = weight * static_cast<double>(k) / static_cast<double>(count), before = 0;
            double nearest = weight / static_cast<double>(count) / 4;
            for (const Span& file : files) {
                if (before + file.packed >= target && cut == total)
                    cut = file.start + static_cast<size_t>(static_cast<double>(file.size) * (target - before) /
                                                           std::max(file.packed, 1.0));
                before += file.packed;
            }
            before = 0;
            for (const Span& file : files) {
                if (file.start > from && std::abs(before - target) < nearest) {
                    nearest = std::abs(before - target);
                    cut = file.start;
                }
                before += file.packed;
            }
            cut = std::clamp(cut, from, total);
        }
        // No block past the reader's bound, whatever the cut.
        for (; cut - from > kMaxBlockSize; from += kMaxBlockSize)
            pieces.push_back({from, kMaxBlockSize});
        if (cut > from)
            pieces.push_back({from, cut - from});
        from = cut;
    }
    return pieces;
}
}  // namespace

unsigned ProgramMachine(const std::string& bytes) {
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z')
        return 0;
    uint32_t pe = 0;
    std::memcpy(&pe, bytes.data() + 0x3C, 4);
    if (pe > bytes.size() - 6 || std::memcmp(bytes.data() + pe, "PE\0\0", 4) != 0)
        return 0;
    unsigned machine = static_cast<uint8_t>(bytes[pe + 4]) | static_cast<uint8_t>(bytes[pe + 5]) << 8;
    return machine == kMachineX86 || machine == kMachineX64 ? machine : 0;
}

std::string PackPayload(const std::vector<PackInput>& files, const PackOptions& options, PackReport* report) {
    unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    std::vector<Prepared> prepared(files.size());
    // A quick trial on each file's first megabytes decides whether it is worth
    // compressing (what does not shrink, archives and pictures, is only
    // copied) and whether the filter helps a program: libraries that are
    // mostly data and resources compress better without it.
    InParallel(files.size(), threads, [&](size_t i) {
        Prepared& p = prepared[i];
        p.file.name = files[i].name;
        p.file.size = files[i].bytes.size();
        p.bytes = files[i].bytes;
        // A fast level misjudges the filter; the sample keeps the trial short.
        size_t sample = std::min<size_t>(p.bytes.size(), 2u << 20);
        auto trial = [&](const std::string& bytes) {
            std::string packed;
            uint8_t props[kLzmaPropsSize];
            return Compress(reinterpret_cast<const uint8_t*>(bytes.data()), sample, 6, 2u << 20, &packed, props)
                       ? packed.size()
                       : sample;
        };
        // Small files go with the others: a trial says nothing about them.
        bool small = sample < 4096;
        size_t plain = small ? 0 : trial(p.bytes);
        unsigned machine = ProgramMachine(p.bytes);
        p.program = machine != 0;
        if (options.filterPrograms && p.program) {
            // Split where it helps: libraries that are mostly data and
            // resources may compress better as they are.
            bool x64 = machine == kMachineX64;
            const auto* bytes = reinterpret_cast<const uint8_t*>(p.bytes.data());
            size_t withSplit = small ? 0 : trial(SplitProgram(bytes, sample, x64).bytes);
            if (withSplit <= plain) {
                plain = withSplit;
                SplitCode split = SplitProgram(bytes, p.bytes.size(), x64);
                p.file.x86 = !x64;
                p.file.x64 = x64;
                p.file.lists = split.lists;
                p.bytes = std::move(split.bytes);
            }
        }
        p.compress = small || plain < sample * options.storeAbove;
        if (!small)
            p.packedShare = static_cast<double>(plain) / static_cast<double>(sample);
    });
    // Programs together, so that alike code shares a block, and within a kind
    // the smaller files first: on the benchmark's media the x86 libraries
    // before the x64 ones made the payload 3 % smaller than the other way round.
    std::stable_sort(prepared.begin(), prepared.end(), [](const Prepared& a, const Prepared& b) {
        if (a.compress != b.compress)
            return a.compress;
        if (a.program != b.program)
            return a.program;
        if (a.file.x64 != b.file.x64)
            return b.file.x64;
        return a.file.size < b.file.size;
    });
    std::string compressed, stored;
    std::vector<Span> compressedFiles;
    PackReport counts;
    for (const Prepared& p : prepared) {
        if (p.compress)
            compressedFiles.push_back(
                {compressed.size(), p.bytes.size(), static_cast<double>(p.bytes.size()) * p.packedShare});
        (p.compress ? compressed : stored) += p.bytes;
        (p.compress ? counts.compressedFiles : counts.storedFiles)++;
        (p.compress ? counts.compressedBytes : counts.storedBytes) += p.bytes.size();
        counts.programFiles += p.file.x86 || p.file.x64;
    }

    struct Piece {
        const std::string* stream;
        size_t at, size;
        bool compress;
        PackedBlock block;
        std::string packed;
    };
    std::vector<Piece> pieces;
    for (auto [at, size] : Split(compressed.size(), options.blockSize, compressedFiles))
        pieces.push_back({&compressed, at, size, true, {}, {}});
    for (auto [at, size] : Split(stored.size(), options.blockSize, {}))
        pieces.push_back({&stored, at, size, false, {}, {}});
    InParallel(pieces.size(), threads, [&](size_t i) {
        Piece& piece = pieces[i];
        const auto* data = reinterpret_cast<const uint8_t*>(piece.stream->data()) + piece.at;
        piece.block.unpackedSize = static_cast<uint32_t>(piece.size);
        if (piece.compress &&
            Compress(data, piece.size, 9, static_cast<uint32_t>(piece.size), &piece.packed, piece.block.props)) {
            piece.block.method = BlockMethod::Lzma;
        } else {
            piece.block.method = BlockMethod::Stored;
            std::memset(piece.block.props, 0, kLzmaPropsSize);
            piece.packed.assign(reinterpret_cast<const char*>(data), piece.size);
        }
        piece.block.packedSize = static_cast<uint32_t>(piece.packed.size());
    });

    std::vector<PackedFile> table;
    for (const Prepared& p : prepared)
        table.push_back(p.file);
    std::vector<PackedBlock> blocks;
    for (const Piece& piece : pieces) {
        blocks.push_back(piece.block);
        (piece.block.method == BlockMethod::Lzma ? counts.lzmaBlocks : counts.storedBlocks)++;
    }
    std::string payload = WritePackedHead(table, blocks);
    for (const Piece& piece : pieces)
        payload += piece.packed;
    if (report)
        *report = counts;
    return payload;
}
