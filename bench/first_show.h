#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

// Reports "shown" on stdout once the first window has been exposed and painted, then
// ends the program's event loop. The start-up benchmark waits for that line.
class FirstShow : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && !qobject_cast<QWidget*>(watched) && !reported_) {
            reported_ = true;
            // The expose paints the window; the report comes once that has finished.
            QTimer::singleShot(0, [] {
                std::puts("shown");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool reported_ = false;
};
