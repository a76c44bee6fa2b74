#include "launcher/branch_filter.h"

namespace {
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void Put32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The one-byte opcodes x64 code most often gives a memory operand with a
// ModRM byte (loads, stores, address loads, compares, arithmetic).
bool TakesModRm(uint8_t opcode) {
    static constexpr uint8_t kOpcodes[] = {0x01, 0x03, 0x09, 0x0B, 0x21, 0x23, 0x29, 0x2B, 0x31, 0x33,
                                           0x39, 0x3B, 0x63, 0x85, 0x88, 0x89, 0x8A, 0x8B, 0x8D};
    for (uint8_t known : kOpcodes)
        if (opcode == known)
            return true;
    return false;
}

// The length of an x64 instruction start at p whose last four bytes are a
// RIP-relative displacement: "call/jmp [rip+d]" (FF 15, FF 25), or a REX
// prefix, one of the opcodes above and a ModRM byte naming [rip+d]; 0 if none.
size_t RipRelativeLength(const uint8_t* p) {
    if (p[0] == 0xFF && (p[1] == 0x15 || p[1] == 0x25))
        return 6;
    if ((p[0] & 0xF0) == 0x40 && TakesModRm(p[1]) && (p[2] & 0xC7) == 0x05)
        return 7;
    return 0;
}
}  // namespace

// E8/E9 operands are converted only within 16 MiB of the instruction (high
// byte 00 or FF, as almost all real calls are), and the result is kept in that
// form modulo 2^25. After an E8/E9 that is not converted, the next three bytes
// are passed over: a conversion there would change the byte this one was
// judged by. RIP-relative displacements are converted whole. No byte a
// decision is made by is ever a converted one, so the decoder finds exactly
// the instructions the encoder converted, without any side information.
size_t ConvertBranches(uint8_t* data, size_t size, uint64_t position, bool encoding, bool ripRelative) {
    // Enough bytes for the longest instruction judged.
    const size_t window = ripRelative ? 7 : 5;
    size_t at = 0;
    while (at + window <= size) {
        uint8_t* p = data + at;
        if (ripRelative) {
            if (size_t length = RipRelativeLength(p)) {
                uint32_t next = static_cast<uint32_t>(position + at + length);
                uint32_t displacement = Get32(p + length - 4);
                Put32(p + length - 4, encoding ? displacement + next : displacement - next);
                at += length;
                continue;
            }
        }
        if (p[0] != 0xE8 && p[0] != 0xE9) {
            ++at;
            continue;
        }
        if (p[4] != 0x00 && p[4] != 0xFF) {
            at += 4;
            continue;
        }
        uint32_t next = static_cast<uint32_t>(position + at + 5);
        uint32_t operand = Get32(p + 1);
        uint32_t converted = (encoding ? operand + next : operand - next) & 0x01FFFFFF;
        if (converted & 0x01000000)
            converted |= 0xFF000000;
        Put32(p + 1, converted);
        at += 5;
    }
    return at;
}
