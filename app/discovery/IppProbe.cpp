#include "discovery/IppProbe.h"

#include "discovery/Address.h"
#include "platform/Command.h"
#include "platform/RLog.h"
#include "storage/Config.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryFile>

// rcc's registration sits in a static library and is kept only when referenced.
static void initResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(tavrin);
        return true;
    }();
    (void)done;
}

namespace util {
namespace {

const char *const kLadder[] = {"VERSION 2.0", "VERSION 2.0", "VERSION 1.1", "VERSION 1.0"};

QByteArray attrScript()
{
    initResources();
    QFile file(QStringLiteral(":/rc/dep_attr"));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// One dep1 run with the script in a temporary file that goes with the attempt.
QString runAttempt(const QString &ip, const QByteArray &script)
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/dep_attr_XXXXXX"));
    if (!file.open())
        return QString();
    if (file.write(script) != script.size() || !file.flush())
        return QString();
    file.close();
    const CommandResult r =
        runCommand(config::ippTool, {QStringLiteral("-t"), QStringLiteral("-v"),
                                     QStringLiteral("ipp://") + ip + QStringLiteral("/"), file.fileName()});
    return r.output;
}

} // namespace

QByteArray ippScriptForAttempt(int attempt)
{
    QByteArray script = attrScript();
    for (int i = 0; i <= attempt && i < kIppAttempts; ++i)
        script.replace(kLadder[i], kLadder[i + 1]);
    return script;
}

QString ippVersionForAttempt(int attempt)
{
    return QString::fromLatin1(kLadder[qBound(0, attempt, kIppAttempts - 1) + 1]);
}

bool is_response_ok(const QString &output)
{
    const QString head = QStringLiteral("RECEIVED:");
    long long received = 0;
    const int at = output.indexOf(head);
    const int tail = output.indexOf(QStringLiteral("bytes in"));
    if (at >= 0 && tail >= at + head.size())
        received = output.mid(at + head.size(), tail - at - head.size()).trimmed().toLongLong();
    const bool ok = received != 0;
    TLOG(QStringLiteral("receivedBytes: ") + QString::number(received));
    TLOG(ok ? "get printer attributes ok." : "get printer attributes failed.");
    return ok;
}

bool is_ipp_version_supported(const QString &output)
{
    if (!output.contains(QStringLiteral("server-error-version-not-supported")))
        return true;
    TLOG("not supported version.");
    return false;
}

QMap<QString, QString> parseIppAttributes(const QString &output)
{
    QMap<QString, QString> values;
    for (const QString &raw : output.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        QString name = line.left(eq).trimmed();
        const int space = name.indexOf(QLatin1Char(' '));
        if (space >= 0)
            name.truncate(space);
        values.insert(name, line.mid(eq + 1).trimmed());
    }
    return values;
}

DepPrinterAttrs attrsFromIppOutput(const QString &output)
{
    const QMap<QString, QString> values = parseIppAttributes(output);
    DepPrinterAttrs attrs;
    attrs.documentFormatSupported = values.value(QStringLiteral("document-format-supported"));
    attrs.printColorModeSupported = values.value(QStringLiteral("print-color-mode-supported"));
    attrs.printerMakeAndModel = values.value(QStringLiteral("printer-make-and-model"));
    attrs.printerName = values.value(QStringLiteral("printer-name"));
    attrs.mediaSourceSupported = values.value(QStringLiteral("media-source-supported"));
    return attrs;
}

DepPrinterAttrs depGetAttr(QString ip)
{
    if (!isIPv4Address(ip)) {
        TLOG(QStringLiteral("not an IPv4 address, no IPP probe: ") + ip);
        return DepPrinterAttrs();
    }
    QString output;
    QString version;
    for (int attempt = 0; attempt < kIppAttempts; ++attempt) {
        output = runAttempt(ip, ippScriptForAttempt(attempt));
        TLOG(QStringLiteral("dep1 get printer info, result: ") + output);
        if (is_response_ok(output) && is_ipp_version_supported(output)) {
            version = ippVersionForAttempt(attempt);
            TLOG(QStringLiteral("ipp version: ") + version);
            break;
        }
    }
    DepPrinterAttrs attrs = attrsFromIppOutput(output);
    attrs.ippVersion = version;
    return attrs;
}

} // namespace util
