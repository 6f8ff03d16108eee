#pragma once

// Timing whole processes: wall time from fork to reaping and the kernel's
// count of the child's peak resident size.

#include "bench/BenchTiming.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace bench {

struct ProcessRun {
    double seconds = 0;
    double peakMegabytes = 0;
    bool succeeded = false;
};

// Runs command[0] (a path) with its output sent to outputPath. workingFolder
// empty: the current one.
inline ProcessRun runProcess(const QStringList& command,
                             const QString& outputPath = QStringLiteral("/dev/null"),
                             const QString& workingFolder = {}) {
    std::vector<std::string> words;
    for (const QString& word : command)
        words.push_back(QFile::encodeName(word).toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string output = QFile::encodeName(outputPath).toStdString();
    const std::string folder = QFile::encodeName(workingFolder).toStdString();

    ProcessRun run;
    int status = 0;
    struct rusage usage {};
    run.seconds = secondsOf([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0)
                ::_exit(127);
            if (!folder.empty() && ::chdir(folder.c_str()) != 0)
                ::_exit(127);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        if (child < 0 || ::wait4(child, &status, 0, &usage) != child)
            status = -1;
    });
    run.succeeded = status == 0;
    run.peakMegabytes = double(usage.ru_maxrss) / 1024; // kilobytes on Linux
    return run;
}

struct Series {
    std::vector<double> seconds;
    std::vector<double> megabytes;
    void add(const ProcessRun& run) {
        seconds.push_back(run.seconds);
        megabytes.push_back(run.peakMegabytes);
    }
    double time() const { return median(seconds); }
    double memory() const { return median(megabytes); }
};

} // namespace bench
