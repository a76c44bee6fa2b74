#include "launcher/sha256.h"

#include <cpuid.h>
#include <immintrin.h>

#include <cstring>

namespace {
const uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

bool HasShaInstructions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSE4_1) || !(c & bit_SSSE3))
        return false;
    if (__get_cpuid_max(0, nullptr) < 7)
        return false;
    __cpuid_count(7, 0, a, b, c, d);
    return (b & bit_SHA) != 0;
}

uint32_t Rotate(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

void CompressGeneric(uint32_t* state, const uint8_t* data, size_t count) {
    for (; count > 0; --count, data += 64) {
        uint32_t w[64];
        for (int t = 0; t < 16; ++t)
            w[t] = uint32_t(data[4 * t]) << 24 | uint32_t(data[4 * t + 1]) << 16 | uint32_t(data[4 * t + 2]) << 8 |
                   data[4 * t + 3];
        for (int t = 16; t < 64; ++t) {
            uint32_t s0 = Rotate(w[t - 15], 7) ^ Rotate(w[t - 15], 18) ^ (w[t - 15] >> 3);
            uint32_t s1 = Rotate(w[t - 2], 17) ^ Rotate(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int t = 0; t < 64; ++t) {
            uint32_t t1 = h + (Rotate(e, 6) ^ Rotate(e, 11) ^ Rotate(e, 25)) + ((e & f) ^ (~e & g)) + kRound[t] + w[t];
            uint32_t t2 = (Rotate(a, 2) ^ Rotate(a, 13) ^ Rotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

// Four rounds per step with the SHA extensions; the state is kept as the
// instructions want it, ABEF and CDGH.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithInstructions(uint32_t* state,
                                                                          const uint8_t* data,
                                                                          size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
    for (; count > 0; --count, data += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i w[4];
        for (int i = 0; i < 16; ++i) {
            __m128i words;
            if (i < 4) {
                words = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteSwap);
            } else {
                __m128i sum = _mm_sha256msg1_epu32(w[i & 3], w[(i - 3) & 3]);
                sum = _mm_add_epi32(sum, _mm_alignr_epi8(w[(i - 1) & 3], w[(i - 2) & 3], 4));
                words = _mm_sha256msg2_epu32(sum, w[(i - 1) & 3]);
            }
            w[i & 3] = words;
            __m128i input = _mm_add_epi32(words, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRound + 4 * i)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, input);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(input, 0x0E));
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}
}  // namespace

Sha256::Sha256(bool forceGeneric)
    : m_state{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19},
      m_instructions(!forceGeneric && HasShaInstructions()) {}

void Sha256::Compress(const uint8_t* blocks, size_t count) {
    if (m_instructions)
        CompressWithInstructions(m_state, blocks, count);
    else
        CompressGeneric(m_state, blocks, count);
}

void Sha256::Add(const void* data, size_t bytes) {
    auto* in = static_cast<const uint8_t*>(data);
    m_total += bytes;
    if (m_filled > 0) {
        size_t take = bytes < 64 - m_filled ? bytes : 64 - m_filled;
        std::memcpy(m_block + m_filled, in, take);
        m_filled += take;
        in += take;
        bytes -= take;
        if (m_filled < 64)
            return;
        Compress(m_block, 1);
        m_filled = 0;
    }
    Compress(in, bytes / 64);
    in += bytes / 64 * 64;
    m_filled = bytes % 64;
    std::memcpy(m_block, in, m_filled);
}

std::string Sha256::HexDigest() {
    uint64_t bits = m_total * 8;
    uint8_t pad[72] = {0x80};
    size_t padBytes = (m_filled < 56 ? 56 : 120) - m_filled;
    for (int i = 0; i < 8; ++i)
        pad[padBytes + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    Add(pad, padBytes + 8);
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint32_t word : m_state)
        for (int shift = 28; shift >= 0; shift -= 4)
            text += digits[(word >> shift) & 15];
    return text;
}
