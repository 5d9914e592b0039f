// The service client against the loopback test service: envelope, payloads,
// replies, transport failures and the checking of the service's certificate.

#include "cloud/Itf.h"

#include "platform/Crypto.h"
#include "platform/EncConst.h"
#include "service/ServiceFixture.h"

#include <QFile>

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <thread>
#include <vector>

namespace {

using tavrin::test::ServiceFixture;
using tavrin::test::TestService;

Json::Value replies(std::initializer_list<Json::Value> items)
{
    Json::Value out(Json::arrayValue);
    for (const Json::Value &item : items)
        out.append(item);
    return out;
}

Json::Value reply(const char *body, int status = 200, bool drop = false)
{
    Json::Value r(Json::objectValue);
    r["body"] = body;
    r["status"] = status;
    r["drop"] = drop;
    return r;
}

std::string caseName(const char *text)
{
    std::string name;
    for (const char *c = text; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

TEST(ServiceKey, EmbeddedKeyIsTheTestServicesPublicKey)
{
    QFile pem(QStringLiteral(TAVRIN_SOURCE_DIR "/tests/fixtures/service/service_public_key.pem"));
    ASSERT_TRUE(pem.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray::fromStdString(EncConst::PUBKEY()).trimmed(), pem.readAll().trimmed());
}

// 245 bytes is the most one PKCS#1 v1.5 block of a 2048-bit key carries.
TEST(Envelope, ChunksOf245BytesGiveOneBlockEach)
{
    const struct {
        std::size_t plain;
        std::size_t cipher;
    } cases[] = {{0, 0}, {1, 256}, {245, 256}, {246, 512}, {490, 512}, {491, 768}};
    for (const auto &c : cases) {
        const std::string body = Itf::_encryptPub(std::string(c.plain, 'Q'));
        EXPECT_EQ(util::b64decode(body).size(), c.cipher) << c.plain << " bytes";
        EXPECT_EQ(body.find_first_of("\r\n"), std::string::npos);
    }
}

class EnvelopeService : public ServiceFixture
{
};

TEST_F(EnvelopeService, ServiceDecryptsOneAndTwoBlocks)
{
    // Bytes that differ at every position, so a lost or reordered chunk shows.
    std::string plain;
    for (int i = 0; i < 246; ++i)
        plain += static_cast<char>('A' + i % 26);
    for (std::size_t size : {std::size_t(245), std::size_t(246)}) {
        const Json::Value answer = service().decrypt(Itf::_encryptPub(plain.substr(0, size)));
        EXPECT_EQ(answer["blocks"].asUInt(), size == 245 ? 1u : 2u) << answer.toStyledString();
        EXPECT_EQ(util::b64decode(answer["plain_b64"].asString()), plain.substr(0, size));
    }
}

// A whole request whose base64 text is 244 bytes (one block) and 248 (two):
// base64 comes in groups of four, so these are the lengths around the 245-byte edge.
TEST_F(EnvelopeService, RequestsAroundTheBlockEdgeArrive)
{
    std::string oneBlockId;
    std::string twoBlockId;
    for (std::size_t n = 1; n < 400 && (oneBlockId.empty() || twoBlockId.empty()); ++n) {
        Json::Value payload(Json::objectValue);
        payload["deviceId"] = std::string(n, 'd');
        const std::size_t length = util::b64encode(payload.toStyledString()).size();
        if (length == 244)
            oneBlockId = std::string(n, 'd');
        if (length == 248)
            twoBlockId = std::string(n, 'd');
    }
    ASSERT_FALSE(oneBlockId.empty());
    ASSERT_FALSE(twoBlockId.empty());
    EXPECT_EQ(Itf::RemoveDevice(oneBlockId), "OK:");
    EXPECT_EQ(Itf::RemoveDevice(twoBlockId), "OK:");
    const Json::Value got = service().requests("license/removeDevice");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0]["blocks"].asInt(), 1);
    EXPECT_EQ(got[1]["blocks"].asInt(), 2);
    EXPECT_EQ(got[0]["payload"]["deviceId"].asString(), oneBlockId);
    EXPECT_EQ(got[1]["payload"]["deviceId"].asString(), twoBlockId);
}

class ItfEndpoints : public ServiceFixture
{
};

TEST_F(ItfEndpoints, PayloadsAreStyledJsonWithTheirMembers)
{
    Printer p;
    p.deviceId = QStringLiteral("3f1c2b7e-0d4a-4c55-9a1e-7b2f6c8d9e01");
    p.deviceName = QString::fromUtf8("财务室打印机");
    p.deviceModel = QStringLiteral("bizhub C300i");
    p.m_modified_time = 1702000000123;
    config::clientId = QStringLiteral("a0b1c2d3-e4f5-4a6b-8c7d-9e0f1a2b3c4d");

    EXPECT_EQ(Itf::AddDevice(p), "OK:");
    EXPECT_EQ(Itf::RemoveDevice(""), "OK:");
    EXPECT_EQ(Itf::UploadStatisticsDeviceModel(p.deviceId, p.deviceModel), "OK:");
    EXPECT_EQ(Itf::Feedback("{\n\t\"description\" : \"paper jam\"\n}\n"), "OK:received");
    EXPECT_EQ(Itf::CheckVersion(), "OK:1.3.0.3,NO,tavrin_1.3.0.3_amd64.deb");

    const Json::Value got = service().requests();
    ASSERT_EQ(got.size(), 5u);
    for (const Json::Value &r : got)
        EXPECT_FALSE(r["rejected"].asBool()) << r["error"].asString();
    EXPECT_EQ(got[0]["endpoint"].asString(), "license/addDevice");
    EXPECT_EQ(got[0]["payload"], p.toJson());
    EXPECT_EQ(got[0]["plain"].asString(), p.toJson().toStyledString());
    EXPECT_EQ(got[0]["payload"]["deviceName"].asString(), "财务室打印机");

    Json::Value removal(Json::objectValue);
    removal["deviceId"] = "";
    EXPECT_EQ(got[1]["payload"], removal);

    Json::Value usage(Json::objectValue);
    usage["deviceId"] = p.deviceId.toStdString();
    usage["deviceModel"] = "bizhub C300i";
    EXPECT_EQ(got[2]["endpoint"].asString(), "license/uploadStatisticsDeviceModel");
    EXPECT_EQ(got[2]["payload"], usage);

    EXPECT_EQ(got[3]["plain"].asString(), "{\n\t\"description\" : \"paper jam\"\n}\n");
    EXPECT_EQ(got[4]["payload"]["clientId"].asString(), "a0b1c2d3-e4f5-4a6b-8c7d-9e0f1a2b3c4d");
    EXPECT_EQ(got[4]["payload"].size(), 1u);
}

// The reply text is handed back unchanged whatever it says and whatever the HTTP status.
TEST_F(ItfEndpoints, RepliesComeBackAsTheyAre)
{
    ASSERT_TRUE(service().script("license/addDevice",
                                 replies({"OK:", "FAIL:DeviceNotExist", reply("OK:anyway", 500), "中文回复"})));
    for (const char *expected : {"OK:", "FAIL:DeviceNotExist", "OK:anyway", "中文回复"})
        EXPECT_EQ(Itf::AddDevice(Printer()), QString::fromUtf8(expected));
}

TEST_F(ItfEndpoints, AdvertisementIsTheJsonAfterOk)
{
    ASSERT_TRUE(service().script("license/advertisement",
                                 replies({"OK:[{\"adId\":\"a1\"}] // the list", "FAIL:NoAds", "OK:not json", "OK:"})));
    const Json::Value list = Itf::Advertisement();
    ASSERT_TRUE(list.isArray());
    EXPECT_EQ(list[0]["adId"].asString(), "a1");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Itf::Advertisement().isNull()) << i;
}

// Transport failures come back as "cerr:<library text>, code:<n>".
struct Failure {
    const char *what;
    Json::Value reply; // scripted; null: nothing listens
    const char *expected;
};

void PrintTo(const Failure &row, std::ostream *os)
{
    *os << row.what;
}

const Failure kFailures[] = {
    {"nothing listens", Json::Value(), "cerr:Couldn't connect to server, code:7"},
    {"dropped without answer", reply("", 200, true), "cerr:Server returned nothing (no headers, no data), code:52"},
};

class ItfFailures : public ServiceFixture, public ::testing::WithParamInterface<Failure>
{
};

TEST_P(ItfFailures, BecomeACerrReply)
{
    const Failure &c = GetParam();
    if (c.reply.isNull())
        Itf::_itf_url = TestService::unreachableUrl();
    else
        ASSERT_TRUE(service().script("*", replies({}), c.reply));
    EXPECT_EQ(Itf::AddDevice(Printer()), c.expected);
    EXPECT_EQ(Itf::RemoveDevice("d"), c.expected);
    EXPECT_EQ(Itf::CheckVersion(), c.expected);
    EXPECT_TRUE(Itf::Advertisement().isNull());
}

INSTANTIATE_TEST_SUITE_P(Transport, ItfFailures, ::testing::ValuesIn(kFailures),
                         [](const auto &info) { return caseName(info.param.what); });

TEST_F(ItfEndpoints, ReqReportsCodeAndLeavesPartialOutput)
{
    std::string out = "stale";
    std::string err;
    long status = 0;
    const int code = Itf::_ReqWithHeader(TestService::unreachableUrl() + "license/addDevice", {"X-Test: 1"}, "body",
                                         out, err, status, 5);
    EXPECT_EQ(code, 7);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "cerr:Couldn't connect to server, code:7");

    err.clear();
    ASSERT_TRUE(service().queue("license/addDevice", "OK:fine"));
    EXPECT_TRUE(
        Itf::Req(service().url() + "license/addDevice", Itf::_envelope(Json::Value(Json::objectValue)), out, err, 30));
    EXPECT_EQ(out, "OK:fine");
    EXPECT_EQ(err, "");
    EXPECT_TRUE(Itf::_bcurl_init);
}

// Requests from several threads at once, each with its own handle.
TEST_F(ItfEndpoints, ConcurrentRequestsEachGetTheirAnswer)
{
    constexpr int kThreads = 6;
    std::vector<QString> answers(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&answers, i] { answers[i] = Itf::RemoveDevice("device-" + std::to_string(i)); });
    for (std::thread &t : threads)
        t.join();
    for (const QString &a : answers)
        EXPECT_EQ(a, "OK:");
    EXPECT_EQ(service().requests("license/removeDevice").size(), static_cast<unsigned>(kThreads));
}

// Without peer checking anyone on the path could answer for the service.
class ServiceTrust : public ServiceFixture
{
};

TEST_F(ServiceTrust, ConfiguredCaIsAcceptedUnderEitherName)
{
    EXPECT_EQ(Itf::AddDevice(Printer()), "OK:");
    Itf::_itf_url = "https://localhost:" + std::to_string(service().port()) + "/tavrin/itf/";
    EXPECT_EQ(Itf::AddDevice(Printer()), "OK:");
    EXPECT_EQ(service().requests().size(), 2u);
}

TEST_F(ServiceTrust, UntrustedCertificatesAreRefused)
{
    const struct {
        const char *what;
        QString ca;
        const char *expected;
    } cases[] = {
        {"system CAs only", QString(), "cerr:SSL peer certificate or SSH remote key was not OK, code:60"},
        {"an unrelated CA", service().otherCa(), "cerr:SSL peer certificate or SSH remote key was not OK, code:60"},
        {"a CA file that is missing", QStringLiteral("/nonexistent/ca.pem"),
         "cerr:Problem with the SSL CA cert (path? access rights?), code:77"},
    };
    for (const auto &c : cases) {
        config::serviceCA = c.ca;
        EXPECT_EQ(Itf::AddDevice(Printer()), c.expected) << c.what;
    }
    EXPECT_EQ(service().requests().size(), 0u);
    EXPECT_GE(service().stats()["tls_errors"].asInt(), 2);
}

TEST(ServiceTrustHostName, CertificateForAnotherNameIsRefused)
{
    TestService other;
    ASSERT_TRUE(other.start({QStringLiteral("service.invalid")})) << other.error().toStdString();
    other.useForProgram();
    EXPECT_EQ(Itf::AddDevice(Printer()), "cerr:SSL peer certificate or SSH remote key was not OK, code:60");
    EXPECT_EQ(other.requests().size(), 0u);
}

} // namespace
