#pragma once

#include "chatwindow/user_index.h"

#include <QAccessible>
#include <QHash>
#include <QListWidget>

#include <functional>

// The chat window's user list (UsrLst). Beyond a plain list widget:
// - only the user selects: a click or the keyboard picks an entry; arrivals, departures
//   and the list's own current entry never do, so the highlighted entry is always one
//   the user chose;
// - a double-click, or Enter, asks `chosen` to act on the highlighted entry; a
//   double-click first highlights the entry under its second click, and one beside the
//   entries keeps the highlight it finds;
// - entries are found by name without walking the list (firstRowNamed);
// - each entry keeps the size it is drawn at, measured once as it arrives, so that the
//   list lays out thousands of entries after a departure without measuring them anew;
// - while assistive technology is active, every entry added or removed is announced.
class UserList : public QListWidget
{
    Q_OBJECT

public:
    explicit UserList(QWidget* parent);
    ~UserList() override;

    // The row of the first entry whose text is exactly name, or -1 where none is.
    int firstRowNamed(const QString& name) const { return index_.firstRow(name); }

    std::function<void()> chosen;

    // What assistive technology reads of an entry (UserListAccessible), made on first use
    // and removed with the entry.
    QAccessibleInterface* entryAccessible(QListWidgetItem* item);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void changeEvent(QEvent* event) override;

private:
    static bool movesTheCursor(const QKeyEvent& event);
    bool besideTheEntries(const QMouseEvent& event) const;
    void rebuildIndex();
    void measureEntries(int start, int end);
    // Tells assistive technology that the entries of these rows came or are going.
    void announce(int start, int end, bool added);
    void forgetEntryAccessibles(int start, int end);

    UserIndex index_;
    QHash<const QListWidgetItem*, QAccessible::Id> entryAccessibles_;
};
