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
    QCOMPARE(history.newer(), QStringLiteral("two"));
    QCOMPARE(history.newer(), QStringLiteral("half typed"));
    QCOMPARE(history.newer(), std::nullopt);

    // Entering a line starts the walk again from the newest, with a fresh draft.
    history.add(QStringLiteral("three"));
    QCOMPARE(history.older(QString()), QStringLiteral("three"));
    QCOMPARE(history.newer(), QString());
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
