// Relative call and jump targets in x86 and x64 code made absolute before
// compression, and relative again after: the same function called from many
// places then gives the same bytes each time, which compresses 5 to 10 %
// better. Plain C++, shared by the packer and the launcher.
#pragma once
#include <cstddef>
#include <cstdint>

// Converts the E8/E9 operands in data[0, size) whose instruction lies wholly in
// the range, and with ripRelative (x64 code) the RIP-relative displacements of
// calls through the import table, loads, stores and address loads too;
// position is the offset of data[0] in its file. Returns where it stopped: the
// bytes from there on (at most 6) need the data after them, or, at the end of
// the file, stay as they are.
size_t ConvertBranches(uint8_t* data, size_t size, uint64_t position, bool encoding, bool ripRelative = false);
