#pragma once
// Helpers shared by the delivery tests: byte comparison with the first
// difference in hex, test PDFs made by Ghostscript, the deciphered log.

#include "platform/Command.h"
#include "platform/Crypto.h"
#include "platform/EncConst.h"
#include "platform/RLog.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << "{";
    for (const QString &s : list)
        *os << " \"" << s.toStdString() << '"';
    *os << " }";
}

namespace deliverytest {

inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QString fixture(const QString &name)
{
    return QStringLiteral(TAVRIN_SOURCE_DIR "/tests/fixtures/delivery/") + name;
}

// Equal bytes, or a failure naming the first differing offset with both bytes in hex.
inline ::testing::AssertionResult sameBytes(const QByteArray &expected, const QByteArray &actual)
{
    const int n = std::min(expected.size(), actual.size());
    int at = 0;
    while (at < n && expected[at] == actual[at])
        ++at;
    if (at == n && expected.size() == actual.size())
        return ::testing::AssertionSuccess();
    char buf[160];
    std::snprintf(buf, sizeof(buf), "first difference at offset %d: expected %s, got %s (lengths %d and %d)", at,
                  at < expected.size() ? QByteArray(1, expected[at]).toHex().constData() : "end",
                  at < actual.size() ? QByteArray(1, actual[at]).toHex().constData() : "end", int(expected.size()),
                  int(actual.size()));
    return ::testing::AssertionFailure() << buf
                                         << "\n--- context: " << actual.mid(std::max(0, at - 40), 80).toStdString();
}

inline bool runGsPdf(const QString &path, const QString &postscript, const char *media)
{
    const auto r = util::runCommand(QStringLiteral("gs"),
                                    {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dNOPAUSE"),
                                     QStringLiteral("-dBATCH"), QStringLiteral("-sPAPERSIZE=") + QLatin1String(media),
                                     QStringLiteral("-sDEVICE=pdfwrite"), QStringLiteral("-o"), path,
                                     QStringLiteral("-c"), postscript});
    return r.ok() && QFile::exists(path);
}

// A PDF of `pages` pages, each showing its number (Ghostscript's pdfwrite).
inline bool makePdf(const QString &path, int pages, const char *media = "a4")
{
    QString ps;
    for (int i = 1; i <= pages; ++i)
        ps += QStringLiteral("/Helvetica findfont 48 scalefont setfont 72 700 moveto (Page %1) show "
                             "72 100 moveto (bottom %1) show showpage ")
                  .arg(i);
    return runGsPdf(path, ps, media);
}

// A4 pages whose only ink is a black band across the top quarter, so a
// raster shows at once whether a page was turned.
inline bool makeTopBandPdf(const QString &path, int pages)
{
    QString ps;
    for (int i = 1; i <= pages; ++i)
        ps += QStringLiteral(
            "newpath 36 640 moveto 559 640 lineto 559 806 lineto 36 806 lineto closepath fill showpage ");
    return runGsPdf(path, ps, "a4");
}

// The application log opened in a fresh directory for one test; the
// messages come back deciphered, in the order they were written.
class AppLog
{
public:
    AppLog()
    {
        EXPECT_TRUE(dir_.isValid());
        EXPECT_TRUE(util::initAppLog(dir_.filePath(QStringLiteral("logs"))));
    }
    ~AppLog() { tavrin::log::shutdown(); }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> out;
        std::ifstream in(dir_.filePath(QStringLiteral("logs/app.log")).toStdString());
        std::string line;
        while (std::getline(in, line)) {
            const auto fn = line.find("] [");
            const auto msg = fn == std::string::npos ? fn : line.find("] ", fn + 3);
            if (msg == std::string::npos)
                continue;
            std::string text = des_decrypt_str(line.substr(msg + 2), EncConst::LOCAL_KEY);
            while (!text.empty() && text.back() == '\0')
                text.pop_back();
            out.push_back(text);
        }
        return out;
    }

    int count(const std::string &message) const
    {
        int n = 0;
        for (const auto &m : messages())
            n += m == message;
        return n;
    }

private:
    QTemporaryDir dir_;
};

} // namespace deliverytest
