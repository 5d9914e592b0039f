// gtest entry point for the program's libraries.
//
// Each test process runs in a program directory of its own (TAVRIN_FILE_DIR, read
// once when the libraries start): the process re-executes itself with a fresh
// temporary directory and removes it afterwards, so tests never touch an installed
// system and can run in parallel. A QCoreApplication named like the program makes
// Qt's standard paths, settings and processes behave as in the program.

#include <QDir>
#ifdef TAVRIN_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#ifdef TAVRIN_TEST_GUI
// Qt 5.15's offscreen platform plugin never frees its screen; LeakSanitizer would
// fail every window test program at exit (and at test listing) on that alone.
extern "C" __attribute__((used, visibility("default"))) const char *__lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\n"
           "leak:QScreen::QScreen\n"
           "leak:QPlatformScreen::QPlatformScreen\n"
           "leak:QWindowSystemInterface::handleScreenAdded\n";
}
#endif

namespace {

int runInOwnProgramDirectory(char **argv)
{
    char dir[] = "/tmp/tavrin-test-XXXXXX";
    if (!::mkdtemp(dir))
        return 1;
    ::setenv("TAVRIN_FILE_DIR", dir, 1);
    ::setenv("TAVRIN_TEST_CHILD", "1", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv("/proc/self/exe", argv);
        ::_exit(127);
    }
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0) {
    }
    QDir(QString::fromLocal8Bit(dir)).removeRecursively();
    if (pid < 0)
        return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("TAVRIN_TEST_CHILD"))
        return runInOwnProgramDirectory(argv);
    TestApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrinapp"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
