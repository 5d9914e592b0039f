#include "delivery/ConversionBudget.h"

#include <qpdf/QPDF.hh>

#include <QFileInfo>

#include <algorithm>
#include <exception>

namespace delivery {

namespace {

constexpr qint64 kBaseMs = 30000;
constexpr qint64 kPerPageMs = 5000;
constexpr qint64 kMaxMs = 3600 * 1000;
constexpr qint64 kBytesPerPage = 1 << 20;

} // namespace

int pdfPageCount(const QString &path)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(QFileInfo(path).absoluteFilePath().toStdString().c_str());
        return static_cast<int>(pdf.getAllPages().size());
    } catch (const std::exception &) {
        return 0;
    }
}

int conversionBudgetMs(int pages, qint64 bytes)
{
    const qint64 bySize = (std::max<qint64>(bytes, 0) + kBytesPerPage - 1) / kBytesPerPage;
    const qint64 units = std::max<qint64>(std::max(pages, 0), bySize);
    return static_cast<int>(std::min(kBaseMs + units * kPerPageMs, kMaxMs));
}

int conversionBudgetMs(const QString &path)
{
    return conversionBudgetMs(pdfPageCount(path), QFileInfo(path).size());
}

} // namespace delivery
