#include "ui/Translations.h"

#include "platform/RLog.h"

#include <QCoreApplication>

namespace ui {

namespace {

std::unique_ptr<QTranslator> install(const QString &file, const char *logPrefix)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    TLOG(QString::fromLatin1(logPrefix) + file);
    return translator;
}

} // namespace

Translators installTranslators(const QString &localeName)
{
    Translators t;
    t.program =
        install(QStringLiteral(":lang/tavrinapp_") + localeName + QStringLiteral(".qm"), "tavrin translation: ");
    t.qt = install(QStringLiteral(":lang/qt_") + localeName + QStringLiteral(".qm"), "Qt translation: ");
    return t;
}

} // namespace ui
