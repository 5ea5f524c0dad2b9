#include "chatwindow/user_list_accessible.h"

#include "chatwindow/user_list.h"

#include <QWindow>

UserListAccessible::UserListAccessible(UserList* list) : QAccessibleWidget(list, QAccessible::List)
{
}

UserList* UserListAccessible::list() const
{
    return static_cast<UserList*>(widget());
}

int UserListAccessible::childCount() const
{
    return list()->count();
}

QAccessibleInterface* UserListAccessible::child(int index) const
{
    QListWidgetItem* item = list()->item(index);
    return item ? list()->entryAccessible(item) : nullptr;
}

int UserListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* entry = dynamic_cast<const UserEntryAccessible*>(child);
    return entry ? list()->row(entry->item()) : -1;
}

QAccessibleInterface* UserListAccessible::childAt(int x, int y) const
{
    QListWidgetItem* item = list()->itemAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
    return item ? list()->entryAccessible(item) : nullptr;
}

QAccessibleInterface* UserListAccessible::focusChild() const
{
    QListWidgetItem* current = list()->currentItem();
    return list()->hasFocus() && current ? list()->entryAccessible(current) : nullptr;
}

QWindow* UserEntryAccessible::window() const
{
    return list_->window()->windowHandle();
}

QAccessibleInterface* UserEntryAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(list_);
}

QString UserEntryAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? item_->text() : QString();
}

QRect UserEntryAccessible::rect() const
{
    const QRect shown = list_->visualItemRect(item_);
    return QRect(list_->viewport()->mapToGlobal(shown.topLeft()), shown.size());
}

QAccessible::State UserEntryAccessible::state() const
{
    QAccessible::State state;
    state.selectable = true;
    state.focusable = true;
    state.selected = item_->isSelected();
    // Focused only while the list has the keyboard, not merely current.
    state.focused = list_->hasFocus() && list_->currentItem() == item_;
    state.invisible = !list_->isVisible();
    state.offscreen = !list_->viewport()->rect().intersects(list_->visualItemRect(item_));
    return state;
}
