#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Closes the modal message boxes that appear while it exists, pressing OK, and keeps
// their texts so the test can check what the user was told.
class MessageBoxCloser : public QObject
{
public:
    MessageBoxCloser()
    {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            texts_.append(box->text());
            titles_.append(box->windowTitle());
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start();
    }

    QStringList texts() const { return texts_; }
    QStringList titles() const { return titles_; }

private:
    QTimer timer_;
    QStringList texts_;
    QStringList titles_;
};
