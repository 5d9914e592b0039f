#include "cloud/CloudFixture.h"

#include "storage/Config.h"

#include <curl/curl.h>
#include <json/reader.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSettings>

#include <memory>

namespace tavrin::test {

namespace {

std::size_t collect(char *data, std::size_t size, std::size_t count, void *out)
{
    static_cast<QByteArray *>(out)->append(data, int(size * count));
    return size * count;
}

Json::Value parseJson(const QByteArray &text)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (!reader->parse(text.constData(), text.constData() + text.size(), &value, &errors))
        return Json::Value();
    return value;
}

} // namespace

bool prepareProgramDir(const TestService &service, const QString &clientId)
{
    config::clientId = clientId;
    if (!QDir().mkpath(config::binDir))
        return false;
    const QString tool = config::binDir + QStringLiteral("dep3");
    QFile::remove(tool);
    if (!QFile::link(QStringLiteral(TAVRIN_BINARY_DIR "/tools/dep3/dep3"), tool))
        return false;
    QSettings ini(config::iniPath(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Common/ServiceUrl"), QString::fromStdString(service.url()));
    ini.setValue(QStringLiteral("Common/ServiceCA"), service.ca());
    ini.sync();
    return ini.status() == QSettings::NoError;
}

long ObjectStore::request(const char *method, const std::string &what, const QByteArray &body, QByteArray &answer)
{
    std::unique_ptr<CURL, void (*)(CURL *)> h(curl_easy_init(), curl_easy_cleanup);
    if (!h)
        return 0;
    const std::string url = "https://127.0.0.1:" + std::to_string(m_service.port()) + "/control/" + what;
    const QByteArray ca = QFile::encodeName(m_service.ca());
    curl_easy_setopt(h.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(h.get(), CURLOPT_CAINFO, ca.constData());
    curl_easy_setopt(h.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h.get(), CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(h.get(), CURLOPT_CUSTOMREQUEST, method);
    if (std::string(method) != "GET") {
        curl_easy_setopt(h.get(), CURLOPT_POSTFIELDS, body.constData());
        curl_easy_setopt(h.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    }
    curl_easy_setopt(h.get(), CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(h.get(), CURLOPT_WRITEDATA, &answer);
    if (curl_easy_perform(h.get()) != CURLE_OK)
        return 0;
    long status = 0;
    curl_easy_getinfo(h.get(), CURLINFO_RESPONSE_CODE, &status);
    return status;
}

static std::string escaped(const std::string &name)
{
    char *e = curl_easy_escape(nullptr, name.data(), int(name.size()));
    std::string out = e ? e : "";
    curl_free(e);
    return out;
}

bool ObjectStore::put(const std::string &name, const QByteArray &data)
{
    QByteArray answer;
    return request("PUT", "objects/" + escaped(name), data, answer) == 200;
}

QByteArray ObjectStore::get(const std::string &name, bool *found)
{
    QByteArray answer;
    const bool ok = request("GET", "objects/" + escaped(name), {}, answer) == 200;
    if (found)
        *found = ok;
    return ok ? answer : QByteArray();
}

Json::Value ObjectStore::list()
{
    QByteArray answer;
    request("GET", "objects", {}, answer);
    return parseJson(answer)["objects"];
}

Json::Value ObjectStore::log()
{
    QByteArray answer;
    request("GET", "object-log", {}, answer);
    return parseJson(answer)["log"];
}

QStringList ObjectStore::transfers()
{
    QStringList out;
    for (const Json::Value &e : log()) {
        if (e["via"].asString() == "https")
            out << QString::fromStdString(e["method"].asString() + " " + e["name"].asString());
    }
    return out;
}

QByteArray letterPicture(const QString &letter, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    const int hue = letter.isEmpty() ? 0 : (letter.at(0).unicode() * 47) % 360;
    image.fill(QColor::fromHsv(hue, 160, 170));
    // Text needs the font database, which only a GUI application has.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QPainter p(&image);
        p.setPen(Qt::white);
        QFont font = p.font();
        font.setPixelSize(qMin(height * 2 / 3, 40));
        p.setFont(font);
        p.drawText(image.rect(), Qt::AlignCenter, letter);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace tavrin::test
