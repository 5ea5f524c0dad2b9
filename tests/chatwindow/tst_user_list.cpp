// The user list as a keyboard user meets it: only the user picks an entry, Enter does
// what a double-click does, and a departure finds its entry by name in a list of any
// length. (That entries which come and go are announced is checked through the real
// accessibility bus, tests/smoke/atspi_check.sh: offscreen, Qt has no bridge to turn on.)
#define QTEST_QPA_MOUSE_HANDLING // real press/release/double-click sequences for the list

#include "chat_window_steps.h"

#include "chatwindow/frm_main.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "chatwindow/user_index.h"
#include "chatwindow/user_list.h"
#include "session/dispatch_line.h"
#include "session/send_line.h"
#include "session/socket_component.h"
#include "support/connect_socket.h"
#include "support/window_test.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

void listPlayers(const QStringList& names)
{
    dispatch(QStringLiteral("INARENA:pub:0"));
    for (const QString& name : names)
        dispatch(QStringLiteral("PLAYER:%1:0:0").arg(name));
}

QStringList selectedNames(const UserList& list)
{
    QStringList names;
    for (const QListWidgetItem* item : list.selectedItems())
        names.append(item->text());
    return names;
}

void pressKey(frmMain& window, Qt::Key key)
{
    QTest::keyClick(window.windowHandle(), key);
}

// Tabs from the entry box past the transcript into the list, as a keyboard user does.
void tabIntoTheList(frmMain& window)
{
    window.SendTxt->setFocus();
    QTRY_VERIFY(window.SendTxt->hasFocus());
    pressKey(window, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.RecTxt));
    pressKey(window, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.UsrLst));
}

} // namespace

class UserListTest : public WindowTest
{
    Q_OBJECT

private slots:
    void indexFollowsTheListInOrder();
    void departuresSelectNobody_data();
    void departuresSelectNobody();
    void doubleClickActsOnTheSecondClicksEntry();
    void enterActsLikeADoubleClick_data();
    void enterActsLikeADoubleClick();
    void arrowKeysPickTheEntryTheyStayOn();
    void entriesTakeTheSizeOfTheirText();
};

// Random arrivals and departures, with far more departures over time than entries, so
// that the index renumbers itself many times; after each step it must find the first
// entry of every name where a walk of the list does.
void UserListTest::indexFollowsTheListInOrder()
{
    const QStringList pool{"ann", "bob", "cy", "", "Ann", "a:b", "bob ", "dan"};
    QRandomGenerator random(16);
    QStringList list;
    UserIndex index;
    for (int step = 0; step < 20000; ++step) {
        const int choice = random.bounded(10);
        if (choice < 5 || list.isEmpty()) {
            const QString name = pool[random.bounded(int(pool.size()))];
            list.append(name);
            index.append(name);
        } else if (choice < 9) {
            const int row = random.bounded(int(list.size()));
            index.remove(row, list[row]);
            list.removeAt(row);
        } else if (random.bounded(50) == 0) {
            list.clear();
            index.clear();
        }
        QCOMPARE(index.count(), list.size());
        for (const QString& name : pool)
            QCOMPARE(index.firstRow(name), int(list.indexOf(name)));
    }
}

// The players ann, bob, cy, dan and eve; the user picks one with the mouse, or tabs into
// the list and picks no one, then some leave.
void UserListTest::departuresSelectNobody_data()
{
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QStringList>("leaving");
    QTest::addColumn<QStringList>("selected");

    QTest::newRow("the picked player leaves, then the next")
        << "bob" << QStringList{"bob", "cy"} << QStringList{};
    QTest::newRow("others leave around the picked player")
        << "bob" << QStringList{"ann", "cy", "dan"} << QStringList{"bob"};
    QTest::newRow("the last entry, picked, leaves") << "eve" << QStringList{"eve"} << QStringList{};
    QTest::newRow("tabbed in: the current entry leaves, then the next")
        << "" << QStringList{"ann", "bob"} << QStringList{};
    QTest::newRow("tabbed in: everyone leaves")
        << "" << QStringList{"ann", "bob", "cy", "dan", "eve"} << QStringList{};
}

void UserListTest::departuresSelectNobody()
{
    QFETCH(QString, picked);
    QFETCH(QStringList, leaving);
    QFETCH(QStringList, selected);

    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    listPlayers({"ann", "bob", "cy", "dan", "eve"});
    if (picked.isEmpty()) {
        tabIntoTheList(w);
        QVERIFY(w.UsrLst->currentItem());
        QCOMPARE(selectedNames(*w.UsrLst), QStringList());
    } else {
        const int row = w.UsrLst->firstRowNamed(picked);
        QTest::mouseClick(w.UsrLst->viewport(), Qt::LeftButton, {},
                          w.UsrLst->visualItemRect(w.UsrLst->item(row)).center());
        QCOMPARE(selectedNames(*w.UsrLst), QStringList{picked});
    }

    for (const QString& name : leaving) {
        dispatch(QStringLiteral("LEAVING:") + name);
        QCOMPARE(selectedNames(*w.UsrLst), selected);
    }
    // The double-click and Enter address the one still picked, or no one.
    w.SendTxt->setText(QStringLiteral("keep"));
    w.UsrLst->setFocus();
    QTRY_VERIFY(w.UsrLst->hasFocus());
    pressKey(w, Qt::Key_Return);
    QCOMPARE(w.SendTxt->text(), selected.isEmpty() ? QStringLiteral("keep")
                                                   : QStringLiteral("/ %1 ").arg(selected[0]));
}

// Two clicks close together, the first on ann's lower edge, the second on bob's upper
// edge, make one double-click: it addresses bob, whom the list then shows picked.
void UserListTest::doubleClickActsOnTheSecondClicksEntry()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    listPlayers({"ann", "bob", "cy"});
    const QRect ann = w.UsrLst->visualItemRect(w.UsrLst->item(0));
    const QRect bob = w.UsrLst->visualItemRect(w.UsrLst->item(1));
    const QPoint first(ann.center().x(), ann.bottom() - 1);
    const QPoint second(bob.center().x(), bob.top() + 1);
    QVERIFY((second - first).manhattanLength() <= 4);

    QWidget* viewport = w.UsrLst->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, first);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, first);
    // Qt Test spaces out separate clicks; these two follow as quickly as a user's do.
    QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
    QTest::mousePress(viewport, Qt::LeftButton, {}, second);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, second);

    QCOMPARE(w.SendTxt->text(), QStringLiteral("/ bob "));
    QCOMPARE(selectedNames(*w.UsrLst), QStringList{"bob"});
}

void UserListTest::enterActsLikeADoubleClick_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
}

// Tab into the list, Down to bob, Enter: the entry box as a double-click on bob leaves
// it, and nothing sent.
void UserListTest::enterActsLikeADoubleClick()
{
    QFETCH(int, key);
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    LoopbackServer server;
    QVERIFY(connectSocketTo(server, *w.Socket1));
    QVERIFY(server.waitForText("LOGIN:"));
    server.clearReceived();
    listPlayers({"ann", "bob", "cy"});
    w.SendTxt->setText(QStringLiteral("half typed"));

    tabIntoTheList(w);
    pressKey(w, Qt::Key_Down);
    QCOMPARE(selectedNames(*w.UsrLst), QStringList{"bob"});
    pressKey(w, Qt::Key(key));

    QCOMPARE(w.SendTxt->text(), QStringLiteral("/ bob "));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.SendTxt));
    QCOMPARE(w.SendTxt->cursorPosition(), 6);
    QVERIFY(!w.SendTxt->hasSelectedText());
    // The key's release landed in the entry box, which did not see it pressed: it sent
    // nothing, and the marker line is the first the server gets.
    TCP::SendLine(*w.Socket1, QStringLiteral("MARK"));
    QVERIFY(server.waitForText("MARK\n"));
    QCOMPARE(server.received(), QByteArray("MARK\n"));
}

// After tabbing in, the first entry has the keyboard but is not picked; an arrow key
// that cannot move further, or Home, picks the entry it stays on.
void UserListTest::arrowKeysPickTheEntryTheyStayOn()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    listPlayers({"ann", "bob"});

    tabIntoTheList(w);
    QCOMPARE(w.UsrLst->currentRow(), 0);
    QCOMPARE(selectedNames(*w.UsrLst), QStringList());
    pressKey(w, Qt::Key_Up);
    QCOMPARE(selectedNames(*w.UsrLst), QStringList{"ann"});
    pressKey(w, Qt::Key_End);
    QCOMPARE(selectedNames(*w.UsrLst), QStringList{"bob"});
    pressKey(w, Qt::Key_Down);
    QCOMPARE(selectedNames(*w.UsrLst), QStringList{"bob"});
    QVERIFY(w.UsrLst->hasFocus());

    pressKey(w, Qt::Key_Return);
    QCOMPARE(w.SendTxt->text(), QStringLiteral("/ bob "));
}

// The entries keep the size they were measured at, until the list's font changes.
void UserListTest::entriesTakeTheSizeOfTheirText()
{
    frmMain& window = shownWindow();
    listPlayers({QStringLiteral("al"), QStringLiteral("bo")});
    UserList& list = *window.UsrLst;
    const auto entryHeight = [&list] {
        return list.visualRect(list.model()->index(1, 0)).height();
    };
    QTRY_VERIFY(entryHeight() > 0);
    const int height = entryHeight();
    QFont larger = list.font();
    larger.setPointSizeF(larger.pointSizeF() * 3);
    list.setFont(larger);
    QTRY_VERIFY(entryHeight() > height);
}

QTEST_MAIN(UserListTest)
#include "tst_user_list.moc"
