#include "launcher/branch_filter.h"

// Only operands within 16 MiB of the instruction are converted (high byte 00
// or FF, as almost all real calls are), and the result is kept in that form
// modulo 2^25. After an E8/E9 that is not converted, the next three bytes are
// passed over: a conversion there would change the byte this one was judged
// by. So the decoder finds exactly the instructions the encoder converted,
// without any side information.
size_t ConvertBranches(uint8_t* data, size_t size, uint64_t position, bool encoding) {
    size_t at = 0;
    while (at + 5 <= size) {
        uint8_t opcode = data[at];
        uint8_t high = data[at + 4];
        if (opcode != 0xE8 && opcode != 0xE9) {
            ++at;
            continue;
        }
        if (high != 0x00 && high != 0xFF) {
            at += 4;
            continue;
        }
        uint32_t operand = static_cast<uint32_t>(data[at + 1]) | static_cast<uint32_t>(data[at + 2]) << 8 |
                           static_cast<uint32_t>(data[at + 3]) << 16 | static_cast<uint32_t>(high) << 24;
        uint32_t next = static_cast<uint32_t>(position + at + 5);
        uint32_t converted = (encoding ? operand + next : operand - next) & 0x01FFFFFF;
        if (converted & 0x01000000)
            converted |= 0xFF000000;
        for (int i = 0; i < 4; ++i)
            data[at + 1 + i] = static_cast<uint8_t>(converted >> (8 * i));
        at += 5;
    }
    return at;
}
