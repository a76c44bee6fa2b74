// The packer's side of the split, apart so that the launcher does not carry it.
#include "launcher/branch_filter.h"

namespace {
void PutBigEndian(std::string* list, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        *list += static_cast<char>(value >> shift);
}

uint32_t Get32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

// An instruction is judged by the bytes before its target only, and only where
// the whole of the longest one would fit; an E8/E9 is taken when its target
// lies within 16 MiB (the high byte 00 or FF), and its bit says so. The joiner
// sees exactly the bytes judged, at the same offsets, and finds the same
// instructions.
SplitCode SplitProgram(const uint8_t* data, size_t size, bool x64) {
    std::string branches, calls, imports, references, code;
    code.reserve(size);
    SplitCode split;
    size_t at = 0, run = 0;
    while (at + kLongestReference <= size) {
        const uint8_t* p = data + at;
        bool import = false, call = false;
        size_t length = 0;
        if (p[0] == 0xE8 || p[0] == 0xE9) {
            bool taken = p[4] == 0x00 || p[4] == 0xFF;
            if (split.lists.branches % 8 == 0)
                branches += '\0';
            if (taken)
                branches.back() = static_cast<char>(branches.back() | 1 << split.lists.branches % 8);
            ++split.lists.branches;
            length = taken ? 1 : 0;
            call = true;
        } else if (x64 && MayStartReference(p[0])) {
            length = BeforeDisplacement(p, &import);
        }
        if (length == 0) {
            ++at;
            continue;
        }
        code.append(reinterpret_cast<const char*>(data + run), at + length - run);
        PutBigEndian(call     ? &calls
                     : import ? &imports
                              : &references,
                     Get32(p + length) + static_cast<uint32_t>(at + length + 4));
        at += length + 4;
        run = at;
    }
    code.append(reinterpret_cast<const char*>(data + run), size - run);
    split.lists.calls = static_cast<uint32_t>(calls.size() / 4);
    split.lists.imports = static_cast<uint32_t>(imports.size() / 4);
    split.lists.references = static_cast<uint32_t>(references.size() / 4);
    split.bytes = branches + calls + imports + references + code;
    return split;
}
