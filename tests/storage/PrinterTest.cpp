// The printer record: its stored JSON form, how entries are read back, and the delivery-mode table.

#include "storage/Printer.h"

#include <json/reader.h>

#include <QVariant>

#include <gtest/gtest.h>

#include <ostream>

#include <cctype>
#include <memory>
#include <string>

namespace {

Json::Value parse(const std::string &text)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors)) << errors << text;
    return value;
}

Printer samplePrinter()
{
    Printer p;
    p.deviceId = "3f1c2b7e-0d4a-4c55-9a1e-7b2f6c8d9e01";
    p.clientId = "a0b1c2d3-e4f5-4a6b-8c7d-9e0f1a2b3c4d";
    p.deviceName = "办公室 HP";
    p.deviceIpAddress = "192.0.2.15";
    p.deviceBrandCode = "05";
    p.deviceModel = "HP LaserJet Pro M404dn";
    p.deviceSerialNumber = "PHB8K12345";
    p.colorMode = "Mono";
    p.mediaSourceSupported = "auto,tray-1,manual";
    p.documentFormatSupported = "application/pdf,image/urf";
    p.deviceDocType = "dirpdf";
    p.isFav = "Y";
    p.m_modified_time = 1702000000123;
    p.m_ipp_version = "VERSION 2.0";
    return p;
}

std::string caseName(const char *text)
{
    std::string name;
    for (const char *c = text; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name.empty() ? std::string("empty") : name;
}

void expectSame(const Printer &a, const Printer &b)
{
    EXPECT_EQ(a.toJson(), b.toJson());
}

// The styled form is what the printer-list file holds; members sorted by name.
TEST(PrinterJson, StyledFormIsGolden)
{
    const std::string expected = "{\n"
                                 "\t\"clientId\" : \"a0b1c2d3-e4f5-4a6b-8c7d-9e0f1a2b3c4d\",\n"
                                 "\t\"colorMode\" : \"Mono\",\n"
                                 "\t\"deviceBrandCode\" : \"05\",\n"
                                 "\t\"deviceDocType\" : \"dirpdf\",\n"
                                 "\t\"deviceId\" : \"3f1c2b7e-0d4a-4c55-9a1e-7b2f6c8d9e01\",\n"
                                 "\t\"deviceIpAddress\" : \"192.0.2.15\",\n"
                                 "\t\"deviceModel\" : \"HP LaserJet Pro M404dn\",\n"
                                 "\t\"deviceName\" : \"\\u529e\\u516c\\u5ba4 HP\",\n"
                                 "\t\"deviceSerialNumber\" : \"PHB8K12345\",\n"
                                 "\t\"documentFormatSupported\" : \"application/pdf,image/urf\",\n"
                                 "\t\"isFav\" : \"Y\",\n"
                                 "\t\"m_ipp_version\" : \"VERSION 2.0\",\n"
                                 "\t\"m_modified_time\" : 1702000000123,\n"
                                 "\t\"mediaSourceSupported\" : \"auto,tray-1,manual\"\n"
                                 "}\n";
    const std::string actual = samplePrinter().toJson().toStyledString();
    ASSERT_EQ(actual, expected);
}

TEST(PrinterJson, DefaultHasFourteenEmptyMembers)
{
    const Json::Value json = Printer().toJson();
    ASSERT_EQ(json.size(), 14u);
    for (const std::string &name : json.getMemberNames()) {
        if (name == "m_modified_time") {
            EXPECT_TRUE(json[name].isIntegral());
            EXPECT_EQ(json[name].asInt64(), 0);
        } else {
            EXPECT_TRUE(json[name].isString()) << name;
            EXPECT_EQ(json[name].asString(), "") << name;
        }
    }
}

TEST(PrinterJson, RoundTripKeepsEveryField)
{
    const Printer original = samplePrinter();
    Printer copy;
    copy.fromJson(parse(original.toJson().toStyledString()));
    expectSame(copy, original);
    EXPECT_EQ(copy.deviceName, QString::fromUtf8("办公室 HP"));
}

// How fromJson fills a record that may already hold values (a re-read into a used object).
struct FromJsonCase {
    const char *what;
    const char *json;
    bool startFromSample;   // apply to a record holding samplePrinter()'s values
    qint64 modifiedTime;    // expected afterwards
    const char *ippVersion; // expected afterwards
    const char *deviceName; // expected afterwards
};

void PrintTo(const FromJsonCase &row, std::ostream *os)
{
    *os << row.what;
}

const FromJsonCase kFromJsonCases[] = {
    {"older entry on a default record", R"({"deviceName":"A"})", false, 0, "", "A"},
    {"older entry keeps the previous time and version", R"({"deviceName":"A"})", true, 1702000000123, "VERSION 2.0",
     "A"},
    {"null members keep the previous values", R"({"deviceName":"A","m_modified_time":null,"m_ipp_version":null})", true,
     1702000000123, "VERSION 2.0", "A"},
    {"present members replace them", R"({"deviceName":"A","m_modified_time":5,"m_ipp_version":"VERSION 1.0"})", true, 5,
     "VERSION 1.0", "A"},
    {"an empty version is a value, not a gap", R"({"m_ipp_version":""})", true, 1702000000123, "", ""},
    {"missing string members give empty fields", R"({})", true, 1702000000123, "VERSION 2.0", ""},
    {"a time written as a real number", R"({"m_modified_time":1702000000123.0})", false, 1702000000123, "", ""},
    {"a time that is no number keeps the previous value", R"({"m_modified_time":"soon"})", true, 1702000000123,
     "VERSION 2.0", ""},
    {"numbers where text belongs are read as text", R"({"deviceName":42})", false, 0, "", "42"},
    {"objects where text belongs read as empty", R"({"deviceName":{"a":1},"m_ipp_version":[1]})", true, 1702000000123,
     "", ""},
    {"not an object at all", R"([1,2])", true, 1702000000123, "VERSION 2.0", ""},
};

class PrinterFromJson : public ::testing::TestWithParam<FromJsonCase>
{
};

TEST_P(PrinterFromJson, Fills)
{
    const FromJsonCase &c = GetParam();
    Printer p = c.startFromSample ? samplePrinter() : Printer();
    p.fromJson(parse(c.json));
    EXPECT_EQ(p.m_modified_time, c.modifiedTime);
    EXPECT_EQ(p.m_ipp_version, QString::fromUtf8(c.ippVersion));
    EXPECT_EQ(p.deviceName, QString::fromUtf8(c.deviceName));
    // The twelve string members never keep a previous value.
    EXPECT_TRUE(p.deviceIpAddress.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, PrinterFromJson, ::testing::ValuesIn(kFromJsonCases),
                         [](const auto &info) { return caseName(info.param.what); });

// Keys, labels and positions of the delivery modes; keys match exactly.
struct ModeCase {
    const char *key;
    const char *label;
    int position;
};

void PrintTo(const ModeCase &row, std::ostream *os)
{
    *os << row.key;
}

const ModeCase kModeCases[] = {
    {"dirpdf", "直送模式", 0},   {"pdf", "普通模式", 1},      {"pwg", "兼容模式一", 2},     {"ap_urf", "兼容模式二", 3},
    {"gs_urf", "兼容模式三", 4}, {"Unknow", "暂不持支持", 5}, {"", "暂不持支持", 5},        {"DIRPDF", "暂不持支持", 5},
    {"Pdf", "暂不持支持", 5},    {" pdf", "暂不持支持", 5},   {"unknown", "暂不持支持", 5},
};

class DeliveryModes : public ::testing::TestWithParam<ModeCase>
{
};

TEST_P(DeliveryModes, LabelAndPosition)
{
    const ModeCase &c = GetParam();
    EXPECT_EQ(DeliveryMode::label(QString::fromUtf8(c.key)), QString::fromUtf8(c.label));
    EXPECT_EQ(DeliveryMode::position(QString::fromUtf8(c.key)), c.position);
    EXPECT_EQ(DeliveryMode::labels().at(c.position), QString::fromUtf8(c.label));
}

INSTANTIATE_TEST_SUITE_P(Table, DeliveryModes, ::testing::ValuesIn(kModeCases),
                         [](const auto &info) { return std::to_string(info.index) + "_" + caseName(info.param.key); });

TEST(DeliveryModeList, PositionsGiveKeys)
{
    const QStringList expected{"dirpdf", "pdf", "pwg", "ap_urf", "gs_urf"};
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(DeliveryMode::keyAt(i), expected.at(i));
    for (int outside : {5, 6, -1, 100})
        EXPECT_EQ(DeliveryMode::keyAt(outside), "Unknow") << outside;
    EXPECT_EQ(DeliveryMode::labels().size(), 6);
}

TEST(PrinterMetaType, TravelsInAVariantByName)
{
    Printer::registerMetaType();
    Printer::registerMetaType();
    const int id = QMetaType::type("Printer");
    ASSERT_NE(id, QMetaType::UnknownType);
    EXPECT_EQ(id, qMetaTypeId<Printer>());
    const QVariant v = QVariant::fromValue(samplePrinter());
    expectSame(v.value<Printer>(), samplePrinter());
}

} // namespace
