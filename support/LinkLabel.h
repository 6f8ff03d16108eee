#pragma once

// A label that behaves like a web link: link colour, underlined, pointing
// hand, a focus frame when Tab brings the keyboard to it, and a clicked()
// signal for a left click or Space when focused. Return and Enter are left
// to the dialog's default button.

#include <QLabel>

namespace support {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace support
