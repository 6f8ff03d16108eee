#pragma once

// Showing a modal dialog goes through this seam, so that tests can play the
// user: set the dialog's controls, press its buttons, and return.

class QDialog;

namespace mainwindow {

class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    // Shows dialog modally and returns once it has been closed.
    virtual void runModal(QDialog& dialog) = 0;
};

// The real thing: QDialog::exec().
class ExecModalRunner : public ModalRunner {
public:
    void runModal(QDialog& dialog) override;
};

} // namespace mainwindow
