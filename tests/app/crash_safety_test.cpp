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
        p.start(writer, {fx.tmp.path(), QString::number(first)});
        QVERIFY2(p.waitForStarted(), qPrintable(p.errorString()));
        QTest::qWait(int(rng.bounded(30, 400)));
        p.kill(); // SIGKILL
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);

        // Every complete line is a save that had returned; a last partial line is not.
        const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
        std::map<QString, long long> inFlight;
        for (const QByteArray& line : lines) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() != 2 || &line == &lines.last())
                continue;
            returned[QString::fromLatin1(f[0])] = f[1].toLongLong();
            ++saves;
        }
        QCOMPARE(fx.query("pragma integrity_check").value(0).toString(), QStringLiteral("ok"));
        for (const auto& [day, version] : returned) {
            const QVariantList rows = fx.query(QStringLiteral("select data from UserCon where conIndex = '%1'").arg(day));
            QCOMPARE(rows.size(), 1);
            const QByteArray stored = rows[0].toByteArray();
            // The save after the last returned one may have committed before the kill.
            const bool ok = stored == CrashNote(day, version) || stored == CrashNote(day, version + 5);
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
