// A minimal Qt Widgets program that shows one window: the bound for the client's start.
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>

namespace {

class FirstShow : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && !qobject_cast<QWidget*>(watched) && !reported_) {
            reported_ = true;
            std::puts("shown");
            std::fflush(stdout);
            QCoreApplication::exit(0);
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
    FirstShow probe;
    app.installEventFilter(&probe);
    QWidget window;
    window.resize(275, 339);
    window.show();
    return QApplication::exec();
}
