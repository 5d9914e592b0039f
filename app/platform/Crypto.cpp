#include "platform/Crypto.h"

// The low-level DES calls stay available in OpenSSL 3 without the legacy provider.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <array>
#include <cstring>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

DES_key_schedule schedule(const std::string &key)
{
    DES_cblock block{};
    std::memcpy(block, key.data(), std::min<std::size_t>(key.size(), sizeof block));
    DES_key_schedule ks;
    DES_set_key_unchecked(&block, &ks);
    return ks;
}

std::string desEcb(const std::string &input, const std::string &key, int direction)
{
    DES_key_schedule ks = schedule(key);
    std::string output;
    output.reserve((input.size() + 7) / 8 * 8);
    for (std::size_t pos = 0; pos < input.size(); pos += 8) {
        DES_cblock in{};
        DES_cblock out{};
        std::memcpy(in, input.data() + pos, std::min<std::size_t>(8, input.size() - pos));
        DES_ecb_encrypt(&in, &out, &ks, direction);
        output.append(reinterpret_cast<const char *>(out), 8);
    }
    return output;
}

int decodeChar(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return 0;
}

} // namespace

std::string des_encrypt_str(const std::string &plain, const std::string &key)
{
    return util::b64encode(desEcb(plain, key, DES_ENCRYPT));
}

std::string des_decrypt_str(const std::string &cipher, const std::string &key)
{
    return desEcb(util::b64decode(cipher), key, DES_DECRYPT);
}

namespace util {

std::string b64encode(const std::string &bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = (p[i] << 16) | (p[i + 1] << 8) | p[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest == 1) {
        const unsigned v = p[i] << 16;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += "==";
    } else if (rest == 2) {
        const unsigned v = (p[i] << 16) | (p[i + 1] << 8);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += '=';
    }
    return out;
}

std::string b64decode(const std::string &text)
{
    std::string clean;
    clean.reserve(text.size());
    for (char c : text) {
        if (c != '\r' && c != '\n')
            clean += c;
    }
    std::string out;
    out.reserve(clean.size() / 4 * 3);
    for (std::size_t i = 0; i + 1 < clean.size(); i += 4) {
        const unsigned char c0 = clean[i];
        const unsigned char c1 = clean[i + 1];
        const unsigned char c2 = i + 2 < clean.size() ? clean[i + 2] : '=';
        const unsigned char c3 = i + 3 < clean.size() ? clean[i + 3] : '=';
        out += static_cast<char>((decodeChar(c0) << 2) | (decodeChar(c1) >> 4));
        if (c2 != '=')
            out += static_cast<char>(((decodeChar(c1) & 15) << 4) | (decodeChar(c2) >> 2));
        if (c2 != '=' && c3 != '=')
            out += static_cast<char>(((decodeChar(c2) & 3) << 6) | decodeChar(c3));
    }
    return out;
}

} // namespace util
