#include "shell/chat_window_keeper.h"

#include "chatwindow/frm_main.h"
#include "login/window_settings.h"

void openChatWindowAsLeft(frmMain& window)
{
    window.openWith(ReadChatWindowChoices());
}

void keepChatWindowChoices(const frmMain& window)
{
    if (const std::optional<ChatWindowChoices> changed = window.choicesToKeep())
        SaveChatWindowChoices(*changed);
}
