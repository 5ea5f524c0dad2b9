// The chat window at sizes and text sizes other than its design: where the controls go,
// the text-size steps from the keys and the wheel, the reader's place through both, and
// the choices it is opened with and hands back to be kept.
#include "chat_window_steps.h"

#include "chatwindow/find_bar.h"
#include "chatwindow/frm_main.h"
#include "chatwindow/image_list.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/text_size.h"
#include "chatwindow/transcript/transcript_view.h"
#include "support/window_test.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QtTest>

namespace {

// The controls' places at the design size, as the window was designed.
const QRect kTranscript(8, 8, 608, 515);
const QRect kList(624, 24, 169, 497);
const QRect kEntry(8, 528, 785, 21);
const QPoint kCaption(624, 8);

QList<QWidget*> textControls(const frmMain& w)
{
    return {w.RecTxt, w.UsrLst, w.SendTxt, w.Label7, w.findBar->box()};
}

// The controls that take room in the window, as placed now.
QList<QWidget*> placedControls(const frmMain& w)
{
    QList<QWidget*> controls{w.RecTxt, w.UsrLst, w.SendTxt, w.Label7};
    if (!w.findBar->isHidden())
        controls.append(w.findBar);
    return controls;
}

// Every control lies inside the window, is not empty and overlaps no other.
void verifyApartAndInside(const frmMain& w)
{
    const QList<QWidget*> controls = placedControls(w);
    for (QWidget* control : controls) {
        QVERIFY2(w.rect().contains(control->geometry()), control->metaObject()->className());
        QVERIFY(control->width() > 0 && control->height() > 0);
        for (QWidget* other : controls) {
            if (other != control)
                QVERIFY2(!control->geometry().intersects(other->geometry()),
                         qPrintable(QStringLiteral("%1 overlaps %2")
                                        .arg(control->metaObject()->className(),
                                             other->metaObject()->className())));
        }
    }
}

void fillTranscript(frmMain& w, int messages)
{
    TranscriptBatch batch(*w.RecTxt);
    for (int i = 0; i < messages; ++i) {
        // Every third message long enough to wrap at any width the tests use.
        QByteArray text = "message " + QByteArray::number(i);
        if (i % 3 == 0)
            text += QByteArray(" a long line that wraps").repeated(30);
        w.RecTxt->append(text, TextLook{qRgb(200, 200, 255), false, false});
    }
}

qint64 messageAtTop(frmMain& w)
{
    return w.RecTxt->hitTest(QPointF(5, 2)).message;
}

bool newestOnScreen(frmMain& w)
{
    const qint64 newest = w.RecTxt->store().endId() - 1;
    const QRectF end = w.RecTxt->placeRect(TextPos{newest, w.RecTxt->store().text(newest).size()});
    return !end.isEmpty() && w.RecTxt->viewport()->rect().contains(end.toRect());
}

void sendKey(frmMain& w, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(w.windowHandle(), key, modifiers);
}

void sendWheel(QWidget* over, int angle, Qt::KeyboardModifiers modifiers)
{
    const QPointF at(over->width() / 2.0, over->height() / 2.0);
    QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &wheel);
}

} // namespace

class ChatWindowSizeTest : public WindowTest
{
    Q_OBJECT

private slots:
    void extraRoomGoesToTheTranscript_data();
    void extraRoomGoesToTheTranscript();
    void largerTextKeepsControlsApartAndNamesWhole_data();
    void largerTextKeepsControlsApartAndNamesWhole();
    void smallestSizeKeepsEveryControlUsable_data();
    void smallestSizeKeepsEveryControlUsable();
    void textSizeSteps();
    void textSizeKeysFromEveryControl_data();
    void textSizeKeysFromEveryControl();
    void ctrlWheelOverTranscriptAndList_data();
    void ctrlWheelOverTranscriptAndList();
    void viewKeepsItsPlace_data();
    void viewKeepsItsPlace();
    void picturesStaySharpAtLargeText();
    void opensWithKeptChoices_data();
    void opensWithKeptChoices();
    void handsBackOnlyChangedChoices();
};

void ChatWindowSizeTest::extraRoomGoesToTheTranscript_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("findBarOpen");
    QTest::newRow("design") << QSize(800, 556) << false;
    QTest::newRow("design, find bar") << QSize(800, 556) << true;
    QTest::newRow("wider and taller") << QSize(1400, 900) << false;
    QTest::newRow("wider and taller, find bar") << QSize(1400, 900) << true;
    QTest::newRow("smaller") << QSize(600, 400) << false;
}

void ChatWindowSizeTest::extraRoomGoesToTheTranscript()
{
    QFETCH(QSize, size);
    QFETCH(bool, findBarOpen);
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (findBarOpen)
        w.openFindBar();
    w.resize(size);
    QCOMPARE(w.size(), size);
    const int dw = size.width() - 800;
    const int dh = size.height() - 556;

    // The list keeps its width at the right edge and grows in height under its caption;
    // the entry box spans the bottom at its height.
    QCOMPARE(w.UsrLst->geometry(), kList.translated(dw, 0).adjusted(0, 0, 0, dh));
    QCOMPARE(w.Label7->pos(), kCaption + QPoint(dw, 0));
    QCOMPARE(w.SendTxt->geometry(), kEntry.translated(0, dh).adjusted(0, 0, dw, 0));
    const QRect place = kTranscript.adjusted(0, 0, dw, dh);
    if (!findBarOpen) {
        QCOMPARE(w.RecTxt->geometry(), place);
    } else {
        // The bar takes the foot of the transcript's place, as wide as it.
        const QRect bar = w.findBar->geometry();
        QCOMPARE(bar.bottom(), place.bottom());
        QCOMPARE(bar.left(), place.left());
        QCOMPARE(bar.width(), place.width());
        QCOMPARE(w.RecTxt->geometry().top(), place.top());
        QVERIFY(w.RecTxt->geometry().bottom() < bar.top());
        QVERIFY(w.RecTxt->geometry().bottom() >= bar.top() - 4);
    }
    verifyApartAndInside(w);
}

void ChatWindowSizeTest::largerTextKeepsControlsApartAndNamesWhole_data()
{
    QTest::addColumn<int>("percent");
    QTest::newRow("200%") << 200;
    QTest::newRow("400%") << 400;
}

void ChatWindowSizeTest::largerTextKeepsControlsApartAndNamesWhole()
{
    QFETCH(int, percent);
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QString name = QStringLiteral("xX_Dark Pilot_Xx");
    w.addUser(name, 1);
    w.openFindBar();
    w.setTextSize(percent);
    w.resize(w.minimumSize().expandedTo(QSize(1200, 800)));
    verifyApartAndInside(w);
    // The list still sits at the right edge, and the longest name of a zone fits in it
    // beside its picture.
    QCOMPARE(w.width() - w.UsrLst->geometry().right(), 800 - kList.right());
    const QRect entry = w.UsrLst->visualItemRect(w.UsrLst->item(0));
    const int needed =
        w.UsrLst->iconSize().width() + w.UsrLst->fontMetrics().horizontalAdvance(name);
    QVERIFY2(needed < w.UsrLst->viewport()->width(),
             qPrintable(QStringLiteral("%1 of %2").arg(needed).arg(w.UsrLst->viewport()->width())));
    // The rows grew with the text.
    QVERIFY(entry.height() >= w.UsrLst->fontMetrics().height());
    QVERIFY(entry.height() >= 16 * percent / 100);
    // The entry box holds a line of its text.
    QVERIFY(w.SendTxt->height() >= w.SendTxt->fontMetrics().height());
}

void ChatWindowSizeTest::smallestSizeKeepsEveryControlUsable_data()
{
    QTest::addColumn<int>("percent");
    QTest::newRow("design text") << 100;
    QTest::newRow("half") << 50;
    QTest::newRow("twice") << 200;
}

void ChatWindowSizeTest::smallestSizeKeepsEveryControlUsable()
{
    QFETCH(int, percent);
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.setTextSize(percent);
    w.openFindBar();
    w.resize(1, 1);
    QCOMPARE(w.size(), w.minimumSize());
    if (percent <= 100)
        QVERIFY(w.width() <= 480 && w.height() <= 320);
    verifyApartAndInside(w);
    // The bar's box, count and buttons are whole; the transcript shows a few lines of
    // text and the list a few names.
    QVERIFY(w.findBar->width() >= w.findBar->minimumSizeHint().width());
    QVERIFY(w.findBar->height() >= w.findBar->minimumSizeHint().height());
    QVERIFY(w.RecTxt->viewport()->height() >= 3 * w.RecTxt->fontMetrics().height());
    QVERIFY(w.UsrLst->viewport()->height() >= 3 * w.UsrLst->fontMetrics().height());
    QVERIFY(w.Label7->width() >= w.Label7->fontMetrics().horizontalAdvance(w.Label7->text()));
}

void ChatWindowSizeTest::textSizeSteps()
{
    // From the smallest size up: each step about a tenth, to four times the design.
    QList<int> ladder{ChatWindowChoices::kMinTextPercent};
    while (ladder.size() < 100 && TextSize::larger(ladder.last()) != ladder.last())
        ladder.append(TextSize::larger(ladder.last()));
    QCOMPARE(ladder.first(), 50);
    QCOMPARE(ladder.last(), 400);
    QVERIFY(ladder.contains(100) && ladder.contains(200));
    for (qsizetype i = 1; i < ladder.size(); ++i) {
        const double ratio = double(ladder[i]) / ladder[i - 1];
        QVERIFY2(ratio > 1.07 && ratio < 1.13, qPrintable(QString::number(ladder[i])));
        QCOMPARE(TextSize::smaller(ladder[i]), ladder[i - 1]);
    }
    QCOMPARE(TextSize::smaller(50), 50);
    // A size between steps, or beyond the bounds, goes to the steps beside it.
    QCOMPARE(TextSize::larger(105), 110);
    QCOMPARE(TextSize::smaller(105), 100);
    QCOMPARE(TextSize::larger(10), 55);
    QCOMPARE(TextSize::smaller(1000), 362);

    // Half notches of a fine wheel add up; a turn back starts afresh.
    TextSize::WheelSteps wheel;
    QCOMPARE(wheel.add(60), 0);
    QCOMPARE(wheel.add(60), 1);
    QCOMPARE(wheel.add(360), 3);
    QCOMPARE(wheel.add(100), 0);
    QCOMPARE(wheel.add(-100), 0);
    QCOMPARE(wheel.add(-20), -1);
}

void ChatWindowSizeTest::textSizeKeysFromEveryControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");
    const int ctrl = Qt::ControlModifier;
    const int shift = Qt::ShiftModifier;
    const int keypad = Qt::KeypadModifier;
    QTest::newRow("Ctrl+plus in the entry box")
        << "entry" << int(Qt::Key_Plus) << (ctrl | shift) << 100 << 110;
    QTest::newRow("Ctrl+= in the transcript") << "chat" << int(Qt::Key_Equal) << ctrl << 100 << 110;
    QTest::newRow("keypad plus in the list")
        << "list" << int(Qt::Key_Plus) << (ctrl | keypad) << 100 << 110;
    QTest::newRow("Ctrl+minus in the find bar")
        << "find" << int(Qt::Key_Minus) << ctrl << 100 << 91;
    QTest::newRow("keypad minus in the entry box")
        << "entry" << int(Qt::Key_Minus) << (ctrl | keypad) << 200 << 181;
    QTest::newRow("Ctrl+0 in the list") << "list" << int(Qt::Key_0) << ctrl << 244 << 100;
    QTest::newRow("Ctrl+plus at the largest") << "entry" << int(Qt::Key_Plus) << ctrl << 400 << 400;
    QTest::newRow("Ctrl+minus at the smallest") << "chat" << int(Qt::Key_Minus) << ctrl << 50 << 50;
}

void ChatWindowSizeTest::textSizeKeysFromEveryControl()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, from);
    QFETCH(int, expected);
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QList<qreal> designPoints;
    for (QWidget* text : textControls(w))
        designPoints.append(text->font().pointSizeF());
    w.setTextSize(from);
    w.SendTxt->setText(QStringLiteral("typed"));
    w.openFindBar();
    w.findBar->box()->setText(QStringLiteral("term"));
    QWidget* focus = control == u"entry"  ? static_cast<QWidget*>(w.SendTxt)
                     : control == u"chat" ? static_cast<QWidget*>(w.RecTxt)
                     : control == u"list" ? static_cast<QWidget*>(w.UsrLst)
                                          : static_cast<QWidget*>(w.findBar->box());
    focus->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), focus);

    sendKey(w, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(w.textSize(), expected);
    // Every control's text together, in proportion to its design size.
    const QList<QWidget*> texts = textControls(w);
    for (qsizetype i = 0; i < texts.size(); ++i)
        QCOMPARE(texts[i]->font().pointSizeF(), designPoints[i] * expected / 100);
    // The key typed nothing and the focus stayed.
    QCOMPARE(w.SendTxt->text(), QStringLiteral("typed"));
    QCOMPARE(w.findBar->box()->text(), QStringLiteral("term"));
    QCOMPARE(QApplication::focusWidget(), focus);
}

void ChatWindowSizeTest::ctrlWheelOverTranscriptAndList_data()
{
    QTest::addColumn<bool>("overList");
    QTest::addColumn<QList<int>>("angles");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("expected");
    QTest::newRow("a notch up over the transcript")
        << false << QList<int>{120} << int(Qt::ControlModifier) << 110;
    QTest::newRow("two notches down over the list")
        << true << QList<int>{-120, -120} << int(Qt::ControlModifier) << 82;
    QTest::newRow("half notches over the transcript")
        << false << QList<int>{60, 60, 60} << int(Qt::ControlModifier) << 110;
    QTest::newRow("without Ctrl, a scroll") << false << QList<int>{120, 120} << 0 << 100;
}

void ChatWindowSizeTest::ctrlWheelOverTranscriptAndList()
{
    QFETCH(bool, overList);
    QFETCH(QList<int>, angles);
    QFETCH(int, modifiers);
    QFETCH(int, expected);
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    fillTranscript(w, 300);
    QScrollBar* bar = w.RecTxt->verticalScrollBar();
    QTRY_COMPARE(bar->value(), bar->maximum());
    const int before = bar->value();
    QWidget* over = overList ? w.UsrLst->viewport() : w.RecTxt->viewport();
    for (const int angle : angles)
        sendWheel(over, angle, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(w.textSize(), expected);
    // A Ctrl+wheel changes the size and does not scroll; a plain wheel scrolls.
    if (modifiers == 0)
        QVERIFY(bar->value() < before);
    else
        QCOMPARE(w.RecTxt->isFollowing(), true);
}

void ChatWindowSizeTest::viewKeepsItsPlace_data()
{
    QTest::addColumn<bool>("scrolledBack");
    QTest::addColumn<QString>("change");
    for (const bool back : {false, true}) {
        const char* where = back ? "scrolled back" : "at the newest";
        for (const char* change : {"wider", "narrower", "larger text", "smaller text", "maximised"})
            QTest::addRow("%s, %s", where, change) << back << QString::fromLatin1(change);
    }
}

void ChatWindowSizeTest::viewKeepsItsPlace()
{
    QFETCH(bool, scrolledBack);
    QFETCH(QString, change);
    frmMain& w = shownWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(700, 500);
    fillTranscript(w, 3000);
    QScrollBar* bar = w.RecTxt->verticalScrollBar();
    QTRY_COMPARE(bar->value(), bar->maximum());
    // A selection and the find bar's current match.
    w.RecTxt->setSelection(TextPos{1400, 0}, TextPos{1401, 3});
    const QString selected = w.RecTxt->selectedText();
    w.openFindBar();
    QTest::keyClicks(w.findBar->box(), QStringLiteral("message 1500"));
    QTRY_VERIFY(w.RecTxt->currentFindMark().has_value());
    const std::optional<TextPos> mark = w.RecTxt->currentFindMark();
    if (scrolledBack) {
        // Part way into a long message: its top is above the view.
        bar->setValue(1500 + 1);
        sendWheel(w.RecTxt->viewport(), -120, Qt::NoModifier);
        QVERIFY(!w.RecTxt->isFollowing());
        QCOMPARE(messageAtTop(w), 1500);
        QVERIFY(w.RecTxt->placeRect(TextPos{1500, 0}).top() < 0);
    } else {
        bar->setValue(bar->maximum());
        QVERIFY(w.RecTxt->isFollowing());
    }
    const qint64 reading = messageAtTop(w);

    if (change == u"wider")
        w.resize(1500, 900);
    else if (change == u"narrower")
        w.resize(w.minimumSize());
    else if (change == u"larger text")
        w.setTextSize(TextSize::larger(TextSize::larger(w.textSize())));
    else if (change == u"smaller text")
        w.setTextSize(TextSize::smaller(w.textSize()));
    else
        w.showMaximized();
    QTRY_VERIFY(w.RecTxt->viewport()->width() > 0);

    if (scrolledBack) {
        QVERIFY(!w.RecTxt->isFollowing());
        QCOMPARE(messageAtTop(w), reading);
    } else {
        QVERIFY(w.RecTxt->isFollowing());
        QVERIFY(newestOnScreen(w));
        QCOMPARE(bar->value(), bar->maximum());
    }
    QCOMPARE(w.RecTxt->selectedText(), selected);
    QCOMPARE(w.RecTxt->currentFindMark(), mark);
}

void ChatWindowSizeTest::picturesStaySharpAtLargeText()
{
    // Drawn at four times the design, a picture holds only colours that the picture
    // itself holds: it was not blurred by a smooth upscale.
    frmMain& w = shownWindow();
    w.setTextSize(400);
    const int side = w.UsrLst->iconSize().width();
    QCOMPARE(side, 64);
    for (int number = 1; number <= ImageList::kCount; ++number) {
        const QImage original =
            QImage(ImageList::resourcePath(number)).convertToFormat(QImage::Format_ARGB32);
        QSet<QRgb> colours;
        for (int y = 0; y < original.height(); ++y)
            for (int x = 0; x < original.width(); ++x)
                colours.insert(original.pixel(x, y));
        const QImage drawn = w.UsrImages.picture(number)
                                 .pixmap(QSize(side, side))
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(drawn.size(), QSize(side, side));
        int foreign = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                foreign += colours.contains(drawn.pixel(x, y)) ? 0 : 1;
        // The picture at twice the size was drawn apart, with a few colours of its own.
        QVERIFY2(foreign < side * side / 8, qPrintable(QString::number(foreign)));
    }
}

void ChatWindowSizeTest::opensWithKeptChoices_data()
{
    QTest::addColumn<ChatWindowChoices>("kept");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("textPercent");
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    QTest::newRow("as left") << ChatWindowChoices{700, 500, false, 133} << QSize(700, 500) << 133;
    QTest::newRow("too small for the controls")
        << ChatWindowChoices{100, 90, false, 100} << QSize(800, 556) << 100;
    QTest::newRow("wider than the screen")
        << ChatWindowChoices{room.width() + 1, 500, false, 100} << QSize(800, 500) << 100;
    QTest::newRow("taller than the screen")
        << ChatWindowChoices{700, room.height() + 1, false, 100} << QSize(700, 556) << 100;
    QTest::newRow("text beyond the bounds")
        << ChatWindowChoices{800, 556, false, 9000} << QSize(800, 556) << 400;
}

void ChatWindowSizeTest::opensWithKeptChoices()
{
    QFETCH(ChatWindowChoices, kept);
    QFETCH(QSize, size);
    QFETCH(int, textPercent);
    frmMain& w = frmMain::instance();
    w.openWith(kept);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), size);
    QCOMPARE(w.textSize(), textPercent);
    QCOMPARE(w.RecTxt->font().pointSizeF(), 8.25 * textPercent / 100);
}

void ChatWindowSizeTest::handsBackOnlyChangedChoices()
{
    frmMain& w = frmMain::instance();
    // A window never opened as a chat (connect attempts that failed) keeps nothing.
    w.resize(900, 600);
    QVERIFY(!w.choicesToKeep());

    w.openWith(ChatWindowChoices{700, 500, false, 122});
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(!w.choicesToKeep());
    w.setTextSize(TextSize::larger(w.textSize()));
    w.setTextSize(TextSize::smaller(w.textSize()));
    QVERIFY(!w.choicesToKeep()); // back where it opened

    w.resize(750, 520);
    QCOMPARE(w.choicesToKeep(), (ChatWindowChoices{750, 520, false, 122}));
    // Maximised, the size kept is the one it comes back to.
    w.showMaximized();
    QTRY_VERIFY(w.isMaximized());
    QCOMPARE(w.choicesToKeep(), (ChatWindowChoices{750, 520, true, 122}));
    w.showNormal();
    QTRY_VERIFY(!w.isMaximized());
    QCOMPARE(w.size(), QSize(750, 520));
}

QTEST_MAIN(ChatWindowSizeTest)
#include "tst_chat_window_size.moc"
