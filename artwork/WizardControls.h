#pragma once

// Small builders for the wizards' controls, so that every page makes its
// labels, lists and buttons the same way.

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QString>
#include <QStyle>

#include <algorithm>

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

// A list that gets the keyboard focus with nothing selected selects the
// entry with the focus (else its first), so that the buttons acting on the
// selection work at once; list owns the helper.
class SelectOnFocus : public QObject {
public:
    explicit SelectOnFocus(QListWidget* list) : QObject(list) { list->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* list = static_cast<QListWidget*>(watched);
        if (event->type() == QEvent::FocusIn && list->count() > 0 &&
            list->selectedItems().isEmpty())
            list->setCurrentRow(std::max(0, list->currentRow()),
                                QItemSelectionModel::ClearAndSelect);
        return false;
    }
};

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
