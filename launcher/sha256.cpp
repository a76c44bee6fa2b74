#include "launcher/sha256.h"

Sha256::Sha256() {
    m_ok = ::CryptAcquireContextW(&m_provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) &&
           ::CryptCreateHash(m_provider, CALG_SHA_256, 0, 0, &m_hash);
}

Sha256::~Sha256() {
    if (m_hash)
        ::CryptDestroyHash(m_hash);
    if (m_provider)
        ::CryptReleaseContext(m_provider, 0);
}

bool Sha256::Add(const void* data, DWORD bytes) {
    m_ok = m_ok && ::CryptHashData(m_hash, static_cast<const BYTE*>(data), bytes, 0);
    return m_ok;
}

std::string Sha256::HexDigest() {
    BYTE digest[32];
    DWORD size = sizeof digest;
    if (!m_ok || !::CryptGetHashParam(m_hash, HP_HASHVAL, digest, &size, 0) || size != sizeof digest)
        return {};
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (BYTE b : digest) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}
