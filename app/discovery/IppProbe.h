#pragma once
// The IPP side of probing a printer: dep1 runs the embedded Get-Printer-
// Attributes script ":/rc/dep_attr", stepping the IPP version down while the
// printer refuses it, and the text it prints is read back as attributes.

#include <QByteArray>
#include <QMap>
#include <QString>

struct DepPrinterAttrs {
    QString printerName;
    QString documentFormatSupported; // one comma-separated text
    QString printColorModeSupported;
    QString printerMakeAndModel;
    QString mediaSourceSupported;
    QString ippVersion; // "VERSION 2.0", "VERSION 1.1", "VERSION 1.0"; empty when none answered
};

namespace util {

// Blocks for up to three dep1 runs of 30 s each. An `ip` that is not a
// dotted IPv4 address is not handed to the tool and gives empty attributes.
DepPrinterAttrs depGetAttr(QString ip);

// One dep1 run got a response with a non-zero byte count.
bool is_response_ok(const QString &output);
// False when the printer refused the request's IPP version.
bool is_ipp_version_supported(const QString &output);

// The script of attempt `attempt` (0, 1, 2): the resource with the version
// ladder applied that many steps further (VERSION 2.0, 2.0 -> 1.1, 1.1 -> 1.0).
QByteArray ippScriptForAttempt(int attempt);
// The version directive that attempt `attempt` sends.
QString ippVersionForAttempt(int attempt);
constexpr int kIppAttempts = 3;

// "name (syntax) = value" lines of dep1's output; the last of a name wins.
QMap<QString, QString> parseIppAttributes(const QString &output);
DepPrinterAttrs attrsFromIppOutput(const QString &output);

} // namespace util
