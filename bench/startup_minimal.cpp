// The minimal Qt Widgets program, a window with a line of text: the bound for the
// client's start. Text matters: it is what makes the toolkit load its fonts.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
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

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    FirstShow probe;
    app.installEventFilter(&probe);
    QLabel window(QStringLiteral("Hello, zone"));
    window.resize(275, 339);
    window.show();
    return QApplication::exec();
}
