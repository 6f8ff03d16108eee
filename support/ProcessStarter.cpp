#include "support/ProcessStarter.h"

#include <QProcess>

namespace support {

ProcessStart DetachedProcessStarter::startDetached(const QString& program) {
    QProcess process;
    process.setProgram(program);
    process.setArguments({});
    ProcessStart start;
    if (!process.startDetached(&start.processId)) {
        start.processId = 0;
        start.description = process.errorString();
    }
    return start;
}

} // namespace support
