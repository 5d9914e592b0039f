#include "delivery/PrinterQuery.h"

#include "delivery/CupsHandles.h"

namespace delivery {

Acceptance queryAcceptance(const QString &host, int port, int connectTimeoutMs, int answerTimeoutMs)
{
    Acceptance result;
    const QByteArray hostBytes = host.toUtf8();
    int cancel = 0;
    HttpPtr http(httpConnect2(hostBytes.constData(), port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1,
                              connectTimeoutMs, &cancel));
    if (!http)
        return result;
    // Without a limit a printer that takes the connection and never answers
    // would hold the job worker for good.
    httpSetTimeout(http.get(), answerTimeoutMs / 1000.0, nullptr, nullptr);

    ipp_t *request = ippNew();
    ippSetOperation(request, IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippSetRequestId(request, 1);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr, "utf-8");
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_LANGUAGE, "attributes-natural-language", nullptr, "en");
    const QString uriHost = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    const QByteArray printerUri = QStringLiteral("ipp://%1:%2/").arg(uriHost).arg(port).toUtf8();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri.constData());
    static const char *const kRequested[] = {"printer-is-accepting-jobs", "printer-uri-supported"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, kRequested);

    IppPtr response(cupsDoRequest(http.get(), request, "/"));
    if (!response)
        return result;
    result.answered = true;
    if (ipp_attribute_t *attr = ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
        result.accepting = ippGetBoolean(attr, 0) != 0;
    if (ipp_attribute_t *attr = ippFindAttribute(response.get(), "printer-uri-supported", IPP_TAG_URI)) {
        if (const char *value = ippGetString(attr, 0, nullptr))
            result.uriSupported = QString::fromUtf8(value);
    }
    return result;
}

} // namespace delivery
