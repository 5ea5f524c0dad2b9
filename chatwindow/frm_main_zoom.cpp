#include "chatwindow/frm_main.h"

#include "chatwindow/chat_layout.h"
#include "chatwindow/find_bar.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/text_size.h"
#include "chatwindow/transcript/transcript_view.h"
#include "chatwindow/user_list.h"
#include "shell/base/design_font.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>

#include <cmath>

namespace {

constexpr qreal kDesignPoints = 8.25;
constexpr int kDesignIcon = 16;

enum class Change { None, Larger, Smaller, Design };

// Ctrl+plus (also Ctrl+= and the keypad's plus, with or without the Shift that a plus
// may need), Ctrl+minus and Ctrl+0.
Change changeFor(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    if (!(modifiers & Qt::ControlModifier) || modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return Change::None;
    switch (key.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return Change::Larger;
    case Qt::Key_Minus:
        return Change::Smaller;
    case Qt::Key_0:
        return Change::Design;
    default:
        return Change::None;
    }
}

// Sees the keys before any control (on the native window, as the key preview does), and
// the wheel over the transcript and the list.
class TextSizeInput : public QObject
{
public:
    explicit TextSizeInput(frmMain& form) : QObject(&form), form_(form)
    {
        form.installEventFilter(this);
        form.RecTxt->viewport()->installEventFilter(this);
        form.UsrLst->viewport()->installEventFilter(this);
        attach();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::WinIdChange:
            if (watched == &form_)
                attach();
            return false;
        case QEvent::KeyPress:
            return watched == window_ && take(changeFor(*static_cast<QKeyEvent*>(event)));
        case QEvent::Wheel:
            return watched != window_ && wheel(*static_cast<QWheelEvent*>(event));
        default:
            return false;
        }
    }

private:
    void attach()
    {
        QWindow* window = form_.windowHandle();
        if (!window || window == window_)
            return;
        window->installEventFilter(this);
        window_ = window;
    }

    bool take(Change change)
    {
        switch (change) {
        case Change::None:
            return false;
        case Change::Larger:
            form_.setTextSize(TextSize::larger(form_.textSize()));
            break;
        case Change::Smaller:
            form_.setTextSize(TextSize::smaller(form_.textSize()));
            break;
        case Change::Design:
            form_.setTextSize(ChatWindowChoices::kDesignTextPercent);
            break;
        }
        return true;
    }

    bool wheel(const QWheelEvent& event)
    {
        if (!(event.modifiers() & Qt::ControlModifier))
            return false;
        for (int steps = wheelSteps_.add(event.angleDelta().y()); steps != 0;
             steps += steps > 0 ? -1 : 1)
            take(steps > 0 ? Change::Larger : Change::Smaller);
        return true;
    }

    frmMain& form_;
    QPointer<QWindow> window_;
    TextSize::WheelSteps wheelSteps_;
};

} // namespace

void frmMain::installTextSizeKeys()
{
    new TextSizeInput(*this);
}

void frmMain::setTextSize(int percent)
{
    textPercent_ = TextSize::bounded(percent);
    // Every control changes at once: the window is drawn once, after all of them.
    setUpdatesEnabled(false);
    const qreal scale = textPercent_ / 100.0;
    const QFont verdana = designFont(QStringLiteral("Verdana"), kDesignPoints * scale, false);
    // The pictures grow with the rows and are never drawn smaller than designed.
    const int icon = std::max(kDesignIcon, static_cast<int>(std::lround(kDesignIcon * scale)));
    UsrLst->setIconSize(QSize(icon, icon));
    UsrLst->setFont(verdana);
    SendTxt->setFont(verdana);
    Label7->setFont(verdana);
    RecTxt->setFont(designFont(QStringLiteral("MS Sans Serif"), kDesignPoints * scale, true));
    if (findBar) {
        QFont barFont = font();
        if (barFont.pointSizeF() > 0)
            barFont.setPointSizeF(barFont.pointSizeF() * scale);
        findBar->setFont(barFont);
    }
    // Never more than the screen can hold, whatever the text size.
    setMinimumSize(smallestChat(textPercent_).boundedTo(screen()->availableGeometry().size()));
    placeControls();
    setUpdatesEnabled(true);
}
