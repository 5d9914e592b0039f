#include "platform/OsInfo.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(OsInfo, ReadsTheThreeFieldsAndRecognisesUos)
{
    const struct {
        const char *content;
        const char *name;
        const char *pretty;
        const char *version;
        bool uos;
    } cases[] = {
        {"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\n",
         "Debian GNU/Linux", "Debian GNU/Linux 12 (bookworm)", "12 (bookworm)", false},
        {"NAME=UOS\nPRETTY_NAME=UOS 20\nVERSION=20\n", "UOS", "UOS 20", "20", true},
        {"# comment\nNAME=\"uos\"\n", "uos", "", "", true},
        {"NAME='Uos'\nVERSION=\"1, 2\"\n", "Uos", "", "1, 2", true},
        {"NAME=\"Deepin\"\n", "Deepin", "", "", false},
        {"", "", "", "", false},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        const QString path = dir.filePath("os-release");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.content);
        f.close();
        const OSReleaseInfo info = util::osInfo(path);
        EXPECT_EQ(info.name, c.name) << c.content;
        EXPECT_EQ(info.prettyName, c.pretty) << c.content;
        EXPECT_EQ(info.version, c.version) << c.content;
        EXPECT_EQ(util::osCurrentSystem(path), c.uos) << c.content;
    }
    EXPECT_EQ(util::osInfo(dir.filePath("missing")).name, "");
    EXPECT_FALSE(util::osCurrentSystem(dir.filePath("missing")));
}

} // namespace
