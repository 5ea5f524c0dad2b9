#pragma once

#include "chatwindow/image_list.h"
#include "chatwindow/user_list.h"
#include "session/chat_view.h"
#include "session/line_history.h"
#include "session/name_completion.h"
#include "session/receive_step.h"
#include "shell/base/chat_window_choices.h"
#include "shell/base/window_slot.h"

#include <QWidget>

#include <optional>

class DesktopNotice;
class FindBar;
class KeyboardFocus;
class NewMessagesButton;
class QCloseEvent;
class QLabel;
class QTimer;
class SendTextBox;
class SocketComponent;
class TranscriptView;

// The chat window: transcript, user list, entry box, the connection and the keep-alive
// timer. One instance, loaded on first use through instance().
class frmMain : public QWidget, public ChatView, public SingleWindow<frmMain>
{
    Q_OBJECT

public:
    frmMain();
    ~frmMain() override;

    // Controls, named as the window's design names them.
    SocketComponent* Socket1 = nullptr;
    ImageList UsrImages;
    QTimer* TmrKeepAlive = nullptr;
    UserList* UsrLst = nullptr;
    SendTextBox* SendTxt = nullptr;
    TranscriptView* RecTxt = nullptr;
    QLabel* Label7 = nullptr;
    // Below the transcript, which gives up room for it while it is open.
    FindBar* findBar = nullptr;
    // Over the bottom of the transcript while messages below it are unseen.
    NewMessagesButton* newMessages = nullptr;

    void Form_Load();
    void Form_QueryUnload(int& Cancel, int UnloadMode);
    void Form_KeyPress(int& KeyAscii);

    // The command line and the focus rules.
    void SendTxt_KeyPress(int& KeyAscii);
    void SendTxt_Change();
    void SendTxt_KeyUp(int& KeyCode, int Shift);
    void RecTxt_Change();
    void UsrLst_DblClick();

    // Up (older) and Down in the entry box: the lines entered in this run.
    void recallLine(bool older);
    // Tab and Shift+Tab (backward) in the entry box: the user list's names. False when no
    // name fits, so that the key moves the focus as usual.
    bool completeName(bool backward);

    // The connection's notifications and the keep-alive tick.
    void Socket1_Connect();
    void Socket1_Read(int bytesTotal);
    void Socket1_Error(int code, const QString& description);
    void Socket1_Close();
    void Socket1_Disconnected();
    void TmrKeepAlive_Timer();

    // Ctrl+F from any control opens the find bar, or gives it the keyboard again; Esc in
    // it closes it and gives the keyboard to the entry box.
    void openFindBar();
    void closeFindBar();
    // While the find bar has the keyboard, arriving lines and typed characters leave it
    // there: the window's focus rules are for its own controls.
    bool findBarHasFocus() const;

    // The size of the window's text, in percent of the design size (TextSize's steps):
    // Ctrl+plus, Ctrl+minus, Ctrl+0 and Ctrl+wheel change it, for every control at once.
    int textSize() const { return textPercent_; }
    void setTextSize(int percent);

    // The size, maximised state and text size the user left the window with.
    ChatWindowChoices choices() const;
    // Before the window is first shown: opens it as it was left in an earlier run. A size
    // too small for the controls, or larger than the screen, gives the design size.
    void openWith(const ChatWindowChoices& choices);
    // What is to be kept for the next run: the choices, once the window was opened with
    // some and only if the user changed them since.
    std::optional<ChatWindowChoices> choicesToKeep() const;

    // Sets up the connection to a server and starts it; its notifications follow.
    void startConnect(const QString& host, qint16 port);

    // Shows what one data-arrived notification brought: its lines change the
    // transcript once.
    void takeReceived(const QByteArray& bytes);

    // The received characters after the last LF so far.
    const LineFramer& receiveFramer() const { return receive_.framer(); }

    // The user list holds at most this many entries; a server that names more is not
    // listened to. Real arenas hold a few hundred players.
    static constexpr int kMaxUsers = 10000;
    // For tests: a smaller bound on the user list.
    void setUserListBoundForTests(int entries) { maxUsers_ = entries; }
    // For tests: what tells the desktop of a message meant for the user (owned here).
    void setDesktopNoticeForTests(DesktopNotice* notice);

    void appendLine(const QString& text, quint8 red, quint8 green, quint8 blue, quint8 bold,
                    quint8 italic) override;
    void clearUsers() override;
    void addUser(const QString& name, int smallIcon) override;
    void removeUser(const QString& name) override;

signals:
    // What the connection's notifications tell whoever joined this window to the connect
    // dialog: the login line is out, so the connect is to be finished; or the attempt
    // failed, so the dialog may try again.
    void loginSent();
    void connectFailed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    // Places the controls for the window's size, its text size and the find bar.
    void placeControls();
    // Ctrl+plus and the rest, from any control, and Ctrl+wheel over the transcript and list.
    void installTextSizeKeys();
    // Gives every control the name that assistive technology reads out.
    void nameControls();
    // Lets Form_KeyPress see every key before the focused control does.
    void installKeyPreview();
    void createFindBar();
    // The new-messages indicator and the reading keys in the entry box.
    void createReadingAids();
    // Tells the desktop of the newest of lines that is meant for the user, unless the
    // window is the active one.
    void noticeMessagesForUser(const QList<QByteArray>& lines);

    ReceiveStep receive_;
    int maxUsers_ = kMaxUsers;
    LineHistory enteredLines_;
    NameCompleter nameCompleter_;
    DesktopNotice* desktopNotice_ = nullptr;
    KeyboardFocus* keyboardFocus_ = nullptr;
    int textPercent_ = ChatWindowChoices::kDesignTextPercent;
    // The size while neither maximised nor minimised, which is what the next run opens at.
    QSize normalSize_{ChatWindowChoices::kDesignWidth, ChatWindowChoices::kDesignHeight};
    std::optional<ChatWindowChoices> openedWith_;
};
