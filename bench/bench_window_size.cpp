// Resizing the whole chat window and stepping its text size with 200,000 messages kept
// and a full arena in the list: each step with all the work it causes, until the
// window is drawn again. Medians of repeated rounds, against the same change of the
// rich-text transcript the chat once had.
#include "bench_report.h"
#include "bench_session.h"
#include "chat_lines.h"
#include "chat_under_test.h"

#include "chatwindow/frm_main.h"
#include "chatwindow/text_size.h"
#include "shell/base/session_state.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>

#include <functional>

namespace {

constexpr int kMessages = 200000;
constexpr int kPlayers = 300;

void fill(ChatUnderTest& chat, const QList<QByteArray>& lines)
{
    QByteArray notification;
    for (int i = 0; i < kMessages; ++i) {
        notification += lines[i % lines.size()] + '\n';
        if (notification.size() > 32000 || i + 1 == kMessages) {
            chat.takeReceived(notification);
            notification.clear();
            QCoreApplication::processEvents();
        }
    }
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
}

// One change and all the work it leaves for the event loop, the window drawn anew
// included: what the user waits for between two steps of a drag or two key presses.
double timeStep(QWidget& window, const std::function<void()>& change)
{
    QElapsedTimer clock;
    clock.start();
    change();
    QCoreApplication::processEvents(); // delayed layouts of the list and the window
    window.repaint();
    QCoreApplication::processEvents();
    return clock.nsecsElapsed() / 1e6;
}

struct Steps
{
    double resizeMs = 0;
    double textMs = 0;
};

Steps ours(const QList<QByteArray>& lines)
{
    const auto chat = ChatUnderTest::make(QStringLiteral("ours"));
    auto& form = static_cast<frmMain&>(chat->window());
    form.resize(1400, 900);
    form.show();
    for (int i = 0; i < kPlayers; ++i)
        form.addUser(QStringLiteral("Pilot %1").arg(i), 1 + i % 9);
    fill(*chat, lines);

    // A drag of the window's corner: steps of a few pixels each way.
    std::vector<double> resizes;
    for (int round = 0; round < 40; ++round) {
        const QSize size(1400 + (round % 10) * 12, 900 + (round % 10) * 8);
        resizes.push_back(timeStep(form, [&] { form.resize(size); }));
    }
    // Ctrl+plus and Ctrl+minus in turn, round the design size and beyond.
    std::vector<double> texts;
    for (int round = 0; round < 40; ++round) {
        const int percent =
            round % 2 == 0 ? TextSize::larger(form.textSize()) : TextSize::smaller(form.textSize());
        texts.push_back(timeStep(form, [&] { form.setTextSize(percent); }));
    }
    return {median(resizes), median(texts)};
}

Steps richText(const QList<QByteArray>& lines)
{
    const auto chat = ChatUnderTest::make(QStringLiteral("richtext"));
    QWidget& window = chat->window();
    window.show();
    fill(*chat, lines);
    QAbstractScrollArea& transcript = chat->transcript();
    const QSize size = transcript.size();
    std::vector<double> resizes;
    for (int round = 0; round < 2; ++round) {
        resizes.push_back(timeStep(
            window, [&] { transcript.resize(round % 2 == 0 ? size + QSize(100, 0) : size); }));
    }
    QFont font = transcript.font();
    const qreal points = font.pointSizeF();
    std::vector<double> texts;
    for (int round = 0; round < 2; ++round) {
        font.setPointSizeF(round % 2 == 0 ? points * 1.1 : points);
        texts.push_back(timeStep(window, [&] { transcript.setFont(font); }));
    }
    return {median(resizes), median(texts)};
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    startBenchSession(app);
    const QList<QByteArray> lines = makeChatLines(50000);
    const Steps mine = ours(lines);
    const Steps rich = richText(lines);
    reportFigure(
        "resize the chat window",
        QStringLiteral("median %1 ms a step with 200,000 kept").arg(mine.resizeMs, 0, 'f', 2),
        QStringLiteral("rich-text transcript %1 ms").arg(rich.resizeMs, 0, 'f', 1),
        mine.resizeMs / rich.resizeMs, "ours <= 16 ms", mine.resizeMs <= 16.0);
    reportFigure(
        "step the text size",
        QStringLiteral("median %1 ms a step with 200,000 kept").arg(mine.textMs, 0, 'f', 2),
        QStringLiteral("rich-text transcript %1 ms").arg(rich.textMs, 0, 'f', 1),
        mine.textMs / rich.textMs, "ours <= 16 ms", mine.textMs <= 16.0);
    Declares::running = false;
    return 0;
}
