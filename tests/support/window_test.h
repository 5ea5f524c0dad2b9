#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// The set-up every test of the windows shares, as a base class whose slots Qt Test runs
// around each test function. Before each: the session state as at program start, and a
// temporary folder standing in for the program's folder, so Game.ini is written there.
// After each: both windows unloaded, the folder gone, and an exit that a finished
// session asked of the event loop taken up, so that it cannot end the next test's loop.
// A test class that needs more defines its own slot and calls the base one.
class WindowTest : public QObject
{
    Q_OBJECT

public:
    // The program's folder during the current test function, and its Game.ini.
    QString programFolderPath() const;
    QString settingsPath() const;

protected slots:
    void initTestCase();
    void init();
    void cleanup();

private:
    std::unique_ptr<QTemporaryDir> folder_;
};
