// The day notes: when rows are made and updated, what a load reads, and what
// happens when the table is missing.

#include "program_fixture.h"

#include "app/note_store.h"
#include "calendar/chn_calendar_picker.h"
#include "lunar/date_time.h"
#include "platform/rtf.h"

#include <QApplication>
#include <QTest>
#include <QTextDocument>
#include <QKeyEvent>
#include <QTextEdit>

namespace {
// Types text key by key, as a user would; QTest::keyClicks takes Latin-1 only.
void typeText(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

void selectDay(int y, int m, int d)
{
    double v = 0;
    QVERIFY(lunar::EncodeDate(y, m, d, v));
    MainFrm->chnRili->SetDateTime(v);
}

int rowCount(const ProgramFixture& fx, const QString& key)
{
    return fx.query(QStringLiteral("select count(*) from UserCon where conIndex = '%1'").arg(key)).value(0).toInt();
}

} // namespace

class NoteStoreTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void viewingADayCreatesNoRow();
    void firstKeystrokeInsertsThenUpdates();
    void clearingKeepsTheRow();
    void typingThenSelectingAnotherDayStoresUnderTheFirst();
    void plainTextRowLoadsAsText();
    void leapDayKey();
    void firstOfSeveralRowsIsReadAndUpdated();
    void missingTableFailsEveryLoadAndSavesSilently();
    void badKeysAreRefused();
    void notePageZeroSavesOnlyOnClose();

private:
    std::unique_ptr<ProgramFixture> fx;
    bool start(int notePage = 1);
};

void NoteStoreTest::init()
{
    fx.reset();
    fx = std::make_unique<ProgramFixture>();
    platform::SetNowForTesting(QDateTime(QDate(2024, 3, 3), QTime(8, 0)));
}

bool NoteStoreTest::start(int notePage)
{
    fx->write("Data/FormSize.ini", QStringLiteral("%1\r\n750\r\n500\r\n0\r\n0\r\n").arg(notePage).toLatin1());
    if (!fx->ok || !StartUp())
        return false;
    ShowMainWindow();
    return true;
}

void NoteStoreTest::viewingADayCreatesNoRow()
{
    QVERIFY(start());
    QVERIFY(MainFrm->rdtAbc->document()->isEmpty());
    selectDay(2024, 3, 4);
    selectDay(2024, 3, 3);
    QCOMPARE(fx->query("select count(*) from UserCon").value(0).toInt(), 0);
    QVERIFY(NoteReady);
    QVERIFY(RecordedMessages().isEmpty());
}

void NoteStoreTest::firstKeystrokeInsertsThenUpdates()
{
    QVERIFY(start());
    QTest::keyClicks(MainFrm->rdtAbc, "a");
    QCOMPARE(rowCount(*fx, "20240303"), 1);
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("a"));
    QTest::keyClicks(MainFrm->rdtAbc, "b");
    QCOMPARE(rowCount(*fx, "20240303"), 1);
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("ab"));
}

void NoteStoreTest::clearingKeepsTheRow()
{
    QVERIFY(start());
    QTest::keyClicks(MainFrm->rdtAbc, "todo");
    MainFrm->rdtAbc->selectAll();
    QTest::keyClick(MainFrm->rdtAbc, Qt::Key_Delete);
    QCOMPARE(rowCount(*fx, "20240303"), 1);
    const QByteArray data = fx->query("select data from UserCon").value(0).toByteArray();
    QVERIFY(platform::LooksLikeRtf(data));
    QCOMPARE(fx->storedText("20240303"), QString());
}

void NoteStoreTest::typingThenSelectingAnotherDayStoresUnderTheFirst()
{
    QVERIFY(start());
    typeText(MainFrm->rdtAbc, QStringLiteral("3月3日"));
    selectDay(2024, 3, 4);
    QVERIFY(MainFrm->rdtAbc->document()->isEmpty());
    QCOMPARE(rowCount(*fx, "20240304"), 0);
    QTest::keyClicks(MainFrm->rdtAbc, "x");
    selectDay(2024, 3, 3);
    QCOMPARE(MainFrm->rdtAbc->toPlainText(), QStringLiteral("3月3日"));
    QCOMPARE(fx->storedText("20240304"), QStringLiteral("x"));
}

void NoteStoreTest::plainTextRowLoadsAsText()
{
    fx->query("insert into UserCon (conIndex, data) values ('20240303', '买菜 and 做饭')");
    QVERIFY(start());
    QCOMPARE(MainFrm->rdtAbc->toPlainText(), QStringLiteral("买菜 and 做饭"));
}

void NoteStoreTest::leapDayKey()
{
    QVERIFY(start());
    selectDay(2024, 2, 29);
    QTest::keyClicks(MainFrm->rdtAbc, "leap");
    QCOMPARE(fx->query("select conIndex from UserCon").value(0).toString(), QStringLiteral("20240229"));
}

void NoteStoreTest::firstOfSeveralRowsIsReadAndUpdated()
{
    fx->query("insert into UserCon (conIndex, data) values ('20240303', 'first')");
    fx->query("insert into UserCon (conIndex, data) values ('20240303', 'second')");
    QVERIFY(start());
    QCOMPARE(MainFrm->rdtAbc->toPlainText(), QStringLiteral("first"));
    QTest::keyClicks(MainFrm->rdtAbc, "!");
    const QVariantList rows = fx->query("select data from UserCon order by rowid");
    QCOMPARE(rows.size(), 2);
    QVERIFY(platform::LooksLikeRtf(rows[0].toByteArray()));
    QCOMPARE(rows[1].toByteArray(), QByteArray("second"));
}

void NoteStoreTest::missingTableFailsEveryLoadAndSavesSilently()
{
    fx->query("drop table UserCon");
    QVERIFY(start());
    const int afterStart = int(RecordedMessages().size());
    QVERIFY(afterStart >= 1);
    for (const QString& m : RecordedMessages())
        QCOMPARE(m, QStringLiteral("加载记事内容失败！"));
    QVERIFY(!NoteReady);
    selectDay(2024, 3, 4);
    QCOMPARE(RecordedMessages().size(), afterStart + 1);
    QTest::keyClicks(MainFrm->rdtAbc, "lost"); // no save while NoteReady is false, and no message
    MainFrm->SaveDayNote();                    // an explicit save fails silently
    QVERIFY(NoteReady);
    QCOMPARE(RecordedMessages().size(), afterStart + 1);
}

void NoteStoreTest::badKeysAreRefused()
{
    QVERIFY(start());
    NoteStore store(DM->AdoCon());
    for (const char* key : {"2024031", "202403031", "2024-3-3", "20240303' or '1'='1", ""}) {
        QVERIFY2(!store.Save(QString::fromLatin1(key), "x"), key);
        QVERIFY2(!store.Load(QString::fromLatin1(key)).ok, key);
    }
    QCOMPARE(fx->query("select count(*) from UserCon").value(0).toInt(), 0);
    QCOMPARE(NoteStore::DayKey(QDate(2010, 6, 1)), QStringLiteral("20100601"));
    QCOMPARE(NoteStore::DayKey(QDate(1, 1, 1)), QStringLiteral("00010101"));
}

void NoteStoreTest::notePageZeroSavesOnlyOnClose()
{
    QVERIFY(start(0));
    QTest::keyClicks(MainFrm->rdtAbc, "page 0");
    QCOMPARE(rowCount(*fx, "20240303"), 0);
    MainFrm->img_close_highlightClick();
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("page 0"));
    QCOMPARE(fx->read("Data/FormSize.ini").left(3), QByteArray("0\r\n"));
}

QTEST_MAIN(NoteStoreTest)
#include "note_store_test.moc"
