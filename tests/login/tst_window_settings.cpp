// The chat window's choices in Game.ini, on real files: read back with malformed and
// out-of-range values, and written beside the rest of the file without touching it.

#include "login/program_folder.h"
#include "login/settings.h"
#include "login/window_settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ChatWindowChoices)

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

// What a Windows copy of the program and another program left in the file.
const QByteArray kOthers = "; kept by hand\r\n"
                           "[INIT]\r\n"
                           "Name=Pilot\r\n"
                           "Password=\r\n"
                           "Arena= elim \r\n"
                           "ServerIP=127.0.0.1\r\n"
                           "Port= 7706\r\n"
                           "\r\n"
                           "[OtherGame]\r\n"
                           "WindowWidth=12\r\n";

} // namespace

class WindowSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
        overrideProgramFolderForTests(folder_->path());
        path_ = folder_->path() + QStringLiteral("/Game.ini");
    }
    void cleanup() { overrideProgramFolderForTests(QString()); }

    void readBack_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<ChatWindowChoices>("expected");
        const ChatWindowChoices design;
        QTest::newRow("no section: the Parts' file alone") << QByteArray() << design;
        QTest::newRow("as written")
            << QByteArray("[OrvexChat]\r\nWindowWidth=1200\r\nWindowHeight=800\r\n"
                          "Maximized=1\r\nTextSize=133\r\n")
            << ChatWindowChoices{1200, 800, true, 133};
        QTest::newRow("names in any case, blanks around values")
            << QByteArray("[orvexchat]\nwindowwidth = 1000 \nTEXTSIZE=\t50\n")
            << ChatWindowChoices{1000, 556, false, 50};
        QTest::newRow("malformed values")
            << QByteArray("[OrvexChat]\r\nWindowWidth=12OO\r\nWindowHeight=-600\r\n"
                          "Maximized=yes\r\nTextSize=1.5\r\n")
            << design;
        QTest::newRow("out of range")
            << QByteArray("[OrvexChat]\r\nWindowWidth=0\r\nWindowHeight=99999\r\n"
                          "Maximized=2\r\nTextSize=401\r\n")
            << design;
        QTest::newRow("text size below the least")
            << QByteArray("[OrvexChat]\r\nTextSize=49\r\nMaximized=0\r\n") << design;
        QTest::newRow("empty values")
            << QByteArray("[OrvexChat]\r\nWindowWidth=\r\nTextSize=\r\n") << design;
    }

    void readBack()
    {
        QFETCH(QByteArray, section);
        QFETCH(ChatWindowChoices, expected);
        writeBytes(path_, kOthers + section);
        QCOMPARE(ReadChatWindowChoices(), expected);
    }

    void noFileReadsAsTheDesign()
    {
        QCOMPARE(ReadChatWindowChoices(), ChatWindowChoices());
        QVERIFY(!QFile::exists(path_));
    }

    // Written after everything else, which stays byte for byte; written again, the
    // section's lines are replaced in place.
    void writtenBesideTheRest()
    {
        writeBytes(path_, kOthers);
        SaveChatWindowChoices({1200, 800, true, 133});
        QCOMPARE(readBytes(path_), kOthers + "[OrvexChat]\r\nWindowWidth=1200\r\n"
                                             "WindowHeight=800\r\nMaximized=1\r\nTextSize=133\r\n");
        QCOMPARE(ReadIniValue(path_, QStringLiteral("INIT"), QStringLiteral("Arena")),
                 QStringLiteral("elim"));

        const QByteArray after = "[INIT]\r\nName=Next\r\n";
        writeBytes(path_, readBytes(path_) + after);
        SaveChatWindowChoices({900, 600, false, 100});
        QCOMPARE(readBytes(path_), kOthers +
                                       "[OrvexChat]\r\nWindowWidth=900\r\n"
                                       "WindowHeight=600\r\nMaximized=0\r\nTextSize=100\r\n" +
                                       after);
        QCOMPARE(ReadChatWindowChoices(), (ChatWindowChoices{900, 600, false, 100}));
    }

private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString path_;
};

QTEST_GUILESS_MAIN(WindowSettingsTest)
#include "tst_window_settings.moc"
