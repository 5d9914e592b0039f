#include "delivery/PpdBuilder.h"

#include "delivery/CupsHandles.h"
#include "platform/RLog.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

// libcups's own builders (the ones lpadmin uses for IPP Everywhere queues);
// exported by libcups2 without a public header.
extern "C" {
const char *_httpResolveURI(const char *uri, char *resolved_uri, size_t resolved_size, int options,
                            int (*cb)(void *context), void *context);
char *_ppdCreateFromIPP(char *buffer, size_t bufsize, ipp_t *response);
}

namespace {

constexpr int kConnectTimeoutMs = 30000;
constexpr double kAnswerTimeoutSeconds = 30.0;

// Fills ppd (1024 bytes) with the generated file's name; leaves it empty on failure.
void buildPpd(const QByteArray &uriBytes, char *ppd, size_t ppdSize)
{
    char resolved[1024] = "";
    const char *uri = uriBytes.constData();
    if (uriBytes.contains("._tcp")) {
        if (!_httpResolveURI(uri, resolved, sizeof(resolved), 0, nullptr, nullptr)) {
            std::fprintf(stderr, "%s: Unable to resolve \"%s\".\n", "lpadmin", uri);
            return;
        }
        uri = resolved;
    }

    char scheme[32], user[256], host[256], resource[256];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme, sizeof(scheme), user, sizeof(user), host, sizeof(host), &port,
                        resource, sizeof(resource)) < HTTP_URI_STATUS_OK) {
        std::fprintf(stderr, "%s: Bad printer URI \"%s\".\n", "lpadmin", uri);
        return;
    }

    const http_encryption_t encryption =
        std::strcmp(scheme, "ipps") == 0 ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED;
    delivery::HttpPtr http(httpConnect2(host, port, nullptr, AF_UNSPEC, encryption, 1, kConnectTimeoutMs, nullptr));
    if (!http) {
        std::fprintf(stderr, "%s: Unable to connect to \"%s:%d\": %s\n", "lpadmin", host, port, cupsLastErrorString());
        return;
    }
    httpSetTimeout(http.get(), kAnswerTimeoutSeconds, nullptr, nullptr);

    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char *const kRequested[] = {"all", "media-col-database"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, kRequested);
    delivery::IppPtr response(cupsDoRequest(http.get(), request, resource));

    if (cupsLastError() < IPP_STATUS_REDIRECTION_OTHER_SITE && response) {
        if (!_ppdCreateFromIPP(ppd, ppdSize, response.get())) {
            std::fprintf(stderr, "%s: Unable to create PPD file: %s\n", "lpadmin", std::strerror(errno));
            ppd[0] = '\0';
        }
    } else {
        std::fprintf(stderr, "%s: Unable to query printer: %s\n", "lpadmin", cupsLastErrorString());
        ppd[0] = '\0';
    }
}

} // namespace

bool URF_GetPPDFile(QString uri, QString &ppdPath)
{
    TLOG(QStringLiteral("using URF(ipp):") + uri);
    char ppd[1024] = "";
    buildPpd(uri.toUtf8(), ppd, sizeof(ppd));
    ppdPath = QString::fromUtf8(ppd);
    return !ppdPath.isEmpty() && QFile::exists(ppdPath);
}
