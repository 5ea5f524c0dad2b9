#pragma once

#include <QWidget>

class QCloseEvent;

// The connect dialog: the first window the user sees. One instance, loaded on first use.
class frmConnect : public QWidget
{
    Q_OBJECT

public:
    frmConnect();
    ~frmConnect() override;

    static frmConnect& instance();
    static frmConnect* ifLoaded();
    static void unload();

    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    // The pointer doubles as the marker of a connection attempt under way (hourglass).
    void setMousePointer(Qt::CursorShape shape) { setCursor(shape); }
    Qt::CursorShape mousePointer() const { return cursor().shape(); }

protected:
    void closeEvent(QCloseEvent* event) override;
};
