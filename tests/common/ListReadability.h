#pragma once

// Whether every entry of every list of a shown window reads whole: not cut,
// not elided, and within the list's visible width. Header-only, for GUI tests.

#include <QListWidget>
#include <QStringList>
#include <QWidget>

namespace testing_support {

// The entries of window's lists that do not read whole, as "list: entry".
inline QStringList CutListEntries(QWidget& window) {
    QStringList cut;
    for (QListWidget* list : window.findChildren<QListWidget*>()) {
        for (int row = 0; row < list->count(); ++row) {
            const QListWidgetItem* item = list->item(row);
            const QRect shown = list->visualItemRect(item);
            const int needed = list->fontMetrics().horizontalAdvance(item->text());
            if (shown.width() < needed || shown.left() < 0 ||
                shown.left() + needed > list->viewport()->width())
                cut.append(list->objectName() + u": " + item->text());
        }
    }
    return cut;
}

} // namespace testing_support
