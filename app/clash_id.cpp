// Version 5 UUIDs through OpenSSL's SHA-1: the hash of the namespace's 16 bytes followed by the
// name, cut to 16 bytes, with the version and variant bits set as RFC 4122 prescribes.
#include "app/clash_id.h"

#include <openssl/evp.h>

#include <array>
#include <stdexcept>
#include <string>

namespace hk {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::array<unsigned char, 16> UuidBytes(std::string_view text) {
    if (!IsUuidText(text))
        throw std::invalid_argument("not a UUID: " + std::string(text));
    std::array<unsigned char, 16> bytes{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '-')
            continue;
        bytes[n / 2] = static_cast<unsigned char>(bytes[n / 2] << 4 | HexValue(text[i]));
        ++n;
    }
    return bytes;
}

std::string UuidText(const unsigned char* bytes) {
    static constexpr char cDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(36);
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += cDigits[bytes[i] >> 4];
        text += cDigits[bytes[i] & 0xF];
    }
    return text;
}

} // namespace

bool IsUuidText(std::string_view text) {
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? text[i] != '-' : HexValue(text[i]) < 0)
            return false;
    }
    return true;
}

std::string NameBasedUuid(std::string_view namespaceUuid, std::string_view name) {
    std::array<unsigned char, 16> ns = UuidBytes(namespaceUuid);
    std::string message(reinterpret_cast<const char*>(ns.data()), ns.size());
    message.append(name);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(message.data(), message.size(), digest, &length, EVP_sha1(), nullptr) != 1 ||
        length < 16)
        throw std::runtime_error("SHA-1 is not available");
    digest[6] = static_cast<unsigned char>((digest[6] & 0x0F) | 0x50);
    digest[8] = static_cast<unsigned char>((digest[8] & 0x3F) | 0x80);
    return UuidText(digest);
}

std::string ClashId(std::string_view identity) {
    return NameBasedUuid(cClashIdNamespace, identity);
}

} // namespace hk
