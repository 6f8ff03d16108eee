#include "support/DesktopShell.h"

#include "support/ShellTargets.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace support {

namespace {

bool openWithDesktop(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

Qt::CursorShape cursorShape(int code) {
    switch (code) {
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 5:
    case 15:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case POINTER_HOURGLASS:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

void ShellOpen(const QString& target) {
    ShellOpenWith(target, openWithDesktop);
}

void ShowInExplorer(const QString& path) {
    const ExplorerTarget target = ShowInExplorerTarget(path);
    if (target.kind == ExplorerTarget::Kind::OpenFolder) {
        openWithDesktop(target.url);
        return;
    }
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(path).absolutePath());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openWithDesktop(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
        u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << QStringList{target.url.toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous, so that a file manager that takes its time to start does
    // not freeze the window; the fallback runs when the call fails.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [folder](QDBusPendingCallWatcher* finished) {
                         if (finished->isError())
                             openWithDesktop(folder);
                         finished->deleteLater();
                     });
}

OverrideCursorDisplay::~OverrideCursorDisplay() {
    if (m_overriding && QGuiApplication::instance())
        QGuiApplication::restoreOverrideCursor();
}

void OverrideCursorDisplay::show(int code) {
    m_code = code;
    if (code == POINTER_DEFAULT) {
        if (m_overriding)
            QGuiApplication::restoreOverrideCursor();
        m_overriding = false;
        return;
    }
    const QCursor cursor(cursorShape(code));
    if (m_overriding)
        QGuiApplication::changeOverrideCursor(cursor);
    else
        QGuiApplication::setOverrideCursor(cursor);
    m_overriding = true;
}

} // namespace support
