#pragma once

// quillmoth-cli run the way a script runs it, for the command-line tests.

#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

namespace testing_support {

struct CliResult {
    int exitCode = -1;
    QStringList lines; // standard output split at its line ends
    QString errors;
};

// Waits with events running: a stand-in server of this process may have to
// answer the program.
inline CliResult
runCli(const QStringList& arguments,
       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    process.start(QStringLiteral(QUILLMOTH_CLI), arguments);
    loop.exec();
    EXPECT_EQ(process.state(), QProcess::NotRunning);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).split(u'\n'),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace testing_support
