#pragma once

// Tab into a group of options lands on the option that is selected, as in
// the dialogs of every desktop, and Tab out of it leaves the group; the arrow
// keys still move between the options. Only the selected option (or the
// first, while none is) is a tab stop; the others take the focus from a
// click or an arrow key.

#include <QObject>

class QButtonGroup;

namespace support {

class OptionGroupTabStop : public QObject {
    Q_OBJECT
public:
    // Follows group's selection from now on; group owns the helper.
    explicit OptionGroupTabStop(QButtonGroup* group);

private:
    void update();

    QButtonGroup* m_group;
};

} // namespace support
