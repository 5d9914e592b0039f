#pragma once
// The client of the vendor service: one HTTPS POST per call, the JSON payload
// sealed with the service's RSA key, a short text reply ("OK:..." or "FAIL:...").
// Nothing here throws; transport failures come back as "cerr:<text>, code:<n>".

#include "storage/Config.h" // declares Itf::_itf_url
#include "storage/Printer.h"

#include <json/value.h>

#include <QString>

#include <atomic>
#include <cstddef>
#include <list>
#include <string>

namespace Itf {

// True once the HTTP library's global set-up has run.
extern std::atomic<bool> _bcurl_init;

// The HTTP library's global set-up, done once; later calls do nothing. The
// program calls it at start, before any worker thread can make a request.
void _init_curl();

// One POST of `body` with extra `headers`; `out` gets the answer body, `err`
// "cerr:<library text>, code:<n>" on failure. Returns the library's result
// code (0: success; 98: no handle could be made). The server's certificate
// is verified against config::serviceCA when set, else the system's CAs.
int _ReqWithHeader(const std::string &url, const std::list<std::string> &headers, const std::string &body,
                   std::string &out, std::string &err, long &httpCode, int connectTimeout);

// _ReqWithHeader without extra headers; true when the transfer succeeded.
bool Req(const std::string &url, const std::string &body, std::string &out, std::string &err, int connectTimeout);

// The request body for `plain` (the base64 text of the payload): 245-byte
// chunks, each RSA PKCS#1 v1.5 encrypted with the service key, concatenated
// and base64 encoded. Empty when encryption fails.
std::string _encryptPub(const std::string &plain);

// The request body of a payload: styled JSON, base64, then _encryptPub.
std::string _envelope(const Json::Value &payload);

// The endpoints, below _itf_url. Each returns the service's reply or the
// transport error text.
QString AddDevice(Printer printer);                                         // "license/addDevice"
QString RemoveDevice(std::string deviceId);                                 // "license/removeDevice"
QString UploadStatisticsDeviceModel(QString deviceId, QString deviceModel); // "license/uploadStatisticsDeviceModel"
QString Feedback(std::string payload);                                      // "license/feedback": styled JSON text
Json::Value Advertisement(); // "license/advertisement": the JSON after "OK:", else null
QString CheckVersion();      // "license/checkVersion"

} // namespace Itf

// The body writer: appends size * count bytes to the std::string at `out`.
std::size_t ConsoleItfCurlCallback(char *data, std::size_t size, std::size_t count, void *out);
