#include "service/TestService.h"

#include "storage/Config.h"

#include <curl/curl.h>
#include <json/reader.h>
#include <json/writer.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrin::test {

namespace {

constexpr int kStartTimeoutMs = 30000;

Json::Value parseJson(const std::string &text)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors))
        return Json::Value();
    return value;
}

std::size_t collect(char *data, std::size_t size, std::size_t count, void *out)
{
    static_cast<std::string *>(out)->append(data, size * count);
    return size * count;
}

} // namespace

bool TestService::start(const QStringList &certNames)
{
    stop();
    m_dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/tavrin-service-XXXXXX"));
    if (!m_dir->isValid()) {
        m_error = QStringLiteral("no temporary directory");
        return false;
    }
    QStringList args{QStringLiteral("-m"), QStringLiteral("service.server"), QStringLiteral("--state-dir"),
                     m_dir->path(), QStringLiteral("--exit-on-stdin-eof")};
    if (!certNames.isEmpty())
        args << QStringLiteral("--cert-names") << certNames.join(QLatin1Char(','));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PYTHONPATH"), QStringLiteral(TAVRIN_SOURCE_DIR "/tests"));
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(env);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Standard input stays open while this object lives: if the test dies, the service ends too.
    m_process->start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process->waitForStarted(kStartTimeoutMs)) {
        m_error = QStringLiteral("python3 did not start: ") + m_process->errorString();
        stop();
        return false;
    }
    const QString infoPath = m_dir->filePath(QStringLiteral("service.json"));
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(infoPath)) {
        if (m_process->state() != QProcess::Running || waited.elapsed() > kStartTimeoutMs) {
            m_error = QStringLiteral("the test service did not come up");
            stop();
            return false;
        }
        m_process->waitForReadyRead(50);
    }
    QFile file(infoPath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot read ") + infoPath;
        stop();
        return false;
    }
    const Json::Value info = parseJson(file.readAll().toStdString());
    m_url = info["url"].asString();
    m_controlUrl = info["control_url"].asString();
    m_ca = QString::fromStdString(info["ca"].asString());
    m_otherCa = QString::fromStdString(info["other_ca"].asString());
    m_port = info["port"].asInt();
    return !m_url.empty();
}

void TestService::stop()
{
    if (m_process) {
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(10000)) {
            m_process->kill();
            m_process->waitForFinished(10000);
        }
        m_process.reset();
    }
    m_dir.reset();
    m_url.clear();
    m_controlUrl.clear();
}

void TestService::useForProgram() const
{
    Itf::_itf_url = m_url;
    config::serviceCA = m_ca;
}

Json::Value TestService::control(const char *method, const std::string &what, const std::string &body)
{
    std::unique_ptr<CURL, void (*)(CURL *)> handle(curl_easy_init(), curl_easy_cleanup);
    if (!handle || m_controlUrl.empty())
        return Json::Value();
    const std::string url = m_controlUrl + what;
    std::string answer;
    curl_easy_setopt(handle.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle.get(), CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(handle.get(), CURLOPT_CUSTOMREQUEST, method);
    if (std::string(method) != "GET") {
        curl_easy_setopt(handle.get(), CURLOPT_POSTFIELDS, body.data());
        curl_easy_setopt(handle.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    }
    curl_easy_setopt(handle.get(), CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(handle.get(), CURLOPT_WRITEDATA, &answer);
    if (curl_easy_perform(handle.get()) != CURLE_OK)
        return Json::Value();
    return parseJson(answer);
}

bool TestService::script(const std::string &endpoint, const Json::Value &replies, const Json::Value &defaultReply)
{
    Json::Value desc(Json::objectValue);
    desc["endpoint"] = endpoint;
    desc["replies"] = replies.isArray() ? replies : Json::Value(Json::arrayValue);
    if (!defaultReply.isNull())
        desc["default"] = defaultReply;
    return control("POST", "script", Json::writeString(Json::StreamWriterBuilder(), desc))["ok"].asBool();
}

bool TestService::queue(const std::string &endpoint, const std::string &reply)
{
    Json::Value replies(Json::arrayValue);
    replies.append(reply);
    return script(endpoint, replies);
}

bool TestService::reset()
{
    return control("POST", "reset", "{}")["ok"].asBool();
}

Json::Value TestService::requests(const std::string &endpoint)
{
    std::string what = "requests";
    if (!endpoint.empty())
        what += "?endpoint=" + endpoint; // endpoint names need no escaping
    return control("GET", what)["requests"];
}

Json::Value TestService::stats()
{
    return control("GET", "stats");
}

Json::Value TestService::decrypt(const std::string &envelope)
{
    return control("POST", "decrypt", envelope);
}

std::string TestService::unreachableUrl()
{
    // A port that was free a moment ago; nothing of ours listens there.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    int port = 9;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &length) == 0)
        port = ntohs(addr.sin_port);
    if (fd >= 0)
        ::close(fd);
    return "https://127.0.0.1:" + std::to_string(port) + "/tavrin/itf/";
}

} // namespace tavrin::test
