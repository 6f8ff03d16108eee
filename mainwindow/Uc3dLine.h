#pragma once

// An etched horizontal rule for dialog forms: a dark line with a light line
// one pixel below it, spanning the control's width.

#include <QLine>
#include <QWidget>

namespace mainwindow {

class Uc3dLine : public QWidget {
    Q_OBJECT
public:
    explicit Uc3dLine(QWidget* parent = nullptr);

    // Across the inner width, the light line one pixel below the dark one.
    QLine lineTop() const { return QLine(0, 0, width(), 0); }
    QLine lineBottom() const { return lineTop().translated(0, 1); }
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace mainwindow
