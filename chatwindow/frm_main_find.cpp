#include "chatwindow/frm_main.h"

#include "chatwindow/find_bar.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"

#include <QLineEdit>
#include <QShortcut>

void frmMain::createFindBar()
{
    findBar = new FindBar(*RecTxt, this);
    findBar->hide();
    placeControls();
    setTabOrder(RecTxt, findBar->box());
    setTabOrder(findBar->box(), UsrLst);
    connect(findBar, &FindBar::closeRequested, this, &frmMain::closeFindBar);
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, &frmMain::openFindBar);
}

void frmMain::openFindBar()
{
    if (!findBar->isVisible()) {
        // The bar takes the foot of the transcript's place while it is open.
        findBar->show();
        placeControls();
    }
    findBar->start();
}

void frmMain::closeFindBar()
{
    findBar->stop();
    findBar->hide();
    placeControls();
    SendTxt->setFocus();
}

bool frmMain::findBarHasFocus() const
{
    // The window's focus child, even while another window is active.
    return findBar && findBar->isVisible() && findBar->isAncestorOf(focusWidget());
}
