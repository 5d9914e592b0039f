// tavrin-add-printer: the add-printer path without its dialogs, for scripted
// set-ups such as the demo. Each ADDRESS[=NAME] is probed over IPP and SNMP,
// reported to the service and stored in the calling user's printer list,
// exactly as the add dialog does it.

#include "cloud/Itf.h"
#include "discovery/AddPrinterWorker.h"
#include "storage/Config.h"
#include "storage/Printer.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

PrinterItem itemFrom(const QString &arg)
{
    const int eq = arg.indexOf(QLatin1Char('='));
    if (eq < 0)
        return PrinterItem{arg, arg};
    return PrinterItem{arg.mid(eq + 1), arg.left(eq)};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The printer list and settings live under the desktop program's name.
    QCoreApplication::setApplicationName(QStringLiteral("tavrinapp"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith(QLatin1Char('-'))) {
        err << "usage: tavrin-add-printer ADDRESS[=NAME]...\n";
        return 2;
    }
    Itf::_init_curl();
    Printer::registerMetaType();
    config::load();

    int failures = 0;
    // One worker per printer: the worker stops at the first failure, and a
    // printer already in the list should not keep the others out.
    for (const QString &arg : args) {
        const PrinterItem item = itemFrom(arg);
        AddPrinterWorker worker({item});
        QString result;
        QObject::connect(&worker, &AddPrinterWorker::resultReady, &worker,
                         [&result](const QString &text) { result = text; }, Qt::DirectConnection);
        worker.start();
        worker.wait();
        const Printer p = worker.printer();
        if (result.isEmpty()) {
            out << "added " << item.ip << " \"" << item.name << "\": brand " << p.deviceBrandCode << ", model "
                << p.deviceModel << ", delivery " << p.deviceDocType << "\n";
        } else if (result == QLatin1String("exist")) {
            out << "already listed " << item.ip << "\n";
        } else {
            err << "cannot add " << item.ip << ": " << result << "\n";
            ++failures;
        }
        out.flush();
    }
    return failures ? 1 : 0;
}
