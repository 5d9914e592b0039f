#include "ObjectRequest.h"

#include <openssl/sha.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <vector>

namespace dep3 {

namespace {

const char kProductionObjects[] = "https://service.kestrelware.com/objects/";
const char kTestObjects[] = "https://service-test.kestrelware.com/objects/";

std::vector<std::string> split(const std::string &text, char sep)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = text.find(sep, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

std::string trim(const std::string &s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

int b64value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

std::string unquote(const std::string &value)
{
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return value;
    std::string out;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && i + 2 < value.size())
            ++i;
        out += value[i];
    }
    return out;
}

} // namespace

bool b64decode(const std::string &text, std::string &out)
{
    out.clear();
    if (text.size() % 4 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int v[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && last && k >= 2) {
                v[k] = 0;
                ++pad;
            } else if (pad > 0 || (v[k] = b64value(c)) < 0) {
                return false;
            }
        }
        const unsigned bits = (unsigned(v[0]) << 18) | (unsigned(v[1]) << 12) | (unsigned(v[2]) << 6) | unsigned(v[3]);
        out += char((bits >> 16) & 0xff);
        if (pad < 2)
            out += char((bits >> 8) & 0xff);
        if (pad < 1)
            out += char(bits & 0xff);
    }
    return true;
}

std::string signature(const std::string &clientId, const std::string &localPath, const std::string &objectName)
{
    const std::string text = clientId + "|" + localPath + "|" + objectName + clientId;
    unsigned char digest[SHA_DIGEST_LENGTH];
    SHA1(reinterpret_cast<const unsigned char *>(text.data()), text.size(), digest);
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : digest) {
        out += hex[b >> 4];
        out += hex[b & 0xf];
    }
    return out;
}

bool parseArgument(const std::string &arg, ObjectRequest &out, std::string &error)
{
    const std::vector<std::string> f = split(arg, '|');
    if (f.size() != 4 && f.size() != 5) {
        error = "expected clientId|path|object|signature[|get], got " + std::to_string(f.size()) + " fields";
        return false;
    }
    if (f.size() == 5 && f[4] != "get") {
        error = "unknown operation '" + f[4] + "'";
        return false;
    }
    ObjectRequest r;
    r.clientId = f[0];
    r.get = f.size() == 5;
    if (r.clientId.empty()) {
        error = "empty client id";
        return false;
    }
    if (!b64decode(f[1], r.localPath) || r.localPath.empty() || r.localPath.find('\0') != std::string::npos) {
        error = "bad local path field";
        return false;
    }
    if (!b64decode(f[2], r.objectName) || r.objectName.empty() || r.objectName.find('\0') != std::string::npos) {
        error = "bad object name field";
        return false;
    }
    if (f[3] != signature(r.clientId, r.localPath, r.objectName)) {
        error = "signature mismatch";
        return false;
    }
    out = r;
    return true;
}

std::map<std::string, std::string> readIni(const std::string &path)
{
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string section = "General";
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = trim(line.substr(1, line.size() - 2));
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        values[section + "/" + trim(line.substr(0, eq))] = unquote(trim(line.substr(eq + 1)));
    }
    return values;
}

std::string objectStoreBase(const std::map<std::string, std::string> &ini)
{
    auto value = [&ini](const char *key) {
        const auto it = ini.find(key);
        return it == ini.end() ? std::string() : trim(it->second);
    };
    std::string base = value("Common/ObjectStoreUrl");
    if (base.empty()) {
        const std::string service = value("Common/ServiceUrl");
        const auto scheme = service.find("://");
        if (scheme != std::string::npos) {
            const auto pathStart = service.find('/', scheme + 3);
            base = service.substr(0, pathStart) + "/objects/";
        } else {
            base = lower(value("Common/Debug")) == "yes" ? kTestObjects : kProductionObjects;
        }
    }
    if (base.back() != '/')
        base += '/';
    return base;
}

} // namespace dep3
