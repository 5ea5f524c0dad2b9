// What assistive technology reads of both windows: each window as a dialog or a frame
// named by its caption, every control by a name that says what it is, and the labels
// that label the boxes. (tests/smoke/atspi_check.sh reads the real bus, and fails on
// any control without a name.)
#include "chatwindow/frm_main.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "login/frm_connect.h"
#include "support/window_test.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QAccessibleInterface* accessible(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// The objects whose labelled-by relation names a label.
QList<QObject*> labelsOf(QObject* control)
{
    QList<QObject*> labels;
    for (const auto& [label, relation] : accessible(control)->relations(QAccessible::Label))
        labels.append(label->object());
    return labels;
}

bool isTextRole(QAccessible::Role role)
{
    return role == QAccessible::EditableText || role == QAccessible::StaticText ||
           role == QAccessible::Document;
}

} // namespace

class AccessibleWindowsTest : public WindowTest
{
    Q_OBJECT

private slots:
    void windowsAreADialogAndAFrame();
    void dialogControlsAreNamedByTheirLabels_data();
    void dialogControlsAreNamedByTheirLabels();
    void chatWindowControlsAreNamed();
};

void AccessibleWindowsTest::windowsAreADialogAndAFrame()
{
    QAccessibleInterface* dialog = accessible(&frmConnect::instance());
    QCOMPARE(dialog->role(), QAccessible::Dialog);
    QCOMPARE(dialog->text(QAccessible::Name), QStringLiteral("Connect to Server"));

    QAccessibleInterface* chat = accessible(&frmMain::instance());
    QCOMPARE(chat->role(), QAccessible::Window);
    QCOMPARE(chat->text(QAccessible::Name), QStringLiteral("My Orvex Client By Quibbert V 1.0.0"));
}

void AccessibleWindowsTest::dialogControlsAreNamedByTheirLabels_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("label");

    const int text = QAccessible::EditableText;
    QTest::newRow("name") << "NameTxt"
                          << "Name" << text << "Label1";
    QTest::newRow("password") << "PasswordTxt"
                              << "Password" << text << "Label2";
    QTest::newRow("save password") << "SavePassChk"
                                   << "Save Password" << int(QAccessible::CheckBox) << "Label3";
    QTest::newRow("arena") << "ArenaTxt"
                           << "Arena" << text << "Label8";
    QTest::newRow("port") << "PortTxt"
                          << "Port" << text << "Label4";
    QTest::newRow("server") << "IPTxt"
                            << "Name/IP" << text << "Label5";
    QTest::newRow("connect") << "Command1"
                             << "Connect" << int(QAccessible::PushButton) << "";
    QTest::newRow("cancel") << "Command2"
                            << "Cancel" << int(QAccessible::PushButton) << "";
}

void AccessibleWindowsTest::dialogControlsAreNamedByTheirLabels()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    QFETCH(QString, label);

    frmConnect& dialog = frmConnect::instance();
    auto* widget = dialog.findChild<QWidget*>(control);
    QVERIFY(widget);
    QCOMPARE(accessible(widget)->text(QAccessible::Name), name);
    QCOMPARE(int(accessible(widget)->role()), role);
    if (label.isEmpty()) {
        QCOMPARE(labelsOf(widget), QList<QObject*>());
        return;
    }
    auto* caption = dialog.findChild<QLabel*>(label);
    QCOMPARE(labelsOf(widget), QList<QObject*>{caption});
    // The label's own text is what is read, and it shows no shortcut underline.
    QCOMPARE(caption->text(), name);
    QVERIFY(!caption->text().contains(u'&'));
}

void AccessibleWindowsTest::chatWindowControlsAreNamed()
{
    frmMain& w = frmMain::instance();
    QAccessibleInterface* entryBox = accessible(w.SendTxt);
    QCOMPARE(entryBox->text(QAccessible::Name), QStringLiteral("Message"));
    QCOMPARE(entryBox->role(), QAccessible::EditableText);

    QAccessibleInterface* transcript = accessible(w.RecTxt);
    QCOMPARE(transcript->text(QAccessible::Name), QStringLiteral("Chat"));
    QVERIFY2(isTextRole(transcript->role()), qPrintable(QString::number(transcript->role())));

    QAccessibleInterface* list = accessible(w.UsrLst);
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Userlist"));
    QCOMPARE(list->role(), QAccessible::List);
    // The caption above the list labels it, and says so from both ends.
    QCOMPARE(labelsOf(w.UsrLst), QList<QObject*>{w.Label7});
    QList<QObject*> labelled;
    for (const auto& [target, relation] : accessible(w.Label7)->relations(QAccessible::Labelled))
        labelled.append(target->object());
    QCOMPARE(labelled, QList<QObject*>{w.UsrLst});

    // Entries are read by the player's name, and an entry keeps its interface, which
    // finds its place afresh, when others leave before it.
    for (const char* name : {"ann", "bob", "cy"})
        w.addUser(QString::fromLatin1(name), 1);
    QCOMPARE(list->childCount(), 3);
    QAccessibleInterface* cy = list->child(2);
    QCOMPARE(cy->text(QAccessible::Name), QStringLiteral("cy"));
    QCOMPARE(cy->role(), QAccessible::ListItem);
    QCOMPARE(cy->parent(), list);
    w.removeUser(QStringLiteral("ann"));
    QCOMPARE(list->childCount(), 2);
    QCOMPARE(list->indexOfChild(cy), 1);
    QCOMPARE(list->child(1), cy);
    QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("bob"));
}

QTEST_MAIN(AccessibleWindowsTest)
#include "tst_accessible_windows.moc"
