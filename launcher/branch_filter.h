// Program code taken apart so that it compresses better, and put back together
// exactly after decompression. Plain C++, shared by the packer and the launcher.
//
// The targets of calls and jumps (E8/E9), and in x64 code of RIP-relative
// operands (calls through the import table, loads, stores, address loads), are
// made absolute and moved out of the code into lists, big-endian, that go
// before the rest: the same function or variable referred to from many places
// then gives the same bytes each time, and a list of addresses and code without
// them each compress better than the two mixed, and better still with each
// kind of target in a list of its own. One bit per E8/E9 byte says whether it
// was taken as a call: those with a target within 16 MiB are. On Wine's
// libraries this packs 4 % smaller than making the targets absolute in place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// How many of each a split program holds: E8/E9 bytes judged (one bit each);
// the targets (4 bytes each) of the calls and jumps taken, of x64 calls
// through the import table, and of x64 code's other RIP-relative operands.
struct CodeLists {
    uint32_t branches = 0;
    uint32_t calls = 0;
    uint32_t imports = 0;
    uint32_t references = 0;
    uint64_t BranchBytes() const { return (uint64_t{branches} + 7) / 8; }
    uint64_t TargetBytes() const { return (uint64_t{calls} + imports + references) * 4; }
    // The bytes the lists take before the code.
    uint64_t Bytes() const { return BranchBytes() + TargetBytes(); }
};

// The longest instruction judged (an SSE prefix, REX, 0F, opcode, ModRM and
// the displacement), and the most bytes judged, all before the target.
inline constexpr size_t kLongestReference = 9;
inline constexpr size_t kJudgedBytes = 5;
// Only these bytes can start an x64 instruction the split takes apart.
bool MayStartReference(uint8_t byte);
// How many bytes of the x64 instruction at p (kJudgedBytes of them readable)
// come before a RIP-relative displacement; 0 if it has none. import: a call or
// jump through the import table.
size_t BeforeDisplacement(const uint8_t* p, bool* import);

// A program as it is packed: the branch bits, the three lists of targets in
// the order above, then the code without them; as long as the program and its
// branch bits.
struct SplitCode {
    std::string bytes;
    CodeLists lists;
};
SplitCode SplitProgram(const uint8_t* data, size_t size, bool x64);

// Puts a split program back together as its packed bytes arrive, in pieces of
// any size.
class CodeJoiner {
public:
    // For a program of size bytes; the caller has checked that the lists fit in it.
    CodeJoiner(uint64_t size, bool x64, const CodeLists& lists);
    // Appends to out what the bytes give back so far. False when the bytes do
    // not fit the lists.
    bool Add(const uint8_t* data, size_t size, std::vector<uint8_t>* out);
    // After the program's last byte: the rest, and whether every list was used up.
    bool Finish(std::vector<uint8_t>* out);

private:
    bool Join(bool last, std::vector<uint8_t>* out);
    enum class List { Calls, Imports, References };
    bool TakeTarget(List list, uint32_t* target);

    uint64_t m_size;
    bool m_x64;
    CodeLists m_lists;
    size_t m_listBytes;
    std::vector<uint8_t> m_listData;  // the lists, as they arrive
    uint64_t m_position = 0;          // in the program, of m_code's first byte
    size_t m_listStart[3];            // of calls, imports and references, in m_listData
    uint32_t m_count[3];
    uint32_t m_nextBranch = 0, m_next[3] = {};  // in each list
    std::vector<uint8_t> m_code;                // received and not yet given back
};
