#include "sha1.h"

#include <windows.h>
// After windows.h, which it needs.
#include <wincrypt.h>

#include <fstream>

#include "release_folder.h"

namespace quillaby::tool {
namespace {

struct Provider {
    HCRYPTPROV handle = 0;
    ~Provider() {
        if (handle != 0) {
            CryptReleaseContext(handle, 0);
        }
    }
};

struct Hash {
    HCRYPTHASH handle = 0;
    ~Hash() {
        if (handle != 0) {
            CryptDestroyHash(handle);
        }
    }
};

std::string hex(const BYTE* bytes, DWORD length) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (DWORD i = 0; i < length; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

FileDigest failure(const std::string& what) {
    FileDigest digest;
    digest.error = what;
    return digest;
}

FileDigest systemFailure(const std::string& what) {
    return failure(what + ": " + lastErrorDescription());
}

}  // namespace

FileDigest digestFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return failure("it cannot be opened for reading");
    }
    Provider provider;
    if (!CryptAcquireContextA(&provider.handle, nullptr, nullptr, PROV_RSA_FULL,
                              CRYPT_VERIFYCONTEXT)) {
        return systemFailure("no crypto provider");
    }
    Hash hash;
    if (!CryptCreateHash(provider.handle, CALG_SHA1, 0, 0, &hash.handle)) {
        return systemFailure("no SHA-1 from the crypto provider");
    }
    FileDigest digest;
    char buffer[64 * 1024];
    while (file) {
        file.read(buffer, sizeof buffer);
        const auto read = static_cast<DWORD>(file.gcount());
        if (read > 0 &&
            !CryptHashData(hash.handle, reinterpret_cast<const BYTE*>(buffer), read, 0)) {
            return systemFailure("hashing failed");
        }
        digest.size += read;
    }
    if (!file.eof()) {
        return failure("reading it failed");
    }
    BYTE value[20] = {};
    DWORD length = sizeof value;
    if (!CryptGetHashParam(hash.handle, HP_HASHVAL, value, &length, 0)) {
        return systemFailure("hashing failed");
    }
    digest.sha1 = hex(value, length);
    digest.ok = true;
    return digest;
}

}  // namespace quillaby::tool
