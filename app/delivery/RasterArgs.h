#pragma once
// Argument lists of the converters. Pure functions; the raster paths run them.

#include <QString>
#include <QStringList>

namespace delivery {

// Pantum printers print long-edge duplex as short-edge on a copy whose even
// pages are turned.
struct PwgDuplex {
    QStringList args;
    bool rotateEvenPages = false;
};
PwgDuplex pwgDuplex(bool pantum, const QString &duplex);
QStringList gsUrfDuplex(const QString &duplex);

enum class RasterFormat { PwgRaster, Urf };

// Ghostscript at 600 dpi, 8 bits, A4 device size: input -> input + ".dest".
// colorSpace 19 (sRGB) for "color", 18 (sGray) otherwise.
QStringList gsRasterArgs(RasterFormat format, const QString &input, const QStringList &duplexArgs, const QString &size,
                         const QString &color);

// Ghostscript rendering every page into a picture and writing a PDF of the
// pictures: 300 dpi, 24-bit colour for "color", 8-bit grey otherwise.
QStringList imagePdfArgs(const QString &input, const QString &output, const QString &color);

// The dep4 line for "sh -c", every path quoted:
// DEP4 -i application/pdf -m image/urf -p PPD INPUT > INPUT.dest
QString dep4CommandLine(const QString &dep4, const QString &ppd, const QString &input);

// Program and arguments as one line, for the log.
QString commandText(const QString &program, const QStringList &args);

} // namespace delivery
