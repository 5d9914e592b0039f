#pragma once
// Helpers shared by the intake tests: files in a temporary spool directory and
// the deciphered messages of the application log.

#include "intake/Job.h"
#include "intake/JobOption.h"
#include "platform/Crypto.h"
#include "platform/EncConst.h"
#include "platform/RLog.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace intaketest {

inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// The committed one-page PDF, with binary bytes and a CR LF in its header.
inline QByteArray fixturePdf()
{
    const QByteArray pdf = readBytes(QStringLiteral(TAVRIN_SOURCE_DIR "/tests/fixtures/intake/minimal.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-")) << "fixture minimal.pdf missing";
    return pdf;
}

// An option block as the queue's driver writes it, around the given lines.
inline QByteArray optionBlock(const std::vector<std::string> &lines)
{
    QByteArray block("%KWPDF\n");
    for (const auto &line : lines)
        block += QByteArray::fromStdString(line) + '\n';
    block += "%KWPDF_END\n";
    return block;
}

// The application log opened in a fresh directory for one test; the messages
// come back deciphered, in the order they were written.
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
            // "<date> <time> INFO  [tid] [function@line] <message>"
            const auto fn = line.find("] [");
            const auto msg = fn == std::string::npos ? fn : line.find("] ", fn + 3);
            if (msg == std::string::npos) {
                ADD_FAILURE() << "unexpected log line: " << line;
                continue;
            }
            std::string text = des_decrypt_str(line.substr(msg + 2), EncConst::LOCAL_KEY);
            while (!text.empty() && text.back() == '\0')
                text.pop_back();
            out.push_back(text);
        }
        return out;
    }

private:
    QTemporaryDir dir_;
};

} // namespace intaketest

inline void PrintTo(const Job &job, std::ostream *os)
{
    *os << "{jobFile=" << job.jobFile.toStdString() << " color=" << job.color.toStdString()
        << " duplex=" << job.duplex.toStdString() << " copy=" << job.copy.toStdString()
        << " collate=" << job.collate.toStdString() << " tray=" << job.tray.toStdString()
        << " size=" << job.size.toStdString() << " name=" << job.name.toStdString()
        << " staple=" << job.staple.toStdString() << " holePunch=" << job.holePunch.toStdString()
        << " holeNumber=" << job.holeNumber.toStdString() << " booklet=" << job.booklet.toStdString()
        << " quality=" << job.quality.toStdString() << " finishOutSize=" << job.finishOutSize.toStdString()
        << " printAsImage=" << job.printAsImage << "}";
}

namespace kestrelware {

inline bool operator==(const JobOption &a, const JobOption &b)
{
    return a.colorMode == b.colorMode && a.duplex == b.duplex && a.inputSlot == b.inputSlot && a.staple == b.staple &&
           a.fold == b.fold && a.punch == b.punch && a.numPunchHoles == b.numPunchHoles && a.booklet == b.booklet &&
           a.collate == b.collate && a.finishOutSize == b.finishOutSize && a.imageQuality == b.imageQuality &&
           a.printAsImage == b.printAsImage;
}

inline void PrintTo(const JobOption &o, std::ostream *os)
{
    *os << "{colorMode=" << o.colorMode << " duplex=" << o.duplex << " inputSlot=" << o.inputSlot
        << " staple=" << o.staple << " fold=" << o.fold << " punch=" << o.punch << " numPunchHoles=" << o.numPunchHoles
        << " booklet=" << o.booklet << " collate=" << o.collate << " finishOutSize=" << o.finishOutSize
        << " imageQuality=" << o.imageQuality << " printAsImage=" << o.printAsImage << "}";
}

} // namespace kestrelware
