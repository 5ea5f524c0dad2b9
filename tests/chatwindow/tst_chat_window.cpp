// The chat window itself: its layout, pictures and icon, the transcript as the reader
// sees it, the user list and its double-click, and the transcript following new lines.
#define QTEST_QPA_MOUSE_HANDLING // real press/release/double-click sequences for the list

#include "chat_window_steps.h"
#include "transcript_reader.h"

#include "chatwindow/append_chat.h"
#include "chatwindow/desktop_notice.h"
#include "chatwindow/frm_main.h"
#include "chatwindow/image_list.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "session/dispatch_line.h"
#include "session/socket_component.h"
#include "shell/base/session_state.h"
#include "support/connect_socket.h"
#include "support/loopback_server.h"
#include "support/recording_view.h"
#include "support/window_test.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSet>
#include <QTimer>
#include <QtTest>

#include <limits>

namespace {

QImage pixelsOf(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage picture(int number)
{
    return QImage(ImageList::resourcePath(number)).convertToFormat(QImage::Format_ARGB32);
}

// The designed family where the machine has it, its metric-compatible stand-in where not.
bool isDesignFamily(const QFont& font, const char* family, const char* standIn)
{
    const QString expected = QFontDatabase::hasFamily(QLatin1String(family))
                                 ? QLatin1String(family)
                                 : QLatin1String(standIn);
    return font.family() == expected;
}

// Every entry of the user list: its text, and the number of its picture (0 for none).
QList<std::pair<QString, int>> listed(const frmMain& window)
{
    QList<std::pair<QString, int>> entries;
    for (int row = 0; row < window.UsrLst->count(); ++row) {
        const QListWidgetItem* item = window.UsrLst->item(row);
        int number = 0;
        for (int candidate = 1; candidate <= ImageList::kCount && !item->icon().isNull();
             ++candidate) {
            if (pixelsOf(item->icon()) == picture(candidate))
                number = candidate;
        }
        entries.append({item->text(), number});
    }
    return entries;
}

} // namespace

class ChatWindowTest : public WindowTest
{
    Q_OBJECT

private slots:
    void designTimeLayout();
    void resizableWithMaximize();
    void focusStartsInEntryBoxAndTabsInOrder();
    void picturesAndIcon();
    void appendedMessagesKeepTheirOwnLook();
    void windowShowsWhatTheViewRecords();
    void refusedLoginStaysReadable();
    void transcriptIsReadOnlyButCopyable();
    void userListAfterArenaAndPlayers();
    void userListFollowsArrivalsAndDepartures_data();
    void userListFollowsArrivalsAndDepartures();
    void selectionAcrossDepartures();
    void doubleClickPreparesPrivateMessage();
    void doubleClickWithoutSelectionDoesNothing();
    void doubleClickBesideTheEntriesUsesTheSelection();
    void doubleClickLeavesTheGreyedBoxAlone();
    void transcriptFollowsOnlyAtTheBottom();
    void notificationChangesTranscriptOnce();
    void noticeOfMessagesForTheUserOnlyWhileInactive();
    void noticeWithoutASessionBusSaysNothing();
};

void ChatWindowTest::designTimeLayout()
{
    frmMain& w = frmMain::instance();
    QCOMPARE(w.windowTitle(), QStringLiteral("My Orvex Client By Quibbert V 1.0.0"));
    QVERIFY(!w.isVisible());

    QCOMPARE(w.UsrLst->geometry(), QRect(624, 24, 169, 497));
    QCOMPARE(w.SendTxt->geometry(), QRect(8, 528, 785, 21));
    QCOMPARE(w.RecTxt->geometry(), QRect(8, 8, 608, 515));
    QCOMPARE(w.Label7->pos(), QPoint(624, 8));
    QCOMPARE(w.Label7->text(), QStringLiteral("Userlist"));
    // Sized to its text: the caption is whole and the label ends above the list.
    QVERIFY(w.Label7->width() >= w.Label7->fontMetrics().horizontalAdvance(w.Label7->text()));
    QVERIFY(w.Label7->geometry().bottom() < w.UsrLst->geometry().top());

    for (QWidget* control : {static_cast<QWidget*>(w.UsrLst), static_cast<QWidget*>(w.SendTxt),
                             static_cast<QWidget*>(w.Label7)}) {
        QVERIFY2(isDesignFamily(control->font(), "Verdana", "DejaVu Sans"),
                 qPrintable(control->font().family()));
        QCOMPARE(control->font().pointSizeF(), 8.25);
        QVERIFY(!control->font().bold());
    }
    QVERIFY2(isDesignFamily(w.RecTxt->font(), "MS Sans Serif", "Liberation Sans"),
             qPrintable(w.RecTxt->font().family()));
    QCOMPARE(w.RecTxt->font().pointSizeF(), 8.25);
    QVERIFY(w.RecTxt->font().bold());

    QCOMPARE(w.palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(w.autoFillBackground());
    QCOMPARE(w.UsrLst->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(w.UsrLst->palette().color(QPalette::Text), QColor(Qt::white));
    QCOMPARE(w.SendTxt->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(w.SendTxt->palette().color(QPalette::Text), QColor(Qt::white));
    QCOMPARE(w.RecTxt->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(w.Label7->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(!w.Label7->autoFillBackground());

    QCOMPARE(w.RecTxt->toPlainText(), QString());
    QCOMPARE(w.UsrLst->count(), 0);
    QCOMPARE(w.SendTxt->text(), QString());
    QCOMPARE(w.SendTxt->maxLength(), std::numeric_limits<int>::max()); // no limit of its own
    QCOMPARE(w.UsrLst->viewMode(), QListView::ListMode);
    QCOMPARE(w.UsrLst->iconSize(), QSize(16, 16));
    QCOMPARE(w.TmrKeepAlive->interval(), 60000);
    QVERIFY(!w.TmrKeepAlive->isActive());
}

void ChatWindowTest::resizableWithMaximize()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(800, 556));
    QVERIFY(w.minimumWidth() <= 480 && w.minimumHeight() <= 320);
    QVERIFY(w.maximumWidth() > 1920 && w.maximumHeight() > 1080);
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(!flags.testFlag(Qt::CustomizeWindowHint)); // the system's buttons, maximise too

    w.resize(1000, 700);
    QCOMPARE(w.size(), QSize(1000, 700));
    w.showMaximized();
    QTRY_VERIFY(w.isMaximized());
}

void ChatWindowTest::focusStartsInEntryBoxAndTabsInOrder()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.SendTxt));

    const QList<QWidget*> order{w.RecTxt, w.UsrLst, w.SendTxt};
    for (QWidget* next : order) {
        QTest::keyClick(w.windowHandle(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), next);
    }
    QCOMPARE(w.Label7->focusPolicy(), Qt::NoFocus);
}

void ChatWindowTest::picturesAndIcon()
{
    frmMain& w = frmMain::instance();
    QSet<QByteArray> seen;
    for (int number = 1; number <= ImageList::kCount; ++number) {
        const QImage image = picture(number);
        QCOMPARE(image.size(), QSize(16, 16));
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0)); // drawn on black
        bool hasMaskGrey = false;
        int drawn = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                hasMaskGrey |= image.pixel(x, y) == qRgb(0xC0, 0xC0, 0xC0);
                drawn += image.pixel(x, y) != qRgb(0, 0, 0) ? 1 : 0;
            }
        }
        QVERIFY(!hasMaskGrey);
        QVERIFY2(drawn > 20, qPrintable(QString::number(number)));
        seen.insert(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        QCOMPARE(pixelsOf(w.UsrImages.picture(number)), image);
        // On a screen scaled to 200% the list shows the picture drawn at 32 x 32.
        const QImage sharp = w.UsrImages.picture(number).pixmap(QSize(16, 16), 2.0).toImage();
        QCOMPARE(sharp.convertToFormat(QImage::Format_ARGB32),
                 QImage(QStringLiteral(":/chatwindow/images/user%1@2x.png").arg(number))
                     .convertToFormat(QImage::Format_ARGB32));
    }
    QCOMPARE(seen.size(), ImageList::kCount);
    QVERIFY(w.UsrImages.picture(0).isNull());
    QVERIFY(w.UsrImages.picture(10).isNull());

    const QIcon icon = w.windowIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : kIconSizes)
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    const QImage big = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(big.pixel(0, 0)), 0);          // transparent corner
    QCOMPARE(big.pixel(16, 3), qRgb(255, 255, 0)); // yellow face
    QCOMPARE(big.pixel(16, 1), qRgb(0, 0, 0));     // black outline
}

// Each message its own paragraph after a line break, its own colour and emphasis.
void ChatWindowTest::appendedMessagesKeepTheirOwnLook()
{
    frmMain& w = frmMain::instance();
    AppendChat(w.RecTxt, QStringLiteral("first"), 255, 0, 0, 1, 1);
    QCOMPARE(w.RecTxt->toPlainText(), QStringLiteral("\nfirst"));

    w.appendLine(QStringLiteral("second"), 0, 128, 0, 0, 0);
    AppendChat(w.RecTxt, QStringLiteral("third"), 1, 2, 3, 0, 9);
    AppendChat(w.RecTxt, QString(), 4, 5, 6, 7, 0);
    QCOMPARE(describe(paragraphsOf(w.RecTxt)),
             describe(QList<Paragraph>{
                 blank(),
                 styled(QStringLiteral("first"), QColor(255, 0, 0), true, true),
                 styled(QStringLiteral("second"), QColor(0, 128, 0)),
                 styled(QStringLiteral("third"), QColor(1, 2, 3), false, true),
                 blank(),
             }));
}

// The window shows what the dispatcher asks of a view: each message its own line in its
// look, its text literal, a CR starting another line.
void ChatWindowTest::windowShowsWhatTheViewRecords()
{
    frmMain& w = frmMain::instance();
    RecordingView recorded;
    for (const char* line :
         {"LOGINOK:bob", "MSG:PUB:eve:<b>bold</b> &amp; <img src=x>", "MSG:FREQ:bob:hi\r",
          "MSG:SYSOP:mind the rules", "INARENA:duel:2", "MSG:PRIV:ann:psst", "MSG:PUB:ann:next"}) {
        TCP::DispatchLine(QString::fromLatin1(line), recorded, *w.Socket1);
        dispatch(QString::fromLatin1(line));
    }
    QList<Paragraph> expected{blank()};
    for (const QString& call : std::as_const(recorded.calls)) {
        if (!call.startsWith(QStringLiteral("show ")))
            continue;
        const QStringList look = call.section(u' ', -1).split(u'~');
        const QColor colour(look[0].toInt(), look[1].toInt(), look[2].toInt());
        for (const QString& line : call.section(u' ', 1, -2).split(u'\r'))
            expected.append(
                line.isEmpty() ? blank() : styled(line, colour, look[3] != u"0", look[4] != u"0"));
    }
    QCOMPARE(expected.size(), 9);
    QCOMPARE(describe(paragraphsOf(w.RecTxt)), describe(expected));
}

// A refused login leaves its reason readable and the entry box greyed, holding what was
// typed.
void ChatWindowTest::refusedLoginStaysReadable()
{
    LoopbackServer server;
    frmMain& w = frmMain::instance();
    QObject::disconnect(w.Socket1, &SocketComponent::connected, &w, nullptr);
    QVERIFY(connectSocketTo(server, *w.Socket1));
    w.SendTxt->setText(QStringLiteral("half typed"));
    QVERIFY(w.SendTxt->isEnabled());

    server.send("LOGINBAD:Banned: no such user\n");
    QTRY_VERIFY(!w.SendTxt->isEnabled());
    QCOMPARE(w.RecTxt->toPlainText(), QStringLiteral("\nLogin bad: Banned: no such user"));
    QCOMPARE(w.SendTxt->text(), QStringLiteral("half typed"));
}

void ChatWindowTest::transcriptIsReadOnlyButCopyable()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.appendLine(QStringLiteral("copy <me>"), 255, 255, 255, 0, 0);
    w.RecTxt->setFocus();
    QTRY_VERIFY(w.RecTxt->hasFocus());

    QTest::keyClicks(w.RecTxt, QStringLiteral("xyz"));
    QTest::keyClick(w.RecTxt, Qt::Key_Backspace);
    QCOMPARE(w.RecTxt->toPlainText(), QStringLiteral("\ncopy <me>"));

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(w.RecTxt, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w.RecTxt, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\ncopy <me>"));
}

void ChatWindowTest::userListAfterArenaAndPlayers()
{
    frmMain& w = frmMain::instance();
    dispatch(QStringLiteral("INARENA:pub:0"));
    for (const char* line : {"PLAYER:a:0:0", "PLAYER:b:8:0", "PLAYER:a:0:0", "PLAYER:c:9:0",
                             "PLAYER:d:x:0", "PLAYER:f:4:0"})
        dispatch(QString::fromLatin1(line));

    const QList<std::pair<QString, int>> expected{{"a", 1}, {"b", 9}, {"a", 1},
                                                  {"c", 0}, {"d", 0}, {"f", 5}};
    QCOMPARE(listed(w), expected);
    // Neither line shows any text.
    QCOMPARE(w.RecTxt->toPlainText(), QStringLiteral("\nYou have joined arena: pub on freq: 0"));

    dispatch(QStringLiteral("INARENA:duel:1"));
    QCOMPARE(w.UsrLst->count(), 0);
    dispatch(QStringLiteral("PLAYER:z:1:0"));
    QCOMPARE(w.UsrLst->count(), 1);
}

// Players who arrive are added at the end; one who leaves takes the first entry of
// exactly that name with them. The list starts from a, b, a (pictures 1, 9, 1).
void ChatWindowTest::userListFollowsArrivalsAndDepartures_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("pictures");

    QTest::newRow("arrival") << QStringList{"ENTERING:e:1:0"} << QStringList{"a", "b", "a", "e"}
                             << QList<int>{1, 9, 1, 2};
    QTest::newRow("arrival, like a listed player")
        << QStringList{"ENTERING:a:8:2:x"} << QStringList{"a", "b", "a", "a"}
        << QList<int>{1, 9, 1, 9};
    QTest::newRow("arrival, no picture")
        << QStringList{"ENTERING:e:9:0"} << QStringList{"a", "b", "a", "e"}
        << QList<int>{1, 9, 1, 0};
    QTest::newRow("departure of the first of two")
        << QStringList{"LEAVING:a"} << QStringList{"b", "a"} << QList<int>{9, 1};
    QTest::newRow("both depart") << QStringList{"LEAVING:a", "LEAVING:a"} << QStringList{"b"}
                                 << QList<int>{9};
    QTest::newRow("unknown name") << QStringList{"LEAVING:zed"} << QStringList{"a", "b", "a"}
                                  << QList<int>{1, 9, 1};
    QTest::newRow("name differs in case")
        << QStringList{"LEAVING:B"} << QStringList{"a", "b", "a"} << QList<int>{1, 9, 1};
    QTest::newRow("name with a blank")
        << QStringList{"LEAVING:b "} << QStringList{"a", "b", "a"} << QList<int>{1, 9, 1};
    QTest::newRow("empty name") << QStringList{"PLAYER::2:0", "LEAVING:"}
                                << QStringList{"a", "b", "a", ""} << QList<int>{1, 9, 1, 3};
    QTest::newRow("arrives, then leaves") << QStringList{"ENTERING:e:1:0", "LEAVING:e"}
                                          << QStringList{"a", "b", "a"} << QList<int>{1, 9, 1};
    QTest::newRow("leaves, comes back at the end")
        << QStringList{"LEAVING:b", "ENTERING:b:3:0"} << QStringList{"a", "a", "b"}
        << QList<int>{1, 1, 4};
    QTest::newRow("new arena empties the list")
        << QStringList{"INARENA:duel", "LEAVING:a"} << QStringList{} << QList<int>{};
}

void ChatWindowTest::userListFollowsArrivalsAndDepartures()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, pictures);
    frmMain& w = frmMain::instance();
    for (const char* line : {"INARENA:pub:0", "PLAYER:a:0:0", "PLAYER:b:8:0", "PLAYER:a:0:0"})
        dispatch(QString::fromLatin1(line));
    const QString shown = w.RecTxt->toPlainText();

    for (const QString& line : lines)
        dispatch(line);
    QList<std::pair<QString, int>> expected;
    for (qsizetype i = 0; i < names.size(); ++i)
        expected.append({names[i], pictures[i]});
    QCOMPARE(listed(w), expected);
    if (!lines.first().startsWith(QStringLiteral("INARENA:")))
        QCOMPARE(w.RecTxt->toPlainText(), shown);
}

// The entry the reader picked stays picked when someone else leaves; when the picked
// player leaves, nothing is picked and a double-click does nothing.
void ChatWindowTest::selectionAcrossDepartures()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (const char* line : {"PLAYER:ann:0:0", "PLAYER:bob:1:0", "PLAYER:cy:2:0"})
        dispatch(QString::fromLatin1(line));
    const QRect bob = w.UsrLst->visualItemRect(w.UsrLst->item(1));
    QTest::mouseClick(w.UsrLst->viewport(), Qt::LeftButton, {}, bob.center());
    QCOMPARE(w.UsrLst->selectedItems().size(), 1);

    dispatch(QStringLiteral("LEAVING:ann"));
    QCOMPARE(w.UsrLst->selectedItems().size(), 1);
    QCOMPARE(w.UsrLst->selectedItems().first()->text(), QStringLiteral("bob"));

    dispatch(QStringLiteral("LEAVING:bob"));
    QCOMPARE(w.UsrLst->selectedItems(), QList<QListWidgetItem*>());
    w.SendTxt->setText(QStringLiteral("keep"));
    QTest::mouseDClick(w.UsrLst->viewport(), Qt::LeftButton, {},
                       QPoint(10, w.UsrLst->viewport()->height() - 5));
    QCOMPARE(w.SendTxt->text(), QStringLiteral("keep"));
    w.UsrLst_DblClick();
    QCOMPARE(w.SendTxt->text(), QStringLiteral("keep"));
}

void ChatWindowTest::doubleClickPreparesPrivateMessage()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    dispatch(QStringLiteral("PLAYER:ann:0:0"));
    dispatch(QStringLiteral("PLAYER:bob:1:0"));
    w.SendTxt->setText(QStringLiteral("half typed"));

    const QRect bob = w.UsrLst->visualItemRect(w.UsrLst->item(1));
    QTest::mouseDClick(w.UsrLst->viewport(), Qt::LeftButton, {}, bob.center());

    QCOMPARE(w.SendTxt->text(), QStringLiteral("/ bob "));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.SendTxt));
    QCOMPARE(w.SendTxt->cursorPosition(), 6);
    QVERIFY(!w.SendTxt->hasSelectedText());
}

void ChatWindowTest::doubleClickWithoutSelectionDoesNothing()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.SendTxt->setText(QStringLiteral("keep"));
    w.UsrLst_DblClick();
    QCOMPARE(w.SendTxt->text(), QStringLiteral("keep"));

    dispatch(QStringLiteral("PLAYER:ann:0:0"));
    QTest::mouseDClick(w.UsrLst->viewport(), Qt::LeftButton, {},
                       QPoint(10, w.UsrLst->viewport()->height() - 5));
    QCOMPARE(w.SendTxt->text(), QStringLiteral("keep"));
}

// Below the entries, a double-click still addresses the entry the reader picked.
void ChatWindowTest::doubleClickBesideTheEntriesUsesTheSelection()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    dispatch(QStringLiteral("PLAYER:ann:0:0"));
    dispatch(QStringLiteral("PLAYER:bob:1:0"));
    const QRect bob = w.UsrLst->visualItemRect(w.UsrLst->item(1));
    QTest::mouseClick(w.UsrLst->viewport(), Qt::LeftButton, {}, bob.center());
    w.SendTxt->setText(QStringLiteral("half typed"));

    const QPoint empty(10, w.UsrLst->viewport()->height() - 5);
    QVERIFY(!w.UsrLst->itemAt(empty));
    QTest::mouseDClick(w.UsrLst->viewport(), Qt::LeftButton, {}, empty);
    QCOMPARE(w.SendTxt->text(), QStringLiteral("/ bob "));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.SendTxt));
    QCOMPARE(w.SendTxt->cursorPosition(), 6);
}

// After the connection is gone the entry box is greyed, and a double-click on the list
// neither fills it nor moves the focus.
void ChatWindowTest::doubleClickLeavesTheGreyedBoxAlone()
{
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    dispatch(QStringLiteral("PLAYER:bob:1:0"));
    const QRect bob = w.UsrLst->visualItemRect(w.UsrLst->item(0));
    QTest::mouseClick(w.UsrLst->viewport(), Qt::LeftButton, {}, bob.center());
    QCOMPARE(w.UsrLst->selectedItems().size(), 1);
    w.SendTxt->setText(QStringLiteral("half typed"));
    w.SendTxt->setCursorPosition(4);

    w.Socket1_Disconnected();
    QVERIFY(!w.SendTxt->isEnabled());
    QTest::mouseDClick(w.UsrLst->viewport(), Qt::LeftButton, {}, bob.center());
    QCOMPARE(w.SendTxt->text(), QStringLiteral("half typed"));
    QCOMPARE(w.SendTxt->cursorPosition(), 4);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.UsrLst));
}

// Lines arrive through the socket, many per notification.
void ChatWindowTest::transcriptFollowsOnlyAtTheBottom()
{
    LoopbackServer server;
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QObject::disconnect(w.Socket1, &SocketComponent::connected, &w, nullptr);
    QVERIFY(connectSocketTo(server, *w.Socket1));

    int sent = 0;
    const auto sendLines = [&](int count) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += "MSG:PUB:p:line " + QByteArray::number(sent++) + '\n';
        server.send(bytes);
        QTRY_COMPARE(w.RecTxt->store().count(), sent);
    };
    QScrollBar* bar = w.RecTxt->verticalScrollBar();
    const auto messageAt = [&](int y) { return w.RecTxt->hitTest(QPointF(5, y)).message; };
    const int bottomEdge = w.RecTxt->viewport()->height() - 3;

    sendLines(200);
    QTRY_VERIFY(bar->maximum() > 0);
    QTRY_COMPARE(bar->value(), bar->maximum());
    QCOMPARE(messageAt(bottomEdge), sent - 1);

    // The reader scrolls up: the view stays put while lines keep coming.
    bar->setValue(bar->maximum() / 3);
    const int readAt = bar->value();
    const qint64 topLine = messageAt(5);
    const int maximumBefore = bar->maximum();
    sendLines(50);
    QTRY_VERIFY(bar->maximum() > maximumBefore);
    QCOMPARE(bar->value(), readAt);
    QCOMPARE(messageAt(5), topLine);

    // Back at the bottom, the view follows again.
    bar->setValue(bar->maximum());
    const int maximumAtBottom = bar->maximum();
    sendLines(50);
    QTRY_VERIFY(bar->maximum() > maximumAtBottom);
    QTRY_COMPARE(bar->value(), bar->maximum());
    QCOMPARE(messageAt(bottomEdge), sent - 1);
}

// All lines of one data-arrived notification change the transcript once, and only the
// lines on screen are laid out: that is what keeps a flood of lines cheap to show.
void ChatWindowTest::notificationChangesTranscriptOnce()
{
    LoopbackServer server;
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QObject::disconnect(w.Socket1, &SocketComponent::connected, &w, nullptr);
    QVERIFY(connectSocketTo(server, *w.Socket1));

    int changes = 0;
    QList<int> changesPerNotification;
    connect(w.RecTxt, &TranscriptView::contentsChanged, this, [&] { ++changes; });
    // Connected after the window's own handler: runs once the notification is shown.
    connect(w.Socket1, &SocketComponent::dataArrived, this, [&] {
        changesPerNotification.append(changes);
        changes = 0;
    });

    QByteArray lines;
    for (int i = 0; i < 3000; ++i)
        lines += "MSG:PUB:p:line " + QByteArray::number(i) + '\n';
    server.send(lines + "MSG:PUB:p:part");
    QTRY_COMPARE(w.RecTxt->store().count(), 3000);
    server.send(" ended\n");
    QTRY_COMPARE(w.RecTxt->store().count(), 3001);
    QCOMPARE(linesOf(w.RecTxt).last(), QStringLiteral("p> part ended"));
    QVERIFY(!changesPerNotification.isEmpty());
    for (const int count : std::as_const(changesPerNotification))
        QVERIFY2(count <= 1,
                 qPrintable(QStringLiteral("%1 changes in one notification").arg(count)));
    // Each notification that brought lines changed it: more than the last two did.
    QVERIFY(changesPerNotification.count(1) > 2);
    QTest::qWait(50);
    QVERIFY2(w.RecTxt->laidOutRows() < 300, qPrintable(QString::number(w.RecTxt->laidOutRows())));
}

void ChatWindowTest::noticeOfMessagesForTheUserOnlyWhileInactive()
{
    // Records what the desktop would have been shown.
    class RecordingNotice : public DesktopNotice
    {
    public:
        using DesktopNotice::DesktopNotice;
        void show(const QString& sender, const QString& text) override
        {
            shown.append(sender + u'|' + text);
        }
        QStringList shown;
    };
    Declares::userName = QStringLiteral("Quill");
    frmMain& w = frmMain::instance();
    auto* notice = new RecordingNotice(w);
    w.setDesktopNoticeForTests(notice);

    // Hidden, the window is not the active one: one notice a notification, the newest.
    w.takeReceived("MSG:PUB:Bob:hi all\nMSG:PRIV:Bob:psst\nMSG:FREQ:Ann:quill, left!\n"
                   "MSG:PUB:Ann:hi all\n");
    w.takeReceived("MSG:PUB:Bob:quills\nMSG:ARENA:Quill is here\nMSG:PUB:Quill:hi Quill\n");
    w.takeReceived("MSG:CHAT:1:Cy> QUILL?\n");
    QCOMPARE(notice->shown, (QStringList{"Ann|quill, left!", "Cy|QUILL?"}));

    shownWindow();
    QTRY_VERIFY(w.isActiveWindow());
    w.takeReceived("MSG:PRIV:Bob:seen at once\n");
    QCOMPARE(notice->shown.size(), 2);
    QVERIFY(w.RecTxt->toPlainText().endsWith(u"Bob> seen at once"));
}

void ChatWindowTest::noticeWithoutASessionBusSaysNothing()
{
    // The bus is looked for only when a notice is shown, as here for the first time.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/orvex-bus");
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    frmMain& w = shownWindow();
    DesktopNotice notice(w);
    notice.show(QStringLiteral("Bob"), QStringLiteral("psst"));
    QCoreApplication::processEvents();
    QVERIFY(w.isVisible());
}

QTEST_MAIN(ChatWindowTest)
#include "tst_chat_window.moc"
