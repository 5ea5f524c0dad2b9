#pragma once

#include "chatwindow/transcript/arrival_times.h"
#include "chatwindow/transcript/line_store.h"
#include "chatwindow/transcript/link_opener.h"
#include "chatwindow/transcript/link_spans.h"
#include "chatwindow/transcript/read_marker.h"
#include "chatwindow/transcript/reading_keys.h"
#include "chatwindow/transcript/text_matcher.h"
#include "chatwindow/transcript/transcript_rows.h"
#include "chatwindow/transcript/transcript_scroll.h"
#include "chatwindow/transcript/transcript_selection.h"
#include "chatwindow/transcript/unseen_count.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QPointF>
#include <QTimer>

#include <memory>
#include <optional>

class TranscriptAnnouncer;

// The chat transcript: the messages of a LineStore, each on its own line after an
// empty first line, in its own colour and emphasis, wrapped at word boundaries at the
// view's width. It lays out only the rows on screen or near them, so that a long
// history costs nothing to scroll, to trim or to re-wrap.
//
// The reader scrolls with the wheel, the scroll bar, Page Up/Down and Ctrl+Home/End;
// selects by dragging (past the edges it scrolls), by double-click (a word), by
// triple-click (a line), Shift+click and Ctrl+A; copies with Ctrl+C or Ctrl+Insert or
// the context menu; and a selection made with the mouse becomes the X11 primary
// selection. Nothing can be typed into it.
//
// Links are underlined, and the pointer is a hand over them. A click on one (pressed
// and released in place) opens it once the time for a double-click has passed, so
// that a double-click selects a word there and opens nothing; a drag that starts on a
// link selects. The context menu over a link, or brought up with the keyboard at the
// current find match or the selection, can open it or copy its address.
//
// Reading back (transcript_view_reading.cpp): the count of messages below the view that
// the reader has not seen, a marker line above the first message that arrived while the
// window was away, the reading keys, and each message's arrival time as its tooltip.
class TranscriptView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // How far a click on a scroll arrow, or a line's worth of the wheel, scrolls.
    static constexpr qreal kStepPixels = 20;

    explicit TranscriptView(QWidget* parent = nullptr);
    ~TranscriptView() override;

    // Adds a message, Windows-1252 text, after the newest; the oldest go as the store's
    // limits say. Outside a batch the view shows it at once.
    void append(QByteArrayView text, const TextLook& look);
    // The messages appended from here to the matching endBatch() change the view once:
    // one layout of what is on screen, one paint, one contentsChanged().
    void beginBatch();
    void endBatch();

    const LineStore& store() const { return store_; }
    // For tests: lower limits on what the store keeps.
    void setStoreLimitsForTests(const LineStore::Limits& limits);

    // All the text, as copying all of it gives.
    QString toPlainText() const;

    const TranscriptSelection& selection() const { return selection_; }
    bool hasSelection() const { return !selection_.isEmpty(); }
    QString selectedText() const;
    void setSelection(const TextPos& anchor, const TextPos& cursor);
    void selectAll();
    void clearSelection();
    // Puts the selected text on the clipboard; with nothing selected it does nothing.
    void copy() const;

    bool isFollowing() const { return scroll_.isFollowing(); }
    // The place in the text under a point of the viewport.
    TextPos hitTest(QPointF point);
    // Where a place in the text is drawn in the viewport: the height of its line at the
    // left of the character there; empty when it is not on screen.
    QRectF placeRect(const TextPos& pos);
    // Scrolls until the row of a place is on screen.
    void ensureVisible(const TextPos& pos);
    // The rows that layouts are kept for (it stays small, whatever the history).
    int laidOutRows() const { return rows_.laidOut(); }
    // What assistive technology was told of the text.
    TranscriptAnnouncer& announcer() const { return *announcer_; }

    // Marks every match of a term on screen, the current one so that it stands out; a
    // matcher that matches nothing takes the marks away.
    void setFindMarks(const TextMatcher& matcher, std::optional<TextPos> current);
    std::optional<TextPos> currentFindMark() const { return currentMark_; }

    // A link and the message it is in.
    struct Link
    {
        qint64 message = kHeadLine;
        LinkSpan span;

        friend bool operator==(const Link&, const Link&) = default;
    };
    std::optional<Link> linkAt(const TextPos& pos) const;
    QUrl addressOf(const Link& link) const;
    // Opens the link that holds a place in the text; false if there is none.
    bool openLinkAt(const TextPos& pos);
    // Tests put a recorder in the place of the desktop's browser.
    void setLinkOpener(std::unique_ptr<LinkOpener> opener) { opener_ = std::move(opener); }

    // Moves the view as a reading key does (reading_keys.h).
    void goTo(ReadingMove where);
    // The messages below the view that the reader has not seen.
    qint64 unseenCount() const { return unseenCount_; }
    // The message that the line of where the reader left off is drawn above.
    std::optional<qint64> leftOffAbove() const { return marker_.above(); }
    // The colour of that line: no message is drawn in it, and it shows on black.
    static constexpr QRgb kLeftOffColour = qRgb(0, 210, 255);
    // The tooltip of a kept message: when it arrived.
    QString arrivalText(qint64 message) const;
    // Tests set the clock that stamps arriving messages and says what day it is.
    void setArrivalClockForTests(ArrivalClock clock) { clock_ = std::move(clock); }

signals:
    // The text changed: lines were appended (once per batch), or the oldest went.
    void contentsChanged();
    void unseenCountChanged(qint64 count);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // How a drag extends the selection: by characters, or by the words or lines that a
    // double- or triple-click began with.
    enum class Unit { Character, Word, Line };

    void showChanges();
    void syncScrollBar();
    void onScrollBarAction(int action);
    void scrolled();
    void dragTo(QPointF point);
    void autoScroll();
    void putOnPrimarySelection() const;
    // The row under a point's height, and where its top is; the first or last row for a
    // point above or below the text.
    qint64 rowUnder(QPointF point, qreal& top);
    // The character under a point of the viewport, if the point is on one.
    std::optional<TextPos> characterAt(QPointF point);
    std::optional<Link> linkUnder(QPointF point);
    void showPointerFor(QPointF point);
    // The find marks on a row, as the layout draws them.
    // The find marks on the part of a row that is painted, and that part: the text of
    // the layout's lines that reach into [top, bottom) of the row.
    QList<QTextLayout::FormatRange> findMarksOn(const ShownRow& row, const RowSpan& painted) const;
    static RowSpan paintedSpan(const QTextLayout& layout, qreal top, qreal bottom);
    // The place after the newest message's last character.
    TextPos endOfText() const;
    std::pair<TextPos, TextPos> unitAt(const TextPos& pos);
    // After the view moved or the messages changed: which messages have been seen.
    void noteShown();
    // The newest message that is wholly on screen.
    qint64 newestOnScreen();
    qreal pageLessOneLine() const;

    LineStore store_;
    TranscriptRows rows_;
    TranscriptScroll scroll_;
    TranscriptSelection selection_;
    TranscriptAnnouncer* announcer_ = nullptr;
    int batchDepth_ = 0;
    bool changed_ = false;

    // The view sets the scroll bar itself: the bar's own change then means nothing more.
    bool syncing_ = false;
    int actionValue_ = -1;

    bool dragging_ = false;
    Unit unit_ = Unit::Character;
    std::pair<TextPos, TextPos> firstUnit_;
    QPointF dragPoint_;
    QTimer autoScroll_;
    QElapsedTimer sinceDoubleClick_;
    QPointF doubleClickPoint_;

    TextMatcher marks_;
    std::optional<TextPos> currentMark_;

    ArrivalClock clock_ = systemClock();
    UnseenCount unseen_;
    qint64 unseenCount_ = 0;
    ReadMarker marker_;

    std::unique_ptr<LinkOpener> opener_ = std::make_unique<LinkOpener>();
    // The link a click began on, while it may still be a click.
    std::optional<Link> pressedLink_;
    QPointF pressPoint_;
    // A clicked link opens when no double-click follows.
    QTimer openAfterClick_;
    QUrl clickedAddress_;
};

// Gathers the messages appended in its lifetime into one change of the view.
class TranscriptBatch
{
public:
    explicit TranscriptBatch(TranscriptView& view) : view_(view) { view_.beginBatch(); }
    ~TranscriptBatch() { view_.endBatch(); }
    TranscriptBatch(const TranscriptBatch&) = delete;
    TranscriptBatch& operator=(const TranscriptBatch&) = delete;

private:
    TranscriptView& view_;
};
