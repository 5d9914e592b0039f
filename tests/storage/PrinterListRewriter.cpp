// Test helper: rewrites the printer list given as its argument over and over
// through the store, printing one line after each rewrite, until it is killed
// (or after a bounded number of rounds).

#include "storage/Config.h"
#include "storage/PrinterStore.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PRINTER-LIST-FILE\n", argv[0]);
        return 2;
    }
    config::_depP = QString::fromLocal8Bit(argv[1]);
    QList<Printer> printers = util::getPrinters();
    if (printers.isEmpty())
        return 1;
    for (int round = 0; round < 100000; ++round) {
        Printer &p = printers[round % printers.size()];
        p.isFav = p.isFav == QLatin1String("Y") ? QStringLiteral("N") : QStringLiteral("Y");
        util::changePrinter(p);
        std::printf("rewrote %d\n", round);
        std::fflush(stdout);
    }
    return 0;
}
