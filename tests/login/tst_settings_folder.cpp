// Where Game.ini lives: beside the program where the user can keep it there, in the
// user's own settings folder otherwise; on real folders with real permissions, checked
// as an ordinary user even when the tests run as root.

#include "login/program_folder.h"
#include "login/settings.h"
#include "login/settings_folder.h"
#include "shell/base/session_state.h"
#include "support/ordinary_user.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

int modeOf(const QString& path)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return int(status.st_mode & 07777);
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Restores an environment variable when the test ends.
class SavedVariable
{
public:
    explicit SavedVariable(const char* name)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), value_(qgetenv(name))
    {
    }
    ~SavedVariable()
    {
        if (had_)
            qputenv(name_, value_);
        else
            qunsetenv(name_);
    }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray value_;
};

} // namespace

class TestSettingsFolder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void chosenFromWhatTheUserMayWrite_data();
    void chosenFromWhatTheUserMayWrite();
    void installedUnderUsrUsesUserFolder();
    void userFolderFollowsXdgConfigHome_data();
    void userFolderFollowsXdgConfigHome();
    void saveMakesUserFolderForUserAloneAndReadsBack();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SavedVariable> configHome_;
    std::unique_ptr<SavedVariable> home_;
    QString userFolder_;
};

void TestSettingsFolder::init()
{
    Declares::reset();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    // The ordinary user of the tests makes the user's folder inside.
    const QByteArray top = QFile::encodeName(dir_->path());
    QCOMPARE(::chown(top.constData(), OrdinaryUser::id(), gid_t(-1)), 0);
    configHome_ = std::make_unique<SavedVariable>("XDG_CONFIG_HOME");
    home_ = std::make_unique<SavedVariable>("HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_->filePath(QStringLiteral("config"))));
    userFolder_ = dir_->filePath(QStringLiteral("config/orvex-chat"));
}

void TestSettingsFolder::cleanup()
{
    overrideProgramFolderForTests(QString());
    configHome_.reset();
    home_.reset();
    dir_.reset();
    Declares::reset();
}

// The cases where the file stays beside the program, as it always has, and those where
// the folder refuses it or the Game.ini there cannot be read or saved.
void TestSettingsFolder::chosenFromWhatTheUserMayWrite_data()
{
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<bool>("folderOthers"); // the folder belongs to another user
    QTest::addColumn<int>("iniMode");       // 0: no Game.ini
    QTest::addColumn<bool>("iniOthers");    // Game.ini belongs to another user
    QTest::addColumn<bool>("beside");
    QTest::newRow("writable folder (build tree, unpacked folder)")
        << 0700 << false << 0 << false << true;
    QTest::newRow("writable folder with a read-only Game.ini")
        << 0700 << false << 0400 << false << true;
    QTest::newRow("writable folder with a Game.ini that cannot be read")
        << 0700 << false << 0200 << false << false;
    QTest::newRow("read-only folder with a writable Game.ini")
        << 0500 << false << 0600 << false << true;
    QTest::newRow("read-only folder with a read-only Game.ini")
        << 0500 << false << 0400 << false << false;
    QTest::newRow("read-only folder without Game.ini") << 0500 << false << 0 << false << false;
    QTest::newRow("shared folder with another's private Game.ini")
        << 01777 << true << 0600 << true << false;
    QTest::newRow("shared folder with another's readable Game.ini")
        << 01777 << true << 0644 << true << false;
    QTest::newRow("shared folder with another's Game.ini open to all")
        << 01777 << true << 0666 << true << true;
    QTest::newRow("shared folder with one's own read-only Game.ini")
        << 01777 << true << 0400 << false << true;
    QTest::newRow("open folder without the sticky bit, another's readable Game.ini")
        << 0777 << true << 0644 << true << true;
}

void TestSettingsFolder::chosenFromWhatTheUserMayWrite()
{
    QFETCH(int, folderMode);
    QFETCH(bool, folderOthers);
    QFETCH(int, iniMode);
    QFETCH(bool, iniOthers);
    QFETCH(bool, beside);
    if ((folderOthers || iniOthers) && !OrdinaryUser::isRoot())
        QSKIP("giving a file to another user takes root");
    const QString program = dir_->filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkdir(program));
    const QByteArray programName = QFile::encodeName(program);
    const uid_t user = OrdinaryUser::id();
    // The other user is root, whose files the ordinary user of the tests does not own.
    const uid_t other = 0;
    const QByteArray ini = QFile::encodeName(program + QStringLiteral("/Game.ini"));
    const QByteArray content = "[INIT]\r\nName=Eve\r\n";
    if (iniMode != 0) {
        QFile file(program + QStringLiteral("/Game.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        const uid_t owner = iniOthers ? other : user;
        QCOMPARE(::chown(ini.constData(), owner, owner), 0);
        QCOMPARE(::chmod(ini.constData(), static_cast<mode_t>(iniMode)), 0);
    }
    const uid_t folderOwner = folderOthers ? other : user;
    QCOMPARE(::chown(programName.constData(), folderOwner, folderOwner), 0);
    QCOMPARE(::chmod(programName.constData(), static_cast<mode_t>(folderMode)), 0);
    const auto restore = qScopeGuard([&] { ::chmod(programName.constData(), 0700); });
    overrideProgramFolderForTests(program);

    {
        const OrdinaryUser acting;
        const QString expected = beside ? program : userFolder_;
        QCOMPARE(settingsFolder(), expected);
        QCOMPARE(settingsFilePath(), expected + QStringLiteral("/Game.ini"));

        // The save goes where the file was looked for, and reads back from there.
        Declares::userName = QStringLiteral("Bob");
        SaveSettings();
        QCOMPARE(ReadIniValue(settingsFilePath(), QStringLiteral("INIT"), QStringLiteral("Name")),
                 QStringLiteral("Bob"));
    }
    // A Game.ini left alone is left as it was.
    if (!beside && iniOthers)
        QCOMPARE(readBytes(program + QStringLiteral("/Game.ini")), content);
}

// Never written under /usr, even by root, who could.
void TestSettingsFolder::installedUnderUsrUsesUserFolder()
{
    overrideProgramFolderForTests(QStringLiteral("/usr/bin"));
    QCOMPARE(settingsFolder(), userFolder_);
    // The same folder reached by another name (/bin is /usr/bin on a merged-/usr system).
    const QString link = dir_->filePath(QStringLiteral("bin"));
    QVERIFY(QFile::link(QStringLiteral("/usr/bin"), link));
    overrideProgramFolderForTests(link);
    QCOMPARE(settingsFolder(), userFolder_);
}

void TestSettingsFolder::userFolderFollowsXdgConfigHome_data()
{
    QTest::addColumn<QByteArray>("configHome"); // "-": unset
    QTest::addColumn<QString>("expected");
    QTest::newRow("absolute") << QByteArray("/somewhere/conf/") << "/somewhere/conf/orvex-chat";
    QTest::newRow("unset") << QByteArray("-") << "/home/eve/.config/orvex-chat";
    QTest::newRow("empty") << QByteArray("") << "/home/eve/.config/orvex-chat";
    QTest::newRow("relative") << QByteArray("conf") << "/home/eve/.config/orvex-chat";
    QTest::newRow("a file") << QByteArray("<file>") << "/home/eve/.config/orvex-chat";
}

void TestSettingsFolder::userFolderFollowsXdgConfigHome()
{
    QFETCH(QByteArray, configHome);
    QFETCH(QString, expected);
    qputenv("HOME", "/home/eve");
    if (configHome == "<file>") {
        QFile file(dir_->filePath(QStringLiteral("config-file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        configHome = QFile::encodeName(file.fileName());
    }
    if (configHome == "-")
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", configHome);
    QCOMPARE(userSettingsFolder(), expected);
}

// The first save makes the folders that are missing for the user alone; the file is
// made as beside the program, and a later start reads what was saved.
void TestSettingsFolder::saveMakesUserFolderForUserAloneAndReadsBack()
{
    const QString program = dir_->filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkdir(program));
    QCOMPARE(::chmod(QFile::encodeName(program).constData(), 0555), 0);
    const auto restore =
        qScopeGuard([&] { ::chmod(QFile::encodeName(program).constData(), 0700); });
    overrideProgramFolderForTests(program);

    {
        const OrdinaryUser acting;
        Declares::userName = QStringLiteral("Bob");
        Declares::arenaName = QStringLiteral("elim");
        Declares::port = 7706;
        SaveSettings();
    }
    QCOMPARE(modeOf(dir_->filePath(QStringLiteral("config"))), 0700);
    QCOMPARE(modeOf(userFolder_), 0700);
    const QString ini = userFolder_ + QStringLiteral("/Game.ini");
    QCOMPARE(modeOf(ini), 0600);
    QCOMPARE(readBytes(ini), QByteArray("[INIT]\r\nName=Bob\r\nPassword=\r\nArena=elim\r\n"
                                        "ServerIP=\r\nPort= 7706\r\n"));
    QVERIFY(QDir(program).isEmpty());

    // A folder the user already has keeps the mode the user gave it.
    QCOMPARE(::chmod(QFile::encodeName(userFolder_).constData(), 0750), 0);
    Declares::arenaName = QStringLiteral("pub");
    SaveSettings();
    QCOMPARE(modeOf(userFolder_), 0750);
    QCOMPARE(ReadIniValue(settingsFilePath(), QStringLiteral("INIT"), QStringLiteral("Arena")),
             QStringLiteral("pub"));
}

QTEST_GUILESS_MAIN(TestSettingsFolder)
#include "tst_settings_folder.moc"
