#pragma once
// Runs the loopback test service (python3 -m service.server) for a C++ test
// and scripts it through its plain-HTTP control port.

#include <json/value.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace tavrin::test {

class TestService
{
public:
    TestService() = default;
    ~TestService() { stop(); }
    TestService(const TestService &) = delete;
    TestService &operator=(const TestService &) = delete;

    // Starts the service with a fresh CA and a server certificate for
    // `certNames` (default 127.0.0.1 and localhost). False, with error(), when
    // it did not come up.
    bool start(const QStringList &certNames = {});
    // Stops it and removes its state directory; also done by the destructor.
    void stop();
    QString error() const { return m_error; }

    std::string url() const { return m_url; }     // https://127.0.0.1:<port>/tavrin/itf/
    QString ca() const { return m_ca; }           // the CA that signed its certificate
    QString otherCa() const { return m_otherCa; } // an unrelated CA
    int port() const { return m_port; }

    // Points the program's service client at this service and its CA.
    void useForProgram() const;

    // The control API. Replies are texts ("OK:") or objects
    // {"body", "status", "delay", "drop"}; endpoint "*" means all six.
    bool script(const std::string &endpoint, const Json::Value &replies, const Json::Value &defaultReply = {});
    bool queue(const std::string &endpoint, const std::string &reply);
    bool reset();
    Json::Value requests(const std::string &endpoint = {}); // the recorded requests, oldest first
    Json::Value stats();
    // {"blocks": n, "plain_b64": ...} for an envelope; {"error": ...} when it does not decrypt.
    Json::Value decrypt(const std::string &envelope);

    // A loopback URL with the service path on which nothing listens.
    static std::string unreachableUrl();

private:
    Json::Value control(const char *method, const std::string &what, const std::string &body = {});

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_process;
    QString m_error;
    std::string m_url;
    std::string m_controlUrl;
    QString m_ca;
    QString m_otherCa;
    int m_port = 0;
};

} // namespace tavrin::test
