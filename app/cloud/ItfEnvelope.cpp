#include "cloud/Itf.h"

#include "platform/Crypto.h"
#include "platform/EncConst.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace Itf {

namespace {

// The largest input of one PKCS#1 v1.5 block under a 2048-bit key.
constexpr std::size_t kChunk = 245;

struct BioDeleter {
    void operator()(BIO *bio) const { BIO_free(bio); }
};
struct KeyDeleter {
    void operator()(EVP_PKEY *key) const { EVP_PKEY_free(key); }
};
struct CtxDeleter {
    void operator()(EVP_PKEY_CTX *ctx) const { EVP_PKEY_CTX_free(ctx); }
};

std::string fail()
{
    char text[256] = {};
    ERR_error_string_n(ERR_get_error(), text, sizeof text);
    std::fprintf(stderr, "Error encrypting message: %s\n", text);
    return std::string();
}

} // namespace

std::string _encryptPub(const std::string &plain)
{
    ERR_clear_error();
    const std::string pem = EncConst::PUBKEY();
    std::unique_ptr<BIO, BioDeleter> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    if (!bio)
        return fail();
    std::unique_ptr<EVP_PKEY, KeyDeleter> key(PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr));
    if (!key)
        return fail();
    std::unique_ptr<EVP_PKEY_CTX, CtxDeleter> ctx(EVP_PKEY_CTX_new(key.get(), nullptr));
    if (!ctx || EVP_PKEY_encrypt_init(ctx.get()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) <= 0)
        return fail();

    std::string cipher;
    std::vector<unsigned char> block(static_cast<std::size_t>(EVP_PKEY_get_size(key.get())));
    for (std::size_t pos = 0; pos < plain.size(); pos += kChunk) {
        const std::size_t length = std::min(kChunk, plain.size() - pos);
        std::size_t written = block.size();
        if (EVP_PKEY_encrypt(ctx.get(), block.data(), &written,
                             reinterpret_cast<const unsigned char *>(plain.data() + pos), length) <= 0)
            return fail();
        cipher.append(reinterpret_cast<const char *>(block.data()), written);
    }
    return util::b64encode(cipher);
}

std::string _envelope(const Json::Value &payload)
{
    return _encryptPub(util::b64encode(payload.toStyledString()));
}

} // namespace Itf
