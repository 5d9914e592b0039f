// Reading dep1's output: judging an attempt, the version ladder of the
// embedded script, and the attribute parser on output captured from ipptool
// against ippeveprinter.

#include "discovery/IppProbe.h"

#include "DiscoveryTestSupport.h"

#include <QFile>

namespace {

using tavrin::test::rowName;

QString fixture(const char *name)
{
    QFile file(QStringLiteral(TAVRIN_SOURCE_DIR "/tests/fixtures/discovery/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(file.readAll());
}

struct JudgeRow {
    const char *what;
    const char *output;
    bool ok;
    bool versionSupported;
    friend void PrintTo(const JudgeRow &row, std::ostream *os) { *os << row.what; }
};

class JudgeAttemptTest : public ::testing::TestWithParam<JudgeRow>
{
};

TEST_P(JudgeAttemptTest, Judge)
{
    const JudgeRow &row = GetParam();
    EXPECT_EQ(util::is_response_ok(QString::fromUtf8(row.output)), row.ok);
    EXPECT_EQ(util::is_ipp_version_supported(QString::fromUtf8(row.output)), row.versionSupported);
}

const JudgeRow kJudgeRows[] = {
    {"bytes received", "    attr  [PASS]\n        RECEIVED: 8664 bytes in response\n", true, true},
    {"zero bytes", "        RECEIVED: 0 bytes in response\n", false, true},
    {"received without bytes in", "        RECEIVED: 12\n", false, true},
    {"bytes in before received", "bytes in response RECEIVED: 5\n", false, true},
    {"not a number", "RECEIVED: many bytes in response\n", false, true},
    {"nothing", "", false, true},
    {"connection refused", "ipptool: Unable to connect to \"127.0.0.1\" on port 631 - Connection refused\n", false,
     true},
    {"version refused with a response",
     "    attr  [FAIL]\n        RECEIVED: 72 bytes in response\n"
     "        status-code = server-error-version-not-supported (server-error-version-not-supported)\n",
     true, false},
    {"first markers decide", "RECEIVED: 0 bytes in response\nRECEIVED: 99 bytes in response\n", false, true},
};

INSTANTIATE_TEST_SUITE_P(Outputs, JudgeAttemptTest, ::testing::ValuesIn(kJudgeRows), rowName<JudgeRow>);

TEST(IppScriptTest, ResourceHoldsTheAttributeScript)
{
    const QByteArray expected = "{\n"
                                "\tNAME \"attr\"\n"
                                "\tOPERATION get-printer-attributes\n"
                                "\tVERSION 2.0\n"
                                "\tGROUP operation\n"
                                "\tATTR charset attributes-charset utf-8\n"
                                "\tATTR language attributes-natural-language en\n"
                                "\tATTR uri printer-uri $uri\n"
                                "\tATTR keyword requested-attributes all\n"
                                "\tSTATUS successful-ok\n"
                                "\tEXPECT document-format-supported\n"
                                "\tEXPECT printer-make-and-model\n"
                                "\tEXPECT printer-name\n"
                                "\tEXPECT printer-state\n"
                                "\tEXPECT printer-state-reasons\n"
                                "\tEXPECT printer-uri-supported\n"
                                "}\n";
    const QByteArray script = util::ippScriptForAttempt(0);
    EXPECT_EQ(script, expected) << "first difference at byte "
                                << std::mismatch(script.begin(), script.end(), expected.begin(), expected.end()).first -
                                       script.begin();
}

TEST(IppScriptTest, LadderStepsDownOnlyTheVersion)
{
    const QByteArray first = util::ippScriptForAttempt(0);
    const struct {
        int attempt;
        const char *directive;
    } steps[] = {{0, "VERSION 2.0"}, {1, "VERSION 1.1"}, {2, "VERSION 1.0"}};
    for (const auto &step : steps) {
        QByteArray script = util::ippScriptForAttempt(step.attempt);
        EXPECT_EQ(script.count("VERSION"), 1) << step.attempt;
        EXPECT_TRUE(script.contains(step.directive)) << step.attempt;
        EXPECT_EQ(util::ippVersionForAttempt(step.attempt), QString::fromLatin1(step.directive));
        script.replace(step.directive, "VERSION 2.0");
        EXPECT_EQ(script, first) << step.attempt;
    }
}

TEST(IppAttributeParserTest, CapturedIppeveprinterAnswer)
{
    // ipptool -t -v against ippeveprinter -M ACME -m "Laser 500"
    // -f application/pdf,image/pwg-raster,image/urf -s 10,8 -2 "Office 3F".
    const QString output = fixture("ippeve-get-printer-attributes.txt");
    ASSERT_TRUE(util::is_response_ok(output));
    ASSERT_TRUE(util::is_ipp_version_supported(output));

    const DepPrinterAttrs attrs = util::attrsFromIppOutput(output);
    EXPECT_EQ(attrs.printerName, QStringLiteral("Office 3F"));
    EXPECT_EQ(attrs.printerMakeAndModel, QStringLiteral("ACME Laser 500"));
    EXPECT_EQ(attrs.documentFormatSupported,
              QStringLiteral("application/octet-stream,application/pdf,image/pwg-raster,image/urf"));
    EXPECT_EQ(attrs.printColorModeSupported, QStringLiteral("auto,color,monochrome"));
    EXPECT_EQ(attrs.mediaSourceSupported, QStringLiteral("auto,main,photo"));
    EXPECT_TRUE(attrs.ippVersion.isEmpty()); // set by the ladder, not by the parser

    const QMap<QString, QString> values = util::parseIppAttributes(output);
    // Request attributes are echoed first; the response's later line wins.
    EXPECT_EQ(values.value(QStringLiteral("printer-uri")), QStringLiteral("ipp://127.0.0.1:631/"));
    EXPECT_EQ(values.value(QStringLiteral("status-code")), QStringLiteral("successful-ok (successful-ok)"));
    EXPECT_EQ(values.value(QStringLiteral("printer-location")), QString()); // "name (syntax) = " with nothing after
    EXPECT_TRUE(values.contains(QStringLiteral("printer-location")));
}

TEST(IppAttributeParserTest, CapturedVersionRefusal)
{
    // ipptool -t -v with the VERSION 2.0 script against the harness's IPP
    // responder that speaks 1.1 at most.
    const QString output = fixture("responder-version-refused.txt");
    EXPECT_TRUE(util::is_response_ok(output));
    EXPECT_FALSE(util::is_ipp_version_supported(output));
    const DepPrinterAttrs attrs = util::attrsFromIppOutput(output);
    EXPECT_TRUE(attrs.printerName.isEmpty());
    EXPECT_TRUE(attrs.documentFormatSupported.isEmpty());
}

struct ParseRow {
    const char *what;
    const char *line;
    const char *name;
    const char *value;
    friend void PrintTo(const ParseRow &row, std::ostream *os) { *os << row.what; }
};

class IppLineTest : public ::testing::TestWithParam<ParseRow>
{
};

TEST_P(IppLineTest, Parse)
{
    const ParseRow &row = GetParam();
    const QMap<QString, QString> values = util::parseIppAttributes(QString::fromUtf8(row.line));
    if (!row.name) {
        EXPECT_TRUE(values.isEmpty());
        return;
    }
    EXPECT_EQ(values.value(QString::fromUtf8(row.name), QStringLiteral("<missing>")), QString::fromUtf8(row.value));
}

const ParseRow kParseRows[] = {
    {"name with syntax", "        printer-name (nameWithoutLanguage) = Office 3F\n", "printer-name", "Office 3F"},
    {"value keeps later equals signs", "printer-info (textWithoutLanguage) = a=b = c", "printer-info", "a=b = c"},
    {"name without syntax", "status-code = successful-ok", "status-code", "successful-ok"},
    {"line without equals is skipped", "RECEIVED: 8664 bytes in response", nullptr, nullptr},
    {"blanks around the value go", "printer-name (name) =   Lab  \r", "printer-name", "Lab"},
    {"chinese name", "printer-name (nameWithoutLanguage) = 三楼打印机", "printer-name", "三楼打印机"},
    {"last line of a name wins", "printer-name (name) = A\nprinter-name (name) = B", "printer-name", "B"},
};

INSTANTIATE_TEST_SUITE_P(Lines, IppLineTest, ::testing::ValuesIn(kParseRows), rowName<ParseRow>);

} // namespace
