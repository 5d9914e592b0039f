#pragma once
// Small helpers shared by the discovery tests.

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}
QT_END_NAMESPACE

namespace tavrin::test {

// A gtest case name from a row's description.
inline std::string caseName(const char *text)
{
    std::string name;
    for (const char *c = text; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name.empty() ? std::string("empty") : name;
}

template <typename Row> std::string rowName(const ::testing::TestParamInfo<Row> &info)
{
    return caseName(info.param.what);
}

} // namespace tavrin::test
