// DES-ECB with zero padding and the base64 framing, against known answers.

#include "platform/AtomicFile.h"
#include "platform/Crypto.h"
#include "platform/EncConst.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::string unhex(const std::string &hex)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

TEST(Base64, Rfc4648Vectors)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto &[plain, encoded] : cases) {
        EXPECT_EQ(util::b64encode(plain), encoded);
        EXPECT_EQ(util::b64decode(encoded), plain);
    }
    const std::string binary("\x00\xff\xfe\x80\x7f", 5);
    EXPECT_EQ(util::b64decode(util::b64encode(binary)), binary);
}

TEST(Base64, LongTextHasNoLineBreaksAndDecodesWithThem)
{
    std::string data;
    for (int i = 0; i < 1000; ++i)
        data += static_cast<char>(i * 7);
    const std::string encoded = util::b64encode(data);
    EXPECT_EQ(encoded.find('\n'), std::string::npos);

    std::string wrapped;
    for (std::size_t i = 0; i < encoded.size(); i += 76)
        wrapped += encoded.substr(i, 76) + "\r\n";
    EXPECT_EQ(util::b64decode(wrapped), data);
}

TEST(Des, KnownAnswer)
{
    // The classic worked example of DES: key 133457799BBCDFF1, block 0123456789ABCDEF.
    const std::string key = unhex("133457799BBCDFF1");
    const std::string cipher = util::b64decode(des_encrypt_str(unhex("0123456789ABCDEF"), key));
    EXPECT_EQ(cipher, unhex("85E813540F0AB405"));
}

TEST(Des, PaddingAndLengths)
{
    const std::string key = "Kw#tv9Lq";
    EXPECT_EQ(des_encrypt_str("", key), "");
    EXPECT_EQ(des_decrypt_str("", key), "");
    EXPECT_EQ(des_encrypt_str("12345678", key).size(), 12u);
    EXPECT_EQ(util::b64decode(des_encrypt_str("123456789", key)).size(), 16u);
    EXPECT_EQ(des_encrypt_str("123456789", key).size(), 24u);
    for (const std::string text : {"a", "12345678", "123456789", "塔文 printer list"}) {
        std::string padded = text;
        padded.append((8 - text.size() % 8) % 8, '\0');
        EXPECT_EQ(des_decrypt_str(des_encrypt_str(text, key), key), padded);
    }
}

TEST(Des, OnlyTheFirstEightKeyBytesCount)
{
    EXPECT_EQ(des_encrypt_str("secret text", "ABCDEFGH"), des_encrypt_str("secret text", "ABCDEFGHxyz"));
    EXPECT_NE(des_encrypt_str("secret text", "ABCDEFGH"), des_encrypt_str("secret text", "ABCDEFGJ"));
    EXPECT_EQ(des_encrypt_str("secret text", "abc"), des_encrypt_str("secret text", std::string("abc\0\0\0\0\0", 8)));
}

TEST(Des, DamagedTrailingBlockIsStillDeciphered)
{
    const std::string key = "k";
    const std::string cipher = util::b64decode(des_encrypt_str("0123456789abcdef", key));
    const std::string damaged = util::b64encode(cipher.substr(0, 11));
    EXPECT_EQ(des_decrypt_str(damaged, key).size(), 16u);
    EXPECT_EQ(des_decrypt_str(damaged, key).substr(0, 8), "01234567");
}

TEST(EncConst, PublicKeyIsTheServiceKey)
{
    QFile pem(TAVRIN_SOURCE_DIR "/tests/fixtures/service/service_public_key.pem");
    ASSERT_TRUE(pem.open(QIODevice::ReadOnly));
    EXPECT_EQ(EncConst::PUBKEY(), pem.readAll().toStdString());
    EXPECT_EQ(EncConst::PUBKEY(), EncConst::PUBKEY());
}

TEST(AtomicFile, ReplacesContentAndKeepsMode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("list");
    ASSERT_TRUE(util::writeFileAtomically(path, "one"));
    EXPECT_EQ(QFileInfo(path).permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(util::writeFileAtomically(path, "two"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "two");
    EXPECT_TRUE(QFileInfo(path).permissions() & QFile::ReadGroup);
    EXPECT_FALSE(util::writeFileAtomically(dir.filePath("missing/dir/file"), "x"));
}

} // namespace
