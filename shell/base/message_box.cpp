#include "shell/base/message_box.h"

#include "shell/base/session_state.h"

#include <QMessageBox>

void showMessage(const QString& text, QWidget* parent)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(Declares::kAppTitle), text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
