#pragma once
// What every window test needs: QString in gtest messages, the compiled-in
// resources, waiting on the event loop, screenshots.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QString>
#include <QTest>
#include <QWidget>

#include <functional>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

// The compiled-in pictures and catalogues (a static library's resources need
// this once; Q_INIT_RESOURCE cannot stand inside a namespace).
inline void initTavrinResources()
{
    Q_INIT_RESOURCE(tavrin);
}

namespace tavrin::test {

// Runs the event loop until `done` holds or `timeoutMs` passed (a bound for
// network work, not a speed check). True when it held.
inline bool waitFor(const std::function<bool()> &done, int timeoutMs = 120000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// build/screenshots/<name>.png; the window is laid out and painted first.
inline bool saveScreenshot(QWidget *window, const QString &name)
{
    const QString dir = QStringLiteral(TAVRIN_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    window->show();
    QTest::qWait(50);
    return window->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace tavrin::test
