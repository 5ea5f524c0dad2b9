#include "shell/base/window_role.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QMetaObject>
#include <QString>
#include <QWidget>

namespace {

QHash<QString, QAccessible::Role>& rolesByClass()
{
    static QHash<QString, QAccessible::Role> roles;
    return roles;
}

QAccessibleInterface* windowInterface(const QString& className, QObject* object)
{
    const auto role = rolesByClass().constFind(className);
    auto* window = qobject_cast<QWidget*>(object);
    if (role == rolesByClass().constEnd() || !window)
        return nullptr;
    return new QAccessibleWidget(window, *role);
}

} // namespace

void reportWindowRole(const QMetaObject& windowClass, QAccessible::Role role)
{
    if (rolesByClass().isEmpty())
        QAccessible::installFactory(windowInterface);
    rolesByClass().insert(QString::fromLatin1(windowClass.className()), role);
}
