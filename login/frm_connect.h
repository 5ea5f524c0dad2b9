#pragma once

#include "shell/base/window_slot.h"

#include <QWidget>

class QCheckBox;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// The connect dialog: the first window the user sees. One instance, loaded on first use.
// A plain frameless window rather than a QDialog, so that neither Enter nor Esc
// presses anything.
class frmConnect : public QWidget, public SingleWindow<frmConnect>
{
    Q_OBJECT

public:
    frmConnect();
    ~frmConnect() override;

    // Controls, named as the dialog's design names them.
    QLabel* MainLbl = nullptr;
    QLabel* ProtocalLbl = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* NameTxt = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* PasswordTxt = nullptr;
    QCheckBox* SavePassChk = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* ArenaTxt = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* PortTxt = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* IPTxt = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    // The pointer doubles as the marker of a connection attempt under way (hourglass).
    void setMousePointer(Qt::CursorShape shape) { setCursor(shape); }
    Qt::CursorShape mousePointer() const { return cursor().shape(); }

    void setVisible(bool visible) override;

signals:
    // Connect, with the boxes tested: the chat window is to connect to this server. The
    // shell, which knows both windows, joins this to the chat window.
    void connectRequested(const QString& host, qint16 port);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void arrangeTabOrder();
    // Gives every box the name that assistive technology reads out: the label beside it.
    void nameControls();
    // Copies the boxes into the session values; the port only when its number fits,
    // which the result tells.
    bool copyBoxesToSession();
};
