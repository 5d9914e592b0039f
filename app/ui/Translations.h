#pragma once
// The catalogues installed at start-up for the system locale: the program's
// own (":lang/tavrinapp_<locale>.qm") and Qt's (":lang/qt_<locale>.qm").

#include <QString>
#include <QTranslator>

#include <memory>

namespace ui {

struct Translators {
    std::unique_ptr<QTranslator> program; // null when no catalogue loaded
    std::unique_ptr<QTranslator> qt;
};

// Loads and installs what exists for `localeName` (such as zh_CN); logs each
// installed file. The translators stay installed while the result lives.
Translators installTranslators(const QString &localeName);

} // namespace ui
