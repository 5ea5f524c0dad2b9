#include "chatwindow/frm_main.h"

#include "chatwindow/append_chat.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "chatwindow/user_list.h"
#include "session/socket_component.h"
#include "shell/base/design_font.h"
#include "shell/base/session_state.h"
#include "shell/base/window_role.h"
#include "shell/base/window_slot.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPalette>
#include <QTimer>

namespace {

QFont verdana()
{
    return designFont(QStringLiteral("Verdana"), 8.25, false);
}

// Text colour on a background colour, for the window and its boxes.
QPalette colours(const QColor& background, const QColor& text)
{
    QPalette palette;
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    return palette;
}

} // namespace

frmMain::frmMain()
{
    reportWindowRole(staticMetaObject, QAccessible::Window);
    createControls();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    setWindowTitle(QStringLiteral("My Orvex Client By Quibbert"));
    setWindowIcon(smileyIcon());
    // A resizable border and a maximise button: the controls follow the size.
    resize(ChatWindowChoices::kDesignWidth, ChatWindowChoices::kDesignHeight);
    setAutoFillBackground(true);
    setPalette(colours(Qt::black, Qt::white));

    Socket1 = new SocketComponent(this);
    connect(Socket1, &SocketComponent::connected, this, &frmMain::Socket1_Connect);
    connect(Socket1, &SocketComponent::dataArrived, this, &frmMain::Socket1_Read);
    connect(Socket1, &SocketComponent::errorOccurred, this, &frmMain::Socket1_Error);
    connect(Socket1, &SocketComponent::closed, this, &frmMain::Socket1_Close);
    connect(Socket1, &SocketComponent::disconnected, this, &frmMain::Socket1_Disconnected);

    TmrKeepAlive = new QTimer(this);
    TmrKeepAlive->setInterval(60000);
    connect(TmrKeepAlive, &QTimer::timeout, this, &frmMain::TmrKeepAlive_Timer);

    UsrLst = new UserList(this);
    UsrLst->setFont(verdana());
    UsrLst->setPalette(colours(Qt::black, Qt::white));
    UsrLst->setViewMode(QListView::ListMode);
    UsrLst->setIconSize(QSize(16, 16));
    UsrLst->setSelectionMode(QAbstractItemView::SingleSelection);
    UsrLst->setEditTriggers(QAbstractItemView::NoEditTriggers);
    UsrLst->setSortingEnabled(false);
    UsrLst->chosen = [this] { UsrLst_DblClick(); };

    SendTxt = new SendTextBox(this);
    SendTxt->setFont(verdana());
    SendTxt->setPalette(colours(Qt::black, Qt::white));

    RecTxt = new TranscriptView(this);
    RecTxt->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    RecTxt->setPalette(colours(Qt::black, Qt::white));

    Label7 = new QLabel(QStringLiteral("Userlist"), this);
    Label7->setFont(verdana());
    QPalette labelColours = Label7->palette();
    labelColours.setColor(QPalette::WindowText, Qt::white);
    Label7->setPalette(labelColours);
    Label7->setAutoFillBackground(false);

    setTabOrder(SendTxt, RecTxt);
    setTabOrder(RecTxt, UsrLst);
    SendTxt->setFocus();
    nameControls();
    installKeyPreview();
    createFindBar();
    createReadingAids();
    setTextSize(ChatWindowChoices::kDesignTextPercent);
    installTextSizeKeys();
}

void frmMain::nameControls()
{
    // The label above the list names it; being its buddy also tells a screen reader so.
    Label7->setBuddy(UsrLst);
    UsrLst->setAccessibleName(Label7->text());
    SendTxt->setAccessibleName(QStringLiteral("Message"));
    RecTxt->setAccessibleName(QStringLiteral("Chat"));
}

void frmMain::Form_Load()
{
    setWindowTitle(windowTitle() + QStringLiteral(" V ") +
                   QString::fromLatin1(Declares::kProgramVersion));
}

void frmMain::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    Q_UNUSED(UnloadMode);
    if (Declares::running) {
        Declares::clearRunning();
        Cancel = 1;
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    Form_QueryUnload(cancel, 0);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

void frmMain::appendLine(const QString& text, quint8 red, quint8 green, quint8 blue, quint8 bold,
                         quint8 italic)
{
    AppendChat(RecTxt, text, red, green, blue, bold, italic);
}

void frmMain::clearUsers()
{
    UsrLst->clear();
}

void frmMain::addUser(const QString& name, int smallIcon)
{
    if (UsrLst->count() >= maxUsers_)
        return;
    // A number without a picture still lists the player, only without one.
    UsrLst->addItem(new QListWidgetItem(UsrImages.picture(smallIcon), name));
}

void frmMain::removeUser(const QString& name)
{
    const int row = UsrLst->firstRowNamed(name);
    if (row >= 0)
        delete UsrLst->takeItem(row);
}

void frmMain::UsrLst_DblClick()
{
    // Once the connection is gone the greyed entry box takes nothing more.
    if (!SendTxt->isEnabled())
        return;
    const QList<QListWidgetItem*> selected = UsrLst->selectedItems();
    if (selected.isEmpty())
        return;
    SendTxt->setText(QStringLiteral("/ ") + selected.first()->text() + u' ');
    SendTxt->setFocus();
    SendTxt->setCursorPosition(SendTxt->text().size());
}
