// The packer's side of the layout, apart so that the launcher does not carry it.
#include "launcher/packed_payload.h"

namespace {
void Put(std::string* out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<char>(value >> (8 * i)));
}
}  // namespace

std::string WritePackedHead(const std::vector<PackedFile>& files, const std::vector<PackedBlock>& blocks) {
    std::string table;
    for (const PackedFile& file : files) {
        Put(&table, file.name.size(), 2);
        Put(&table, file.x86 ? kX86Filter : file.x64 ? kX64Filter : 0, 2);
        Put(&table, file.size, 8);
        if (file.x86 || file.x64) {
            Put(&table, file.lists.branches, 4);
            Put(&table, file.lists.calls, 4);
            Put(&table, file.lists.imports, 4);
            Put(&table, file.lists.references, 4);
        }
        table += file.name;
    }
    for (const PackedBlock& block : blocks) {
        Put(&table, static_cast<uint8_t>(block.method), 1);
        table.append(reinterpret_cast<const char*>(block.props), kLzmaPropsSize);
        Put(&table, 0, 2);
        Put(&table, block.unpackedSize, 4);
        Put(&table, block.packedSize, 4);
    }
    std::string head(kPackMagic, 8);
    Put(&head, kPackVersion, 4);
    Put(&head, files.size(), 4);
    Put(&head, blocks.size(), 4);
    Put(&head, table.size(), 4);
    return head + table;
}
