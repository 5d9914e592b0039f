#include "intake/ControlParser.h"

#include "intake/PSUtil.h"
#include "platform/RLog.h"
#include "platform/TextUtil.h"

#include <QFile>
#include <QMap>
#include <QStringList>

namespace {

// A control file is a few hundred bytes; anything far bigger is not one of ours.
constexpr qint64 kMaxControlBytes = 1 << 20;

const QString kCollated = QStringLiteral("separate-documents-collated-copies");
const QString kUncollated = QStringLiteral("separate-documents-uncollated-copies");

QString trayFromSlot(const QString &inputSlot)
{
    const QString slot = inputSlot.toLower();
    if (slot == QLatin1String("bypasstray") || slot == QLatin1String("manualfeed"))
        return QStringLiteral("manual");
    if (slot.startsWith(QLatin1String("tray")))
        return QString(slot).insert(4, QLatin1Char('-'));
    return QStringLiteral("auto");
}

// The driver's own colour choice wins when it names one; "Monochrome" is the
// driver's word for grey as well.
bool blockNamesColor(const QString &mode)
{
    return util::iequals(mode, QStringLiteral("color")) || util::iequals(mode, QStringLiteral("monochrome")) ||
           util::iequals(mode, QStringLiteral("Gray"));
}

QString colorFromBlock(const QString &mode)
{
    if (util::iequals(mode, QStringLiteral("Gray")) || util::iequals(mode, QStringLiteral("monochrome")))
        return QStringLiteral("monochrome");
    return QStringLiteral("color");
}

QString duplexFromBlock(int duplex)
{
    if (duplex == 3)
        return QStringLiteral("two-sided-long-edge");
    if (duplex == 2)
        return QStringLiteral("two-sided-short-edge");
    return QStringLiteral("one-sided");
}

// "name=value name=value": pieces with no "=" or several are skipped; a later
// duplicate replaces an earlier one.
QMap<QString, QString> cupsOptions(const QString &text)
{
    QMap<QString, QString> options;
    for (const QString &piece : text.split(QLatin1Char(' '))) {
        const QStringList parts = piece.split(QLatin1Char('='));
        if (parts.size() == 2)
            options.insert(parts[0], parts[1]);
    }
    return options;
}

// KWColorMode in the CUPS options overrides ColorModel when both are given.
QString colorFromCupsOptions(const QMap<QString, QString> &options, const QString &current)
{
    QString color = current;
    const QString model = options.value(QStringLiteral("ColorModel")).toLower();
    if (!model.isEmpty())
        color = (model == QLatin1String("color") || model == QLatin1String("rgb")) ? QStringLiteral("color")
                                                                                   : QStringLiteral("monochrome");
    const QString mode = options.value(QStringLiteral("KWColorMode")).toLower();
    if (!mode.isEmpty())
        color = (mode == QLatin1String("gray") || mode == QLatin1String("monochrome")) ? QStringLiteral("monochrome")
                                                                                       : QStringLiteral("color");
    return color;
}

void applyOptions(const QString &text, QString &documentPath, Job &job)
{
    TLOG("option:" + text);
    kestrelware::JobOption block;
    documentPath = QString::fromStdWString(kestrelware::PSUtil::FilterPdf(documentPath.toStdWString(), block));

    job.tray = trayFromSlot(QString::fromUtf8(block.inputSlot.c_str()));

    const QString colorMode = QString::fromUtf8(block.colorMode.c_str());
    TLOG("ColorModel:" + colorMode);
    job.color = colorFromBlock(colorMode);
    job.duplex = duplexFromBlock(block.duplex);

    job.booklet = QString::fromUtf8(block.booklet.c_str());
    job.staple = QString::fromUtf8(block.staple.c_str());
    job.holePunch = QString::fromUtf8(block.punch.c_str());
    job.holeNumber = QString::fromUtf8(block.numPunchHoles.c_str());
    job.quality = QString::fromUtf8(block.imageQuality.c_str());
    job.finishOutSize = QString::fromUtf8(block.finishOutSize.c_str());
    job.printAsImage = block.printAsImage;

    // Only the presence of the CUPS option counts, whatever its value.
    if (text.contains(QLatin1String("Collate")))
        job.collate = kCollated;
    else
        job.collate = job.booklet.contains(QLatin1Char('0')) ? kUncollated : kCollated;

    const QMap<QString, QString> options = cupsOptions(text);
    job.size = options.value(QStringLiteral("PageSize"));
    if (!blockNamesColor(colorMode))
        job.color = colorFromCupsOptions(options, job.color);
}

void logJob(const Job &job)
{
    TLOG("job booklet: " + job.booklet);
    TLOG("job collate: " + job.collate);
    TLOG("job color: " + job.color);
    TLOG("job copy: " + job.copy);
    TLOG("job duplex: " + job.duplex);
    TLOG("job finishOutSize: " + job.finishOutSize);
    TLOG("job holeNumber: " + job.holeNumber);
    TLOG("job holePunch: " + job.holePunch);
    TLOG("job jobFile: " + job.jobFile);
    TLOG("job name: " + job.name);
    TLOG("job quality: " + job.quality);
    TLOG("job size: " + job.size);
    TLOG("job staple: " + job.staple);
    TLOG("job tray: " + job.tray);
    TLOG(job.printAsImage ? "job printAsImage: Yes" : "job printAsImage: No");
}

} // namespace

Job parseControlFile(const QString &ctrlPath, QString &documentPath)
{
    Job job;
    QFile file(ctrlPath);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QString text = QString::fromUtf8(file.read(kMaxControlBytes));
        TLOG("ctrl filename: " + ctrlPath);
        TLOG("ctrl content:" + text);
        file.close();

        for (const QString &rawLine : text.split(QLatin1Char('\n'))) {
            const QString line = rawLine.trimmed();
            if (line.startsWith(QLatin1String("COPY=")))
                job.copy = line.mid(5);
            else if (line.startsWith(QLatin1String("DOCNAME=")))
                job.name = line.mid(8).replace(QLatin1Char(' '), QLatin1Char('_'));
            else if (line.startsWith(QLatin1String("OPTION=")))
                applyOptions(line.mid(7), documentPath, job);
        }
        QFile::remove(ctrlPath);
    }
    logJob(job);
    return job;
}
