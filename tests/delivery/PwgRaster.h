#pragma once
// Just enough of a PWG raster reader for the tests: each page's header
// fields that delivery sets, and where the ink is (top or bottom half).

#include <QByteArray>
#include <QVector>

namespace deliverytest {

struct RasterPage {
    quint32 duplex = 0, tumble = 0, width = 0, height = 0, bitsPerPixel = 0, colorSpace = 0;
    qint64 inkTop = 0, inkBottom = 0; // dark pixels in the upper and lower half
};

inline quint32 be32(const QByteArray &b, int at)
{
    return (quint32(quint8(b[at])) << 24) | (quint32(quint8(b[at + 1])) << 16) | (quint32(quint8(b[at + 2])) << 8) |
           quint32(quint8(b[at + 3]));
}

// The pages of a PWG raster stream; empty when it is not one or is cut short.
inline QVector<RasterPage> readPwgRaster(const QByteArray &data)
{
    QVector<RasterPage> pages;
    if (!data.startsWith("RaS2"))
        return {};
    int pos = 4;
    while (pos < data.size()) {
        if (pos + 1796 > data.size())
            return {};
        RasterPage page;
        page.duplex = be32(data, pos + 272);
        page.tumble = be32(data, pos + 368);
        page.width = be32(data, pos + 372);
        page.height = be32(data, pos + 376);
        page.bitsPerPixel = be32(data, pos + 388);
        page.colorSpace = be32(data, pos + 400);
        pos += 1796;
        const int bpp = int(page.bitsPerPixel / 8);
        if (bpp < 1 || page.width == 0)
            return {};
        quint32 y = 0;
        while (y < page.height) {
            if (pos >= data.size())
                return {};
            const quint32 repeat = quint8(data[pos++]) + 1u;
            qint64 dark = 0;
            quint32 x = 0;
            while (x < page.width) {
                if (pos >= data.size())
                    return {};
                const int code = quint8(data[pos++]);
                if (code == 128) { // rest of the line blank
                    x = page.width;
                } else if (code < 128) {
                    const quint32 n = quint32(code) + 1;
                    if (pos + bpp > data.size())
                        return {};
                    if (quint8(data[pos]) < 128)
                        dark += n;
                    pos += bpp;
                    x += n;
                } else {
                    const quint32 n = 257u - quint32(code);
                    if (pos + int(n) * bpp > data.size())
                        return {};
                    for (quint32 i = 0; i < n; ++i)
                        dark += quint8(data[pos + int(i) * bpp]) < 128;
                    pos += int(n) * bpp;
                    x += n;
                }
            }
            (y < page.height / 2 ? page.inkTop : page.inkBottom) += dark * repeat;
            y += repeat;
        }
        pages << page;
    }
    return pages;
}

} // namespace deliverytest
