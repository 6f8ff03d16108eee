#include "mainwindow/UcProgress.h"

#include "mainwindow/ProgressPercent.h"
#include "mainwindow/TwipsGeometry.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mainwindow {

UcProgress::UcProgress(QWidget* parent) : QWidget(parent) {
    setFixedSize(TwipsToPixels(3735), TwipsToPixels(375));

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(u"ProgressMain"_s);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setGeometry(TwipsRect(0, 60, 2175, 255));

    m_butCancel = new QPushButton(u"Stop"_s, this);
    m_butCancel->setObjectName(u"ButCancel"_s);
    m_butCancel->setGeometry(TwipsRect(2400, 0, 1215, 375));
    connect(m_butCancel, &QPushButton::clicked, this, &UcProgress::cancel);

    setActive(false);
}

void UcProgress::setMax(int32_t max) {
    m_max = max;
}

void UcProgress::setValue(int32_t value) {
    if (value > m_max)
        value = m_max;
    else if (value < m_bar->minimum())
        value = m_bar->minimum();
    m_value = value;
    if (const auto percent = ProgressPercent(value, m_max))
        m_bar->setValue(*percent);
}

void UcProgress::setActive(bool active) {
    m_active = active;
    m_butCancel->setEnabled(active);
    applyBarColour();
}

void UcProgress::applyBarColour() {
    // The bar keeps one colour whatever the window's own focus state, so both
    // colour groups of its palette get the chosen highlight.
    const QPalette source = QApplication::palette(m_bar);
    const QColor colour =
        source.color(m_active ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
    QPalette palette = m_bar->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::Highlight, colour);
    m_bar->setPalette(palette);
}

void UcProgress::cancel() {
    Q_EMIT CancelClicked();
}

void UcProgress::clear() {
    setValue(m_bar->minimum());
}

void UcProgress::done() {
    setValue(m_max);
}

void UcProgress::takeFocus() {
    m_butCancel->setFocus(Qt::OtherFocusReason);
}

int UcProgress::barPercent() const {
    return m_bar->value();
}

} // namespace mainwindow
