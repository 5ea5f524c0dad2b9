#include "chatwindow/frm_main.h"

#include "chatwindow/send_text_box.h"
#include "session/socket_component.h"
#include "shell/session_state.h"
#include "shell/window_slot.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QTextEdit>
#include <QTimer>

namespace {

WindowSlot<frmMain>& slot()
{
    static WindowSlot<frmMain> window;
    return window;
}

} // namespace

frmMain& frmMain::instance()
{
    return slot().get();
}

frmMain* frmMain::ifLoaded()
{
    return slot().ifLoaded();
}

void frmMain::unload()
{
    slot().unload();
}

frmMain::frmMain()
{
    createControls();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    setWindowTitle(QStringLiteral("My Orvex Client By Quibbert"));

    Socket1 = new SocketComponent(this);
    connect(Socket1, &SocketComponent::connected, this, &frmMain::Socket1_Connect);
    connect(Socket1, &SocketComponent::dataArrived, this, &frmMain::Socket1_Read);
    connect(Socket1, &SocketComponent::errorOccurred, this, &frmMain::Socket1_Error);
    connect(Socket1, &SocketComponent::closed, this, &frmMain::Socket1_Close);

    TmrKeepAlive = new QTimer(this);
    TmrKeepAlive->setInterval(60000);
    connect(TmrKeepAlive, &QTimer::timeout, this, &frmMain::TmrKeepAlive_Timer);

    UsrLst = new QListWidget(this);
    SendTxt = new SendTextBox(this);
    RecTxt = new QTextEdit(this);
    RecTxt->setUndoRedoEnabled(false);
    RecTxt->setReadOnly(true);
    Label7 = new QLabel(QStringLiteral("Userlist"), this);
    installKeyPreview();
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
    Q_UNUSED(text);
    Q_UNUSED(red);
    Q_UNUSED(green);
    Q_UNUSED(blue);
    Q_UNUSED(bold);
    Q_UNUSED(italic);
}

void frmMain::clearUsers()
{
    UsrLst->clear();
}

void frmMain::addUser(const QString& name, int smallIcon)
{
    Q_UNUSED(smallIcon);
    UsrLst->addItem(name);
}

void frmMain::UsrLst_DblClick() {}
