// The note store under faults: a database on a read-only file system, and a
// database locked by another process at start-up and while the program runs.
// None of them may lose a note that was stored before.

#include "program_fixture.h"

#include "app/note_store.h"
#include "wallpaper/compose.h"
#include "wallpaper/global.h"
#include "platform/rtf.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <unistd.h>

namespace {

bool run(const QString& program, const QStringList& args)
{
    return QProcess::execute(program, args) == 0;
}

// Another program holding a lock on the database until it is stopped: the whole
// file (no reader gets in), or the write lock of a database in WAL mode (readers
// go on, writers wait).
class Locker {
public:
    enum Kind { WholeFile, Writes };
    Locker(const QString& db, Kind kind)
    {
        p.start(QStringLiteral("sqlite3"), {db});
        p.waitForStarted();
        if (kind == WholeFile)
            p.write("pragma locking_mode=exclusive;\n");
        p.write("begin exclusive;\nselect 'locked';\n");
        QByteArray out;
        for (int i = 0; i < 50 && !out.contains("locked"); ++i) {
            p.waitForReadyRead(100);
            out += p.readAllStandardOutput();
        }
        locked = out.contains("locked");
    }
    ~Locker()
    {
        p.closeWriteChannel();
        p.kill();
        p.waitForFinished();
    }
    bool locked = false;

private:
    QProcess p;
};


} // namespace

class FaultsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void readOnlyDatabaseLoadsAndKeepsItsNotes();
    void lockedAtStartEndsWithTheMessage();
    void lockedWhileRunningKeepsTheNoteForTheNextSave();
    void pictureFolderMissing();
    void backgroundDeletedBetweenListAndAction();
    void diskFullWhileWritingTheMix();

private:
    std::unique_ptr<ProgramFixture> fx;
};

void FaultsTest::init()
{
    fx.reset();
    fx = std::make_unique<ProgramFixture>();
    QVERIFY(fx->ok);
    platform::SetNowForTesting(QDateTime(QDate(2024, 3, 3), QTime(8, 0)));
    fx->write("Data/FormSize.ini", "1\r\n750\r\n500\r\n0\r\n0\r\n");
    fx->write("Data/configSetBg.ini", "1\r\n");
    fx->query("insert into UserCon (conIndex, data) values ('20240303', '{\\rtf1 kept note}')");
}

void FaultsTest::cleanup()
{
    fx.reset();
}

void FaultsTest::readOnlyDatabaseLoadsAndKeepsItsNotes()
{
    // Root ignores file permissions, so the folder is bind-mounted read-only.
    if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("mount")).isEmpty())
        QSKIP("needs root to mount a read-only folder");
    const QString data = fx->path("Data");
    QVERIFY(run("mount", {"--bind", data, data}));
    const bool ro = run("mount", {"-o", "remount,bind,ro", data});
    auto unmount = qScopeGuard([&] { run("umount", {data}); });
    QVERIFY(ro);

    QVERIFY(StartUp());
    ShowMainWindow();
    QCOMPARE(MainFrm->rdtAbc->toPlainText(), QStringLiteral("kept note"));
    QVERIFY(NoteReady);
    MainFrm->rdtAbc->moveCursor(QTextCursor::End);
    QTest::keyClicks(MainFrm->rdtAbc, " more");
    MainFrm->img_close_highlightClick();
    QVERIFY(RecordedMessages().isEmpty()); // a failed save is silent
    ShutDown();
    unmount.dismiss();
    QVERIFY(run("umount", {data}));
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("kept note"));
    QCOMPARE(fx->query("pragma integrity_check").value(0).toString(), QStringLiteral("ok"));
}

void FaultsTest::lockedAtStartEndsWithTheMessage()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("needs the sqlite3 program");
    Locker lock(fx->path("Data/UserData.mdb"), Locker::WholeFile);
    QVERIFY(lock.locked);
    QVERIFY(!StartUp());
    QCOMPARE(RecordedMessages(), QStringList{QStringLiteral("配置文件加载失败，请重试！")});
}

void FaultsTest::lockedWhileRunningKeepsTheNoteForTheNextSave()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("needs the sqlite3 program");
    QVERIFY(StartUp());
    ShowMainWindow();
    MainFrm->rdtAbc->moveCursor(QTextCursor::End);
    {
        Locker lock(fx->path("Data/UserData.mdb"), Locker::Writes);
        QVERIFY(lock.locked);
        QTest::keyClicks(MainFrm->rdtAbc, "!"); // this save waits, then fails silently
        QVERIFY(NoteReady);
        QVERIFY(RecordedMessages().isEmpty());
    }
    QTest::keyClicks(MainFrm->rdtAbc, "?"); // the lock is gone: the whole note is stored
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("kept note!?"));
}

void FaultsTest::pictureFolderMissing()
{
    fx->write("Data/configSetBg.ini", "0\r\n"); // no confirmation box
    QVERIFY(QDir(fx->path("source/DeskTopBG")).removeRecursively());
    QVERIFY(StartUp());
    ShowMainWindow();
    MainFrm->rdtAbc->moveCursor(QTextCursor::End);
    QTest::keyClicks(MainFrm->rdtAbc, "!");
    const int before = MainFrm->FBackgroundIndex;
    QCOMPARE(imgAppToDeskClick(MainFrm->rdtAbc->toPlainText(), MainFrm->FMonthPicturePath, MainFrm->FBackgroundName,
                               MainFrm->FBackgroundIndex, MainFrm),
             wallpaper::ComposeResult::BackgroundMissing);
    QCOMPARE(MainFrm->FBackgroundIndex, wallpaper::IndexAfterMissing(before, BackgroundCount));
    QVERIFY(!QFileInfo::exists(fx->path("source/DeskTopBG")));
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("kept note!"));
}

void FaultsTest::backgroundDeletedBetweenListAndAction()
{
    fx->write("Data/configSetBg.ini", "0\r\n");
    QVERIFY(QFile::copy(fx->path("source/DeskTopBG/A1.bmp"), fx->path("source/DeskTopBG/b.bmp")));
    fx->write("Data/BGPicList.ini", "b.bmp\r\nA1.bmp\r\nb.bmp\r\n");
    QVERIFY(StartUp());
    ShowMainWindow();
    QCOMPARE(BackgroundCount, 3);
    QCOMPARE(wallpaper::BackgroundNameAt(MainFrm->FBackgroundIndex), QStringLiteral("b.bmp"));
    QVERIFY(QFile::remove(fx->path("source/DeskTopBG/b.bmp")));
    QCOMPARE(imgAppToDeskClick(MainFrm->rdtAbc->toPlainText(), MainFrm->FMonthPicturePath, MainFrm->FBackgroundName,
                               MainFrm->FBackgroundIndex, MainFrm),
             wallpaper::ComposeResult::BackgroundMissing);
    QCOMPARE(MainFrm->FBackgroundIndex, 1); // past the end, round to 1
    QVERIFY(!QFileInfo::exists(fx->path("source/DeskTopBG/Mix.bmp")));
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("kept note"));
}

void FaultsTest::diskFullWhileWritingTheMix()
{
    if (geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("mount")).isEmpty())
        QSKIP("needs root to mount a small tmpfs");
    fx->write("Data/configSetBg.ini", "0\r\n");
    const QString pictures = fx->path("source/DeskTopBG");
    // 4 MB hold the 2.3 MB background and the note image, but not the mix as well.
    QVERIFY(run("mount", {"-t", "tmpfs", "-o", "size=4m", "tmpfs", pictures}));
    auto unmount = qScopeGuard([&] { run("umount", {pictures}); });
    QImage background(1024, 768, QImage::Format_RGB888);
    background.fill(QColor(40, 90, 140));
    QVERIFY(background.save(pictures + "/A1.bmp", "BMP"));

    QVERIFY(StartUp());
    ShowMainWindow();
    MainFrm->rdtAbc->moveCursor(QTextCursor::End);
    QTest::keyClicks(MainFrm->rdtAbc, "!");
    const int before = MainFrm->FBackgroundIndex;
    QString error;
    try {
        imgAppToDeskClick(MainFrm->rdtAbc->toPlainText(), MainFrm->FMonthPicturePath, MainFrm->FBackgroundName,
                          MainFrm->FBackgroundIndex, MainFrm);
    } catch (const std::runtime_error& e) {
        error = QString::fromUtf8(e.what());
    }
    QVERIFY2(!error.isEmpty(), "a full disk is reported with its own text");
    QCOMPARE(MainFrm->FBackgroundIndex, before);
    QVERIFY(!QFileInfo::exists(pictures + "/Mix.bmp")); // never half a file
    QStringList left = QDir(pictures).entryList(QDir::Files);
    left.removeAll("A1.bmp");
    left.removeAll("Content.bmp");
    QCOMPARE(left, QStringList());
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("kept note!"));
}

QTEST_MAIN(FaultsTest)
#include "faults_test.moc"
