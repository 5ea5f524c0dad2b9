#include "chatwindow/frm_main.h"

#include "chatwindow/new_messages_button.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"

void frmMain::createReadingAids()
{
    newMessages = new NewMessagesButton(*RecTxt);
    // The reader scrolls the chat from the entry box, which keeps the keyboard and the
    // text being typed.
    SendTxt->readingKey = [this](const QKeyEvent& event) {
        const std::optional<ReadingMove> move = readingMoveFor(event);
        if (move)
            RecTxt->goTo(*move);
        return move.has_value();
    };
}
