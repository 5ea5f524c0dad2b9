#include "chatwindow/find_bar.h"

#include "chatwindow/transcript/transcript_view.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

QToolButton* button(QWidget* parent, const QString& name, const QString& tip)
{
    auto* made = new QToolButton(parent);
    made->setAccessibleName(name);
    made->setToolTip(tip);
    made->setAutoRaise(true);
    // The keys in the box do what the buttons do; Tab walks the window's controls.
    made->setFocusPolicy(Qt::NoFocus);
    return made;
}

} // namespace

FindBar::FindBar(TranscriptView& transcript, QWidget* parent)
    : QWidget(parent), transcript_(transcript), search_(transcript.store())
{
    // The buttons' marks in the colour of the window's text.
    QPalette colours = palette();
    colours.setColor(QPalette::ButtonText, colours.color(QPalette::WindowText));
    setPalette(colours);

    box_ = new QLineEdit(this);
    box_->setAccessibleName(QStringLiteral("Find"));
    box_->setPlaceholderText(QStringLiteral("Find"));
    box_->installEventFilter(this);
    count_ = new QLabel(this);
    count_->setAccessibleName(QStringLiteral("Matches"));
    count_->setMinimumWidth(110);
    older_ = button(this, QStringLiteral("Older match"), QStringLiteral("Older match (Enter, F3)"));
    older_->setArrowType(Qt::UpArrow);
    newer_ = button(this, QStringLiteral("Newer match"),
                    QStringLiteral("Newer match (Shift+Enter, Shift+F3)"));
    newer_->setArrowType(Qt::DownArrow);
    close_ = button(this, QStringLiteral("Close find bar"), QStringLiteral("Close (Esc)"));
    close_->setText(QStringLiteral("\u00D7"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(box_, 1);
    row->addWidget(count_);
    row->addWidget(older_);
    row->addWidget(newer_);
    row->addWidget(close_);

    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &FindBar::countSlice);
    connect(box_, &QLineEdit::textChanged, this, &FindBar::termChanged);
    connect(older_, &QToolButton::clicked, this, &FindBar::toOlder);
    connect(newer_, &QToolButton::clicked, this, &FindBar::toNewer);
    connect(close_, &QToolButton::clicked, this, &FindBar::closeRequested);
    connect(&transcript_, &TranscriptView::contentsChanged, this, &FindBar::transcriptChanged);
}

QString FindBar::countText() const
{
    return count_->text();
}

void FindBar::start()
{
    box_->setFocus(Qt::ShortcutFocusReason);
    box_->selectAll();
    termChanged(box_->text());
}

void FindBar::stop()
{
    slices_.stop();
    search_.setTerm(QString());
    shown_.reset();
    transcript_.setFindMarks(TextMatcher(), std::nullopt);
}

void FindBar::termChanged(const QString& term)
{
    if (!isVisible())
        return;
    search_.setTerm(term);
    // A short search is done at once; a long one goes on between passes of the loop.
    countSlice();
}

void FindBar::countSlice()
{
    search_.countSome(QDeadlineTimer(kSliceMs));
    keepCounting();
    showCurrent(true);
}

void FindBar::keepCounting()
{
    // Whatever else happens meanwhile, counting goes on until the count is whole.
    if (search_.isCounted())
        slices_.stop();
    else if (!slices_.isActive())
        slices_.start();
}

void FindBar::transcriptChanged()
{
    if (!isVisible())
        return;
    search_.storeChanged();
    keepCounting();
    // A current match that went is replaced; the reader's place is left as it is.
    showCurrent(false);
}

void FindBar::toOlder()
{
    search_.toOlder();
    keepCounting();
    showCurrent(true);
}

void FindBar::toNewer()
{
    search_.toNewer();
    keepCounting();
    showCurrent(true);
}

void FindBar::showCurrent(bool scroll)
{
    const std::optional<TextPos> current = search_.current();
    transcript_.setFindMarks(search_.matcher(), current);
    if (scroll && current && current != shown_)
        transcript_.ensureVisible(*current);
    shown_ = current;

    if (box_->text().isEmpty())
        count_->clear();
    else if (search_.matcher().matchesNothing())
        count_->setText(tr("No matches")); // a character the chat cannot hold
    else if (!search_.isCounted())
        return; // the count so far would be wrong; the last one stays a moment longer
    else if (search_.count() == 0)
        count_->setText(tr("No matches"));
    else
        count_->setText(tr("%1 of %2").arg(search_.currentNumber()).arg(search_.count()));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != box_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (key->modifiers() & Qt::ControlModifier) {
            if (search_.current())
                transcript_.openLinkAt(*search_.current());
        } else if (shift) {
            toNewer();
        } else {
            toOlder();
        }
        return true;
    case Qt::Key_F3:
        shift ? toNewer() : toOlder();
        return true;
    case Qt::Key_Escape:
        emit closeRequested();
        return true;
    default:
        return false;
    }
}
