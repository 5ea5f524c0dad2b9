// The profile file layer, Game.ini and the login field checks, on real files.

#include "login/file_rewrite.h"
#include "login/login_check.h"
#include "login/profile_file.h"
#include "login/program_folder.h"
#include "login/settings.h"
#include "shell/base/session_state.h"
#include "support/ordinary_user.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <QScopeGuard>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

// A second user and a group that the tests share between users. Neither needs to exist
// in the user database: root can give files to any number.
constexpr uid_t kOtherUser = 1;
constexpr gid_t kSharedGroup = 100;

struct stat statusOf(const QString& path)
{
    struct stat status
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        status.st_mode = 0;
    return status;
}

// Runs an acl tool (setfacl, getfacl) on path; gives what it printed, or "<failed>".
QByteArray aclTool(const QString& tool, QStringList arguments, const QString& path)
{
    QProcess process;
    process.start(tool, arguments << path);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return "<failed: " + process.readAllStandardError() + '>';
    return process.readAllStandardOutput();
}

QByteArray accessControlOf(const QString& path)
{
    return aclTool(QStringLiteral("getfacl"),
                   {QStringLiteral("--omit-header"), QStringLiteral("--numeric")}, path);
}

// Runs action in a child process, which ends when it returns; gives how it ended.
template <typename Action> int statusOfChild(Action action)
{
    const pid_t child = ::fork();
    if (child == 0) {
        action();
        ::_exit(0);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return status;
}

// The values of a save, and the text that the save gives an empty file.
void setSessionValues(const QString& arena)
{
    Declares::userName = QStringLiteral("Bob");
    Declares::password = QStringLiteral("pw");
    Declares::arenaName = arena;
    Declares::serverIP = QStringLiteral("127.0.0.1");
    Declares::port = 7706;
}

QByteArray savedText(const QString& arena)
{
    return "[INIT]\r\nName=Bob\r\nPassword=pw\r\nArena=" + arena.toLatin1() +
           "\r\nServerIP=127.0.0.1\r\nPort= 7706\r\n";
}

// What the test seam of the save reports.
int stepsSeen[2] = {};
RewriteStep killAt = RewriteStep::NewFileWritten;

void countStep(RewriteStep step)
{
    ++stepsSeen[static_cast<int>(step)];
}

void killAtStep(RewriteStep step)
{
    if (step == killAt)
        ::raise(SIGKILL);
}

} // namespace

class TestLoginSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readFollowsProfileRules_data();
    void readFollowsProfileRules();
    void readMissingFileSectionOrKeyIsEmpty();
    void readCutsLongValues();

    void writeKeepsTheRestOfTheFile_data();
    void writeKeepsTheRestOfTheFile();
    void writeCreatesPrivateCrLfFile();
    void writeIntoUnwritablePlaceChangesNothing();
    void writeInReadOnlyFolder_data();
    void writeInReadOnlyFolder();
    void writeKeepsOwnerAndMode_data();
    void writeKeepsOwnerAndMode();
    void writeKeepsValueOnOneLine();

    void saveSettingsWritesFiveKeysInOrder();
    void saveSettingsRoundTripsCodePageText();
    void saveSettingsRewritesTheFileOnce_data();
    void saveSettingsRewritesTheFileOnce();
    void saveKilledMidwayLeavesOldOrNewFile_data();
    void saveKilledMidwayLeavesOldOrNewFile();
    void saveFailingMidwayLeavesOldFile_data();
    void saveFailingMidwayLeavesOldFile();
    void saveInSharedFolderKeepsOwnership_data();
    void saveInSharedFolderKeepsOwnership();
    void saveKeepsLinks_data();
    void saveKeepsLinks();
    void saveKeepsAccessControlAndAttributes_data();
    void saveKeepsAccessControlAndAttributes();
    void fileExistsCountsOrdinaryFilesOnly();

    void allowedCharacters();
    void loginProblems_data();
    void loginProblems();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString ini_;
};

void TestLoginSettings::init()
{
    Declares::reset();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    ini_ = dir_->filePath(QStringLiteral("Game.ini"));
    overrideProgramFolderForTests(dir_->path());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_->filePath(QStringLiteral("config"))));
}

void TestLoginSettings::cleanup()
{
    setRewriteStepHookForTests(nullptr);
    overrideProgramFolderForTests(QString());
    dir_.reset();
    Declares::reset();
}

void TestLoginSettings::readFollowsProfileRules_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("crlf") << QByteArray("[INIT]\r\nName=Bob\r\nPort=1\r\n") << "Name"
                          << "Bob";
    QTest::newRow("lf") << QByteArray("[INIT]\nName=Bob\nPort=1\n") << "Port"
                        << "1";
    QTest::newRow("no final line end") << QByteArray("[INIT]\nName=Bob") << "Name"
                                       << "Bob";
    QTest::newRow("letter case of names") << QByteArray("[init]\r\nNAME=Bob\r\n") << "name"
                                          << "Bob";
    QTest::newRow("blanks and tabs trimmed")
        << QByteArray("  [ INIT ]  \n \tName \t=  \t Bob Smith \t \n") << "Name"
        << "Bob Smith";
    QTest::newRow("port with leading blank") << QByteArray("[INIT]\r\nPort= 7706\r\n") << "Port"
                                             << "7706";
    QTest::newRow("double quotes") << QByteArray("[INIT]\nName=\" Bob \"\n") << "Name"
                                   << " Bob ";
    QTest::newRow("single quotes") << QByteArray("[INIT]\nName='Bob'\n") << "Name"
                                   << "Bob";
    QTest::newRow("unmatched quotes kept") << QByteArray("[INIT]\nName=\"Bob'\n") << "Name"
                                           << "\"Bob'";
    QTest::newRow("one quote kept") << QByteArray("[INIT]\nName=\"\n") << "Name"
                                    << "\"";
    QTest::newRow("comment line skipped")
        << QByteArray("[INIT]\n; Name=Eve\n  ;Name=Eve\nName=Bob\n") << "Name"
        << "Bob";
    QTest::newRow("first key wins") << QByteArray("[INIT]\nName=Bob\nName=Eve\n") << "Name"
                                    << "Bob";
    QTest::newRow("key of another section ignored")
        << QByteArray("[OTHER]\nName=Eve\n[INIT]\nArena=x\nName=Bob\n") << "Name"
        << "Bob";
    QTest::newRow("only in another section")
        << QByteArray("[INIT]\nArena=x\n[OTHER]\nName=Eve\n") << "Name"
        << "";
    QTest::newRow("commas, semicolons and backslashes are plain text")
        << QByteArray("[INIT]\nServerIP=a,b ; C:\\Games\\new\n") << "ServerIP"
        << "a,b ; C:\\Games\\new";
    QTest::newRow("equals sign inside the value") << QByteArray("[INIT]\nName=a=b\n") << "Name"
                                                  << "a=b";
    QTest::newRow("empty value") << QByteArray("[INIT]\nName=\nArena=x\n") << "Name"
                                 << "";
    QTest::newRow("windows-1252 bytes")
        << QByteArray("[INIT]\nArena=caf\xE9 \x80\n") << "Arena" << QString::fromUtf8("café €");
}

void TestLoginSettings::readFollowsProfileRules()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    writeBytes(ini_, content);
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), key), expected);
}

void TestLoginSettings::readMissingFileSectionOrKeyIsEmpty()
{
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Name")), QString());
    writeBytes(ini_, "[OTHER]\r\nName=Eve\r\n");
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Name")), QString());
    writeBytes(ini_, "[INIT]\r\nArena=elim\r\n");
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Name")), QString());
    // A folder in the file's place reads as missing too.
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("Folder.ini")));
    QCOMPARE(ReadIniValue(dir_->filePath(QStringLiteral("Folder.ini")), QStringLiteral("INIT"),
                          QStringLiteral("Name")),
             QString());
}

void TestLoginSettings::readCutsLongValues()
{
    QByteArray value(6000, 'x');
    value[4998] = 'y';
    writeBytes(ini_, "[INIT]\r\nName=" + value + "\r\n");
    const QString read = ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Name"));
    QCOMPARE(read.size(), 4999);
    QVERIFY(read.endsWith(u'y'));
}

void TestLoginSettings::writeKeepsTheRestOfTheFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray crlf =
        "; saved by hand\r\n[Other]\r\nName=Eve\r\n\r\n[init]\r\n"
        "Arena=elim\r\n; the name\r\nNAME = old \r\n\r\n; next\r\n[Last]\r\nx=1\r\n";
    QTest::newRow("replace in place, crlf")
        << crlf << "Name"
        << "Bob"
        << QByteArray("; saved by hand\r\n[Other]\r\nName=Eve\r\n\r\n[init]\r\n"
                      "Arena=elim\r\n; the name\r\nNAME=Bob\r\n\r\n; next\r\n[Last]\r\nx=1\r\n");
    QTest::newRow("new key at the end of its section, crlf")
        << crlf << "Port"
        << " 7706"
        << QByteArray("; saved by hand\r\n[Other]\r\nName=Eve\r\n\r\n[init]\r\n"
                      "Arena=elim\r\n; the name\r\nNAME = old \r\nPort= 7706\r\n\r\n; next\r\n"
                      "[Last]\r\nx=1\r\n");
    QTest::newRow("new key, lf file stays lf")
        << QByteArray("[INIT]\nName=Bob\n[Other]\nx=1\n") << "Arena"
        << "elim" << QByteArray("[INIT]\nName=Bob\nArena=elim\n[Other]\nx=1\n");
    QTest::newRow("new section at the end, lf")
        << QByteArray("; only a comment\n[Other]\nx=1\n") << "Name"
        << "Bob" << QByteArray("; only a comment\n[Other]\nx=1\n[INIT]\nName=Bob\n");
    QTest::newRow("new section after a last line without end")
        << QByteArray("[Other]\r\nx=1") << "Name"
        << "Bob" << QByteArray("[Other]\r\nx=1\r\n[INIT]\r\nName=Bob\r\n");
    QTest::newRow("new key in a last section without line end")
        << QByteArray("[INIT]\nName=Bob") << "Arena"
        << "elim" << QByteArray("[INIT]\nName=Bob\nArena=elim\n");
    // Found by fuzzing: a header followed by stray CRs at the end of the file read as
    // another section once a line end was added after it, so the saved key was lost.
    QTest::newRow("section header ended by a lone CR at the end of the file")
        << QByteArray("x=1\n[init\r") << "Port"
        << " 7706" << QByteArray("x=1\n[init\r\nPort= 7706\n");
    QTest::newRow("section header ended by two CRs at the end of the file")
        << QByteArray("d\n[iNIT\r\r") << "Name"
        << "Bob" << QByteArray("d\n[iNIT\r\r\nName=Bob\n");
    // What a save written in place leaves when it is interrupted before the size is set.
    QTest::newRow("blanks after the last line end dropped")
        << QByteArray("[INIT]\r\nName=Eve\r\n      ") << "Name"
        << "Bob" << QByteArray("[INIT]\r\nName=Bob\r\n");
    QTest::newRow("blanks on a last line of text kept")
        << QByteArray("[INIT]\r\nx=1  ") << "Name"
        << "Bob" << QByteArray("[INIT]\r\nx=1  \r\nName=Bob\r\n");
    QTest::newRow("empty value replaces the old one")
        << QByteArray("[INIT]\r\nPassword=secret\r\n") << "Password"
        << "" << QByteArray("[INIT]\r\nPassword=\r\n");
    QTest::newRow("value written as it is")
        << QByteArray("[INIT]\r\n") << "Name"
        << " \"a,b\" ; C:\\x " << QByteArray("[INIT]\r\nName= \"a,b\" ; C:\\x \r\n");
}

void TestLoginSettings::writeKeepsTheRestOfTheFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    writeBytes(ini_, before);
    WriteIniValue(ini_, QStringLiteral("INIT"), key, value);
    QCOMPARE(readBytes(ini_), after);
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), key), value.trimmed());
}

void TestLoginSettings::writeCreatesPrivateCrLfFile()
{
    WriteIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Name"), QStringLiteral("Bob"));
    WriteIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Port"), QStringLiteral(" 1"));
    QCOMPARE(readBytes(ini_), QByteArray("[INIT]\r\nName=Bob\r\nPort= 1\r\n"));
    struct stat status
    {
    };
    QCOMPARE(::stat(QFile::encodeName(ini_).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0600));
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Game.ini")});
}

void TestLoginSettings::writeIntoUnwritablePlaceChangesNothing()
{
    // A path below a regular file cannot be created by anyone, root included.
    const QString blocker = dir_->filePath(QStringLiteral("notafolder"));
    writeBytes(blocker, "plain file");
    const QString inside = blocker + QStringLiteral("/Game.ini");
    WriteIniValue(inside, QStringLiteral("INIT"), QStringLiteral("Name"), QStringLiteral("Bob"));
    QVERIFY(!QFile::exists(inside));
    QCOMPARE(readBytes(blocker), QByteArray("plain file"));

    overrideProgramFolderForTests(blocker);
    Declares::userName = QStringLiteral("Bob");
    SaveSettings();
    QVERIFY(!QFile::exists(inside));
}

void TestLoginSettings::writeInReadOnlyFolder_data()
{
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<QByteArray>("expected");
    // No temporary file can be made beside Game.ini: it is written in place.
    QTest::newRow("Game.ini writable") << true << QByteArray("[INIT]\r\nName=Bob\r\n");
    QTest::newRow("Game.ini read-only") << false << QByteArray("[INIT]\r\nName=Eve\r\n");
}

void TestLoginSettings::writeInReadOnlyFolder()
{
    QFETCH(bool, fileWritable);
    QFETCH(QByteArray, expected);
    const QString folder = dir_->filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkdir(folder));
    const QString ini = folder + QStringLiteral("/Game.ini");
    writeBytes(ini, "[INIT]\r\nName=Eve\r\n");
    const QByteArray folderName = QFile::encodeName(folder);
    const QByteArray iniName = QFile::encodeName(ini);
    const uid_t user = OrdinaryUser::id();
    QCOMPARE(::chmod(QFile::encodeName(dir_->path()).constData(), 0755), 0);
    QCOMPARE(::chown(folderName.constData(), user, user), 0);
    QCOMPARE(::chown(iniName.constData(), user, user), 0);
    QCOMPARE(::chmod(iniName.constData(), fileWritable ? 0600 : 0400), 0);
    QCOMPARE(::chmod(folderName.constData(), 0500), 0);
    const auto restore = qScopeGuard([&] { ::chmod(folderName.constData(), 0700); });

    {
        const OrdinaryUser acting;
        WriteIniValue(ini, QStringLiteral("INIT"), QStringLiteral("Name"), QStringLiteral("Bob"));
    }
    QCOMPARE(readBytes(ini), expected);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Game.ini")});
}

// A save replaces the file, but the replacement is the user's file as before.
void TestLoginSettings::writeKeepsOwnerAndMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("group may read") << 0640;
    QTest::newRow("everyone may read") << 0644;
    QTest::newRow("owner only") << 0600;
}

void TestLoginSettings::writeKeepsOwnerAndMode()
{
    QFETCH(int, mode);
    writeBytes(ini_, "[INIT]\r\nName=Eve\r\n");
    const QByteArray iniName = QFile::encodeName(ini_);
    // As root the file belongs to someone else, whose file it must stay.
    const uid_t owner = OrdinaryUser::id();
    QCOMPARE(::chown(iniName.constData(), owner, owner), 0);
    QCOMPARE(::chmod(iniName.constData(), static_cast<mode_t>(mode)), 0);

    WriteIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Name"), QStringLiteral("Bob"));
    QCOMPARE(readBytes(ini_), QByteArray("[INIT]\r\nName=Bob\r\n"));
    struct stat status
    {
    };
    QCOMPARE(::stat(iniName.constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), mode);
    QCOMPARE(status.st_uid, owner);
    QCOMPARE(status.st_gid, gid_t(owner));
}

void TestLoginSettings::writeKeepsValueOnOneLine()
{
    writeBytes(ini_, "[INIT]\r\nArena=elim\r\n");
    WriteIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Arena"),
                  QStringLiteral("a\r\nPassword=stolen\nb"));
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Password")), QString());
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Arena")),
             QStringLiteral("a  Password=stolen b"));
}

void TestLoginSettings::saveSettingsWritesFiveKeysInOrder()
{
    Declares::userName = QStringLiteral("Bob");
    Declares::password = QStringLiteral("pw");
    Declares::arenaName = QStringLiteral("elim");
    Declares::serverIP = QStringLiteral("127.0.0.1");
    Declares::port = 7706;
    SaveSettings();
    QCOMPARE(readBytes(ini_), QByteArray("[INIT]\r\nName=Bob\r\nPassword=pw\r\nArena=elim\r\n"
                                         "ServerIP=127.0.0.1\r\nPort= 7706\r\n"));
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Port")),
             QStringLiteral("7706"));

    // A second save replaces the values in place.
    Declares::password.clear();
    Declares::port = -2;
    SaveSettings();
    QCOMPARE(readBytes(ini_), QByteArray("[INIT]\r\nName=Bob\r\nPassword=\r\nArena=elim\r\n"
                                         "ServerIP=127.0.0.1\r\nPort=-2\r\n"));
}

void TestLoginSettings::saveSettingsRoundTripsCodePageText()
{
    Declares::arenaName = QString::fromUtf8("Zürich €");
    Declares::serverIP = QString::fromUtf8("host→");
    SaveSettings();
    QVERIFY(readBytes(ini_).contains("Arena=Z\xFCrich \x80\r\n"));
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Arena")),
             Declares::arenaName);
    QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("ServerIP")),
             QStringLiteral("host?"));
}

// However many keys change, a save rewrites the file once: a new file renamed over the
// old one, or, for a file with a second name, the file written in place.
void TestLoginSettings::saveSettingsRewritesTheFileOnce_data()
{
    QTest::addColumn<bool>("hardLinked");
    QTest::newRow("replaced by a new file") << false;
    QTest::newRow("written in place") << true;
}

void TestLoginSettings::saveSettingsRewritesTheFileOnce()
{
    QFETCH(bool, hardLinked);
    writeBytes(ini_, "; kept\r\n[INIT]\r\nName=Eve\r\n");
    if (hardLinked)
        QCOMPARE(::link(QFile::encodeName(ini_).constData(),
                        QFile::encodeName(dir_->filePath(QStringLiteral("Copy.ini"))).constData()),
                 0);
    setSessionValues(QStringLiteral("elim"));
    stepsSeen[0] = stepsSeen[1] = 0;
    setRewriteStepHookForTests(countStep);

    SaveSettings();
    QCOMPARE(readBytes(ini_), "; kept\r\n" + savedText(QStringLiteral("elim")));
    QCOMPARE(stepsSeen[int(RewriteStep::NewFileWritten)], hardLinked ? 0 : 1);
    QCOMPARE(stepsSeen[int(RewriteStep::WrittenInPlace)], hardLinked ? 1 : 0);
}

// The program killed at the worst moment of a save: before the new file takes the old
// one's place, the old file is whole; written in place, before the file's size is set,
// the file reads as the new one (a shorter text is followed by blanks until then).
void TestLoginSettings::saveKilledMidwayLeavesOldOrNewFile_data()
{
    QTest::addColumn<bool>("hardLinked");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("newText");
    QTest::newRow("before the rename") << false << int(RewriteStep::NewFileWritten) << false;
    QTest::newRow("in place, before the size is set")
        << true << int(RewriteStep::WrittenInPlace) << true;
}

void TestLoginSettings::saveKilledMidwayLeavesOldOrNewFile()
{
    QFETCH(bool, hardLinked);
    QFETCH(int, step);
    QFETCH(bool, newText);
    const QString longArena(200, u'a');
    writeBytes(ini_, savedText(longArena));
    const QString copy = dir_->filePath(QStringLiteral("Copy.ini"));
    if (hardLinked)
        QCOMPARE(::link(QFile::encodeName(ini_).constData(), QFile::encodeName(copy).constData()),
                 0);
    setSessionValues(QStringLiteral("elim"));
    killAt = static_cast<RewriteStep>(step);

    const int ended = statusOfChild([] {
        setRewriteStepHookForTests(killAtStep);
        SaveSettings();
    });
    QVERIFY(WIFSIGNALED(ended) && WTERMSIG(ended) == SIGKILL);

    const QByteArray old = savedText(longArena);
    const QByteArray saved = savedText(QStringLiteral("elim"));
    const QByteArray bytes = readBytes(ini_);
    if (newText) {
        QCOMPARE(bytes, saved + QByteArray(old.size() - saved.size(), ' '));
        QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Arena")),
                 QStringLiteral("elim"));
        QCOMPARE(ReadIniValue(ini_, QStringLiteral("INIT"), QStringLiteral("Port")),
                 QStringLiteral("7706"));
        QCOMPARE(readBytes(copy), bytes);
    } else {
        QCOMPARE(bytes, old);
    }

    // The next save leaves nothing of the interrupted one behind.
    SaveSettings();
    QCOMPARE(readBytes(ini_), saved);
}

// A write that fails midway (here at the size the process may write, as on a full disk)
// leaves the old file whole, whichever way the save goes.
void TestLoginSettings::saveFailingMidwayLeavesOldFile_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("replaced by a new file") << false;
    QTest::newRow("in place, read-only folder") << true;
}

void TestLoginSettings::saveFailingMidwayLeavesOldFile()
{
    QFETCH(bool, readOnlyFolder);
    const QString folder = dir_->filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkdir(folder));
    const QString ini = folder + QStringLiteral("/Game.ini");
    const QByteArray old = savedText(QStringLiteral("elim"));
    writeBytes(ini, old);
    overrideProgramFolderForTests(folder);
    const QByteArray folderName = QFile::encodeName(folder);
    const uid_t user = OrdinaryUser::id();
    QCOMPARE(::chmod(QFile::encodeName(dir_->path()).constData(), 0755), 0);
    QCOMPARE(::chown(folderName.constData(), user, user), 0);
    QCOMPARE(::chown(QFile::encodeName(ini).constData(), user, user), 0);
    const auto restore = qScopeGuard([&] { ::chmod(folderName.constData(), 0700); });
    if (readOnlyFolder)
        QCOMPARE(::chmod(folderName.constData(), 0500), 0);
    setSessionValues(QString(300, u'x'));

    const int ended = statusOfChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(old.size() + 40), rlim_t(old.size() + 40)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const OrdinaryUser acting;
        SaveSettings();
    });
    QVERIFY(WIFEXITED(ended) && WEXITSTATUS(ended) == 0);
    QCOMPARE(readBytes(ini), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("Game")),
             QStringList{QStringLiteral("Game.ini")});

    // Where the file may grow, the same save goes through.
    {
        const OrdinaryUser acting;
        SaveSettings();
    }
    QCOMPARE(readBytes(ini), savedText(QString(300, u'x')));
}

// A Game.ini shared by the users of a group, saved by another user of the group: the
// file stays its owner's, in its group, with its mode, also in a sticky folder such as
// /tmp, where the folder lets no one else rename over it.
void TestLoginSettings::saveInSharedFolderKeepsOwnership_data()
{
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<uint>("fileOwner");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<uint>("ownerAfter");
    QTest::addColumn<bool>("saved");

    const uint other = kOtherUser;
    const uint saver = OrdinaryUser::kNobody;
    QTest::newRow("group-writable folder") << 0775 << other << 0664 << other << true;
    QTest::newRow("sticky folder") << 01777 << other << 0664 << other << true;
    QTest::newRow("sticky folder, the saver's own file") << 01777 << saver << 0600 << saver << true;
    // A file the saver may not write, in a folder where the saver may replace it: it
    // becomes the saver's, still in its group and with its mode.
    QTest::newRow("file the saver may only read") << 0775 << other << 0644 << saver << true;
    QTest::newRow("sticky folder, file the saver may only read")
        << 01777 << other << 0644 << other << false;
}

void TestLoginSettings::saveInSharedFolderKeepsOwnership()
{
    QFETCH(int, folderMode);
    QFETCH(uint, fileOwner);
    QFETCH(int, fileMode);
    QFETCH(uint, ownerAfter);
    QFETCH(bool, saved);
    if (!OrdinaryUser::isRoot())
        QSKIP("Acting as two users of one group needs root");

    const QString folder = dir_->filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkdir(folder));
    const QString ini = folder + QStringLiteral("/Game.ini");
    const QByteArray old("[INIT]\r\nName=Eve\r\n");
    writeBytes(ini, old);
    const QByteArray folderName = QFile::encodeName(folder);
    const QByteArray iniName = QFile::encodeName(ini);
    if (::chown(folderName.constData(), kOtherUser, kSharedGroup) != 0 ||
        ::chown(iniName.constData(), fileOwner, kSharedGroup) != 0)
        QSKIP("This system does not let root give files to other users");
    QCOMPARE(::chmod(QFile::encodeName(dir_->path()).constData(), 0755), 0);
    QCOMPARE(::chmod(folderName.constData(), static_cast<mode_t>(folderMode)), 0);
    QCOMPARE(::chmod(iniName.constData(), static_cast<mode_t>(fileMode)), 0);
    overrideProgramFolderForTests(folder);
    setSessionValues(QStringLiteral("elim"));

    {
        const OrdinaryUser acting(kSharedGroup);
        SaveSettings();
    }
    QCOMPARE(readBytes(ini), saved ? savedText(QStringLiteral("elim")) : old);
    const struct stat after = statusOf(ini);
    QCOMPARE(after.st_uid, uid_t(ownerAfter));
    QCOMPARE(after.st_gid, kSharedGroup);
    QCOMPARE(int(after.st_mode & 07777), fileMode);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Game.ini")});
}

// A Game.ini with a second name keeps both in step; a symbolic link stays a link, and
// the file it names is saved.
void TestLoginSettings::saveKeepsLinks_data()
{
    QTest::addColumn<bool>("symbolic");
    QTest::newRow("hard link") << false;
    QTest::newRow("symbolic link") << true;
}

void TestLoginSettings::saveKeepsLinks()
{
    QFETCH(bool, symbolic);
    const QString real = dir_->filePath(QStringLiteral("shared.ini"));
    writeBytes(real, "[INIT]\r\nName=Eve\r\n");
    const QByteArray realName = QFile::encodeName(real);
    const QByteArray iniName = QFile::encodeName(ini_);
    QCOMPARE(symbolic ? ::symlink("shared.ini", iniName.constData())
                      : ::link(realName.constData(), iniName.constData()),
             0);
    setSessionValues(QStringLiteral("elim"));

    SaveSettings();
    QCOMPARE(readBytes(real), savedText(QStringLiteral("elim")));
    QCOMPARE(readBytes(ini_), savedText(QStringLiteral("elim")));
    const struct stat link = statusOf(ini_);
    if (symbolic) {
        QVERIFY(S_ISLNK(link.st_mode));
    } else {
        QCOMPARE(link.st_ino, statusOf(real).st_ino);
        QCOMPARE(link.st_nlink, nlink_t(2));
    }
}

// A Game.ini whose access control list lets its group only read and another user
// write, and which carries an attribute of its own, keeps both through a save by its
// owner; a file without a list does not take the one its folder gives new files.
void TestLoginSettings::saveKeepsAccessControlAndAttributes_data()
{
    QTest::addColumn<QString>("fileAcl");
    QTest::addColumn<QString>("folderDefaultAcl");
    QTest::newRow("group reads, another user writes")
        << QStringLiteral("g::r,u:%1:rw").arg(kOtherUser) << QString();
    QTest::newRow("no list, the folder's default not taken")
        << QString() << QStringLiteral("u:%1:rw").arg(kOtherUser);
}

void TestLoginSettings::saveKeepsAccessControlAndAttributes()
{
    QFETCH(QString, fileAcl);
    QFETCH(QString, folderDefaultAcl);
    if (QStandardPaths::findExecutable(QStringLiteral("setfacl")).isEmpty())
        QSKIP("setfacl (Debian's acl) is not installed");
    writeBytes(ini_, savedText(QStringLiteral("elim")));
    const QByteArray iniName = QFile::encodeName(ini_);
    const uid_t owner = OrdinaryUser::id();
    QCOMPARE(::chown(iniName.constData(), owner, owner), 0);
    QCOMPARE(::chmod(iniName.constData(), 0640), 0);
    QCOMPARE(::chown(QFile::encodeName(dir_->path()).constData(), owner, owner), 0);
    const QString setfacl = QStringLiteral("setfacl");
    if (!fileAcl.isEmpty())
        QCOMPARE(aclTool(setfacl, {QStringLiteral("-m"), fileAcl}, ini_), QByteArray());
    if (!folderDefaultAcl.isEmpty())
        QCOMPARE(aclTool(setfacl, {QStringLiteral("-d"), QStringLiteral("-m"), folderDefaultAcl},
                         dir_->path()),
                 QByteArray());
    const char note[] = "kept";
    QCOMPARE(::setxattr(iniName.constData(), "user.orvex.note", note, 4, 0), 0);
    const QByteArray before = accessControlOf(ini_);
    QVERIFY(before.startsWith("user::"));
    const int mode = int(statusOf(ini_).st_mode & 07777);

    setSessionValues(QStringLiteral("duel"));
    {
        const OrdinaryUser acting;
        SaveSettings();
    }
    QCOMPARE(readBytes(ini_), savedText(QStringLiteral("duel")));
    QCOMPARE(accessControlOf(ini_), before);
    char value[8] = {};
    QCOMPARE(::getxattr(iniName.constData(), "user.orvex.note", value, sizeof value), 4);
    QCOMPARE(QByteArray(value), QByteArray(note));
    QCOMPARE(statusOf(ini_).st_uid, owner);
    QCOMPARE(int(statusOf(ini_).st_mode & 07777), mode);
}

void TestLoginSettings::fileExistsCountsOrdinaryFilesOnly()
{
    QVERIFY(!FileExists(ini_, 0));
    writeBytes(ini_, "");
    QVERIFY(FileExists(ini_, 0));
    const QString folder = dir_->filePath(QStringLiteral("sub"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(!FileExists(folder, 0));
    QVERIFY(FileExists(folder, kAttributeDirectory));
    const QString hidden = dir_->filePath(QStringLiteral(".hidden"));
    writeBytes(hidden, "");
    QVERIFY(!FileExists(hidden, 0));
    QVERIFY(FileExists(hidden, kAttributeHidden));
}

void TestLoginSettings::allowedCharacters()
{
    const QList<int> allowed = {8,   32,  '!', '#', '.', '0', '9', ';', '=', '@',
                                'A', 'Z', '[', ']', '_', 'a', 'z', '{', '}', '~'};
    const QList<int> refused = {-1,  -200, 0,   7,   9,    10,  13,  27,  31,  '"', '*', '/',
                                ':', '<',  '>', '?', '\\', '|', 127, 128, 160, 233, 255, 1000};
    for (const int code : allowed)
        QVERIFY2(IsAllowedChar(static_cast<qint16>(code)), qPrintable(QString::number(code)));
    for (const int code : refused)
        QVERIFY2(!IsAllowedChar(static_cast<qint16>(code)), qPrintable(QString::number(code)));
}

void TestLoginSettings::loginProblems_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("portBox");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    const QString ip = QStringLiteral("127.0.0.1");
    QTest::newRow("all pass") << ip << "7706"
                              << "pw"
                              << "Bob"
                              << "";
    QTest::newRow("everything empty") << ""
                                      << ""
                                      << ""
                                      << ""
                                      << "Server IP box is empty.";
    QTest::newRow("blank server passes") << " "
                                         << "7706"
                                         << "pw"
                                         << "Bob"
                                         << "";
    QTest::newRow("port box empty, password bad too") << ip << ""
                                                      << "a:b"
                                                      << ""
                                                      << "Port box is empty.";
    QTest::newRow("letters in the port box pass") << ip << "abc"
                                                  << "pw"
                                                  << "Bob"
                                                  << "";
    QTest::newRow("password empty") << ip << "1"
                                    << ""
                                    << ""
                                    << "Password box is empty.";
    QTest::newRow("password of 10 passes") << ip << "1"
                                           << "0123456789"
                                           << "Bob"
                                           << "";
    QTest::newRow("password of 11, with a refused character")
        << ip << "1"
        << "012345678:9"
        << "Bob"
        << "Password must be 10 characters or less.";
    QTest::newRow("password with colon") << ip << "1"
                                         << "a:b"
                                         << "Bob"
                                         << "Invalid Password.";
    QTest::newRow("password with tab") << ip << "1"
                                       << "a\tb"
                                       << "Bob"
                                       << "Invalid Password.";
    QTest::newRow("password with accent") << ip << "1" << QString::fromUtf8("caf\u00e9") << "Bob"
                                          << "Invalid Password.";
    QTest::newRow("password with a character outside the code page")
        << ip << "1" << QString::fromUtf8("a\u4e2d") << "Bob"
        << "Invalid Password.";
    QTest::newRow("password and name both refused") << ip << "1"
                                                    << "a|b"
                                                    << "x|y"
                                                    << "Invalid Password.";
    QTest::newRow("backspace passes in both") << ip << "1"
                                              << "a\bb"
                                              << "c\bd"
                                              << "";
    QTest::newRow("name empty") << ip << "1"
                                << "pw"
                                << ""
                                << "Name box is empty.";
    QTest::newRow("name of one blank passes") << ip << "1"
                                              << "pw"
                                              << " "
                                              << "";
    QTest::newRow("name of 30 passes") << ip << "1"
                                       << "pw" << QString(30, u'n') << "";
    QTest::newRow("name of 31") << ip << "1"
                                << "pw" << QString(31, u'n')
                                << "Name must be 30 characters or less.";
    QTest::newRow("trailing blanks count") << ip << "1"
                                           << "0123456789 "
                                           << "Bob"
                                           << "Password must be 10 characters or less.";
    QTest::newRow("name with bar") << ip << "1"
                                   << "pw"
                                   << "a|b"
                                   << "Invalid Name.";
    QTest::newRow("name with delete") << ip << "1"
                                      << "pw"
                                      << "a\x7f"
                                      << "Invalid Name.";
}

void TestLoginSettings::loginProblems()
{
    QFETCH(QString, server);
    QFETCH(QString, portBox);
    QFETCH(QString, password);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    Declares::serverIP = server;
    Declares::password = password;
    Declares::userName = name;
    Declares::arenaName.clear(); // an empty arena is never a problem
    QCOMPARE(loginProblem(portBox), expected);
}

QTEST_GUILESS_MAIN(TestLoginSettings)
#include "tst_login_settings.moc"
