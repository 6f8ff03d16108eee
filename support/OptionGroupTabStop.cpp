#include "support/OptionGroupTabStop.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace support {

OptionGroupTabStop::OptionGroupTabStop(QButtonGroup* group) : QObject(group), m_group(group) {
    connect(group, &QButtonGroup::buttonToggled, this, &OptionGroupTabStop::update);
    update();
}

void OptionGroupTabStop::update() {
    const QList<QAbstractButton*> buttons = m_group->buttons();
    QAbstractButton* stop = m_group->checkedButton();
    if (!stop && !buttons.isEmpty())
        stop = buttons.first();
    for (QAbstractButton* button : buttons)
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace support
