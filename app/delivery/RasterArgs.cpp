#include "delivery/RasterArgs.h"

#include "platform/TextUtil.h"

namespace delivery {

namespace {

const QString kLongEdge = QStringLiteral("two-sided-long-edge");
const QString kShortEdge = QStringLiteral("two-sided-short-edge");

// Ghostscript reads "%d" and the like in an output name as a page number.
QString gsOutputName(const QString &path)
{
    return QString(path).replace(QLatin1Char('%'), QLatin1String("%%"));
}

} // namespace

PwgDuplex pwgDuplex(bool pantum, const QString &duplex)
{
    const QStringList shortEdge = {QStringLiteral("-dDuplex=true"), QStringLiteral("-dTumble=true")};
    if (duplex == kShortEdge)
        return {shortEdge, false};
    if (duplex == kLongEdge) {
        if (pantum)
            return {shortEdge, true};
        return {{QStringLiteral("-dDuplex=true"), QStringLiteral("-dTumble=false")}, false};
    }
    if (pantum)
        return {{}, false};
    return {{QStringLiteral("-dDuplex=false"), QStringLiteral("-dTumble=false")}, false};
}

QStringList gsUrfDuplex(const QString &duplex)
{
    if (duplex == QLatin1String("one-sided"))
        return {};
    return {QStringLiteral("-dDuplex")};
}

QStringList gsRasterArgs(RasterFormat format, const QString &input, const QStringList &duplexArgs, const QString &size,
                         const QString &color)
{
    QStringList args = {QStringLiteral("-dQUIET"),         QStringLiteral("-dPARANOIDSAFER"),
                        QStringLiteral("-dNOPAUSE"),       QStringLiteral("-dBATCH"),
                        QStringLiteral("-dNOINTERPOLATE"), QStringLiteral("-dNOMEDIAATTRS"),
                        QStringLiteral("-dShowAcroForm"),  QStringLiteral("-sstdout=%stderr")};
    // The plain cups device writes CUPS raster; URF needs the device of that name.
    if (format == RasterFormat::PwgRaster)
        args << QStringLiteral("-sDEVICE=cups") << QStringLiteral("-sMediaClass=PwgRaster");
    else
        args << QStringLiteral("-sDEVICE=urf");
    args << QStringLiteral("-r600x600") << QStringLiteral("-dDEVICEWIDTHPOINTS=595")
         << QStringLiteral("-dDEVICEHEIGHTPOINTS=841") << QStringLiteral("-dcupsBitsPerColor=8")
         << QStringLiteral("-dcupsColorOrder=0")
         << QStringLiteral("-dcupsColorSpace=") +
                (color == QLatin1String("color") ? QStringLiteral("19") : QStringLiteral("18"))
         << QStringLiteral("-dcupsBorderlessScalingFactor=0.0000") << QStringLiteral("-dcupsInteger1=1")
         << QStringLiteral("-dcupsInteger2=1") << QStringLiteral("-scupsPageSizeName=") + size
         << QStringLiteral("-I/usr/share/cups/fonts");
    args << duplexArgs;
    args << QStringLiteral("-sOutputFile=") + gsOutputName(input + QStringLiteral(".dest")) << input;
    return args;
}

QStringList imagePdfArgs(const QString &input, const QString &output, const QString &color)
{
    const bool colour = color == QLatin1String("color");
    return {QStringLiteral("-dQUIET"),
            QStringLiteral("-dSAFER"),
            QStringLiteral("-dNOPAUSE"),
            QStringLiteral("-dBATCH"),
            QStringLiteral("-sstdout=%stderr"),
            colour ? QStringLiteral("-sDEVICE=pdfimage24") : QStringLiteral("-sDEVICE=pdfimage8"),
            QStringLiteral("-r300"),
            QStringLiteral("-sOutputFile=") + gsOutputName(output),
            input};
}

QString dep4CommandLine(const QString &dep4, const QString &ppd, const QString &input)
{
    return util::shellQuote(dep4) + QStringLiteral(" -i application/pdf -m image/urf -p ") + util::shellQuote(ppd) +
           QLatin1Char(' ') + util::shellQuote(input) + QStringLiteral(" > ") +
           util::shellQuote(input + QStringLiteral(".dest"));
}

QString commandText(const QString &program, const QStringList &args)
{
    return QStringList(QStringList{program} + args).join(QLatin1Char(' '));
}

} // namespace delivery
