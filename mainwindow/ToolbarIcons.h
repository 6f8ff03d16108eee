#pragma once

// The toolbar's pictures and the program's window icon, drawn rather than
// loaded so that they need no image plug-in and scale to any size.

#include <QIcon>
#include <QString>

namespace mainwindow {

// The picture of a toolbar button, by its key ("Step1", "Step2", ...).
QIcon ToolbarIcon(const QString& key);
QIcon ApplicationIcon();

} // namespace mainwindow
