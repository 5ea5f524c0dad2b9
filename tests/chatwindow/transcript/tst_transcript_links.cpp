// Links in the transcript: what is one and what is not, and what the reader's clicks,
// drags and double-clicks on one do, with a recorder in the place of the browser.
#include "chatwindow/transcript/link_spans.h"
#include "chatwindow/transcript/transcript_view.h"
#include "shell/application_setup.h"
#include "shell/base/design_font.h"
#include "support/opened_links.h"

#include <QClipboard>
#include <QMenu>
#include <QtTest>

namespace {

constexpr TextLook kLilac{qRgb(181, 181, 255), false, false};

} // namespace

class TranscriptLinksTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void whatIsALink_data();
    void whatIsALink();
    void mouseOnALink_data();
    void mouseOnALink();
    void pointerAndMenuOverALink();

private:
    QPoint pointAt(qint64 message, qsizetype offset);

    std::unique_ptr<TranscriptView> view_;
    QStringList opened_;
};

void TranscriptLinksTest::init()
{
    setUpApplication(*qApp);
    view_ = std::make_unique<TranscriptView>();
    view_->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    view_->resize(608, 515);
    view_->setLinkOpener(std::make_unique<OpenedLinks>(opened_));
    view_->show();
    QVERIFY(QTest::qWaitForWindowActive(view_.get()));
    view_->append("alice> rules at http://example.com/rules?id=7 tonight", kLilac);
    view_->append("bob> mirror www.example.org/a", kLilac);
    opened_.clear();
    QGuiApplication::clipboard()->clear();
}

void TranscriptLinksTest::cleanup()
{
    view_.reset();
}

QPoint TranscriptLinksTest::pointAt(qint64 message, qsizetype offset)
{
    const QRectF at = view_->placeRect({message, offset});
    return QPoint(qRound(at.left()) + 1, qRound(at.center().y()));
}

void TranscriptLinksTest::whatIsALink_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qsizetype>("from"); // the part of the text asked about
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QStringList>("addresses");

    const auto row = [](const char* name, const QByteArray& text, const QStringList& links,
                        const QStringList& addresses, qsizetype from = 0) {
        QTest::newRow(name) << text << from << links << addresses;
    };
    row("in a sentence", "see http://example.com/a?b=c&d now", {"http://example.com/a?b=c&d"},
        {"http://example.com/a?b=c&d"});
    row("https and www", "https://a.example/x www.example.org",
        {"https://a.example/x", "www.example.org"},
        {"https://a.example/x", "http://www.example.org"});
    row("either case", "WWW.Example.ORG HTTP://B.example", {"WWW.Example.ORG", "HTTP://B.example"},
        {"http://www.example.org", "http://b.example"});
    row("after punctuation, to the next blank", "(http://x.example/a), next",
        {"http://x.example/a"}, {"http://x.example/a"});
    row("trailing punctuation is not part of it",
        "http://a.example/x. http://b.example/y, http://c.example; http://d.example: "
        "http://e.example! http://f.example/?q=1?",
        {"http://a.example/x", "http://b.example/y", "http://c.example", "http://d.example",
         "http://e.example", "http://f.example/?q=1"},
        {});
    row("punctuation inside stays", "http://a.example/a.b,c;d:8!e?f=g.html",
        {"http://a.example/a.b,c;d:8!e?f=g.html"}, {});
    row("closing quotes, plain and curly",
        "\"http://a.example\" 'http://b.example' \x93http://c.example\x94 "
        "\x91http://d.example\x92 \"http://e.example.\"",
        {"http://a.example", "http://b.example", "http://c.example", "http://d.example",
         "http://e.example"},
        {});
    row("brackets that close one opened inside",
        "https://en.example.org/wiki/Foo_(bar) http://a.example/[1] http://b.example/a<b>",
        {"https://en.example.org/wiki/Foo_(bar)", "http://a.example/[1]", "http://b.example/a<b>"},
        {});
    row("brackets around it", "(see http://a.example/page) <http://a.example> [www.a.example]",
        {"http://a.example/page", "http://a.example", "www.a.example"},
        {"http://a.example/page", "http://a.example", "http://www.a.example"});
    row("brackets and punctuation together", "(http://a.example/Foo_(bar)).",
        {"http://a.example/Foo_(bar)"}, {});
    row("nothing left after the punctuation", "http://... www.,", {}, {});
    row("as long as an address may be",
        "http://a.example/" + QByteArray(kMaxLinkLength - 18, 'x') + ".",
        {"http://a.example/" + QString(kMaxLinkLength - 18, u'x')}, {});
    row("longer than an address may be",
        "http://a.example/" + QByteArray(kMaxLinkLength - 16, 'x') + " http://b.example",
        {"http://b.example"}, {});
    row("a very long one, asked about near its end",
        "http://a.example/" + QByteArray(1 << 20, 'x') + "/http://b.example/ ok", {}, {},
        (1 << 20) + 20);
    row("ends at a tab, a line end, a non-breaking space",
        "a\thttp://t.example\tb\rwww.r.example\rc http://n.example\xA0x",
        {"http://t.example", "www.r.example", "http://n.example"},
        {"http://t.example", "http://www.r.example", "http://n.example"});
    row("a second scheme inside is part of the first", "http://a.example/?u=http://b.example",
        {"http://a.example/?u=http://b.example"}, {"http://a.example/?u=http://b.example"});
    row("Windows-1252 letters", "http://caf\xE9.example/\xE9t\xE9", {"http://café.example/été"},
        {"http://xn--caf-dma.example/été"});
    row("begun on an earlier row", "http://long.example/" + QByteArray(2000, 'x'),
        {"http://long.example/" + QString(2000, u'x')}, {}, 1500);
    row("inside a word", "xhttp://a.example awww.b.example", {}, {});
    row("nothing after the prefix", "http:// and www. alone", {}, {});
    row("other schemes", "ftp://a.example file:///etc/passwd mailto:a@b.example", {}, {});
    row("no host", "http:///path https://:80", {}, {});
}

void TranscriptLinksTest::whatIsALink()
{
    QFETCH(QByteArray, text);
    QFETCH(qsizetype, from);
    QFETCH(QStringList, links);
    QFETCH(QStringList, addresses);

    QStringList found;
    QStringList opens;
    for (const LinkSpan& link : linksIn(text, from, text.size())) {
        const QByteArrayView linkText =
            QByteArrayView(text).sliced(link.start, link.end - link.start);
        found.append(QString::fromLatin1(linkText));
        opens.append(linkAddress(linkText).toString());
        QCOMPARE(linkAt(text, link.start), link);
        QCOMPARE(linkAt(text, link.end - 1), link);
        QCOMPARE(linkAt(text, link.end), std::nullopt);
    }
    QCOMPARE(found, links);
    if (!addresses.isEmpty())
        QCOMPARE(opens, addresses);
}

void TranscriptLinksTest::mouseOnALink_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<qsizetype>("at");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QString>("selected");

    // The link is [16, 45) of the first message, "example" [23, 30), "rules" [7, 12).
    QTest::newRow("click on a link")
        << "click" << qsizetype(25) << QStringList{"http://example.com/rules?id=7"} << "";
    QTest::newRow("click beside it") << "click" << qsizetype(8) << QStringList{} << "";
    QTest::newRow("drag from a link")
        << "drag" << qsizetype(25) << QStringList{} << "ample.com/rules?id=7 tonight";
    QTest::newRow("double-click on a link")
        << "double" << qsizetype(25) << QStringList{} << "example";
    QTest::newRow("triple-click on a link")
        << "triple" << qsizetype(25) << QStringList{}
        << "alice> rules at http://example.com/rules?id=7 tonight\n";
    QTest::newRow("shift+click on a link")
        << "shift" << qsizetype(25) << QStringList{} << "rules at http://ex";
}

void TranscriptLinksTest::mouseOnALink()
{
    QFETCH(QString, action);
    QFETCH(qsizetype, at);
    QFETCH(QStringList, opened);
    QFETCH(QString, selected);

    QWidget* area = view_->viewport();
    const QPoint point = pointAt(0, at);
    // Each sequence as a real mouse sends it: a double-click is press, release, double-click,
    // release.
    if (action == u"click") {
        QTest::mouseClick(area, Qt::LeftButton, {}, point);
    } else if (action == u"drag") {
        QTest::mousePress(area, Qt::LeftButton, {}, point);
        QTest::mouseMove(area, point + QPoint(4, 0));
        QTest::mouseMove(area, pointAt(0, 53));
        QTest::mouseRelease(area, Qt::LeftButton, {}, pointAt(0, 53));
    } else if (action == u"double" || action == u"triple") {
        QTest::mouseClick(area, Qt::LeftButton, {}, point);
        QTest::mouseDClick(area, Qt::LeftButton, {}, point);
        QTest::mouseRelease(area, Qt::LeftButton, {}, point);
        if (action == u"triple")
            QTest::mouseClick(area, Qt::LeftButton, {}, point);
    } else {
        QTest::mouseClick(area, Qt::LeftButton, {}, pointAt(0, 7));
        QTest::mouseClick(area, Qt::LeftButton, Qt::ShiftModifier, point);
    }
    QCOMPARE(view_->selectedText(), selected);
    if (opened.isEmpty())
        QTest::qWait(QApplication::doubleClickInterval() + 200);
    QTRY_COMPARE(opened_, opened);
}

void TranscriptLinksTest::pointerAndMenuOverALink()
{
    QWidget* area = view_->viewport();
    const auto hover = [area](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, area->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(area, &move);
        return area->cursor().shape();
    };
    QCOMPARE(hover(pointAt(1, 14)), Qt::PointingHandCursor);
    QCOMPARE(hover(pointAt(1, 6)), Qt::IBeamCursor);
    QCOMPARE(hover(pointAt(1, 28) + QPoint(40, 0)), Qt::IBeamCursor); // past the line's end

    // The menu runs its own event loop: it is read, and used, from a timer.
    const auto use = [this](QContextMenuEvent::Reason reason, QPoint at, const QString& choice) {
        QStringList shown;
        QTimer::singleShot(50, [&shown, choice] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator())
                    shown.append(action->text());
                if (action->text() == choice)
                    action->trigger();
            }
            menu->close();
        });
        QContextMenuEvent event(reason, at, view_->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view_->viewport(), &event);
        return shown;
    };
    const QStringList withLink = {"Open Link", "Copy Link Address", "&Copy", "Select All"};
    QCOMPARE(use(QContextMenuEvent::Mouse, pointAt(1, 14), "Copy Link Address"), withLink);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("http://www.example.org/a"));
    QCOMPARE(use(QContextMenuEvent::Mouse, pointAt(1, 6), "Open Link"),
             (QStringList{"&Copy", "Select All"}));
    QCOMPARE(opened_, QStringList{});
    // From the keyboard: the link that a double-click on its last word selected to its
    // end, in brackets or not.
    for (const QByteArray& text : {QByteArray("cy> see http://a.example/page"),
                                   QByteArray("cy> (see http://a.example/page)")}) {
        view_->append(text, kLilac);
        const qint64 id = view_->store().endId() - 1;
        const QPoint onPage = pointAt(id, text.indexOf("page") + 1);
        QTest::mouseClick(area, Qt::LeftButton, {}, onPage);
        QTest::mouseDClick(area, Qt::LeftButton, {}, onPage);
        QTest::mouseRelease(area, Qt::LeftButton, {}, onPage);
        QCOMPARE(view_->selectedText(), QStringLiteral("page"));
        QCOMPARE(use(QContextMenuEvent::Keyboard, QPoint(), "Open Link"), withLink);
        QCOMPARE(opened_.takeLast(), QStringLiteral("http://a.example/page"));
    }
    QCOMPARE(opened_, QStringList{});
    // From the keyboard: the link at the current find match.
    view_->setFindMarks(TextMatcher(QStringLiteral("rules?")), TextPos{0, 35});
    QCOMPARE(use(QContextMenuEvent::Keyboard, QPoint(), "Open Link"), withLink);
    QCOMPARE(opened_, QStringList{"http://example.com/rules?id=7"});
}

QTEST_MAIN(TranscriptLinksTest)
#include "tst_transcript_links.moc"
