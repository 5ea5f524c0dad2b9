#include "chatwindow/user_list.h"

#include "chatwindow/user_list_accessible.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace {

QAccessibleInterface* userListInterface(const QString& className, QObject* object)
{
    auto* list = qobject_cast<UserList*>(object);
    if (!list || className != QLatin1String(UserList::staticMetaObject.className()))
        return nullptr;
    return new UserListAccessible(list);
}

} // namespace

UserList::UserList(QWidget* parent) : QListWidget(parent)
{
    static const bool readable = [] {
        QAccessible::installFactory(userListInterface);
        return true;
    }();
    Q_UNUSED(readable);
    // Whatever else changes the list as a whole, the index is made anew from it.
    QAbstractItemModel* entries = model();
    connect(entries, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        announce(0, count() - 1, false);
        forgetEntryAccessibles(0, count() - 1);
    });
    connect(entries, &QAbstractItemModel::modelReset, this, &UserList::rebuildIndex);
    connect(entries, &QAbstractItemModel::layoutChanged, this, &UserList::rebuildIndex);
    connect(entries, &QAbstractItemModel::rowsMoved, this, &UserList::rebuildIndex);
    connect(entries, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    rebuildIndex();
            });
}

UserList::~UserList()
{
    // The list widget empties its entries after this part of it is gone.
    disconnect(model(), nullptr, this, nullptr);
    forgetEntryAccessibles(0, count() - 1);
}

QItemSelectionModel::SelectionFlags UserList::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const
{
    // Without an event the list moves its current entry by itself (the current one left,
    // or the list was entered): that picks no one.
    if (!event)
        return QItemSelectionModel::NoUpdate;
    return QListWidget::selectionCommand(index, event);
}

void UserList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        const QModelIndex before = currentIndex();
        QListWidget::keyPressEvent(event);
        // A key that would move past the first or last entry, or Home on the entry
        // already current (as after tabbing into the list), picks the entry it stays on.
        if (movesTheCursor(*event) && before.isValid() && currentIndex() == before &&
            !selectionModel()->isSelected(before))
            selectionModel()->select(before, QItemSelectionModel::ClearAndSelect);
        return;
    }
    // Held down, the key acts once.
    if (!event->isAutoRepeat() && chosen)
        chosen();
    event->accept();
}

bool UserList::movesTheCursor(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return event.modifiers() == Qt::NoModifier || event.modifiers() == Qt::KeypadModifier;
    default:
        return false;
    }
}

bool UserList::besideTheEntries(const QMouseEvent& event) const
{
    return itemAt(event.position().toPoint()) == nullptr;
}

// Beside the entries the mouse neither picks nor drops anyone.
void UserList::mousePressEvent(QMouseEvent* event)
{
    if (besideTheEntries(*event))
        event->accept();
    else
        QListWidget::mousePressEvent(event);
}

void UserList::mouseReleaseEvent(QMouseEvent* event)
{
    if (besideTheEntries(*event))
        event->accept();
    else
        QListWidget::mouseReleaseEvent(event);
}

void UserList::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The list highlights the entry under the second click, also when the first click
    // landed on another one.
    if (besideTheEntries(*event))
        event->accept();
    else
        QListWidget::mouseDoubleClickEvent(event);
    if (chosen)
        chosen();
}

void UserList::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QListWidget::rowsInserted(parent, start, end);
    measureEntries(start, end);
    if (start == index_.count()) {
        for (int row = start; row <= end; ++row)
            index_.append(item(row)->text());
    } else {
        rebuildIndex();
    }
    announce(start, end, true);
}

void UserList::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    announce(start, end, false);
    forgetEntryAccessibles(start, end);
    for (int row = end; row >= start; --row)
        index_.remove(row, item(row)->text());
    QListWidget::rowsAboutToBeRemoved(parent, start, end);
}

void UserList::measureEntries(int start, int end)
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (int row = start; row <= end; ++row) {
        QListWidgetItem* entry = item(row);
        if (entry->data(Qt::SizeHintRole).isValid())
            entry->setData(Qt::SizeHintRole, QVariant()); // measured anew, not read back
        entry->setSizeHint(itemDelegate()->sizeHint(option, indexFromItem(entry)));
    }
}

void UserList::changeEvent(QEvent* event)
{
    QListWidget::changeEvent(event);
    // The sizes kept were measured in the font and style before. They are measured anew
    // unannounced, and the list is then laid out once rather than once an entry: a text
    // size step with a full arena stays quick.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        {
            const QSignalBlocker quiet(model());
            measureEntries(0, count() - 1);
        }
        scheduleDelayedItemsLayout();
    }
}

void UserList::rebuildIndex()
{
    index_.clear();
    for (int row = 0; row < count(); ++row)
        index_.append(item(row)->text());
}

QAccessibleInterface* UserList::entryAccessible(QListWidgetItem* item)
{
    const auto known = entryAccessibles_.constFind(item);
    if (known != entryAccessibles_.constEnd())
        return QAccessible::accessibleInterface(*known);
    auto* entry = new UserEntryAccessible(this, item);
    entryAccessibles_.insert(item, QAccessible::registerAccessibleInterface(entry));
    return entry;
}

void UserList::announce(int start, int end, bool added)
{
    // Nothing is made or sent for a reader that is not there.
    if (!QAccessible::isActive())
        return;
    for (int row = start; row <= end; ++row) {
        QAccessibleEvent event(entryAccessible(item(row)),
                               added ? QAccessible::ObjectCreated : QAccessible::ObjectDestroyed);
        QAccessible::updateAccessibility(&event);
    }
}

void UserList::forgetEntryAccessibles(int start, int end)
{
    for (int row = start; row <= end && !entryAccessibles_.isEmpty(); ++row) {
        if (const auto id = entryAccessibles_.take(item(row)))
            QAccessible::deleteAccessibleInterface(id);
    }
}
