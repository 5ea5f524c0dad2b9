// The transcript view as the reader uses it: selecting and copying with the mouse and
// the keyboard, scrolling, a long history and long lines that cost only what is on
// screen, and what a screen reader is given.
#include "chatwindow/transcript/transcript_view.h"
#include "shell/application_setup.h"
#include "shell/base/design_font.h"
#include "text_pos_string.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>

namespace {

constexpr TextLook kLilac{qRgb(181, 181, 255), false, false};

// The same lines as the chat shows them; the copied texts below are what the rich-text
// transcript gave for the same actions.
const QByteArray kLines[] = {"alice> hello world, foo-bar (baz) x.y", "cr> one\rtwo\r\rfour",
                             "nb> a\xA0"
                             "b\tc",
                             "ctl> a\x01"
                             "b\x1b"
                             "c"};

} // namespace

class TranscriptViewTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void copiedSelections_data();
    void copiedSelections();
    void scrollingByKeysWheelAndBar();
    void dragPastTheEdgeScrollsAndSelects();
    void contextMenuCopiesAndSelectsAll();
    void longHistoryAndLongLinesCostOnlyWhatIsShown();
    void screenReaderReadsTextAndSelection();

private:
    // Where a place in the text is drawn, a pixel into its character.
    QPoint pointAt(const TextPos& pos);
    void appendLines(int count, int from = 0);

    std::unique_ptr<TranscriptView> view_;
};

void TranscriptViewTest::init()
{
    setUpApplication(*qApp);
    view_ = std::make_unique<TranscriptView>();
    view_->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    view_->resize(608, 515);
    view_->show();
    QVERIFY(QTest::qWaitForWindowActive(view_.get()));
    for (const QByteArray& line : kLines)
        view_->append(line, kLilac);
    QGuiApplication::clipboard()->clear();
}

void TranscriptViewTest::cleanup()
{
    view_.reset();
}

QPoint TranscriptViewTest::pointAt(const TextPos& pos)
{
    const QRectF at = view_->placeRect(pos);
    return QPoint(qRound(at.left()) + 1, qRound(at.center().y()));
}

void TranscriptViewTest::appendLines(int count, int from)
{
    TranscriptBatch batch(*view_);
    for (int i = from; i < from + count; ++i)
        view_->append("p> line " + QByteArray::number(i), kLilac);
}

void TranscriptViewTest::copiedSelections_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<TextPos>("from");
    QTest::addColumn<TextPos>("to");
    QTest::addColumn<QString>("copied");

    const QString all = QStringLiteral(
        "\nalice> hello world, foo-bar (baz) x.y\ncr> one\ntwo\n\nfour\nnb> a b\tc\nctl> a\x01"
        "b\x1b"
        "c");
    QTest::newRow("word") << "double" << TextPos{0, 8} << TextPos{} << "hello";
    QTest::newRow("word, from the blank after it")
        << "double" << TextPos{0, 12} << TextPos{} << "hello";
    QTest::newRow("punctuation") << "double" << TextPos{0, 23} << TextPos{} << "-";
    QTest::newRow("punctuation before a blank") << "double" << TextPos{0, 6} << TextPos{} << ">";
    QTest::newRow("line") << "triple" << TextPos{0, 4} << TextPos{}
                          << "alice> hello world, foo-bar (baz) x.y\n";
    QTest::newRow("line after a CR") << "triple" << TextPos{1, 8} << TextPos{} << "two\n";
    QTest::newRow("last line") << "triple" << TextPos{3, 2} << TextPos{}
                               << QStringLiteral("ctl> a\x01"
                                                 "b\x1b"
                                                 "c");
    QTest::newRow("drag across lines") << "drag" << TextPos{0, 3} << TextPos{1, 10}
                                       << "ce> hello world, foo-bar (baz) x.y\ncr> one\ntw";
    QTest::newRow("drag upwards") << "drag" << TextPos{1, 10} << TextPos{0, 3}
                                  << "ce> hello world, foo-bar (baz) x.y\ncr> one\ntw";
    QTest::newRow("shift+click") << "shift" << TextPos{0, 3} << TextPos{1, 10}
                                 << "ce> hello world, foo-bar (baz) x.y\ncr> one\ntw";
    QTest::newRow("ctrl+a") << "all" << TextPos{} << TextPos{} << all;
}

// The selection as the reader makes it, copied with Ctrl+C.
void TranscriptViewTest::copiedSelections()
{
    QFETCH(QString, action);
    QFETCH(TextPos, from);
    QFETCH(TextPos, to);
    QFETCH(QString, copied);

    QWidget* area = view_->viewport();
    if (action == u"double") {
        QTest::mouseDClick(area, Qt::LeftButton, {}, pointAt(from));
    } else if (action == u"triple") {
        QTest::mouseDClick(area, Qt::LeftButton, {}, pointAt(from));
        QTest::mouseClick(area, Qt::LeftButton, {}, pointAt(from));
    } else if (action == u"drag") {
        QTest::mousePress(area, Qt::LeftButton, {}, pointAt(from));
        QTest::mouseMove(area, pointAt(to));
        QTest::mouseRelease(area, Qt::LeftButton, {}, pointAt(to));
    } else if (action == u"shift") {
        QTest::mouseClick(area, Qt::LeftButton, {}, pointAt(from));
        QTest::mouseClick(area, Qt::LeftButton, Qt::ShiftModifier, pointAt(to));
    } else {
        QTest::keyClick(view_.get(), Qt::Key_A, Qt::ControlModifier);
    }
    QTest::keyClick(view_.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
}

void TranscriptViewTest::scrollingByKeysWheelAndBar()
{
    appendLines(500);
    QScrollBar* bar = view_->verticalScrollBar();
    const auto topLine = [this] { return view_->hitTest(QPointF(5, 5)); };
    QVERIFY(view_->isFollowing());
    QCOMPARE(bar->value(), bar->maximum());
    const qint64 newest = view_->store().endId() - 1;
    QCOMPARE(view_->hitTest(QPointF(5, view_->viewport()->height() - 3)).message, newest);

    const TextPos bottomTop = topLine();
    QTest::keyClick(view_.get(), Qt::Key_PageUp);
    QVERIFY(!view_->isFollowing());
    const qint64 pageRows = bottomTop.message - topLine().message;
    QVERIFY2(pageRows >= 35 && pageRows <= 40, qPrintable(QString::number(pageRows)));

    // A step of the bar or a notch of the wheel moves by pixels, not by lines.
    const TextPos before = view_->hitTest(QPointF(5, 200));
    const qreal y = view_->placeRect(before).top();
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(view_->placeRect(before).top(), y + TranscriptView::kStepPixels);
    QWheelEvent notch(QPointF(50, 50), view_->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120),
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view_->viewport(), &notch);
    QCOMPARE(view_->placeRect(before).top(),
             y + TranscriptView::kStepPixels - 3 * TranscriptView::kStepPixels);

    QTest::keyClick(view_.get(), Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(topLine(), TextPos{});
    // The bar counts rows from the empty first line; the second message has four.
    bar->setValue(100);
    QCOMPARE(topLine(), (TextPos{100 - 1 - 3, 0}));
    for (int i = 0; i < 15; ++i)
        QTest::keyClick(view_.get(), Qt::Key_PageDown);
    QVERIFY(view_->isFollowing());
    QCOMPARE(bar->value(), bar->maximum());
    QTest::keyClick(view_.get(), Qt::Key_Up);
    QVERIFY(!view_->isFollowing());
    QTest::keyClick(view_.get(), Qt::Key_End, Qt::ControlModifier);
    QVERIFY(view_->isFollowing());
}

void TranscriptViewTest::dragPastTheEdgeScrollsAndSelects()
{
    appendLines(500);
    QTest::keyClick(view_.get(), Qt::Key_Home, Qt::ControlModifier);
    QWidget* area = view_->viewport();
    const TextPos start{1, 2};
    QTest::mousePress(area, Qt::LeftButton, {}, pointAt(start));
    QTest::mouseMove(area, QPoint(20, area->height() + 40));
    QTRY_VERIFY(view_->verticalScrollBar()->value() > 100);
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(20, area->height() + 40));
    const int value = view_->verticalScrollBar()->value();
    QCOMPARE(view_->selection().anchor, start);
    // The selection reaches the last line on screen, and stays when the scrolling stops.
    QVERIFY(view_->selection().cursor.message > 100);
    QTest::qWait(100);
    QCOMPARE(view_->verticalScrollBar()->value(), value);
    QVERIFY(view_->selectedText().startsWith(QStringLiteral("> one\ntwo\n\nfour\n")));
}

void TranscriptViewTest::contextMenuCopiesAndSelectsAll()
{
    // The menu runs its own event loop: it is read, and used, from a timer.
    QStringList shown;
    const auto use = [this, &shown](const QString& choice) {
        QTimer::singleShot(50, [&shown, choice] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            shown.clear();
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator())
                    shown.append(action->text() + (action->isEnabled() ? "" : " (off)"));
                if (action->text() == choice)
                    action->trigger();
            }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                                view_->viewport()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(view_->viewport(), &event);
    };
    use(QStringLiteral("Select All"));
    QCOMPARE(shown, (QStringList{"&Copy (off)", "Select All"}));
    use(QStringLiteral("&Copy"));
    QCOMPARE(shown, (QStringList{"&Copy", "Select All"}));
    QCOMPARE(QGuiApplication::clipboard()->text(), view_->toPlainText().replace(QChar(0xA0), u' '));
}

// 200,000 kept lines, a resize, and lines of a MiB: only rows on screen are laid out,
// and the newest is in view at the bottom.
void TranscriptViewTest::longHistoryAndLongLinesCostOnlyWhatIsShown()
{
    for (int i = 0; i < 200; ++i)
        appendLines(1000, i * 1000);
    QCOMPARE(view_->store().count(), LineStore::kKeepMessages);
    const auto newestAtBottom = [this] {
        return view_->hitTest(QPointF(5, view_->viewport()->height() - 3)).message ==
               view_->store().endId() - 1;
    };
    QTRY_VERIFY(newestAtBottom());
    view_->resize(400, 300);
    QTRY_VERIFY(newestAtBottom());
    QVERIFY2(view_->laidOutRows() < 300, qPrintable(QString::number(view_->laidOutRows())));

    QByteArray words;
    while (words.size() < LineStore::kMaxMessageBytes - 10)
        words += "lorem ipsum ";
    view_->append(words, kLilac);
    QTRY_VERIFY(newestAtBottom());
    view_->append(QByteArray(LineStore::kMaxMessageBytes, '\r'), kLilac);
    QTRY_VERIFY(newestAtBottom());
    view_->selectAll();
    QVERIFY(view_->selectedText().endsWith(
        QStringLiteral(" more characters of this line are not shown]")));
    QVERIFY2(view_->laidOutRows() < 300, qPrintable(QString::number(view_->laidOutRows())));
}

void TranscriptViewTest::screenReaderReadsTextAndSelection()
{
    view_->setAccessibleName(QStringLiteral("Chat"));
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(view_.get());
    QVERIFY(reader);
    QCOMPARE(reader->role(), QAccessible::EditableText);
    QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("Chat"));
    QVERIFY(reader->state().readOnly && reader->state().multiLine);
    QAccessibleTextInterface* text = reader->textInterface();
    QVERIFY(text);
    QCOMPARE(text->text(0, text->characterCount()),
             view_->toPlainText().replace(QChar(0xA0), u' '));

    // The selection both ways, in offsets of that text.
    const int hello = int(view_->toPlainText().indexOf(QStringLiteral("hello")));
    text->setSelection(0, hello, hello + 5);
    QCOMPARE(view_->selectedText(), QStringLiteral("hello"));
    view_->setSelection({1, 4}, {1, 7});
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    QCOMPARE(text->text(start, end), QStringLiteral("one"));

    // A character's place on screen and the character at that place agree.
    const QRect rect = text->characterRect(hello + 1);
    QVERIFY(!rect.isEmpty());
    QCOMPARE(text->offsetAtPoint(rect.center() - QPoint(rect.width() / 4, 0)), hello + 1);

    // Inside a message whose line ends are CR LF, LF and CR, each shown as one line feed.
    view_->append("a\r\nb\nc\rd", kLilac);
    const qint64 id = view_->store().endId() - 1;
    const int b = int(view_->toPlainText().lastIndexOf(u'b'));
    QCOMPARE(text->text(b, b + 1), QStringLiteral("b"));
    text->setSelection(0, b, b + 3);
    QCOMPARE(view_->selectedText(), QStringLiteral("b\nc"));
    view_->setSelection({id, 5}, {id, 6});
    text->selection(0, &start, &end);
    QCOMPARE(text->text(start, end), QStringLiteral("c"));

    // With a long history, what is handed over is what is on screen and near it.
    appendLines(5000);
    QVERIFY2(text->characterCount() < view_->toPlainText().size() / 4,
             qPrintable(QString::number(text->characterCount())));
    QVERIFY(text->text(0, text->characterCount()).endsWith(QStringLiteral("p> line 4999")));
}

QTEST_MAIN(TranscriptViewTest)
#include "tst_transcript_view.moc"
