#pragma once

// The About box: logo, product name, version, the home-page link and a
// notice.

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace support {

class LinkLabel;

class FormAbout : public QDialog {
    Q_OBJECT
public:
    // openLink opens the link's address (ShellOpen unless replaced).
    explicit FormAbout(QWidget* parent = nullptr,
                       std::function<void(const QString&)> openLink = {});

    QLabel* ImgLogo = nullptr;
    QLabel* Label1 = nullptr; // product name
    QLabel* Label5 = nullptr; // trademark sign beside the name
    QLabel* Label2 = nullptr; // version
    QLabel* Label3 = nullptr; // notice
    QLabel* Label6 = nullptr; // the line above the link
    LinkLabel* LabLink = nullptr;
    QPushButton* ButOK = nullptr;

Q_SIGNALS:
    // Images dropped on the box, its logo or its texts are meant for the
    // program's drop handling: connect these and accept the event there. An
    // event nobody accepts is refused.
    void dragEnterReceived(QDragEnterEvent* event);
    void dragMoveReceived(QDragMoveEvent* event);
    void dropReceived(QDropEvent* event);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void openLinkAddress();

    std::function<void(const QString&)> m_openLink;
};

} // namespace support
