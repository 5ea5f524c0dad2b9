#include "chatwindow/frm_main.h"

#include "chatwindow/send_text_box.h"

void frmMain::installKeyPreview() {}

void frmMain::Form_KeyPress(int& KeyAscii)
{
    Q_UNUSED(KeyAscii);
}

void frmMain::SendTxt_KeyPress(int& KeyAscii)
{
    Q_UNUSED(KeyAscii);
}

void frmMain::SendTxt_Change() {}

void frmMain::SendTxt_KeyUp(int& KeyCode, int Shift)
{
    Q_UNUSED(KeyCode);
    Q_UNUSED(Shift);
}

void frmMain::RecTxt_Change() {}
