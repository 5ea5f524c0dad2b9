// Reading back in the transcript view: the count of new messages below the view until
// the newest is on screen, whichever way the view gets there; the reading keys; the
// marker of where the reader left off as the window is left and comes back; and the
// arrival time a message shows when the pointer rests on it.
#include "chatwindow/transcript/transcript_view.h"
#include "shell/application_setup.h"
#include "shell/base/design_font.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>

namespace {

constexpr TextLook kLilac{qRgb(181, 181, 255), false, false};

} // namespace

class TranscriptReadingTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newMessagesCountedUntilTheNewestIsShown_data();
    void newMessagesCountedUntilTheNewestIsShown();
    void unseenMessagesTrimmedLeaveTheCount();
    void pageKeysKeepOneLineInView();
    void markerThroughLeavingArrivingAndTrimming();
    void restingOnAMessageShowsWhenItArrived();

private:
    void appendLines(int count);
    // The messages wholly on screen, told from where they are drawn.
    qint64 newestWhollyShown();
    // Another window takes the activation from the view's, or gives it back.
    void leaveWindow();
    void comeBack();

    std::unique_ptr<TranscriptView> view_;
    std::unique_ptr<QWidget> other_;
    int appended_ = 0;
};

void TranscriptReadingTest::init()
{
    setUpApplication(*qApp);
    view_ = std::make_unique<TranscriptView>();
    view_->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    view_->resize(608, 515);
    view_->show();
    QVERIFY(QTest::qWaitForWindowActive(view_.get()));
    appended_ = 0;
}

void TranscriptReadingTest::cleanup()
{
    other_.reset();
    view_.reset();
}

void TranscriptReadingTest::appendLines(int count)
{
    TranscriptBatch batch(*view_);
    for (int i = 0; i < count; ++i)
        view_->append("p> line " + QByteArray::number(appended_++), kLilac);
}

qint64 TranscriptReadingTest::newestWhollyShown()
{
    const int height = view_->viewport()->height();
    qint64 newest = view_->hitTest(QPointF(5, height - 1)).message;
    while (view_->placeRect(TextPos{newest, 0}).bottom() > height)
        --newest;
    return newest;
}

void TranscriptReadingTest::leaveWindow()
{
    if (!other_) {
        other_ = std::make_unique<QWidget>();
        other_->resize(200, 100);
    }
    other_->show();
    other_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(other_.get()));
    QTRY_VERIFY(!view_->isActiveWindow());
}

void TranscriptReadingTest::comeBack()
{
    view_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view_.get()));
}

void TranscriptReadingTest::newMessagesCountedUntilTheNewestIsShown_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Ctrl+End") << "ctrl+end";
    QTest::newRow("PgDn") << "pagedown";
    QTest::newRow("wheel") << "wheel";
    QTest::newRow("scroll bar dragged to the end") << "bar";
    QTest::newRow("a found place brought into view") << "ensure";
    QTest::newRow("the view made taller") << "resize";
}

void TranscriptReadingTest::newMessagesCountedUntilTheNewestIsShown()
{
    QFETCH(QString, way);
    QSignalSpy changes(view_.get(), &TranscriptView::unseenCountChanged);
    appendLines(500);
    QCOMPARE(view_->unseenCount(), 0);

    // Scrolled back a little: the view stays, and what arrives below is counted; the
    // lines below that were read before do not count.
    QTest::keyClick(view_.get(), Qt::Key_Up);
    QVERIFY(!view_->isFollowing());
    const qint64 bottomBefore = newestWhollyShown();
    QVERIFY(bottomBefore < 499);
    appendLines(30);
    appendLines(7);
    QCOMPARE(newestWhollyShown(), bottomBefore);
    QCOMPARE(view_->unseenCount(), 37);
    QCOMPARE(changes.last().first().toLongLong(), view_->unseenCount());

    if (way == u"ctrl+end") {
        QTest::keyClick(view_.get(), Qt::Key_End, Qt::ControlModifier);
    } else if (way == u"pagedown") {
        QTest::keyClick(view_.get(), Qt::Key_PageDown);
    } else if (way == u"wheel") {
        QWheelEvent down(QPointF(50, 50), view_->mapToGlobal(QPointF(50, 50)), {},
                         QPoint(0, -20 * 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view_->viewport(), &down);
    } else if (way == u"bar") {
        view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
    } else if (way == u"ensure") {
        view_->ensureVisible(TextPos{view_->store().endId() - 1, 3});
    } else {
        view_->resize(608, 515 + 40 * 20);
    }
    QCOMPARE(newestWhollyShown(), view_->store().endId() - 1);
    QCOMPARE(view_->unseenCount(), 0);
    QCOMPARE(changes.last().first().toLongLong(), 0);
}

// The count is of unseen messages still kept below the view: those trimmed before the
// reader saw them leave it.
void TranscriptReadingTest::unseenMessagesTrimmedLeaveTheCount()
{
    view_->setStoreLimitsForTests({300, LineStore::kMaxTextBytes, LineStore::kMaxRows});
    appendLines(300);
    QTest::keyClick(view_.get(), Qt::Key_PageUp);
    appendLines(100);
    QCOMPARE(view_->unseenCount(), 100);

    // The reader's lines go, and unseen ones with them: the view is put at the oldest
    // kept, whose lines on screen are read now.
    appendLines(500);
    QCOMPARE(view_->store().count(), 300);
    QVERIFY(view_->store().firstId() > 300);
    QCOMPARE(view_->hitTest(QPointF(5, 5)).message, kHeadLine);
    QCOMPARE(view_->unseenCount(), view_->store().endId() - 1 - newestWhollyShown());
}

void TranscriptReadingTest::pageKeysKeepOneLineInView()
{
    appendLines(500);
    const int height = view_->viewport()->height();
    const auto topMessage = [this] { return view_->hitTest(QPointF(5, 1)).message; };
    // The line that was at the top is the one at the bottom after a page back.
    const auto isAtTheBottom = [this, height](qint64 message) {
        const QRectF at = view_->placeRect(TextPos{message, 0});
        return !at.isEmpty() && at.bottom() <= height && at.bottom() > height - 2 * at.height();
    };
    const qint64 top = topMessage();
    QTest::keyClick(view_.get(), Qt::Key_PageUp);
    QVERIFY(isAtTheBottom(top));
    const qint64 newTop = topMessage();
    QTest::keyClick(view_.get(), Qt::Key_PageUp);
    QVERIFY(isAtTheBottom(newTop));
    // And back down the same way, to the newest again.
    QTest::keyClick(view_.get(), Qt::Key_PageDown);
    QCOMPARE(topMessage(), newTop);
    QTest::keyClick(view_.get(), Qt::Key_PageDown);
    QVERIFY(view_->isFollowing());
}

void TranscriptReadingTest::markerThroughLeavingArrivingAndTrimming()
{
    view_->setStoreLimitsForTests({500, LineStore::kMaxTextBytes, LineStore::kMaxRows});
    appendLines(300);
    const QString textBefore = view_->toPlainText();

    leaveWindow();
    appendLines(100);
    comeBack();
    QCOMPARE(view_->leftOffAbove(), 300);
    // Not a message: the text copied and found is the messages' alone.
    QVERIFY(view_->toPlainText().startsWith(textBefore + "\np> line 300\n"));

    // Away and back with nothing new: it stays. Read back to the top, then Alt+Home.
    leaveWindow();
    comeBack();
    QCOMPARE(view_->leftOffAbove(), 300);
    QTest::keyClick(view_.get(), Qt::Key_Home, Qt::ControlModifier);
    QVERIFY(view_->placeRect(TextPos{300, 0}).isEmpty());
    QTest::keyClick(view_.get(), Qt::Key_Home, Qt::AltModifier);
    const QRectF marked = view_->placeRect(TextPos{300, 0});
    QVERIFY(!marked.isEmpty());
    QVERIFY(marked.top() < 3 * marked.height());

    // Drawn across the view on the border between the two messages.
    const int border = qRound(marked.top());
    const QImage shown = view_->viewport()->grab().toImage();
    int across = 0;
    for (int x = 0; x < shown.width(); ++x)
        across +=
            (shown.pixel(x, border) & RGB_MASK) == (TranscriptView::kLeftOffColour & RGB_MASK);
    QCOMPARE(across, shown.width());

    // Away again while more arrive: it moves to the start of that absence.
    leaveWindow();
    appendLines(2);
    QCOMPARE(view_->leftOffAbove(), 400);
    comeBack();

    // It goes with the message above it.
    appendLines(497);
    QCOMPARE(view_->store().firstId(), 399);
    QCOMPARE(view_->leftOffAbove(), 400);
    appendLines(1);
    QCOMPARE(view_->leftOffAbove(), std::nullopt);
}

void TranscriptReadingTest::restingOnAMessageShowsWhenItArrived()
{
    qint64 now = QDateTime(QDate(2026, 12, 7), QTime(23, 59, 58)).toSecsSinceEpoch();
    view_->setArrivalClockForTests([&now] { return now; });
    view_->append("alice> meet at 10:30", kLilac);
    now += 5;
    view_->append("bob> ok", kLilac);

    const auto restOn = [this](QPoint at) {
        QHelpEvent rest(QEvent::ToolTip, at, view_->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view_->viewport(), &rest);
    };
    // Past the end of a message's text is still on its line.
    restOn(view_->placeRect(TextPos{0, 3}).center().toPoint());
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("2026-12-07 23:59:58"));
    restOn(QPoint(view_->viewport()->width() - 20,
                  qRound(view_->placeRect(TextPos{1, 1}).center().y())));
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("00:00:03"));
    // The empty first line and the space below the text have no time.
    restOn(QPoint(20, view_->viewport()->height() - 5));
    QTRY_VERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(TranscriptReadingTest)
#include "tst_transcript_reading.moc"
