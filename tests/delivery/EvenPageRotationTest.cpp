// The Pantum copy: even pages turned by 180 degrees, odd pages untouched.

#include "DeliverySupport.h"

#include "delivery/EvenPageRotation.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

using namespace deliverytest;

namespace {

// The /Rotate of each page of the PDF at path.
std::vector<int> rotations(const QString &path)
{
    QPDF pdf;
    pdf.processFile(path.toStdString().c_str());
    std::vector<int> out;
    for (QPDFObjectHandle page : pdf.getAllPages()) {
        QPDFObjectHandle rotate = page.getKey("/Rotate");
        out.push_back(rotate.isInteger() ? static_cast<int>(rotate.getIntValue()) : 0);
    }
    return out;
}

TEST(EvenPageRotation, TurnsEvenPagesOnly)
{
    for (int pages : {1, 2, 5}) {
        QTemporaryDir dir;
        const QString in = dir.filePath("doc.tmp");
        ASSERT_TRUE(makePdf(in, pages));
        const QByteArray before = readBytes(in);
        QString error;
        ASSERT_TRUE(delivery::rotateEvenPages(in, in + ".rotate", error)) << error.toStdString();
        std::vector<int> expected;
        for (int p = 1; p <= pages; ++p)
            expected.push_back(p % 2 == 0 ? 180 : 0);
        EXPECT_EQ(rotations(in + ".rotate"), expected) << pages << " pages";
        EXPECT_EQ(readBytes(in), before) << "the document itself is not changed";
    }
}

TEST(EvenPageRotation, UnreadablePdfIsAFailure)
{
    QTemporaryDir dir;
    const QString in = dir.filePath("bad.tmp");
    ASSERT_TRUE(writeBytes(in, "%PDF-1.4\nthis is no pdf\n"));
    QString error;
    EXPECT_FALSE(delivery::rotateEvenPages(in, in + ".rotate", error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(delivery::rotateEvenPages(dir.filePath("missing"), dir.filePath("out"), error));
}

} // namespace
