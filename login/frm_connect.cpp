#include "login/frm_connect.h"

#include "login/settings.h"
#include "login/settings_folder.h"
#include "login/validate_login.h"
#include "session/number_rules.h"
#include "session/protocol.h"
#include "shell/base/design_font.h"
#include "shell/base/message_box.h"
#include "shell/base/session_state.h"
#include "shell/base/window_role.h"
#include "shell/base/window_slot.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

constexpr QLatin1String kDefaultServer("127.0.0.1");

// Shows every character of the password box as "*", whatever the platform's style uses.
class AsteriskPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QFont timesNewRoman(qreal pointSize, bool bold)
{
    return designFont(QStringLiteral("Times New Roman"), pointSize, bold);
}

QFont platformDefaultFont()
{
    return designFont(QStringLiteral("MS Sans Serif"), 8, false);
}

} // namespace

frmConnect::frmConnect()
{
    reportWindowRole(staticMetaObject, QAccessible::Dialog);
    createControls();
    Form_Load();
}

frmConnect::~frmConnect() = default;

void frmConnect::createControls()
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Connect to Server"));
    setFixedSize(275, 339);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    grey.setColor(QPalette::WindowText, Qt::black);
    setPalette(grey);
    setAutoFillBackground(true);

    // Each control gets its font before its text, so that no text is first laid out and
    // measured in a font the dialog does not show it in.
    auto label = [this](const char* name, const QString& text, QRect geometry, QFont font,
                        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
        auto* control = new QLabel(this);
        control->setObjectName(QLatin1String(name));
        control->setGeometry(geometry);
        control->setFont(font);
        control->setText(text);
        control->setAlignment(alignment);
        // Captions are never cut: where the font here runs wider than the designed
        // width, the label grows to the right.
        control->resize(qMax(geometry.width(), control->sizeHint().width()), geometry.height());
        return control;
    };
    auto textBox = [this](const char* name, const QString& text, QRect geometry) {
        auto* control = new QLineEdit(this);
        control->setObjectName(QLatin1String(name));
        control->setGeometry(geometry);
        control->setFont(timesNewRoman(12, false));
        control->setText(text);
        QPalette colours = control->palette();
        colours.setColor(QPalette::Base, Qt::white);
        colours.setColor(QPalette::Text, Qt::black);
        control->setPalette(colours);
        return control;
    };
    auto button = [this](const char* name, const QString& text, QRect geometry) {
        auto* control = new QPushButton(this);
        control->setObjectName(QLatin1String(name));
        control->setGeometry(geometry);
        control->setFont(timesNewRoman(12, true));
        control->setText(text);
        control->setAutoDefault(false);
        control->setDefault(false);
        return control;
    };

    const QFont title = timesNewRoman(15.75, true);
    const QFont caption = timesNewRoman(12, true);
    MainLbl = label("MainLbl", QStringLiteral("Connect to Orvex Chat vX.X"), {2, 8, 265, 24}, title,
                    Qt::AlignHCenter | Qt::AlignTop);
    ProtocalLbl = label("ProtocalLbl", QStringLiteral("Protocol vX.X"), {2, 32, 265, 24}, title,
                        Qt::AlignHCenter | Qt::AlignTop);
    Label1 = label("Label1", QStringLiteral("Name"), {12, 66, 40, 19}, caption);
    NameTxt = textBox("NameTxt", QStringLiteral("Username"), {92, 60, 173, 23});
    Label2 = label("Label2", QStringLiteral("Password"), {12, 98, 63, 19}, caption);
    PasswordTxt = textBox("PasswordTxt", QStringLiteral("password"), {92, 90, 173, 23});
    PasswordTxt->setEchoMode(QLineEdit::Password);
    auto* asterisk = new AsteriskPasswordStyle;
    asterisk->setParent(this);
    PasswordTxt->setStyle(asterisk);

    SavePassChk = new QCheckBox(this);
    SavePassChk->setObjectName(QStringLiteral("SavePassChk"));
    SavePassChk->setGeometry(92, 118, 13, 15);
    SavePassChk->setChecked(false);

    Label3 = label("Label3", QStringLiteral("Save Password"), {108, 116, 100, 19}, caption);
    Label8 = label("Label8", QStringLiteral("Arena"), {12, 144, 41, 19}, caption);
    ArenaTxt = textBox("ArenaTxt", QStringLiteral("elim"), {92, 144, 173, 23});
    Label4 = label("Label4", QStringLiteral("Port"), {14, 192, 28, 19}, caption);
    PortTxt = textBox("PortTxt", QStringLiteral("7706"), {92, 184, 173, 23});
    Label5 = label("Label5", QStringLiteral("Name/IP"), {14, 214, 59, 19}, caption);
    IPTxt = textBox("IPTxt", kDefaultServer, {92, 216, 173, 23});
    Label6 = label("Label6", QString(kDefaultServer) + QStringLiteral(":7706 = Local zone"),
                   {40, 248, 191, 13}, platformDefaultFont());
    Label7 = label("Label7", QString(kDefaultServer) + QStringLiteral(":5000 = orvex test zone"),
                   {40, 264, 175, 13}, platformDefaultFont());
    Command2 = button("Command2", QStringLiteral("Cancel"), {8, 298, 129, 35});
    Command1 = button("Command1", QStringLiteral("Connect"), {144, 298, 121, 35});

    connect(Command1, &QPushButton::clicked, this, &frmConnect::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmConnect::Command2_Click);

    arrangeTabOrder();
    nameControls();
    NameTxt->setFocus();
}

void frmConnect::arrangeTabOrder()
{
    QWidget::setTabOrder(NameTxt, PasswordTxt);
    QWidget::setTabOrder(PasswordTxt, Command1);
    QWidget::setTabOrder(Command1, Command2);
    QWidget::setTabOrder(Command2, SavePassChk);
    QWidget::setTabOrder(SavePassChk, PortTxt);
    QWidget::setTabOrder(PortTxt, IPTxt);
    QWidget::setTabOrder(IPTxt, ArenaTxt);
}

void frmConnect::nameControls()
{
    // A label's buddy takes the label's text as its name and reports the label as what
    // labels it. The captions carry no "&", so no shortcut is underlined.
    Label1->setBuddy(NameTxt);
    Label2->setBuddy(PasswordTxt);
    Label3->setBuddy(SavePassChk);
    Label8->setBuddy(ArenaTxt);
    Label4->setBuddy(PortTxt);
    Label5->setBuddy(IPTxt);
    // A check box takes its name from its own caption, and this one has none.
    SavePassChk->setAccessibleName(Label3->text());
}

void frmConnect::setVisible(bool visible)
{
    // Centred on the screen each time it is shown; the user cannot move it.
    if (visible && !isVisible()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                            screen->availableGeometry()));
    }
    QWidget::setVisible(visible);
}

void frmConnect::Form_Load()
{
    Declares::AppDir = settingsFolder() + u'/';
    const QString file = settingsFilePath();
    if (!FileExists(file, 0))
        return;
    const QString section = QStringLiteral("INIT");
    NameTxt->setText(ReadIniValue(file, section, QStringLiteral("Name")));
    PasswordTxt->setText(ReadIniValue(file, section, QStringLiteral("Password")));
    // A password in the file was saved by the user: Connect keeps it unless they untick.
    SavePassChk->setChecked(!PasswordTxt->text().isEmpty());
    ArenaTxt->setText(ReadIniValue(file, section, QStringLiteral("Arena")));
    IPTxt->setText(ReadIniValue(file, section, QStringLiteral("ServerIP")));
    PortTxt->setText(ReadIniValue(file, section, QStringLiteral("Port")));
    MainLbl->setText(QStringLiteral("Connect to Orvex Chat v") +
                     QString::fromLatin1(Declares::kProgramVersion));
    ProtocalLbl->setText(QStringLiteral("Protocol v") +
                         QString::number(Protocol::kProtocolVersion));
}

bool frmConnect::copyBoxesToSession()
{
    Declares::userName = NameTxt->text();
    Declares::password = PasswordTxt->text();
    Declares::serverIP = IPTxt->text();
    // A number outside the 16-bit range cannot be stored: the previous port stays.
    const auto port = roundToInt16(numericPrefixValue(PortTxt->text()));
    if (port)
        Declares::port = *port;
    Declares::arenaName = ArenaTxt->text();
    return port.has_value();
}

void frmConnect::Command1_Click()
{
    if (mousePointer() == Qt::WaitCursor)
        return; // an attempt is already under way
    const bool portFits = copyBoxesToSession();
    if (!ValidateLogin(PortTxt->text()))
        return;
    // Connecting to the port kept from before would reach a server the user did not
    // name; the message says what was typed instead of the kept number.
    if (!portFits) {
        showMessage(QStringLiteral("The port \"%1\" cannot be used: usable ports are 1 to 32767.")
                        .arg(PortTxt->text()));
        return;
    }
    // Without the chat window joined to it, Connect could only pretend to connect.
    if (!isSignalConnected(QMetaMethod::fromSignal(&frmConnect::connectRequested)))
        qFatal("frmConnect: Connect pressed, but no chat window is joined to the dialog");
    setMousePointer(Qt::WaitCursor);
    emit connectRequested(Declares::serverIP, Declares::port);
}

void frmConnect::Command2_Click()
{
    copyBoxesToSession();
    // Unticked means the same on both buttons: the typed password is never written.
    if (SavePassChk->checkState() == Qt::Unchecked)
        Declares::password.clear();
    SaveSettings();
    Declares::clearRunning();
}

void frmConnect::closeEvent(QCloseEvent* event)
{
    // A window-system close while the program runs is the user's Cancel; the program's
    // own unload is not.
    if (Declares::running && !isUnloading())
        Command2_Click();
    event->accept();
}
