// Kills a process that saves notes at every keystroke, many times at random
// moments, and checks that the database stays sound and that every note whose save
// had returned is there, byte for byte.

#include "crash_note.h"
#include "program_fixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <map>

class CrashSafetyTest : public QObject {
    Q_OBJECT
private slots:
    void killedWriterLosesNoReturnedSave();
};

void CrashSafetyTest::killedWriterLosesNoReturnedSave()
{
    ProgramFixture fx;
    QVERIFY(fx.ok);
    const QString writer = QCoreApplication::applicationDirPath() + QStringLiteral("/note_crash_writer");
    QRandomGenerator rng(20241210);
    const int kills = 60;
    // The last version of each day whose save returned, over all runs.
    std::map<QString, long long> returned;
    int checked = 0, losses = 0;
    long long saves = 0;

    for (int run = 0; run < kills; ++run) {
        QProcess p;
        const long long first = (run + 1) * 1000000LL;
        const QString logPath = fx.path(QStringLiteral("writer-%1.log").arg(run));
        p.start(writer, {fx.tmp.path(), QString::number(first), logPath});
        QVERIFY2(p.waitForStarted(), qPrintable(p.errorString()));
        QTest::qWait(int(rng.bounded(30, 400)));
        p.kill(); // SIGKILL
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);

        // Every complete line is a save that had returned; a last partial line is not.
        // No log at all: killed before its first save.
        QFile logFile(logPath);
        const QList<QByteArray> lines =
            logFile.open(QIODevice::ReadOnly) ? logFile.readAll().split('\n') : QList<QByteArray>();
        long long logged = 0;
        for (const QByteArray& line : lines) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() != 2 || &line == &lines.last())
                continue;
            returned[QString::fromLatin1(f[0])] = f[1].toLongLong();
            ++logged;
        }
        saves += logged;
        // The one save after the last logged line may have committed before the kill.
        const QString inFlightDay = QString::fromLatin1(kCrashDays[logged % 5]);
        const long long inFlightVersion = first + logged;
        QCOMPARE(fx.query("pragma integrity_check").value(0).toString(), QStringLiteral("ok"));
        for (auto& [day, version] : returned) {
            const QVariantList rows = fx.query(QStringLiteral("select data from UserCon where conIndex = '%1'").arg(day));
            QCOMPARE(rows.size(), 1);
            const QByteArray stored = rows[0].toByteArray();
            const bool committedInFlight = day == inFlightDay && stored == CrashNote(day, inFlightVersion);
            const bool ok = stored == CrashNote(day, version) || committedInFlight;
            if (committedInFlight)
                version = inFlightVersion; // what later runs must find
            ++checked;
            if (!ok)
                ++losses;
            QVERIFY2(ok, qPrintable(QStringLiteral("%1: version %2 lost").arg(day).arg(version)));
        }
    }
    qInfo("kills: %d, saves returned: %lld, notes checked: %d, losses: %d", kills, saves, checked, losses);
    QVERIFY(saves > 0);
}

QTEST_MAIN(CrashSafetyTest)
#include "crash_safety_test.moc"
