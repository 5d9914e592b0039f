#pragma once
// Where the desktop program lives on disk and who it is. Everything here is
// written by config::load on the main thread before any other thread starts
// and read-only afterwards; is_first_run alone is cleared later, on the main
// thread, by the main window.

#include <QString>

#include <string>

namespace config {

extern const QString clientVersion; // "1.3.0.3"
// The program directory. Tests relocate it with TAVRIN_FILE_DIR, read once at start.
extern const QString fileDir;
extern const QString binDir;        // fileDir + "/bin/"
extern const QString logDir;        // fileDir + "/logs/"

extern QString ippTool;             // binDir + "dep1"
extern QString m_ppdFile;           // the PPD of the system's print queue
extern int is_first_run;            // Common/FirstRun, default 1
extern QString _depC;               // protected settings file
extern QString _depP;               // printer-list file
extern QString clientId;
extern QString serviceCA;           // Common/ServiceCA: CA bundle for a private service, or empty

extern const char kProductionServiceUrl[];
extern const char kTestServiceUrl[];

void load();

// A value of the protected settings file as text; "" when missing.
QString getVal(const QString &key);
// Stores `value` under `key` in the protected settings file, keeping the other keys.
void setVal(const QString &key, const QString &value);

// A random UUID: 36 lower-case characters without braces.
QString newGUID();

// binDir + "config.ini".
QString iniPath();

} // namespace config

namespace Itf {
// The service base URL, ending in "/tavrin/itf/"; endpoints are appended to it.
extern std::string _itf_url;
} // namespace Itf
