// dep3: the object-storage client of the desktop program.
//
//   dep3 'clientId|base64(localPath)|base64(objectName)|signature[|get]'
//
// With "get" it downloads the object to localPath (written beside it and
// renamed into place, so a failed download never leaves a partial file);
// otherwise it uploads localPath under the object name. The store is
// <base>/<percent-encoded object name> over HTTPS with the peer verified:
// base and CA come from config.ini next to this program (see
// ObjectRequest.h). Result on stdout, errors on stderr, exit status 0 only
// on success.

#include "ObjectRequest.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum Exit { kOk = 0, kUsage = 2, kLocal = 4, kTransfer = 5, kRefused = 6 };

struct CurlDeleter {
    void operator()(CURL *h) const { curl_easy_cleanup(h); }
};
struct SlistDeleter {
    void operator()(curl_slist *l) const { curl_slist_free_all(l); }
};
struct FileCloser {
    void operator()(FILE *f) const { std::fclose(f); }
};
using Easy = std::unique_ptr<CURL, CurlDeleter>;
using File = std::unique_ptr<FILE, FileCloser>;

int fail(int code, const std::string &message)
{
    std::fprintf(stderr, "dep3: %s\n", message.c_str());
    return code;
}

std::string toolDir(const char *argv0)
{
    std::string self = argv0 ? argv0 : "";
    if (self.find('/') == std::string::npos) {
        char buf[4096];
        const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
        self = n > 0 ? std::string(buf, std::size_t(n)) : std::string();
    }
    const auto slash = self.rfind('/');
    return slash == std::string::npos ? std::string(".") : self.substr(0, slash);
}

struct Settings {
    std::string base;
    std::string ca;
};

// Verified HTTPS only, with the configured CA alone when one is set.
Easy openHandle(const Settings &s, const std::string &objectName, char *errorBuffer)
{
    Easy h(curl_easy_init());
    if (!h)
        return h;
    char *escaped = curl_easy_escape(h.get(), objectName.data(), int(objectName.size()));
    const std::string url = s.base + (escaped ? escaped : "");
    curl_free(escaped);
    curl_easy_setopt(h.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(h.get(), CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(h.get(), CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h.get(), CURLOPT_SSL_VERIFYHOST, 2L);
    if (!s.ca.empty()) {
        curl_easy_setopt(h.get(), CURLOPT_CAINFO, s.ca.c_str());
        curl_easy_setopt(h.get(), CURLOPT_CAPATH, static_cast<const char *>(nullptr));
    }
    curl_easy_setopt(h.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h.get(), CURLOPT_CONNECTTIMEOUT, 20L);
    // A stalled transfer ends by itself before the caller's 30-second wait kills us.
    curl_easy_setopt(h.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h.get(), CURLOPT_LOW_SPEED_TIME, 20L);
    curl_easy_setopt(h.get(), CURLOPT_ERRORBUFFER, errorBuffer);
    return h;
}

// The transfer's outcome as an exit status, with the message on stderr.
int finish(CURL *h, CURLcode code, const char *detail, const std::string &what)
{
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK)
        return fail(kTransfer, what + ": " + (detail[0] ? detail : curl_easy_strerror(code)));
    if (status < 200 || status >= 300)
        return fail(kRefused, what + ": the store answered HTTP " + std::to_string(status));
    return kOk;
}

std::size_t writeToFile(char *data, std::size_t size, std::size_t count, void *file)
{
    return std::fwrite(data, size, count, static_cast<FILE *>(file)) * size;
}

int download(const Settings &s, const dep3::ObjectRequest &r)
{
    std::string tmp = r.localPath + ".dep3-XXXXXX";
    const int fd = ::mkstemp(&tmp[0]);
    if (fd < 0)
        return fail(kLocal, "cannot create a file beside " + r.localPath + ": " + std::strerror(errno));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    File file(::fdopen(fd, "wb"));
    if (!file) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return fail(kLocal, "cannot open " + tmp);
    }

    char detail[CURL_ERROR_SIZE] = {};
    Easy h = openHandle(s, r.objectName, detail);
    if (!h) {
        ::unlink(tmp.c_str());
        return fail(kTransfer, "no transfer handle");
    }
    curl_easy_setopt(h.get(), CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(h.get(), CURLOPT_WRITEDATA, file.get());
    const CURLcode code = curl_easy_perform(h.get());
    int rc = finish(h.get(), code, detail, "get " + r.objectName);
    if (rc == kOk && (std::fflush(file.get()) != 0 || ::fsync(::fileno(file.get())) != 0))
        rc = fail(kLocal, "cannot write " + tmp + ": " + std::strerror(errno));
    file.reset();
    if (rc == kOk && ::rename(tmp.c_str(), r.localPath.c_str()) != 0)
        rc = fail(kLocal, "cannot rename to " + r.localPath + ": " + std::strerror(errno));
    if (rc != kOk) {
        ::unlink(tmp.c_str());
        return rc;
    }
    curl_off_t bytes = 0;
    curl_easy_getinfo(h.get(), CURLINFO_SIZE_DOWNLOAD_T, &bytes);
    std::printf("OK:get %s -> %s (%lld bytes)\n", r.objectName.c_str(), r.localPath.c_str(), (long long)bytes);
    return kOk;
}

int upload(const Settings &s, const dep3::ObjectRequest &r)
{
    File file(std::fopen(r.localPath.c_str(), "rb"));
    struct stat st {
    };
    if (!file || ::fstat(::fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode))
        return fail(kLocal, "cannot read " + r.localPath + ": " + (errno ? std::strerror(errno) : "not a file"));

    char detail[CURL_ERROR_SIZE] = {};
    Easy h = openHandle(s, r.objectName, detail);
    if (!h)
        return fail(kTransfer, "no transfer handle");
    // The body follows at once; no waiting for a 100-continue.
    std::unique_ptr<curl_slist, SlistDeleter> headers(curl_slist_append(nullptr, "Expect:"));
    curl_easy_setopt(h.get(), CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h.get(), CURLOPT_READDATA, file.get());
    curl_easy_setopt(h.get(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(st.st_size));
    std::string answer;
    curl_easy_setopt(
        h.get(), CURLOPT_WRITEFUNCTION, +[](char *data, std::size_t size, std::size_t count, void *out) -> std::size_t {
            static_cast<std::string *>(out)->append(data, size * count);
            return size * count;
        });
    curl_easy_setopt(h.get(), CURLOPT_WRITEDATA, &answer);
    const CURLcode code = curl_easy_perform(h.get());
    const int rc = finish(h.get(), code, detail, "put " + r.objectName);
    if (rc != kOk)
        return rc;
    std::printf("OK:put %s <- %s (%lld bytes)\n", r.objectName.c_str(), r.localPath.c_str(), (long long)st.st_size);
    return kOk;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return fail(kUsage, "usage: dep3 'clientId|base64(localPath)|base64(objectName)|signature[|get]'");
    dep3::ObjectRequest request;
    std::string error;
    if (!dep3::parseArgument(argv[1], request, error))
        return fail(kUsage, error);

    const auto ini = dep3::readIni(toolDir(argv[0]) + "/config.ini");
    Settings settings;
    settings.base = dep3::objectStoreBase(ini);
    const auto ca = ini.find("Common/ServiceCA");
    if (ca != ini.end())
        settings.ca = ca->second;

    curl_global_init(CURL_GLOBAL_ALL);
    const int rc = request.get ? download(settings, request) : upload(settings, request);
    curl_global_cleanup();
    return rc;
}
