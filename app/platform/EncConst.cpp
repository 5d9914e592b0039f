#include "platform/EncConst.h"

#include "platform/Crypto.h"

#include <cstring>

namespace EncConst {

const char LOCAL_KEY[] = "Kw#tv9Lq";

namespace {

// Deciphers the held key; never stored in plain form.
const char kPublicKeyKey[] = "Tv#q9Lw!";

// The service's public key, enciphered like a protected file under kPublicKeyKey.
const char kPublicKeyCipher[] =
    "suE+xnIjFyhNxeuZ7pGSTpx83qUOyC/k0qotlbnGj+Y0vxlea9xYxkptBea3C26z1AHME1KZrU4c"
    "LC+qZR+tmZHqk5wtI5mZY5X4SVBOmT9bAgVbrp9zTVYZn1ZMebiYWJWcMDxHhIDG5Nxme4YSUWlW"
    "dJezFrnww7ImOYOjygg0iWrl5JgBC8Op5k0K6juAhHhwhAoC1vHN0D0OnHxYssJubLxUbi8cBXdB"
    "kWlr7fleIZXwdMcmJaNzJGTCiS0K+Jn0aDgwMKXYq+KcW+yN77o78wtrvUgnvNXE30yBsXSQzu82"
    "UuwyoPUVLPiBx7tRTgzlpXkPu6TtmlURm3vOdobdqoOY2ELR3X66P/DtuaBQ4m8dd4a6jzFNHQPj"
    "/yCWwdNaO7tShkcYqiyexvi4JKudVC1cG6vT8Jii9xwTtCR9fgW20FmfLLCmswkwAeWieOWoBT8m"
    "4rKzRz+r5xgQ3VQ83RAKcL12AjWswc5LJQdf1cTO72rdpqbZ1JPz5kHUTWx678cFbhx24CNJa25G"
    "JaH2NPuyXY71jzPQI/ShcVIFD1OhFVRoViBkcPPe8tSQ3EOT7mbcMyqcfN6lDsgv5OWvUFlnSYRA";

} // namespace

std::string PUBKEY()
{
    // A function-local static is filled exactly once, even when two threads
    // make their first service request at the same moment.
    static const std::string key = [] {
        std::string plain = des_decrypt_str(kPublicKeyCipher, kPublicKeyKey);
        plain.resize(std::strlen(plain.c_str()));
        return plain;
    }();
    return key;
}

} // namespace EncConst
