// The find bar of the chat window as a user drives it from the keyboard: opened from any
// control, typed into while lines arrive, walked with Enter and F3, closed with Esc, and
// a link opened from the current match.
#include "chat_window_steps.h"

#include "chatwindow/find_bar.h"
#include "chatwindow/frm_main.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "chatwindow/user_list.h"
#include "support/opened_links.h"
#include "support/window_test.h"

#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

class ChatFindTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();

    void opensFromEveryControlBelowTheTranscript();
    void walkingTheMatchesWithTheKeys();
    void keepsTheKeyboardWhileLinesArrive();
    void theCountSettlesWhateverTheUserDoesMeanwhile_data();
    void theCountSettlesWhateverTheUserDoesMeanwhile();
    void ctrlEnterOpensTheLinkAtTheMatch();

private:
    frmMain& window() { return frmMain::instance(); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window().windowHandle(), key, modifiers);
    }
    void type(const QString& text)
    {
        for (QChar c : text)
            QTest::keyClick(window().windowHandle(), c.toLatin1());
    }
    void append(const QString& line) { window().appendLine(line, 181, 181, 255, 0, 0); }
    QString count() { return window().findBar->countText(); }
    std::optional<TextPos> mark() { return window().RecTxt->currentFindMark(); }
};

void ChatFindTest::init()
{
    WindowTest::init();
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (const char* line : {"ann> the tournament at nine", "bob> Tournament? tournament!",
                             "cy> nothing here", "dee> TOURNAMENT"})
        append(QString::fromLatin1(line));
}

void ChatFindTest::opensFromEveryControlBelowTheTranscript()
{
    frmMain& w = window();
    const QRect transcript = w.RecTxt->geometry();
    for (QWidget* control : QList<QWidget*>{w.SendTxt, w.RecTxt, w.UsrLst}) {
        control->setFocus();
        QTRY_VERIFY(control->hasFocus());
        key(Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(w.findBar->box()->hasFocus());
        QCOMPARE(w.size(), QSize(800, 556));
        QVERIFY(w.findBar->isVisible());
        QCOMPARE(w.RecTxt->geometry().top(), transcript.top());
        QVERIFY(w.RecTxt->geometry().bottom() < w.findBar->geometry().top());
        QVERIFY(w.findBar->geometry().bottom() <= transcript.bottom());
        QCOMPARE(w.findBar->box()->accessibleName(), QStringLiteral("Find"));

        key(Qt::Key_Escape);
        QTRY_VERIFY(w.SendTxt->hasFocus());
        QVERIFY(!w.findBar->isVisible());
        QCOMPARE(w.RecTxt->geometry(), transcript);
    }
}

void ChatFindTest::walkingTheMatchesWithTheKeys()
{
    key(Qt::Key_F, Qt::ControlModifier);
    type(QStringLiteral("tournament"));
    QCOMPARE(count(), QStringLiteral("1 of 4"));
    QCOMPARE(mark(), (TextPos{3, 5}));

    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* count;
        TextPos mark;
    } steps[] = {
        {Qt::Key_Return, Qt::NoModifier, "2 of 4", {1, 17}},
        {Qt::Key_F3, Qt::NoModifier, "3 of 4", {1, 5}},
        {Qt::Key_Return, Qt::ShiftModifier, "2 of 4", {1, 17}},
        {Qt::Key_F3, Qt::ShiftModifier, "1 of 4", {3, 5}},
        {Qt::Key_F3, Qt::ShiftModifier, "4 of 4", {0, 9}}, // round past the newest
    };
    for (const auto& step : steps) {
        key(step.key, step.modifiers);
        QCOMPARE(count(), QLatin1StringView(step.count));
        QCOMPARE(mark(), step.mark);
    }
    type(QStringLiteral(" at"));
    QCOMPARE(count(), QStringLiteral("1 of 1"));
    type(QStringLiteral("x"));
    QCOMPARE(count(), QStringLiteral("No matches"));
    QCOMPARE(mark(), std::nullopt);
    // A character the chat cannot hold is in no line, and an empty box counts nothing.
    key(Qt::Key_Backspace);
    QCOMPARE(count(), QStringLiteral("1 of 1"));
    window().findBar->box()->insert(QStringLiteral("\u2713"));
    QCOMPARE(count(), QStringLiteral("No matches"));
    QCOMPARE(mark(), std::nullopt);
    window().findBar->box()->clear();
    QCOMPARE(count(), QString());
    type(QStringLiteral("tournament atx"));

    // The marks go with the bar.
    key(Qt::Key_Backspace);
    QVERIFY(mark());
    key(Qt::Key_Escape);
    QCOMPARE(mark(), std::nullopt);
}

// Arriving lines and typed characters leave the keyboard in the bar, and the view
// shows the current match, long ago as it may be.
void ChatFindTest::keepsTheKeyboardWhileLinesArrive()
{
    frmMain& w = window();
    for (int i = 0; i < 500; ++i)
        append(QStringLiteral("p> line %1").arg(i));
    key(Qt::Key_F, Qt::ControlModifier);
    type(QStringLiteral("nothing"));
    append(QStringLiteral("p> a line arrives"));
    type(QStringLiteral(" here"));
    QVERIFY(w.findBar->box()->hasFocus());
    QCOMPARE(w.findBar->box()->text(), QStringLiteral("nothing here"));
    QCOMPARE(w.SendTxt->text(), QString());
    QCOMPARE(count(), QStringLiteral("1 of 1"));
    QVERIFY(!w.RecTxt->placeRect({2, 4}).isEmpty());

    // Elsewhere the window's own rules hold.
    w.RecTxt->setFocus();
    append(QStringLiteral("p> another"));
    QVERIFY(w.SendTxt->hasFocus());
}

void ChatFindTest::theCountSettlesWhateverTheUserDoesMeanwhile_data()
{
    QTest::addColumn<int>("pressed"); // 0: a line arrives instead, or the button is clicked
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("button");
    QTest::newRow("F3") << int(Qt::Key_F3) << 0 << "";
    QTest::newRow("Shift+F3") << int(Qt::Key_F3) << int(Qt::ShiftModifier) << "";
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << "";
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << "";
    QTest::newRow("older button") << 0 << 0 << "Older match";
    QTest::newRow("newer button") << 0 << 0 << "Newer match";
    QTest::newRow("a line arrives") << 0 << 0 << "";
}

// A term whose count takes many slices (millions of matches), and the user goes to the
// next match, or a line arrives, before it is done: the count goes on and the bar ends
// up showing the new term's figure, not the last term's.
void ChatFindTest::theCountSettlesWhateverTheUserDoesMeanwhile()
{
    QFETCH(int, pressed);
    QFETCH(int, modifiers);
    QFETCH(QString, button);
    frmMain& w = window();
    constexpr int kLines = 24;
    constexpr int kLength = 1000000;
    for (int i = 0; i < kLines; ++i)
        append(QStringLiteral("p> ") + QString(kLength, u'a'));
    key(Qt::Key_F, Qt::ControlModifier);
    type(QStringLiteral("nine"));
    QTRY_COMPARE(count(), QStringLiteral("1 of 1"));

    const QString term(20, u'a');
    w.findBar->box()->selectAll();
    type(term);
    QVERIFY(!w.findBar->search().isCounted());
    if (pressed != 0)
        key(Qt::Key(pressed), Qt::KeyboardModifiers(modifiers));
    for (QToolButton* clicked : w.findBar->findChildren<QToolButton*>()) {
        if (clicked->accessibleName() == button)
            QTest::mouseClick(clicked, Qt::LeftButton);
    }
    if (pressed == 0 && button.isEmpty())
        append(QStringLiteral("p> one more"));

    // Every place in the kept messages where 20 letters "a" in either case follow.
    const LineStore& store = w.RecTxt->store();
    qint64 matches = 0;
    for (qint64 id = store.firstId(); id < store.endId(); ++id) {
        qsizetype run = 0;
        for (const char c : store.text(id)) {
            run = c == 'a' || c == 'A' ? run + 1 : 0;
            matches += run >= term.size() ? 1 : 0;
        }
    }
    QVERIFY(matches > qint64(kLines) * (kLength - term.size()));
    // About a second here; ten times that in the sanitizer build.
    QTRY_VERIFY_WITH_TIMEOUT(count().endsWith(QStringLiteral(" of %1").arg(matches)), 60000);
    QVERIFY(w.findBar->search().isCounted());
}

void ChatFindTest::ctrlEnterOpensTheLinkAtTheMatch()
{
    frmMain& w = window();
    QStringList opened;
    w.RecTxt->setLinkOpener(std::make_unique<OpenedLinks>(opened));
    append(QStringLiteral("fay> rules: www.example.org/rules and more"));
    key(Qt::Key_F, Qt::ControlModifier);
    type(QStringLiteral("rules"));
    QCOMPARE(count(), QStringLiteral("1 of 2"));
    key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(opened, QStringList{"http://www.example.org/rules"});
    // A match outside a link opens nothing.
    key(Qt::Key_Return);
    key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(opened, QStringList{"http://www.example.org/rules"});
}

QTEST_MAIN(ChatFindTest)
#include "tst_chat_find.moc"
