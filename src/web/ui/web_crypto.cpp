#include "web/ui/web_crypto.h"

#include <sodium.h>

#include <array>

namespace vantora {

namespace {

bool SodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

std::string HashWebPassword(std::string_view password)
{
    if (!SodiumReady())
        return {};
    std::array<char, crypto_pwhash_STRBYTES> hash{};
    if (crypto_pwhash_str(hash.data(), password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        return {};
    return std::string(hash.data());
}

bool VerifyWebPassword(const std::string& hash, std::string_view password)
{
    // libsodium reads the hash up to its terminating zero, within crypto_pwhash_STRBYTES.
    if (!SodiumReady() || hash.empty() || hash.size() >= crypto_pwhash_STRBYTES || hash.find('\0') != std::string::npos)
        return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string NewSessionId()
{
    if (!SodiumReady())
        return {};
    std::array<unsigned char, 32> bytes{};
    randombytes_buf(bytes.data(), bytes.size());
    std::array<char, 64> text{};  // sodium_base64_ENCODED_LEN(32, no padding) is 44 with the zero
    sodium_bin2base64(text.data(), text.size(), bytes.data(), bytes.size(), sodium_base64_VARIANT_URLSAFE_NO_PADDING);
    return std::string(text.data());
}

}  // namespace vantora
