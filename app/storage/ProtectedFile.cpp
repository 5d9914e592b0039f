#include "storage/ProtectedFile.h"

#include "platform/AtomicFile.h"
#include "platform/Crypto.h"
#include "platform/EncConst.h"
#include "platform/RLog.h"

#include <json/reader.h>
#include <json/writer.h>

#include <QFile>

#include <cstring>
#include <memory>

namespace config {

void strToSecureFile(const std::string &plain, const QString &path)
{
    const std::string cipher = des_encrypt_str(plain, EncConst::LOCAL_KEY);
    if (!util::writeFileAtomically(path, QByteArray::fromStdString(cipher)))
        TLOG("cannot write protected file:" + path);
}

std::string strFromSecureFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::string();
    return des_decrypt_str(file.readAll().toStdString(), EncConst::LOCAL_KEY);
}

void saveSecureJson(const Json::Value &value, const QString &path)
{
    strToSecureFile(value.toStyledString(), path);
}

Json::Value loadSecureJson(const QString &path)
{
    const std::string plain = strFromSecureFile(path);
    // The zero bytes that pad the last cipher block end the document.
    const std::size_t length = std::strlen(plain.c_str());
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (length == 0 || !reader->parse(plain.data(), plain.data() + length, &value, &errors))
        return Json::Value();
    return value;
}

} // namespace config
