#pragma once
// The web console's cryptography, all from libsodium: password hashes (argon2id with the
// interactive limits, crypto_pwhash_str) and random session ids.

#include <string>
#include <string_view>

namespace vantora {

// The crypto_pwhash_str text of `password`; empty when hashing failed (libsodium not usable,
// out of memory).
std::string HashWebPassword(std::string_view password);

// True when `password` matches `hash` (a crypto_pwhash_str text). An empty or malformed hash
// matches nothing. Takes tens of milliseconds and 64 MiB: call it off the GUI thread.
bool VerifyWebPassword(const std::string& hash, std::string_view password);

// 32 random bytes as base64url without padding: 43 characters. Empty when libsodium is not usable.
std::string NewSessionId();

}  // namespace vantora
