#pragma once

// Starting another program that runs on by itself. The update check goes
// through this seam, so that tests can make a start fail in each of the
// ways a system reports.

#include <QString>

namespace support {

// What a start reports. It has failed when there is no process or an error
// number.
struct ProcessStart {
    qint64 processId = 0;
    int errorNumber = 0;
    QString description;

    bool failed() const { return processId == 0 || errorNumber != 0; }
};

// The error number of a start that the user refused at a permission
// prompt: no process, and nothing worth telling them.
inline constexpr int START_DECLINED_BY_USER = 5;

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Starts program with no arguments and does not wait for it.
    virtual ProcessStart startDetached(const QString& program) = 0;
};

// QProcess::startDetached. This system asks no permission to start a
// program, so a failure never carries START_DECLINED_BY_USER; it has no
// number of its own either (0) and describes itself in Qt's words.
class DetachedProcessStarter : public ProcessStarter {
public:
    ProcessStart startDetached(const QString& program) override;
};

} // namespace support
