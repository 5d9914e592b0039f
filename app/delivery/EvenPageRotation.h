#pragma once

#include <QString>

namespace delivery {

// Writes a copy of the PDF at input to output with every even page turned
// by 180 degrees (qpdf's job interface, in-process). False with a reason
// when the copy could not be made.
bool rotateEvenPages(const QString &input, const QString &output, QString &error);

} // namespace delivery
