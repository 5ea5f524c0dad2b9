#include "chatwindow/new_messages_button.h"

#include "chatwindow/transcript/transcript_view.h"

#include <QEvent>

namespace {

// Between the button and the bottom edge of the text.
constexpr int kGap = 6;

} // namespace

NewMessagesButton::NewMessagesButton(TranscriptView& transcript)
    : QPushButton(transcript.parentWidget()), transcript_(transcript),
      textArea_(transcript.viewport())
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setToolTip(QStringLiteral("Show the newest message (Ctrl+End)"));
    // Named before it first counts: assistive technology lists hidden controls too.
    setAccessibleName(QStringLiteral("New messages"));
    hide();
    setFont(transcript.font());
    transcript.installEventFilter(this);
    // The text area has its new size only once the transcript has laid it out.
    textArea_->installEventFilter(this);
    connect(&transcript, &TranscriptView::unseenCountChanged, this,
            &NewMessagesButton::countChanged);
    connect(this, &QPushButton::clicked, &transcript,
            [&transcript] { transcript.goTo(ReadingMove::Newest); });
    countChanged(transcript.unseenCount());
}

void NewMessagesButton::countChanged(qint64 count)
{
    if (count == 0) {
        hide();
        return;
    }
    const QString text = newMessagesText(count);
    if (text != this->text()) {
        setText(text);
        setAccessibleName(text);
        place();
    }
    if (isHidden()) {
        place();
        show();
        raise();
    }
}

void NewMessagesButton::place()
{
    // Centred over the bottom of the text, within the transcript's frame.
    const QRect area = textArea_->geometry().translated(transcript_.pos());
    const QSize size = sizeHint().boundedTo(area.size());
    setGeometry(area.left() + (area.width() - size.width()) / 2,
                area.bottom() + 1 - kGap - size.height(), size.width(), size.height());
}

bool NewMessagesButton::eventFilter(QObject* watched, QEvent* event)
{
    // Compared by address alone: the watched widgets also send events while they are
    // being destroyed, when they are no longer a transcript.
    if (watched == textArea_ && event->type() == QEvent::Resize) {
        place();
    } else if (watched == &transcript_) {
        if (event->type() == QEvent::Move) {
            place();
        } else if (event->type() == QEvent::FontChange) {
            // The transcript's text size is the button's.
            setFont(transcript_.font());
            place();
        }
    }
    return QPushButton::eventFilter(watched, event);
}
