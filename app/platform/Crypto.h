#pragma once
// DES-ECB with zero padding, framed as base64: the cipher of the protected
// files and of the log messages. Both functions are thread-safe.

#include <string>

// Base64 of the DES-ECB cipher text of `plain`; the last partial block is
// padded with zero bytes. Only the first 8 bytes of `key` count (shorter keys
// are padded with zero bytes).
std::string des_encrypt_str(const std::string &plain, const std::string &key);

// The deciphered bytes of the base64 text `cipher`, padding included.
std::string des_decrypt_str(const std::string &cipher, const std::string &key);

namespace util {

// Standard base64 (RFC 4648) with "=" padding and no line breaks.
std::string b64encode(const std::string &bytes);

// Decodes base64 text, skipping carriage returns and line feeds.
std::string b64decode(const std::string &text);

} // namespace util
