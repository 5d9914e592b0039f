#include "ui/MarkTag.h"

#include <QLabel>
#include <QMovie>

QString markTagStyle(MarkTag tag)
{
    switch (tag) {
    case MarkTag::Error:
        return QStringLiteral("QLabel{color: rgb(227, 142, 51);}");
    case MarkTag::Ok:
        return QStringLiteral("QLabel{color: rgb(233, 36, 62);}");
    case MarkTag::Busy:
        return QStringLiteral("QLabel{color: rgb(132, 133, 135);}");
    }
    return QString();
}

QString markTagIcon(MarkTag tag)
{
    switch (tag) {
    case MarkTag::Error:
        return QStringLiteral(":/rc/status_error.png");
    case MarkTag::Ok:
        return QStringLiteral(":/rc/status_ok.png");
    case MarkTag::Busy:
        return QStringLiteral(":/rc/status_process.gif");
    }
    return QString();
}

void showMarkStatus(QLabel *icon, QLabel *text, QMovie *movie, MarkTag tag, const QString &message)
{
    icon->show();
    text->show();
    movie->stop();
    const QString style = markTagStyle(tag);
    if (!style.isEmpty()) {
        text->setText(message);
        text->setStyleSheet(style);
        movie->setFileName(markTagIcon(tag));
    }
    movie->start();
}
