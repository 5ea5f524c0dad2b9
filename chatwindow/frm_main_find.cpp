#include "chatwindow/frm_main.h"

#include "chatwindow/find_bar.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"

#include <QLineEdit>
#include <QShortcut>

namespace {

// The transcript's place, and the bar's below it when open: the window keeps its size.
constexpr QRect kTranscript(8, 8, 608, 515);
constexpr int kBarHeight = 24;
constexpr int kBarGap = 2;

} // namespace

void frmMain::createFindBar()
{
    findBar = new FindBar(*RecTxt, this);
    findBar->hide();
    findBar->setGeometry(kTranscript.left(), kTranscript.bottom() + 1 - kBarHeight,
                         kTranscript.width(), kBarHeight);
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
        RecTxt->setGeometry(kTranscript.adjusted(0, 0, 0, -(kBarHeight + kBarGap)));
        findBar->show();
    }
    findBar->start();
}

void frmMain::closeFindBar()
{
    findBar->stop();
    findBar->hide();
    RecTxt->setGeometry(kTranscript);
    SendTxt->setFocus();
}

bool frmMain::findBarHasFocus() const
{
    // The window's focus child, even while another window is active.
    return findBar && findBar->isVisible() && findBar->isAncestorOf(focusWidget());
}
