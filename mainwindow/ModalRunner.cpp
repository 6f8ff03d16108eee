#include "mainwindow/ModalRunner.h"

#include <QDialog>

namespace mainwindow {

void ExecModalRunner::runModal(QDialog& dialog) {
    dialog.exec();
}

} // namespace mainwindow
