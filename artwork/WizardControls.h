#pragma once

// Small builders for the wizards' controls, so that every page makes its
// labels, lists and buttons the same way.

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <QStyle>

namespace artwork {

inline QLabel* WrappedLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

inline QListWidget* SingleChoiceList(const QString& name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

// Makes list wide enough for its widest entry beside a vertical scroll bar,
// so that every entry reads whole; call it once the entries are in.
inline void FitWidestEntry(QListWidget* list) {
    list->setTextElideMode(Qt::ElideNone);
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + scrollBar + 4);
}

inline QPushButton* PlainButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Return stays the wizard's default button's key.
    button->setAutoDefault(false);
    return button;
}

inline bool HasSelection(const QListWidget* list) {
    return !list->selectedItems().isEmpty();
}

// The 1-based position of the selected entry, 0 for none.
inline int SelectedPosition(const QListWidget* list) {
    return HasSelection(list) ? list->row(list->selectedItems().first()) + 1 : 0;
}

inline void SelectPosition(QListWidget* list, int position) {
    list->clearSelection();
    if (position >= 1 && position <= list->count()) {
        list->setCurrentRow(position - 1);
        list->item(position - 1)->setSelected(true);
    } else {
        list->setCurrentRow(-1);
    }
}

} // namespace artwork
