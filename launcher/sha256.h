// SHA-256, fed piece by piece. Computed here rather than by the system's
// crypto library: with the processor's SHA instructions where it has them, it
// is several times faster, and the download checks every byte it unpacks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class Sha256 {
public:
    // forceGeneric: the plain code even where the SHA instructions exist (tests).
    explicit Sha256(bool forceGeneric = false);

    void Add(const void* data, size_t bytes);
    // 64 lowercase hex digits. Ends the hash: add nothing after it.
    std::string HexDigest();

private:
    void Compress(const uint8_t* blocks, size_t count);

    uint32_t m_state[8];
    uint8_t m_block[64];
    size_t m_filled = 0;
    uint64_t m_total = 0;
    bool m_instructions = false;
};
