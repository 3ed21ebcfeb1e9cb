// Start-up in a temporary copy of the program directory: the settings files,
// the date label, the month picture path and the database failures.

#include "program_fixture.h"

#include "app/application.h"
#include "app/settings_files.h"
#include "wallpaper/global.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesDefaults();
    void defaultsCentreOnScreen();
    void askBeforeApplyFlag_data();
    void askBeforeApplyFlag();
    void formSizeValues_data();
    void formSizeValues();
    void dateLabel_data();
    void dateLabel();
    void databaseFailures_data();
    void databaseFailures();
    void exceptionInHandlerIsReportedAndProgramGoesOn();
};

void StartupTest::firstStartWritesDefaults()
{
    ProgramFixture fx;
    QVERIFY(fx.ok);
    platform::SetNowForTesting(QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
    QVERIFY(!QFile::exists(fx.path("Data/configSetBg.ini")));

    QVERIFY(StartUp());
    // configSetBg.ini is written while the main window is created, FormSize.ini at its show.
    QCOMPARE(fx.read("Data/configSetBg.ini"), QByteArray("1\r\n"));
    QVERIFY(!QFile::exists(fx.path("Data/FormSize.ini")));
    QVERIFY(AskBeforeApply);
    QVERIFY(!ApplyConfirmed);
    QCOMPARE(ConfigSetBgPath, fx.path("Data/configSetBg.ini"));
    QCOMPARE(MainFrm->FMonthPicturePath, fx.path("source/Month/202403.bmp"));
    QCOMPARE(MainFrm->FNotePage, 0);
    // The first start writes the default background list.
    QCOMPARE(fx.read("Data/BGPicList.ini"), QByteArray("A1.bmp\r\nA1.bmp\r\n"));
    QCOMPARE(BackgroundCount, 2);
    QCOMPARE(MainFrm->FBackgroundName, QStringLiteral("A1.bmp"));
    QCOMPARE(MainFrm->FBackgroundIndex, 0);

    ShowMainWindow();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const FormSizeValues d = FormSizeValues::Defaults(screen);
    QCOMPARE(fx.read("Data/FormSize.ini"),
             QStringLiteral("1\r\n750\r\n500\r\n%1\r\n%2\r\n").arg(d.Left).arg(d.Top).toLatin1());
    QCOMPARE(MainFrm->FNotePage, 1);
    QCOMPARE(MainFrm->size(), QSize(750, 500));
    QVERIFY(NoteReady);
    QVERIFY(RecordedMessages().isEmpty());
}

void StartupTest::defaultsCentreOnScreen()
{
    const FormSizeValues d = FormSizeValues::Defaults(QSize(1024, 768));
    QCOMPARE(d.NotePage, 1);
    QCOMPARE(d.Width, 750);
    QCOMPARE(d.Height, 500);
    QCOMPARE(d.Left, 137);
    QCOMPARE(d.Top, 119);
    // Truncating toward zero on a screen smaller than the window.
    const FormSizeValues small = FormSizeValues::Defaults(QSize(745, 520));
    QCOMPARE(small.Left, -2);
    QCOMPARE(small.Top, -5);
}

void StartupTest::askBeforeApplyFlag_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("ask");
    QTest::newRow("0") << QByteArray("0\r\n") << false;
    QTest::newRow("-3") << QByteArray("-3\r\n") << false;
    QTest::newRow("2") << QByteArray("2\r\n") << true;
    QTest::newRow("1 without line end") << QByteArray("1") << true;
    QTest::newRow("empty asks") << QByteArray() << true;
    QTest::newRow("garbled asks") << QByteArray("yes\r\n") << true;
}

void StartupTest::askBeforeApplyFlag()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, ask);
    ProgramFixture fx;
    QVERIFY(fx.ok);
    fx.write("Data/configSetBg.ini", content);
    QVERIFY(StartUp());
    QCOMPARE(AskBeforeApply, ask);
    QCOMPARE(fx.read("Data/configSetBg.ini"), content); // read, never rewritten
}

void StartupTest::formSizeValues_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("notePage");
    QTest::addColumn<QRect>("bounds"); // left, top, width, height; -1 = the default position
    QTest::newRow("saved") << QByteArray("2\r\n800\r\n600\r\n10\r\n20\r\n") << 2 << QRect(10, 20, 800, 600);
    QTest::newRow("minimum width") << QByteArray("1\r\n300\r\n500\r\n10\r\n20\r\n") << 1 << QRect(10, 20, 750, 500);
    QTest::newRow("negative position") << QByteArray("3\n900\n700\n-50\n-8\n") << 3 << QRect(-50, -8, 900, 700);
    QTest::newRow("short file keeps defaults") << QByteArray("0\r\n800\r\n") << 0 << QRect(-1, -1, 800, 500);
    QTest::newRow("bad line keeps its default") << QByteArray("1\r\nwide\r\n600\r\n10\r\n20\r\n") << 1
                                                << QRect(10, 20, 750, 600);
}

void StartupTest::formSizeValues()
{
    QFETCH(QByteArray, content);
    QFETCH(int, notePage);
    QFETCH(QRect, bounds);
    ProgramFixture fx;
    QVERIFY(fx.ok);
    fx.write("Data/FormSize.ini", content);
    QVERIFY(StartUp());
    ShowMainWindow();
    QCOMPARE(MainFrm->FNotePage, notePage);
    QCOMPARE(MainFrm->size(), bounds.size());
    if (bounds.left() != -1)
        QCOMPARE(MainFrm->pos(), bounds.topLeft());
    QCOMPARE(fx.read("Data/FormSize.ini"), content); // only the close button rewrites it
}

void StartupTest::dateLabel_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("label");
    QTest::newRow("Tuesday 2010-06-01") << QDate(2010, 6, 1) << QStringLiteral("今天是 2010年6月1日(二)");
    QTest::newRow("no leading zeros") << QDate(2024, 3, 5) << QStringLiteral("今天是 2024年3月5日(二)");
    QTest::newRow("Sunday") << QDate(2024, 3, 10) << QStringLiteral("今天是 2024年3月10日(日)");
    QTest::newRow("New Year's Eve, Tuesday") << QDate(2024, 12, 31) << QStringLiteral("今天是 2024年12月31日(二)");
}

void StartupTest::dateLabel()
{
    QFETCH(QDate, today);
    QFETCH(QString, label);
    ProgramFixture fx;
    QVERIFY(fx.ok);
    platform::SetNowForTesting(QDateTime(today, QTime(23, 59, 59)));
    QVERIFY(StartUp());
    QCOMPARE(MainFrm->lblDateTime->text(), label);
    // The label and the month picture keep the start-up day when the clock moves on.
    platform::SetNowForTesting(QDateTime(today.addDays(40), QTime(0, 0, 1)));
    ShowMainWindow();
    QCOMPARE(MainFrm->lblDateTime->text(), label);
    QVERIFY(MainFrm->FMonthPicturePath.endsWith(today.toString("yyyyMM") + ".bmp"));
}

void StartupTest::databaseFailures_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("missing") << "missing";
    QTest::newRow("not SQLite") << "garbage";
    QTest::newRow("empty file with no table is still a database") << "";
    QTest::newRow("locked by another program") << "locked";
}

void StartupTest::databaseFailures()
{
    QFETCH(QString, damage);
    ProgramFixture fx;
    QVERIFY(fx.ok);
    const QString db = fx.path("Data/UserData.mdb");
    std::unique_ptr<QSqlDatabase> locker;
    if (damage == "missing") {
        QVERIFY(QFile::remove(db));
    } else if (damage == "garbage") {
        fx.write("Data/UserData.mdb", QByteArray(4096, 'x'));
    } else if (damage == "locked") {
        locker = std::make_unique<QSqlDatabase>(QSqlDatabase::addDatabase("QSQLITE", "locker"));
        locker->setDatabaseName(db);
        QVERIFY(locker->open());
        QSqlQuery q(*locker);
        QVERIFY(q.exec("pragma locking_mode=exclusive"));
        QVERIFY(q.exec("begin exclusive"));
    }
    const QByteArray before = fx.read("Data/UserData.mdb");
    TDM::ShowFailure = RecordMessage;
    const bool started = StartUp();
    if (damage.isEmpty()) {
        QVERIFY(started);
        return;
    }
    QVERIFY(!started);
    QCOMPARE(RecordedMessages(), QStringList{QStringLiteral("配置文件加载失败，请重试！")});
    QVERIFY(MainFrm == nullptr);
    QVERIFY(!QFile::exists(fx.path("Data/configSetBg.ini")));
    QCOMPARE(QFile::exists(db), damage != "missing");
    QCOMPARE(fx.read("Data/UserData.mdb"), before);
    if (locker) {
        locker->close();
        locker.reset();
        QSqlDatabase::removeDatabase("locker");
    }
}

namespace {
class Thrower : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("图片文件不存在");
        return QObject::event(e);
    }
};
QStringList reported;
void recordError(const QString& text)
{
    reported << text;
}
} // namespace

void StartupTest::exceptionInHandlerIsReportedAndProgramGoesOn()
{
    TApplication::ShowError = recordError;
    Thrower t;
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&t, &e);
    QCOMPARE(reported, QStringList{QStringLiteral("图片文件不存在")});
    QEvent other(QEvent::None);
    QCoreApplication::sendEvent(&t, &other); // still delivering events
}

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    StartupTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "startup_test.moc"
