#pragma once
// The test service plus a program directory that reaches it the way the
// installed program does: dep3 in the tool directory, config.ini naming the
// service and its CA, and a client identifier. Objects of the store can be
// placed and read back through the service's control API.

#include "service/ServiceFixture.h"

#include <json/value.h>

#include <QByteArray>
#include <QString>

#include <string>

namespace tavrin::test {

// Puts dep3 into config::binDir, writes config.ini for `service` and sets
// config::clientId.
bool prepareProgramDir(const TestService &service, const QString &clientId = QStringLiteral("c1"));

// The service's object store, through its HTTPS control API.
class ObjectStore
{
public:
    explicit ObjectStore(const TestService &service) : m_service(service) {}
    bool put(const std::string &name, const QByteArray &data);
    // Empty and false `found` when it does not exist.
    QByteArray get(const std::string &name, bool *found = nullptr);
    Json::Value list(); // [{"name", "size", "sha1"}]
    Json::Value log();  // [{"method", "via", "name", "size", "status"}], oldest first
    // The log entries of transfers made by dep3 (over HTTPS), as "GET name" / "PUT name".
    QStringList transfers();

private:
    long request(const char *method, const std::string &what, const QByteArray &body, QByteArray &answer);
    const TestService &m_service;
};

class CloudFixture : public ServiceFixture
{
protected:
    void SetUp() override
    {
        ServiceFixture::SetUp();
        ASSERT_TRUE(prepareProgramDir(service()));
    }
    ObjectStore store() { return ObjectStore(service()); }
};

// A small PNG picture, its colour (and, under a QGuiApplication, its letter)
// taken from `letter`.
QByteArray letterPicture(const QString &letter, int width = 120, int height = 40);

} // namespace tavrin::test
