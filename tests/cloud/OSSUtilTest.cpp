// The object-storage calls: the tool's argument to the byte, and real
// transfers through dep3 to the test service.

#include "cloud/OSSUtil.h"

#include "cloud/CloudFixture.h"
#include "storage/Config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using tavrin::test::CloudFixture;

// Expected values from sha1sum and base64 over the same UTF-8 text.
TEST(OSSUtilArgument, SignatureAndFieldsAreExact)
{
    const struct {
        const char *clientId, *localPath, *objectName;
        bool get;
        const char *expected;
    } cases[] = {
        // The feedback example: client c1, archive N, digest over c1|/tmp/N|Nc1.
        {"c1", "/tmp/c1-20240102-03:04:05.tar.gz", "c1-20240102-03:04:05.tar.gz", false,
         "c1|L3RtcC9jMS0yMDI0MDEwMi0wMzowNDowNS50YXIuZ3o=|YzEtMjAyNDAxMDItMDM6MDQ6MDUudGFyLmd6|"
         "3cf30f84bd4d08a9a7e74ee510239ebee45333fc"},
        {"客户", "/缓存/图.png", "广告/图.png", true,
         "客户|L+e8k+WtmC/lm74ucG5n|5bm/5ZGKL+Wbvi5wbmc=|48ea3522a57f2b74c6729a8ae1efe1cce5e3f243|get"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(OSSUtil::argument(QString::fromUtf8(c.clientId), QString::fromUtf8(c.localPath),
                                    QString::fromUtf8(c.objectName), c.get),
                  QString::fromUtf8(c.expected));
    }
}

class OSSUtilTransfer : public CloudFixture
{
};

TEST_F(OSSUtilTransfer, UploadAndDownloadGoThroughDep3)
{
    const QString local = config::fileDir + QStringLiteral("/c1-20240102-03:04:05.tar.gz");
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes.append(char(i * 7));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    OSSUtil::UploadLogFile(QStringLiteral("c1"), local, QStringLiteral("c1-20240102-03:04:05.tar.gz"));
    bool found = false;
    EXPECT_EQ(store().get("c1-20240102-03:04:05.tar.gz", &found), bytes);
    EXPECT_TRUE(found);

    const QString back = config::fileDir + QStringLiteral("/back.bin");
    OSSUtil::GetImageFile(QStringLiteral("c1-20240102-03:04:05.tar.gz"), back);
    QFile got(back);
    ASSERT_TRUE(got.open(QIODevice::ReadOnly));
    EXPECT_EQ(got.readAll(), bytes);
    EXPECT_EQ(store().transfers(), QStringList({"PUT c1-20240102-03:04:05.tar.gz", "GET c1-20240102-03:04:05.tar.gz"}));
}

// Neither call reports; a missing object or a missing tool leaves no file.
TEST_F(OSSUtilTransfer, FailuresLeaveNoFile)
{
    const QString target = config::fileDir + QStringLiteral("/missing.png");
    OSSUtil::GetImageFile(QStringLiteral("missing.png"), target);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_EQ(QDir(config::fileDir).entryList({QStringLiteral("missing.png*")}, QDir::Files), QStringList());

    ASSERT_TRUE(store().put("there.png", "picture"));
    QFile::remove(OSSUtil::toolPath());
    OSSUtil::GetImageFile(QStringLiteral("there.png"), target);
    EXPECT_FALSE(QFileInfo::exists(target));
}

} // namespace
