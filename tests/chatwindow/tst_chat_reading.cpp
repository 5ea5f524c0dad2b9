// Reading back in the chat window as a user does it: the reading keys from the entry box
// and from the chat, with the typed text untouched, and the new-messages indicator over
// the chat that a click takes to the newest.
#include "chat_window_steps.h"

#include "chatwindow/find_bar.h"
#include "chatwindow/frm_main.h"
#include "chatwindow/new_messages_button.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "support/window_test.h"

#include <QAccessible>
#include <QScrollBar>
#include <QtTest>

class ChatReadingTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();

    void readingKeysLeaveTheTypedText_data();
    void readingKeysLeaveTheTypedText();
    void indicatorCountsAndShowsTheNewest();

private:
    frmMain& window() { return frmMain::instance(); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window().windowHandle(), key, modifiers);
    }
    void appendLines(int count)
    {
        for (int i = 0; i < count; ++i)
            window().appendLine(QStringLiteral("p> line %1").arg(i), 181, 181, 255, 0, 0);
    }
    // Where a control lies in the window.
    QRect inWindow(const QWidget* control)
    {
        return QRect(control->mapTo(&window(), QPoint(0, 0)), control->size());
    }
};

void ChatReadingTest::init()
{
    WindowTest::init();
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    appendLines(500);
}

void ChatReadingTest::readingKeysLeaveTheTypedText_data()
{
    QTest::addColumn<bool>("fromTheChat");
    QTest::newRow("entry box") << false;
    QTest::newRow("chat, reached with Tab") << true;
}

void ChatReadingTest::readingKeysLeaveTheTypedText()
{
    QFETCH(bool, fromTheChat);
    frmMain& w = window();
    QScrollBar* bar = w.RecTxt->verticalScrollBar();
    for (const char c : QByteArrayView("half a line"))
        QTest::keyClick(w.windowHandle(), c);
    key(Qt::Key_Left);
    key(Qt::Key_Left, Qt::ShiftModifier);
    QWidget* const reader = fromTheChat ? static_cast<QWidget*>(w.RecTxt) : w.SendTxt;
    if (fromTheChat)
        key(Qt::Key_Tab);
    QVERIFY(reader->hasFocus());
    // Leaving the box with Tab takes its selection away, as it always did.
    const QString selected = fromTheChat ? QString() : QStringLiteral("n");
    const auto untouched = [&] {
        return reader->hasFocus() && w.SendTxt->text() == u"half a line" &&
               w.SendTxt->selectedText() == selected && w.SendTxt->cursorPosition() == 9;
    };

    key(Qt::Key_PageUp);
    QVERIFY(!w.RecTxt->isFollowing());
    const int onePageBack = bar->value();
    QVERIFY(onePageBack < bar->maximum());
    key(Qt::Key_PageUp);
    QVERIFY(bar->value() < onePageBack);
    key(Qt::Key_PageDown);
    QCOMPARE(bar->value(), onePageBack);
    // Arriving lines leave the reader's place and the keyboard where they are.
    appendLines(3);
    QCOMPARE(bar->value(), onePageBack);
    QVERIFY(untouched());
    key(Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);
    key(Qt::Key_End, Qt::ControlModifier);
    QVERIFY(w.RecTxt->isFollowing());
    QVERIFY(untouched());

    // Shift with the page keys selects in the box, and the chat stays at the newest.
    if (!fromTheChat) {
        key(Qt::Key_PageUp, Qt::ShiftModifier);
        QVERIFY(w.RecTxt->isFollowing());
        QCOMPARE(w.SendTxt->text(), QStringLiteral("half a line"));
    }
}

void ChatReadingTest::indicatorCountsAndShowsTheNewest()
{
    frmMain& w = window();
    NewMessagesButton* indicator = w.newMessages;
    QVERIFY(!indicator->isVisible());
    key(Qt::Key_PageUp);
    QVERIFY(!indicator->isVisible());
    appendLines(36);
    dispatch(QStringLiteral("MSG:PUB:ann:one more"));
    QVERIFY(indicator->isVisible());
    QCOMPARE(indicator->text(), QStringLiteral("37 new messages"));

    // A screen reader finds a button named by its text.
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(indicator);
    QCOMPARE(read->role(), QAccessible::Button);
    QCOMPARE(read->text(QAccessible::Name), QStringLiteral("37 new messages"));

    // Over the bottom of the chat, and never over the find bar or the entry box.
    const QRect chat = inWindow(w.RecTxt);
    QVERIFY(chat.contains(inWindow(indicator)));
    QVERIFY(inWindow(indicator).bottom() > chat.center().y());
    key(Qt::Key_F, Qt::ControlModifier);
    QVERIFY(w.findBar->isVisible());
    QVERIFY(indicator->isVisible());
    QVERIFY(!inWindow(indicator).intersects(inWindow(w.findBar)));
    QVERIFY(!inWindow(indicator).intersects(inWindow(w.SendTxt)));
    key(Qt::Key_Escape);
    QVERIFY(inWindow(w.RecTxt).contains(inWindow(indicator)));
    // A larger text in the chat is a larger text in the indicator, still inside the chat.
    QFont larger = w.RecTxt->font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    w.RecTxt->setFont(larger);
    QCOMPARE(indicator->font().pointSizeF(), larger.pointSizeF());
    QVERIFY(inWindow(w.RecTxt).contains(inWindow(indicator)));

    // A click shows the newest; the keyboard stays in the entry box.
    QVERIFY(w.SendTxt->hasFocus());
    QTest::mouseClick(indicator, Qt::LeftButton);
    QVERIFY(w.RecTxt->isFollowing());
    QVERIFY(!indicator->isVisible());
    QVERIFY(w.SendTxt->hasFocus());
}

QTEST_MAIN(ChatReadingTest)
#include "tst_chat_reading.moc"
