// The release script's packer, run on the build machine:
//   payload_packer <payload out> <media folder> <name>...
// PACK_BLOCK_MIB chooses another block size, PACK_FILTER=0 leaves programs
// unfiltered (for measurements).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tools/payload_packer/payload_writer.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <payload out> <media folder> <name>...\n", argv[0]);
        return 2;
    }
    std::vector<PackInput> files;
    for (int i = 3; i < argc; ++i) {
        std::ifstream in(std::string(argv[2]) + "/" + argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        files.push_back({argv[i], std::string(std::istreambuf_iterator<char>(in), {})});
    }
    PackOptions options;
    if (const char* mib = std::getenv("PACK_BLOCK_MIB"))
        options.blockSize = static_cast<uint32_t>(std::atoi(mib)) << 20;
    if (const char* filter = std::getenv("PACK_FILTER"))
        options.filterPrograms = std::atoi(filter) != 0;
    PackReport report;
    std::string payload = PackPayload(files, options, &report);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(payload.data(), static_cast<std::streamsize>(payload.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::fprintf(
        stderr,
        "packed: %llu files compressed (%llu programs filtered, %llu bytes, %llu blocks), %llu stored "
        "(%llu bytes, %llu blocks); payload %zu bytes\n",
        static_cast<unsigned long long>(report.compressedFiles), static_cast<unsigned long long>(report.programFiles),
        static_cast<unsigned long long>(report.compressedBytes), static_cast<unsigned long long>(report.lzmaBlocks),
        static_cast<unsigned long long>(report.storedFiles), static_cast<unsigned long long>(report.storedBytes),
        static_cast<unsigned long long>(report.storedBlocks), payload.size());
    return 0;
}
