#include "cloud/Itf.h"

#include "platform/RLog.h"

#include <curl/curl.h>

#include <QByteArray>
#include <QFile>

#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>

std::size_t ConsoleItfCurlCallback(char *data, std::size_t size, std::size_t count, void *out)
{
    const std::size_t bytes = size * count;
    static_cast<std::string *>(out)->append(data, bytes);
    return bytes;
}

namespace Itf {

std::atomic<bool> _bcurl_init{false};

namespace {

constexpr int kNoHandle = 98;

struct EasyDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
struct SlistDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

// Anyone on the path could answer for the service if the peer went unchecked:
// verify the chain (against the configured CA alone when one is set) and the host name.
void setTrust(CURL *handle)
{
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!config::serviceCA.isEmpty()) {
        const QByteArray caFile = QFile::encodeName(config::serviceCA);
        curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.constData()); // the library copies it
        curl_easy_setopt(handle, CURLOPT_CAPATH, static_cast<const char *>(nullptr));
    }
}

} // namespace

void _init_curl()
{
    static std::once_flag once;
    std::call_once(once, [] {
        curl_global_init(CURL_GLOBAL_ALL);
        _bcurl_init = true;
    });
}

int _ReqWithHeader(const std::string &url, const std::list<std::string> &headers, const std::string &body,
                   std::string &out, std::string &err, long &httpCode, int connectTimeout)
{
    try {
        out.clear();
        _init_curl();
        EasyHandle handle(curl_easy_init());
        if (!handle)
            return kNoHandle;
        CURL *h = handle.get();

        // Requests run on worker threads: no signals for time-outs.
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        if (connectTimeout > 0)
            curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, static_cast<long>(connectTimeout));
        HeaderList headerList;
        for (const std::string &header : headers) {
            curl_slist *grown = curl_slist_append(headerList.get(), header.c_str());
            if (!grown)
                break;
            headerList.release();
            headerList.reset(grown);
        }
        if (headerList)
            curl_easy_setopt(h, CURLOPT_HTTPHEADER, headerList.get());
        curl_easy_setopt(h, CURLOPT_URL, url.c_str());
        setTrust(h);
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        std::string collected;
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, ConsoleItfCurlCallback);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &collected);
        char detail[CURL_ERROR_SIZE] = {};
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, detail);

        const CURLcode code = curl_easy_perform(h);
        out = collected;
        if (code != CURLE_OK) {
            char text[512];
            std::snprintf(text, sizeof text, "cerr:%s, code:%d", curl_easy_strerror(code), static_cast<int>(code));
            err = text;
            TLOG(std::string("request to ") + url + " failed: " + detail);
        } else {
            curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &httpCode);
        }
        return static_cast<int>(code);
    } catch (const std::exception &e) {
        err = e.what();
        return static_cast<int>(CURLE_FAILED_INIT);
    }
}

bool Req(const std::string &url, const std::string &body, std::string &out, std::string &err, int connectTimeout)
{
    long httpCode = 0; // the reply text decides, not the status
    return _ReqWithHeader(url, {}, body, out, err, httpCode, connectTimeout) == 0;
}

} // namespace Itf
