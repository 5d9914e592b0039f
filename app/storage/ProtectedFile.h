#pragma once
// Files kept as base64 text of their DES-ECB cipher text under the local key.

#include <json/value.h>

#include <QString>

#include <string>

namespace config {

// Replaces the file atomically; a failure leaves the old content and is only logged.
void strToSecureFile(const std::string &plain, const QString &path);

// The deciphered content (zero padding included), or "" when the file is missing.
std::string strFromSecureFile(const QString &path);

void saveSecureJson(const Json::Value &value, const QString &path);

// The parsed document, or a null value when the file is missing or does not parse.
Json::Value loadSecureJson(const QString &path);

} // namespace config
