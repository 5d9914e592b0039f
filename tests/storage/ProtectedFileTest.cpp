// The protected-file format: base64 of DES-ECB cipher text, zero padded.

#include "platform/Crypto.h"
#include "platform/EncConst.h"
#include "storage/ProtectedFile.h"

#include <json/value.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ProtectedFile, FileIsOneRunOfBase64OfTheCipherText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("_depC");
    const std::string plain = "{\n   \"clientId\" : \"x\"\n}\n";
    config::strToSecureFile(plain, path);

    const QByteArray stored = readAll(path);
    EXPECT_FALSE(stored.contains('\n'));
    EXPECT_EQ(stored.toStdString(), des_encrypt_str(plain, EncConst::LOCAL_KEY));
    EXPECT_EQ(util::b64decode(stored.toStdString()).size(), (plain.size() + 7) / 8 * 8);

    std::string padded = plain;
    padded.resize((plain.size() + 7) / 8 * 8, '\0');
    EXPECT_EQ(config::strFromSecureFile(path), padded);
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
}

TEST(ProtectedFile, JsonRoundTripAndUnreadableContent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("_depP");
    EXPECT_TRUE(config::loadSecureJson(path).isNull()) << "missing file";
    EXPECT_EQ(config::strFromSecureFile(path), "");

    Json::Value list(Json::arrayValue);
    list.append("塔文");
    config::saveSecureJson(list, path);
    EXPECT_EQ(config::loadSecureJson(path), list);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("bm90IGEgcHJvdGVjdGVkIGZpbGU=");
    f.close();
    EXPECT_TRUE(config::loadSecureJson(path).isNull()) << "content that does not decipher to JSON";
}

TEST(ProtectedFile, FailedWriteKeepsTheOldContent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("_depP");
    config::strToSecureFile("[ \"old\" ]", path);

    // A file-size limit makes the new content fail half-way, like a full disk.
    struct rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    config::strToSecureFile("[ \"" + std::string(4096, 'n') + "\" ]", path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(config::loadSecureJson(path)[0].asString(), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"_depP"}) << "no temporary file left";
}

} // namespace
