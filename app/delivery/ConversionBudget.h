#pragma once
// How long a converter may run: a fixed part and a part per page, so a long
// document is not cut off at a fixed limit while a hung converter still ends.

#include <QString>
#include <QtGlobal>

namespace delivery {

// Pages of the PDF at path; 0 when it cannot be read.
int pdfPageCount(const QString &path);

// 30 s + 5 s per page, counting at least one page per MiB of input (for
// documents whose pages cannot be counted), at most one hour.
int conversionBudgetMs(int pages, qint64 bytes);

// The budget for converting the PDF at path.
int conversionBudgetMs(const QString &path);

} // namespace delivery
