// Values the program writes to config.ini: kept there when the tool directory
// is writable (root, tests), in the user's own file when it is not (a normal
// user on an installed system), and read back with the user's file first.

#include "storage/Config.h"
#include "storage/Settings.h"

#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

class Settings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(config::fileDir.startsWith("/tmp/tavrin-test-")) << config::fileDir.toStdString();
        QDir(config::fileDir).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(config::binDir));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        qputenv("USER", "alice");
        QSettings shared(config::iniPath(), QSettings::IniFormat);
        shared.setValue("Common/ServiceUrl", "https://127.0.0.1:4443/");
        shared.setValue("ModelUsage/SHARP MX-3071", 3);
        shared.sync();
        ASSERT_EQ(shared.status(), QSettings::NoError);
    }
    void TearDown() override
    {
        ::chmod(QFile::encodeName(config::binDir).constData(), 0755);
        QDir(config::fileDir).removeRecursively();
    }

    QByteArray sharedBytes() const
    {
        QFile f(config::iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir home;
};

TEST_F(Settings, WritableToolDirectoryKeepsEverythingInConfigIni)
{
    ASSERT_TRUE(config::setIniValue("Common/FirstRun", 0));
    ASSERT_TRUE(config::setIniValue("ModelUsage/SHARP MX-3071", 4));
    EXPECT_FALSE(QFileInfo::exists(config::userIniPath()));
    QSettings shared(config::iniPath(), QSettings::IniFormat);
    EXPECT_EQ(shared.value("Common/FirstRun").toInt(), 0);
    EXPECT_EQ(config::iniValue("ModelUsage/SHARP MX-3071", 0).toInt(), 4);
    EXPECT_EQ(config::userIniPath(), home.path() + "/" + QCoreApplication::applicationName() + "/alice_config.ini");
}

// Returns 0, or the number of the first check that failed (the caller may be
// a forked child that can only report an exit code).
int checksForUserWithoutWriteAccess(const QByteArray &sharedBefore, const QString &sharedPath)
{
    if (QFileInfo(config::binDir).isWritable())
        return 1;
    if (config::iniValue("Common/FirstRun", 1).toInt() != 1)
        return 2;
    if (!config::setIniValue("Common/FirstRun", 0))
        return 3;
    if (config::iniValue("Common/FirstRun", 1).toInt() != 0)
        return 4;
    // A counter starts from the shared value and goes on in the user's file.
    if (config::iniValue("ModelUsage/SHARP MX-3071", 0).toInt() != 3)
        return 5;
    if (!config::setIniValue("ModelUsage/SHARP MX-3071", 4) || config::iniValue("ModelUsage/SHARP MX-3071").toInt() != 4)
        return 6;
    QFile shared(sharedPath);
    if (!shared.open(QIODevice::ReadOnly) || shared.readAll() != sharedBefore)
        return 7;
    if (!QFileInfo::exists(config::userIniPath()))
        return 8;
    config::is_first_run = 1;
    config::load();
    if (config::is_first_run != 0)
        return 9;
    if (Itf::_itf_url != "https://127.0.0.1:4443/")
        return 10;
    return 0;
}

TEST_F(Settings, UserWithoutWriteAccessToTheToolDirectoryKeepsOwnValues)
{
    const QByteArray before = sharedBytes();
    ASSERT_FALSE(before.isEmpty());
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(config::binDir).constData(), 0555), 0);
        EXPECT_EQ(checksForUserWithoutWriteAccess(before, config::iniPath()), 0);
        return;
    }
    // As installed: the tool directory is root's, config.ini is writable by all.
    for (const QString &dir : {config::fileDir, config::binDir})
        ASSERT_EQ(::chmod(QFile::encodeName(dir).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(config::iniPath()).constData(), 0666), 0);
    ASSERT_EQ(::chown(QFile::encodeName(home.path()).constData(), kNobody, kNobody), 0);
    EXPECT_EXIT(
        {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(100);
            ::_exit(checksForUserWithoutWriteAccess(before, config::iniPath()));
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
