#pragma once
// The service's object storage, reached through the tool dep3 in the tool
// directory. dep3 takes one argument:
//   clientId|base64(localPath)|base64(objectName)|signature[|get]
// where the signature is the lower-case hex SHA-1 of
//   clientId + "|" + localPath + "|" + objectName + clientId
// (UTF-8). With "get" it downloads the object to localPath, else it uploads
// localPath under objectName. Neither call reports success: callers look for
// the file (downloads) or do not learn it (uploads); both log the tool's output.

#include <QString>

namespace OSSUtil {

QString signature(const QString &clientId, const QString &localPath, const QString &objectName);
// The tool's one argument.
QString argument(const QString &clientId, const QString &localPath, const QString &objectName, bool get);
// binDir + "dep3".
QString toolPath();

// Downloads `objectName` to `localPath` for config::clientId; waits at most 30 s.
void GetImageFile(QString objectName, QString localPath);
// Uploads `localPath` as `objectName`; waits at most 30 s.
void UploadLogFile(QString clientId, QString localPath, QString objectName);

} // namespace OSSUtil
