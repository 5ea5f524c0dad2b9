#include "session/command_line.h"
#include "session/line_history.h"
#include "session/name_completion.h"

#include <QTest>

// Recall of entered lines and name completion, as the entry box's Up, Down and Tab use
// them.
class TypingAidsTest : public QObject
{
    Q_OBJECT

private slots:
    void recallWalksBackAndKeepsTheDraft();
    void recallKeepsEveryLineOnceInARowAndAtMostTheBound();
    void recallKeepsEditsUntilEnter();
    void completion_data();
    void completion();
    void completionCycles();
    void completedPrivateMessageGoesToTheFullName_data();
    void completedPrivateMessageGoesToTheFullName();
};

void TypingAidsTest::recallWalksBackAndKeepsTheDraft()
{
    LineHistory history;
    QCOMPARE(history.older(QStringLiteral("draft")), std::nullopt);
    history.add(QStringLiteral("one"));
    history.add(QStringLiteral("two"));
    history.add(QString()); // an empty Enter adds nothing

    QCOMPARE(history.older(QStringLiteral("half typed")), QStringLiteral("two"));
    QCOMPARE(history.older(QStringLiteral("two")), QStringLiteral("one"));
    QCOMPARE(history.older(QStringLiteral("one")), std::nullopt); // the oldest stays
    QCOMPARE(history.newer(QStringLiteral("one")), QStringLiteral("two"));
    QCOMPARE(history.newer(QStringLiteral("two")), QStringLiteral("half typed"));
    QCOMPARE(history.newer(QStringLiteral("half typed")), std::nullopt);

    // Entering a line starts the walk again from the newest, with a fresh draft.
    history.add(QStringLiteral("three"));
    QCOMPARE(history.older(QString()), QStringLiteral("three"));
    QCOMPARE(history.newer(QStringLiteral("three")), QString());
}

// A recalled line that is edited keeps its edits while the user walks Up and Down, until
// Enter: the edited line then goes in as the newest, and the lines kept stay as entered.
void TypingAidsTest::recallKeepsEditsUntilEnter()
{
    LineHistory history;
    for (const char* line : {"one", "two", "three"})
        history.add(QString::fromLatin1(line));

    const struct
    {
        bool older;
        const char* shown; // what the box holds when the key is pressed
        const char* next;  // what the box holds after
    } steps[] = {
        {true, "draft", "three"},
        {true, "three", "two"},
        {true, "two, edited", "one"},
        {false, "one!", "two, edited"},
        {false, "two, edited", "three"},
        {false, "three", "draft"},
        {true, "draft", "three"},
        {true, "three", "two, edited"},
        {true, "two", "one!"},
        {false, "one!", "two"}, // edited back as it was: nothing to keep
    };
    for (const auto& step : steps) {
        const auto next = step.older ? history.older(QString::fromLatin1(step.shown))
                                     : history.newer(QString::fromLatin1(step.shown));
        QCOMPARE(next, QString::fromLatin1(step.next));
    }

    history.add(QStringLiteral("two?"));
    QCOMPARE(history.lines(), (QStringList{"one", "two", "three", "two?"}));
    QStringList walked;
    for (auto line = history.older(QString()); line; line = history.older(*line))
        walked.append(*line);
    QCOMPARE(walked, (QStringList{"two?", "three", "two", "one"}));
}

void TypingAidsTest::recallKeepsEveryLineOnceInARowAndAtMostTheBound()
{
    LineHistory history;
    // A line too long to go out is kept like any other.
    const QString tooLong(400, u'x');
    history.add(tooLong);
    history.add(tooLong);
    history.add(QStringLiteral("b"));
    history.add(tooLong);
    QCOMPARE(history.lines(), (QStringList{tooLong, QStringLiteral("b"), tooLong}));

    for (int i = 0; i < LineHistory::kMaxLines + 5; ++i)
        history.add(QString::number(i));
    QCOMPARE(history.lines().size(), LineHistory::kMaxLines);
    QCOMPARE(history.lines().front(), QStringLiteral("5"));
    QString oldest;
    while (const auto line = history.older(QString()))
        oldest = *line;
    QCOMPARE(oldest, QStringLiteral("5"));
}

void TypingAidsTest::completion_data()
{
    QTest::addColumn<QString>("typed"); // "|" marks the caret
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("offers"); // "|" marks the caret

    const QStringList crew{"AceBot", "xX_Dark Pilot_Xx", "acorn", "Dark", "Bob"};
    QTest::newRow("start of a line becomes a private message")
        << "ac|" << crew << QStringList{"/ AceBot |", "/ acorn |"};
    QTest::newRow("after the slash") << "/AC|" << crew << QStringList{"/AceBot |", "/acorn |"};
    QTest::newRow("after slash and blank, message kept")
        << "/ bo| hi" << crew << QStringList{"/ Bob |hi"};
    QTest::newRow("name with blanks, typed in part")
        << "/xx_dark p|" << crew << QStringList{"/xX_Dark Pilot_Xx |"};
    QTest::newRow("inside a public line") << "hi DAR|, ok" << crew << QStringList{"hi Dark|, ok"};
    QTest::newRow("no, the word begins with xx_dark")
        << "hi dar|" << QStringList{"xX_Dark Pilot_Xx"} << QStringList{};
    QTest::newRow("team message") << "//go bo|" << crew << QStringList{"//go Bob|"};
    QTest::newRow("after the team prefix") << "//bo|" << crew << QStringList{"//Bob|"};
    QTest::newRow("nothing fits") << "zed|" << crew << QStringList{};
    QTest::newRow("blank before the caret") << "bob |" << crew << QStringList{};
    QTest::newRow("empty line") << "|" << crew << QStringList{};
    QTest::newRow("same name twice in the list")
        << "bo|" << QStringList{"Bob", "Bob"} << QStringList{"/ Bob |"};
}

void TypingAidsTest::completion()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, names);
    QFETCH(QStringList, offers);
    const qsizetype caret = typed.indexOf(u'|');
    QStringList got;
    for (const Completion& offer : nameCompletions(typed.remove(caret, 1), caret, names))
        got.append(QString(offer.text).insert(offer.caret, u'|'));
    QCOMPARE(got, offers);
}

void TypingAidsTest::completionCycles()
{
    const QStringList names{"Ann", "anna", "Annika"};
    NameCompleter tab;
    QCOMPARE(tab.complete("hi an", 5, names, false), (Completion{"hi Ann", 6}));
    QCOMPARE(tab.complete("hi Ann", 6, names, false), (Completion{"hi anna", 7}));
    QCOMPARE(tab.complete("hi anna", 7, names, false), (Completion{"hi Annika", 9}));
    QCOMPARE(tab.complete("hi Annika", 9, names, false), (Completion{"hi Ann", 6}));
    QCOMPARE(tab.complete("hi Ann", 6, names, true), (Completion{"hi Annika", 9}));
    // Once the line changed, Tab completes the word as it stands now.
    QCOMPARE(tab.complete("hi Annik", 8, names, false), (Completion{"hi Annika", 9}));
    // Shift+Tab first offers the last name; with nothing to complete, nothing is offered.
    QCOMPARE(tab.complete("an", 2, names, true), (Completion{"/ Annika ", 9}));
    QCOMPARE(tab.complete("zed", 3, names, false), std::nullopt);
}

void TypingAidsTest::completedPrivateMessageGoesToTheFullName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent");
    QTest::newRow("start of a line") << "xx"
                                     << "SEND:PRIV:xX_Dark Pilot_Xx:see you";
    QTest::newRow("after the slash") << "/xx_d"
                                     << "SEND:PRIV:xX_Dark Pilot_Xx:see you";
    QTest::newRow("after slash and blank") << "/ xX_Dark P"
                                           << "SEND:PRIV:xX_Dark Pilot_Xx:see you";
}

void TypingAidsTest::completedPrivateMessageGoesToTheFullName()
{
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    const QStringList names{"xX_Dark", "xX_Dark Pilot_Xx"};
    NameCompleter tab;
    auto line = tab.complete(typed, typed.size(), names, false);
    QVERIFY(line);
    // The longer name is the second offer when the shorter one also fits.
    if (!line->text.contains(u"Pilot"))
        line = tab.complete(line->text, line->caret, names, false);
    QString message = line->text;
    message.insert(line->caret, QStringLiteral("see you"));
    QCOMPARE(commandLineToProtocol(message, names), sent);
}

QTEST_APPLESS_MAIN(TypingAidsTest)
#include "tst_typing_aids.moc"
