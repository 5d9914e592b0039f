// gtest entry point with a QCoreApplication, so that Qt's standard paths,
// settings and processes behave as in the program.

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrinapp"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
