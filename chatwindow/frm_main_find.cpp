#include "chatwindow/frm_main.h"

#include "chatwindow/find_bar.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"

#include <QLineEdit>
#include <QShortcut>

namespace {

// The bar takes the bottom of the transcript's place while it is open: the window keeps
// its size.
constexpr int kBarHeight = 24;
constexpr int kBarGap = 2;

} // namespace

void frmMain::createFindBar()
{
    findBar = new FindBar(*RecTxt, this);
    findBar->hide();
    const QRect transcript = RecTxt->geometry(); // as the window's layout placed it
    findBar->setGeometry(transcript.left(), transcript.bottom() + 1 - kBarHeight,
                         transcript.width(), kBarHeight);
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
        RecTxt->resize(RecTxt->width(), findBar->y() - kBarGap - RecTxt->y());
        findBar->show();
    }
    findBar->start();
}

void frmMain::closeFindBar()
{
    findBar->stop();
    findBar->hide();
    RecTxt->resize(RecTxt->width(), findBar->geometry().bottom() + 1 - RecTxt->y());
    SendTxt->setFocus();
}

bool frmMain::findBarHasFocus() const
{
    // The window's focus child, even while another window is active.
    return findBar && findBar->isVisible() && findBar->isAncestorOf(focusWidget());
}
