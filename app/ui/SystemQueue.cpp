#include "ui/SystemQueue.h"

#include "platform/Command.h"
#include "platform/RLog.h"

namespace ui {

const char kQueueName[] = "塔文";
const char kQueueUri[] = "tavrin://printer";

QStringList lpstatArgs()
{
    return {QStringLiteral("-v"), QString::fromUtf8(kQueueName)};
}

QStringList lpadminArgs(const QString &ppd)
{
    return {QStringLiteral("-p"),
            QString::fromUtf8(kQueueName),
            QStringLiteral("-E"),
            QStringLiteral("-v"),
            QString::fromUtf8(kQueueUri),
            QStringLiteral("-P"),
            ppd};
}

bool queueListed(const QString &lpstatOutput)
{
    return lpstatOutput.contains(QString::fromUtf8(kQueueUri));
}

void ensureSystemQueue(const QString &ppd)
{
    util::CommandOptions noLimit;
    noLimit.timeoutMs = -1;
    const util::CommandResult listed = util::runCommand(QStringLiteral("lpstat"), lpstatArgs(), noLimit);
    if (queueListed(listed.output))
        return;
    const util::CommandResult added = util::runCommand(QStringLiteral("lpadmin"), lpadminArgs(ppd), noLimit);
    TLOG(QStringLiteral("lpadmin result: ") + added.output);
}

} // namespace ui
