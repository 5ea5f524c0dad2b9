// The client's own start, as shell/main.cpp does it, reporting the moment the connect
// dialog is first shown on stdout and then leaving.
#include "shell/application_setup.h"
#include "shell/main_loop.h"
#include "shell/session_state.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class FirstShow : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Expose && widget == nullptr && !reported_) {
            reported_ = true;
            // The expose paints the window; the report comes once that has finished.
            QTimer::singleShot(0, [] {
                std::puts("shown");
                std::fflush(stdout);
                Declares::clearRunning();
            });
        }
        return false;
    }

private:
    bool reported_ = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    FirstShow probe;
    app.installEventFilter(&probe);
    return Main();
}
