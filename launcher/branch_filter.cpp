#include "launcher/branch_filter.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace {
void Put32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

// What a byte may be, for the x64 split's judging, as bits of a table: the
// one-byte opcodes x64 code most often gives a memory operand with a ModRM
// byte (loads, stores, address loads, compares, arithmetic); the same for 0F
// opcodes (SSE moves and arithmetic, extending loads); a byte that may start an
// instruction the split takes apart; E8/E9.
enum : uint8_t { kModRm = 1, kTwoByteModRm = 2, kReferenceStart = 4, kBranch = 8 };

struct ByteKinds {
    uint8_t kind[256] = {};
    constexpr ByteKinds() {
        for (uint8_t opcode : {0x01, 0x03, 0x09, 0x0B, 0x21, 0x23, 0x29, 0x2B, 0x31, 0x33, 0x39, 0x3B, 0x63, 0x85, 0x88,
                               0x89, 0x8A, 0x8B, 0x8D})
            kind[opcode] |= kModRm;
        for (uint8_t opcode : {0x10, 0x11, 0x28, 0x29, 0x2E, 0x2F, 0x54, 0x57, 0x58, 0x59, 0x5C, 0x5E, 0x6F, 0x7F, 0xB6,
                               0xB7, 0xBE, 0xBF})
            kind[opcode] |= kTwoByteModRm;
        for (int rex = 0x40; rex <= 0x4F; ++rex)
            kind[rex] |= kReferenceStart;
        for (uint8_t start : {0xFF, 0x66, 0xF2, 0xF3, 0x0F})
            kind[start] |= kReferenceStart;
        kind[0xE8] |= kBranch;
        kind[0xE9] |= kBranch;
    }
};
constexpr ByteKinds kKinds;
}  // namespace

size_t BeforeDisplacement(const uint8_t* p, bool* import) {
    *import = p[0] == 0xFF && (p[1] == 0x15 || p[1] == 0x25);
    if (*import)
        return 2;
    if ((p[0] & 0xF0) == 0x40 && (kKinds.kind[p[1]] & kModRm) && (p[2] & 0xC7) == 0x05)
        return 3;
    size_t i = 0;
    if (p[i] == 0x66 || p[i] == 0xF2 || p[i] == 0xF3)
        ++i;
    if ((p[i] & 0xF0) == 0x40)
        ++i;
    if (p[i] == 0x0F && (kKinds.kind[p[i + 1]] & kTwoByteModRm) && (p[i + 2] & 0xC7) == 0x05)
        return i + 3;
    return 0;
}

bool MayStartReference(uint8_t byte) {
    return (kKinds.kind[byte] & kReferenceStart) != 0;
}

CodeJoiner::CodeJoiner(uint64_t size, bool x64, const CodeLists& lists)
    : m_size(size),
      m_x64(x64),
      m_lists(lists),
      m_listBytes(static_cast<size_t>(lists.Bytes())),
      m_count{lists.calls, lists.imports, lists.references} {
    size_t at = static_cast<size_t>(lists.BranchBytes());
    for (int i = 0; i < 3; ++i) {
        m_listStart[i] = at;
        at += size_t{m_count[i]} * 4;
    }
}

bool CodeJoiner::Add(const uint8_t* data, size_t size, std::vector<uint8_t>* out) {
    if (m_listData.size() < m_listBytes) {
        size_t take = std::min(size, m_listBytes - m_listData.size());
        m_listData.insert(m_listData.end(), data, data + take);
        data += take;
        size -= take;
    }
    m_code.insert(m_code.end(), data, data + size);
    return Join(false, out);
}

bool CodeJoiner::Finish(std::vector<uint8_t>* out) {
    return m_listData.size() == m_listBytes && Join(true, out) && m_code.empty() && m_position == m_size &&
           m_nextBranch == m_lists.branches && m_next[0] == m_count[0] && m_next[1] == m_count[1] &&
           m_next[2] == m_count[2];
}

bool CodeJoiner::TakeTarget(List list, uint32_t* target) {
    int i = static_cast<int>(list);
    if (m_next[i] == m_count[i])
        return false;
    const uint8_t* t = m_listData.data() + m_listStart[i] + size_t{m_next[i]++} * 4;
    *target =
        static_cast<uint32_t>(t[0]) << 24 | static_cast<uint32_t>(t[1]) << 16 | static_cast<uint32_t>(t[2]) << 8 | t[3];
    return true;
}

bool CodeJoiner::Join(bool last, std::vector<uint8_t>* out) {
    const uint8_t* code = m_code.data();
    size_t size = m_code.size();
    // Room for every byte and every target still to come, within this piece.
    size_t targetsLeft = size_t{m_count[0]} - m_next[0] + m_count[1] - m_next[1] + m_count[2] - m_next[2];
    size_t base = out->size();
    out->resize(base + size + 4 * std::min(size, targetsLeft));
    uint8_t* to = out->data() + base;
    const uint8_t judged = m_x64 ? kBranch | kReferenceStart : kBranch;
    size_t at = 0, run = 0;
    bool fits = true;
    // m_position + (at - run) is the program offset of code[at].
    for (; at < size; ++at) {
        uint8_t kind = kKinds.kind[code[at]] & judged;
        if (kind == 0 || m_position + (at - run) + kLongestReference > m_size)
            continue;
        bool import = false;
        size_t length = 0;
        if (kind == kBranch) {
            if (m_nextBranch == m_lists.branches) {
                fits = false;
                break;
            }
            length = m_listData[m_nextBranch / 8] >> (m_nextBranch % 8) & 1;
            ++m_nextBranch;
        } else {
            if (size - at < kJudgedBytes) {
                fits = !last;
                break;
            }
            length = BeforeDisplacement(code + at, &import);
        }
        if (length == 0)
            continue;
        uint32_t target = 0;
        if (!TakeTarget(kind == kBranch ? List::Calls : import ? List::Imports : List::References, &target)) {
            fits = false;
            break;
        }
        size_t bytes = at + length - run;
        std::memcpy(to, code + run, bytes);
        to += bytes;
        m_position += bytes;
        Put32(to, target - static_cast<uint32_t>(m_position + 4));
        to += 4;
        m_position += 4;
        at += length - 1;
        run = at + 1;
    }
    std::memcpy(to, code + run, at - run);
    to += at - run;
    m_position += at - run;
    out->resize(static_cast<size_t>(to - out->data()));
    m_code.erase(m_code.begin(), m_code.begin() + static_cast<std::ptrdiff_t>(at));
    return fits;
}
