// The download's packed media: what the packer writes, the launcher's reader
// unpacks to the same bytes on every kind of file, and a damaged, cut or
// over-long payload ends in failure without writing outside any buffer.
//
// The fuzz test draws its cases from a fixed seed, printed with every failure;
// BRELLIC_FUZZ_SEED=n draws others, and BRELLIC_FUZZ_LONG=1 runs the long sweep.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "framework/scoped_handles.h"
#include "launcher/branch_filter.h"
#include "launcher/packed_payload.h"
#include "launcher/payload_unpacker.h"
#include "launcher/sha256.h"
#include "test_fs.h"
#include "test_paths.h"
#include "tools/payload_packer/payload_writer.h"

namespace {
std::string Random(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

std::string Text(size_t size) {
    std::string text;
    for (int line = 0; text.size() < size; ++line)
        text += "Line " + std::to_string(line) + ": Brellic Pagewright keeps your documents as you left them.\r\n";
    text.resize(size);
    return text;
}

std::string HexSum(const std::string& bytes) {
    Sha256 sum;
    sum.Add(bytes.data(), bytes.size());
    return sum.HexDigest();
}

// The kinds of file the media hold. The program is real code past the
// writer's filter piece (setup.exe, then this test program), so that the
// filter's carry from piece to piece is crossed.
std::vector<PackInput> MediaKinds() {
    std::string program = ReadFileText(TEST_BUILD_DIR "\\media\\setup.exe") +
                          ReadFileText(TEST_BUILD_DIR "\\tests\\release_tests.exe").substr(0, 2u << 20);
    return {{"empty.txt", ""},
            {"random.bin", Random(3u << 20, 7)},
            {"Scrivo.ex_", program},
            {"readme.txt", Text(700000)},
            {"what's new.txt", Text(1000)}};
}

// Unpacks a payload held in a file of the scratch folder into a new folder there.
UnpackResult UnpackInto(const ScratchDir& scratch,
                        const std::string& payload,
                        const std::string& folder,
                        std::vector<UnpackedFile>* files) {
    std::string path = scratch / "payload.bin";
    WriteFileText(path, payload);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return UnpackResult::WriteFailed;
    return UnpackPayload(file.Get(), 0, payload.size(), Wide(folder), files);
}

uint64_t Get64(const std::string& bytes, size_t at) {
    uint64_t value;
    std::memcpy(&value, bytes.data() + at, 8);
    return value;
}
void Put64(std::string* bytes, size_t at, uint64_t value) {
    std::memcpy(bytes->data() + at, &value, 8);
}
void Put32(std::string* bytes, size_t at, uint32_t value) {
    std::memcpy(bytes->data() + at, &value, 4);
}

// Where block i's entry lies in the head of a payload.
size_t BlockEntry(const std::string& payload, const PackedLayout& layout, size_t i) {
    size_t head = PackedHeadSize(reinterpret_cast<const uint8_t*>(payload.data()), payload.size(), payload.size());
    return head - (layout.blocks.size() - i) * kPackBlockEntry;
}

PackedLayout Layout(const std::string& payload) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(payload.data());
    PackedLayout layout;
    EXPECT_TRUE(
        ParsePackedLayout(bytes, PackedHeadSize(bytes, payload.size(), payload.size()), payload.size(), &layout));
    return layout;
}
}  // namespace

TEST(PackedPayload, EveryKindOfFileComesBackAsItWasAndIncompressibleDataCostsNextToNothing) {
    std::vector<PackInput> inputs = MediaKinds();
    ASSERT_GT(inputs[2].bytes.size(), 1u << 20) << "build the media first";
    PackOptions options;
    options.blockSize = 1u << 20;  // files across blocks, blocks on every core
    PackReport report;
    std::string payload = PackPayload(inputs, options, &report);
    EXPECT_EQ(1u, report.storedFiles) << "the random data is stored";
    EXPECT_GE(report.programFiles, 1u) << "setup's code compresses better filtered";
    EXPECT_LT(payload.size() - report.storedBytes, (report.compressedBytes) / 2);

    ScratchDir scratch("packed");
    std::vector<UnpackedFile> files;
    ASSERT_EQ(UnpackResult::Done, UnpackInto(scratch, payload, scratch / "out", &files));
    ASSERT_EQ(inputs.size(), files.size());
    for (const PackInput& input : inputs) {
        EXPECT_TRUE(input.bytes == ReadFileText(scratch / "out" + "\\" + input.name)) << input.name;
        bool summed = false;
        for (const UnpackedFile& file : files)
            summed |= file.name == input.name && file.sha256 == HexSum(input.bytes);
        EXPECT_TRUE(summed) << input.name;
    }

    // Media that do not compress cost their size and a small head.
    std::vector<PackInput> incompressible = {{"a.bin", Random(2u << 20, 1)}, {"b.bin", Random(1u << 20, 2)}};
    EXPECT_LE(PackPayload(incompressible, options, nullptr).size(), (3u << 20) + 256);
}

// Blocks are cut by what they take packed, not by their bytes, so that each
// core decodes about as much: a document that hardly compresses beside text
// that compresses fifty times over.
TEST(PackedPayload, BlocksTakeAboutTheSamePackedBytes) {
    std::string noisy = Random(1u << 20, 5);
    for (char& c : noisy)
        c &= 0x0F;
    std::vector<PackInput> inputs = {{"scrivoguide.pdf", noisy}, {"readme.txt", Text(3u << 20)}};
    PackOptions options;
    options.blockSize = 2u << 20;
    const PackedLayout layout = Layout(PackPayload(inputs, options, nullptr));
    ASSERT_EQ(2u, layout.blocks.size());
    uint32_t a = layout.blocks[0].packedSize, b = layout.blocks[1].packedSize;
    EXPECT_LT(std::max(a, b), std::min(a, b) * 3 / 2) << a << " and " << b << " bytes";
}

// A split program is put back together piece by piece as the blocks arrive:
// any cut of its packed bytes gives back the program, in either width.
TEST(PackedPayload, SplitProgramsComeBackWholeFromAnyPieces) {
    std::mt19937 random(11);
    // Dense with the bytes the split judges by (call, jump, REX, prefixes,
    // load and address-load opcodes, RIP-relative ModRM, 00/FF), side by side.
    std::string program(200000, '\0');
    const uint8_t alphabet[] = {0xE8, 0xE9, 0x00, 0xFF, 0x12, 0x8B, 0x48, 0x8D, 0x05, 0x15, 0x25, 0x0F, 0x66, 0x10};
    for (char& c : program)
        c = static_cast<char>(alphabet[random() % sizeof alphabet]);
    const auto* bytes = reinterpret_cast<const uint8_t*>(program.data());
    for (bool x64 : {false, true}) {
        SplitCode split = SplitProgram(bytes, program.size(), x64);
        ASSERT_EQ(program.size() + split.lists.BranchBytes(), split.bytes.size());
        ASSERT_TRUE(split.lists.branches > 0 && split.lists.calls > 0);
        ASSERT_EQ(x64, split.lists.imports > 0 && split.lists.references > 0);
        const auto* packed = reinterpret_cast<const uint8_t*>(split.bytes.data());
        for (int round = 0; round < 10; ++round) {
            std::vector<uint8_t> joined;
            CodeJoiner joiner(program.size(), x64, split.lists);
            for (size_t at = 0, piece; at < split.bytes.size(); at += piece) {
                piece = std::min<size_t>(split.bytes.size() - at, 1 + random() % 5000);
                ASSERT_TRUE(joiner.Add(packed + at, piece, &joined));
            }
            ASSERT_TRUE(joiner.Finish(&joined));
            ASSERT_TRUE(program == std::string(joined.begin(), joined.end())) << "round " << round << ", x64 " << x64;
        }
        // Lists that do not fit the code end in failure, not in reading past them.
        std::vector<uint8_t> joined;
        CodeLists wrong = split.lists;
        wrong.branches -= 9;
        wrong.calls += 1;
        CodeJoiner joiner(program.size(), x64, wrong);
        EXPECT_FALSE(joiner.Add(packed, split.bytes.size(), &joined) && joiner.Finish(&joined));
    }
}

// Each fault on its own, as the launcher meets it after the digest: the
// unpacking fails, and every file it made is closed, so the folder goes.
TEST(PackedPayload, DamagedCutAndOverLongPayloadsFailAndLeaveNothingOpen) {
    std::vector<PackInput> inputs = {{"readme.txt", Text(300000)}, {"tail.txt", Text(5000)}};
    PackOptions options;
    options.blockSize = 128u << 10;
    const std::string good = PackPayload(inputs, options, nullptr);
    const PackedLayout layout = Layout(good);
    ASSERT_GE(layout.blocks.size(), 2u);
    ASSERT_EQ(BlockMethod::Lzma, layout.blocks[1].method);
    const size_t entry = BlockEntry(good, layout, 1);

    struct Fault {
        const char* what;
        std::string payload;
    };
    std::vector<Fault> faults;
    std::string bytes = good;
    bytes[layout.blocks[1].offset + layout.blocks[1].packedSize / 2] ^= 0x55;
    faults.push_back({"a changed byte in a block", bytes});
    faults.push_back({"cut short", good.substr(0, good.size() - 1)});
    faults.push_back({"bytes past the end", good + "x"});
    // The stream goes on past the size its header states (file and block one byte shorter).
    bytes = good;
    Put32(&bytes, entry + 8, layout.blocks[1].unpackedSize - 1);
    Put64(&bytes, kPackFixedHeader + 4, Get64(bytes, kPackFixedHeader + 4) - 1);
    faults.push_back({"a stream longer than its block", bytes});
    // The stream's last byte is missing, and the sizes still add up.
    bytes = good;
    Put32(&bytes, entry + 12, layout.blocks[1].packedSize - 1);
    bytes.erase(layout.blocks[1].offset + layout.blocks[1].packedSize - 1, 1);
    faults.push_back({"a stream cut inside its block", bytes});
    // A block that claims more than the bounds allow.
    bytes = good;
    Put32(&bytes, entry + 8, kMaxBlockSize + 1);
    faults.push_back({"a block over the size bound", bytes});

    ScratchDir scratch("faults");
    for (size_t i = 0; i < faults.size(); ++i) {
        std::string folder = scratch / ("out" + std::to_string(i));
        std::vector<UnpackedFile> files;
        EXPECT_EQ(UnpackResult::Damaged, UnpackInto(scratch, faults[i].payload, folder, &files)) << faults[i].what;
        DeleteTree(folder);
        EXPECT_FALSE(DirExists(folder)) << faults[i].what << ": a file was left open";
    }
    std::vector<UnpackedFile> files;
    EXPECT_EQ(UnpackResult::Done, UnpackInto(scratch, good, scratch / "good", &files)) << "the faults are the cause";
}

namespace {
struct FuzzPlan {
    unsigned seed = 20261209;
    int cases = 3000;        // through the reader and the block decoder, in memory
    int unpackings = 40;     // of them, also through the whole unpacking into files
    DWORD budgetMs = 20000;  // a slow machine runs fewer cases rather than time out
};

FuzzPlan Plan() {
    FuzzPlan plan;
    if (const char* seed = std::getenv("BRELLIC_FUZZ_SEED"); seed && *seed)
        plan.seed = static_cast<unsigned>(std::strtoul(seed, nullptr, 10));
    if (const char* sweep = std::getenv("BRELLIC_FUZZ_LONG"); sweep && *sweep == '1') {
        plan.cases = 200000;
        plan.unpackings = 3000;
        plan.budgetMs = 1200000;
    }
    return plan;
}

// A payload changed as damage or a crafted file would change it: bytes
// flipped (in the head more often), a field set to a boundary value, cut, or
// grown.
std::string Mutate(const std::string& good, size_t headSize, std::mt19937& random) {
    std::string bytes = good;
    switch (random() % 5) {
        case 0:
            for (unsigned n = 1 + random() % 8; n > 0; --n)
                bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
            break;
        case 1:
            for (unsigned n = 1 + random() % 4; n > 0; --n)
                bytes[random() % headSize] ^= static_cast<char>(1 + random() % 255);
            break;
        case 2: {
            const uint32_t values[] = {0,
                                       1,
                                       4,
                                       5,
                                       0x7FFFFFFF,
                                       0xFFFFFFFF,
                                       kMaxBlockSize,
                                       kMaxBlockSize + 1,
                                       static_cast<uint32_t>(good.size())};
            size_t at = random() % (headSize - 3);
            Put32(&bytes, at, values[random() % (sizeof values / sizeof values[0])]);
            break;
        }
        case 3:
            bytes.resize(random() % bytes.size());
            break;
        default:
            bytes += Random(1 + random() % 64, random());
            break;
    }
    return bytes;
}

// What the launcher does with the payload, in memory: parse, then unpack every
// block into a buffer with guard bytes after it, which must stay untouched.
void ReadAll(const std::string& payload) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(payload.data());
    size_t head = PackedHeadSize(bytes, payload.size(), payload.size());
    PackedLayout layout;
    if (head == 0 || head > payload.size() || !ParsePackedLayout(bytes, head, payload.size(), &layout))
        return;
    for (const PackedBlock& block : layout.blocks) {
        ASSERT_LE(block.unpackedSize, kMaxBlockSize);
        ASSERT_LE(block.offset + block.packedSize, payload.size());
        std::vector<uint8_t> out(block.unpackedSize + 64, 0xA5);
        UnpackBlock(block, bytes + block.offset, out.data());
        for (size_t i = block.unpackedSize; i < out.size(); ++i)
            ASSERT_EQ(0xA5, out[i]) << "written past the block";
    }
}
}  // namespace

TEST(PackedPayloadFuzz, DamagedPayloadsNeverWritePastABlockNorLeaveAFileOpen) {
    FuzzPlan plan = Plan();
    std::string program = ReadFileText(TEST_BUILD_DIR "\\media\\setup.exe").substr(0, 150000);
    std::vector<PackInput> inputs = {{"readme.txt", Text(60000)},
                                     {"setup.exe", program},
                                     {"empty", ""},
                                     {"random.bin", Random(20000, 3)},
                                     {"Known Issues.txt", Text(3000)}};
    PackOptions options;
    options.blockSize = 32u << 10;
    const std::string good = PackPayload(inputs, options, nullptr);
    const size_t headSize = PackedHeadSize(reinterpret_cast<const uint8_t*>(good.data()), good.size(), good.size());
    ASSERT_GT(headSize, 0u);
    std::mt19937 random(plan.seed);
    const std::string note = "seed " + std::to_string(plan.seed) + " (BRELLIC_FUZZ_SEED to repeat)";
    ScratchDir scratch("fuzz");
    DWORD start = ::GetTickCount();
    int ran = 0;
    for (; ran < plan.cases && ::GetTickCount() - start < plan.budgetMs; ++ran) {
        std::string payload = Mutate(good, headSize, random);
        ASSERT_NO_FATAL_FAILURE(ReadAll(payload)) << note << ", case " << ran;
        if (ran % std::max(1, plan.cases / plan.unpackings) != 0)
            continue;
        std::string folder = scratch / "out";
        std::vector<UnpackedFile> files;
        UnpackInto(scratch, payload, folder, &files);
        DeleteTree(folder);
        ASSERT_FALSE(DirExists(folder)) << note << ", case " << ran << ": a file was left open";
    }
    std::printf("%d cases, %s\n", ran, note.c_str());
    EXPECT_GE(ran, std::min(plan.cases, 500)) << note;
}
