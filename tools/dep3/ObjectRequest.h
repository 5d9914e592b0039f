#pragma once
// dep3's input: the one command-line argument and the settings it reads from
// config.ini next to itself. Pure functions, so they can be tested alone.
//
// The argument is
//   clientId|base64(localPath)|base64(objectName)|signature[|get]
// with base64 in the standard alphabet with padding over UTF-8 bytes, and
//   signature = lower-case hex SHA-1 of clientId|localPath|objectName followed by clientId
// (the decoded texts). The signature holds no secret: it proves only that the
// three fields reached the tool as the caller wrote them (no truncation, no
// swapped fields). Who may use the storage is the service's business.

#include <map>
#include <string>

namespace dep3 {

struct ObjectRequest {
    std::string clientId;
    std::string localPath;
    std::string objectName;
    bool get = false; // download; otherwise upload
};

// Parses and checks the argument; false with `error` set when it is malformed
// or the signature does not match.
bool parseArgument(const std::string &arg, ObjectRequest &out, std::string &error);

std::string signature(const std::string &clientId, const std::string &localPath, const std::string &objectName);

// Strict base64 (standard alphabet, "=" padding required); false on any other byte.
bool b64decode(const std::string &text, std::string &out);

// The keys of a Qt INI file as "Section/key" (top-level keys as "General/key");
// quoted values are unquoted with their \" and \\ escapes. Missing file: empty map.
std::map<std::string, std::string> readIni(const std::string &path);

// The object store's base URL, ending in "/": Common/ObjectStoreUrl; else the
// origin of Common/ServiceUrl + "/objects/"; else the test or production
// service host, as Common/Debug chooses.
std::string objectStoreBase(const std::map<std::string, std::string> &ini);

} // namespace dep3
