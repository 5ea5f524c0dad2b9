#include "support/window_test.h"

#include "login/program_folder.h"
#include "shell/application_setup.h"
#include "shell/base/session_state.h"
#include "shell/main_loop.h"
#include "shell/window_handover.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

QString WindowTest::programFolderPath() const
{
    return folder_ ? folder_->path() : QString();
}

QString WindowTest::settingsPath() const
{
    return programFolderPath() + QStringLiteral("/Game.ini");
}

void WindowTest::initTestCase()
{
    setUpApplication(*qApp);
    joinWindows();
}

void WindowTest::init()
{
    Declares::reset();
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    overrideProgramFolderForTests(folder_->path());
}

void WindowTest::cleanup()
{
    // As after Main's loop: the flag is down before the windows go, so that unloading
    // them asks nothing of the event loop.
    Declares::running = false;
    UnloadAll();
    overrideProgramFolderForTests(QString());
    folder_.reset();
    Declares::reset();
    // With no loop running, Qt keeps an exit request for the next loop, which would
    // then end at once. One short loop takes it.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}
