#include "delivery/EvenPageRotation.h"

#include "platform/RLog.h"

#include <qpdf/QPDFJob.hh>

#include <QFile>

#include <exception>
#include <string>
#include <vector>

namespace delivery {

bool rotateEvenPages(const QString &input, const QString &output, QString &error)
{
    const std::vector<std::string> args = {"qpdf", input.toStdString(), output.toStdString(), "--rotate=180:1-z:even"};
    std::vector<const char *> argv;
    for (const std::string &arg : args) {
        TLOG(arg);
        argv.push_back(arg.c_str());
    }
    argv.push_back(nullptr);
    try {
        QPDFJob job;
        job.initializeFromArgv(argv.data(), nullptr);
        job.run();
        // Warnings (exit code 3) still give a complete copy.
        if (job.getExitCode() == QPDFJob::EXIT_ERROR || !QFile::exists(output)) {
            error = QStringLiteral("qpdf exit code %1").arg(job.getExitCode());
            return false;
        }
        return true;
    } catch (const std::exception &e) {
        error = QString::fromStdString(e.what());
        return false;
    }
}

} // namespace delivery
