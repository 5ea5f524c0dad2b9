#pragma once

#include <QAccessibleWidget>

class QListWidgetItem;
class UserList;

// What assistive technology reads of the user list: a list, named by its caption, whose
// children are its entries, each read by the player's name. Qt's own list interface
// re-keys every entry it has handed out at each change of the list, so that with a
// screen reader running a full list spent milliseconds on each arrival or departure;
// here an entry's interface follows its item, and its row is looked up when asked.
class UserListAccessible : public QAccessibleWidget
{
public:
    explicit UserListAccessible(UserList* list);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    UserList* list() const;
};

// One entry of the user list. UserList makes it when it is first asked for and removes
// it with its item.
class UserEntryAccessible : public QAccessibleInterface
{
public:
    UserEntryAccessible(UserList* list, QListWidgetItem* item) : list_(list), item_(item) {}

    QListWidgetItem* item() const { return item_; }

    bool isValid() const override { return true; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    UserList* list_;
    QListWidgetItem* item_;
};
