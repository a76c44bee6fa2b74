// SHA-256 through the system's CryptoAPI, fed piece by piece.
#pragma once
#include <windows.h>

#include <wincrypt.h>

#include <string>

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    // False once anything has failed; the digest is then empty.
    bool Add(const void* data, DWORD bytes);
    // 64 lowercase hex digits; empty on failure.
    std::string HexDigest();

private:
    HCRYPTPROV m_provider = 0;
    HCRYPTHASH m_hash = 0;
    bool m_ok = false;
};
