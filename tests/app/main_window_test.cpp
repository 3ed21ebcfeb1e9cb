// The main window: editor commands, note pages, saved bounds, layout on resize,
// caption buttons and the settings menu.

#include "program_fixture.h"

#include "app/picture_control.h"
#include "calendar/chn_calendar_picker.h"
#include "calendar/draw_grid.h"
#include "lunar/date_time.h"
#include "platform/rtf.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>

namespace {
int colorDialogCalls = 0;
QColor chosenColor;
QColor fakeColorDialog(QWidget*, const QColor&)
{
    ++colorDialogCalls;
    return chosenColor;
}

QList<QUrl> openedUrls;
void recordUrl(const QUrl& url)
{
    openedUrls << url;
}

void selectDay(int y, int m, int d)
{
    double v = 0;
    QVERIFY(lunar::EncodeDate(y, m, d, v));
    MainFrm->chnRili->SetDateTime(v);
}


QRgb editorBackground()
{
    // A spot in the lower right corner of the editor, away from any text.
    const QImage img = MainFrm->rdtAbc->grab().toImage();
    return img.pixel(img.width() - 5, img.height() - 5) & 0xFFFFFF;
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void marksReplaceTheSelection();
    void dateIsTodaysOnASunday();
    void colorDialogOnlyWithEditorFocus();
    void notePages_data();
    void notePages();
    void leavingTheEditorSavesUnderTheOldDay();
    void closeWritesTheBounds();
    void exitWritesNothing();
    void resizeKeepsTheAnchors();
    void captionButtonStates();
    void offScreenBoundsComeBackCentred();
    void failedLoadIsNeverSavedOverAnotherDay();
    void helpOpensLocalOrSitePage();

private:
    std::unique_ptr<ProgramFixture> fx;
    bool start(int notePage = 1, const QByteArray& bounds = "750\r\n500\r\n10\r\n20\r\n");
};

void MainWindowTest::init()
{
    fx.reset();
    fx = std::make_unique<ProgramFixture>();
    platform::SetNowForTesting(QDateTime(QDate(2024, 3, 3), QTime(8, 0))); // a Sunday
    TMainFrm::ChooseColor = fakeColorDialog;
    TMainFrm::OpenUrl = recordUrl;
    colorDialogCalls = 0;
    openedUrls.clear();
}

void MainWindowTest::cleanup()
{
    fx.reset();
}

bool MainWindowTest::start(int notePage, const QByteArray& bounds)
{
    fx->write("Data/FormSize.ini", QByteArray::number(notePage) + "\r\n" + bounds);
    if (!fx->ok || !StartUp())
        return false;
    ShowMainWindow();
    return QTest::qWaitForWindowExposed(MainFrm);
}

void MainWindowTest::marksReplaceTheSelection()
{
    QVERIFY(start());
    MainFrm->rdtAbc->setPlainText(QStringLiteral("buy milk"));
    QTextCursor c = MainFrm->rdtAbc->textCursor();
    c.setPosition(4);
    c.setPosition(8, QTextCursor::KeepAnchor); // "milk"
    MainFrm->rdtAbc->setTextCursor(c);
    QTest::mouseClick(MainFrm->btnX, Qt::LeftButton);
    QCOMPARE(MainFrm->rdtAbc->toPlainText(), QStringLiteral("buy ×"));
    c.setPosition(0);
    MainFrm->rdtAbc->setTextCursor(c);
    QTest::mouseClick(MainFrm->btnGou, Qt::LeftButton);
    QCOMPARE(MainFrm->rdtAbc->toPlainText(), QStringLiteral("√buy ×"));
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("√buy ×"));
    // The menu items do the same.
    MainFrm->rdtAbc->selectAll();
    MainFrm->pmDeskTopMonCal->findChild<QAction*>("X1")->trigger();
    QCOMPARE(MainFrm->rdtAbc->toPlainText(), QStringLiteral("×"));
    QCOMPARE(MainFrm->btnX->focusPolicy(), Qt::NoFocus);
}

void MainWindowTest::dateIsTodaysOnASunday()
{
    QVERIFY(start());
    selectDay(2024, 7, 15); // the calendar shows another month
    MainFrm->rdtAbc->clear();
    MainFrm->imgDateClick();
    QCOMPARE(MainFrm->rdtAbc->toPlainText(), QStringLiteral(" 2024.03.03 (日)"));
}

void MainWindowTest::colorDialogOnlyWithEditorFocus()
{
    QVERIFY(start());
    MainFrm->activateWindow();
    MainFrm->chnRili->setFocus();
    MainFrm->imgRedColorClick();
    QCOMPARE(colorDialogCalls, 0);

    MainFrm->rdtAbc->setFocus();
    QVERIFY(QTest::qWaitFor([] { return MainFrm->rdtAbc->hasFocus(); }));
    chosenColor = QColor(0xFF, 0, 0);
    QTest::mouseClick(MainFrm->imgRedColor, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(colorDialogCalls, 1);
    QVERIFY(MainFrm->rdtAbc->hasFocus()); // the picture never takes the focus
    QTest::keyClicks(MainFrm->rdtAbc, "red");
    QCOMPARE(MainFrm->rdtAbc->textColor(), QColor(0xFF, 0, 0));
    // The colour is stored with the note.
    QTextDocument back;
    platform::LoadNoteDocument(fx->query("select data from UserCon").value(0).toByteArray(), back);
    QTextCursor c(&back);
    c.setPosition(1);
    QCOMPARE(c.charFormat().foreground().color(), QColor(0xFF, 0, 0));
}

void MainWindowTest::notePages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QRgb>("background");
    QTest::addColumn<bool>("savesOnChange");
    QTest::newRow("page 1") << 1 << QRgb(0xFAFCE1) << true;
    QTest::newRow("page 2") << 2 << QRgb(0xFBF0FC) << true;
    QTest::newRow("page 3") << 3 << QRgb(0xE0FFE3) << true;
    QTest::newRow("page 5") << 5 << QRgb(0xC0DCC0) << true;
    QTest::newRow("page 0") << 0 << QRgb(0xC0DCC0) << false;
}

void MainWindowTest::notePages()
{
    QFETCH(int, page);
    QFETCH(QRgb, background);
    QFETCH(bool, savesOnChange);
    QVERIFY(start(page));
    QCOMPARE(editorBackground(), background);
    QTest::keyClicks(MainFrm->rdtAbc, "x");
    QCOMPARE(fx->storedText("20240303"), savesOnChange ? QStringLiteral("x") : QStringLiteral("<no row>"));
}

void MainWindowTest::leavingTheEditorSavesUnderTheOldDay()
{
    QVERIFY(start(0));
    MainFrm->activateWindow();
    MainFrm->rdtAbc->setFocus();
    QVERIFY(QTest::qWaitFor([] { return MainFrm->rdtAbc->hasFocus(); }));
    QTest::keyClicks(MainFrm->rdtAbc, "march 3");
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("<no row>")); // page 0: no save per keystroke
    // A click on the calendar first takes the focus from the editor, then selects the day.
    MainFrm->chnRili->Grid()->setFocus();
    selectDay(2024, 3, 4);
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("march 3"));
    QCOMPARE(fx->storedText("20240304"), QStringLiteral("<no row>"));
    QVERIFY(MainFrm->rdtAbc->document()->isEmpty());
}

void MainWindowTest::closeWritesTheBounds()
{
    QVERIFY(start(1, "750\r\n500\r\n100\r\n100\r\n"));
    MainFrm->move(10, 20);
    MainFrm->resize(800, 600);
    MainFrm->img_close_highlightClick();
    QCOMPARE(fx->read("Data/FormSize.ini"), QByteArray("1\r\n800\r\n600\r\n10\r\n20\r\n"));
    // The next start restores them.
    ShutDown();
    QVERIFY(StartUp());
    ShowMainWindow();
    QCOMPARE(MainFrm->geometry(), QRect(10, 20, 800, 600));
}

void MainWindowTest::exitWritesNothing()
{
    QVERIFY(start(0));
    const QByteArray before = fx->read("Data/FormSize.ini");
    QTest::keyClicks(MainFrm->rdtAbc, "unsaved");
    MainFrm->resize(900, 700);
    MainFrm->popSysset->findChild<QAction*>("N_ExitPrj")->trigger();
    ShutDown();
    QCOMPARE(fx->read("Data/FormSize.ini"), before);
    QCOMPARE(fx->storedText("20240303"), QStringLiteral("<no row>"));
}

void MainWindowTest::resizeKeepsTheAnchors()
{
    QVERIFY(start());
    MainFrm->resize(750, 500);
    QApplication::processEvents();
    const QRect calendar = MainFrm->chnRili->geometry();
    const QRect editor = MainFrm->rdtAbc->geometry();
    const QRect left = MainFrm->pnlLeft->geometry();
    const int closeGap = MainFrm->width() - MainFrm->img_close_normal->geometry().right();
    const int setGap = MainFrm->width() - MainFrm->lblSet->geometry().right();
    const int appGap = MainFrm->width() - MainFrm->imgAppToDesk->geometry().right();

    MainFrm->resize(900, 600);
    QApplication::processEvents();
    QCOMPARE(MainFrm->chnRili->width(), calendar.width() + 150);
    QCOMPARE(MainFrm->chnRili->height(), 250);
    QCOMPARE(MainFrm->rdtAbc->height(), editor.height() + 100);
    QCOMPARE(MainFrm->rdtAbc->width(), editor.width() + 150);
    QCOMPARE(MainFrm->pngRight->size(), QSize(423 + 8 + 150, 381 + 34 + 100));
    QCOMPARE(MainFrm->pnlLeft->geometry(), left);
    QCOMPARE(MainFrm->width() - MainFrm->img_close_normal->geometry().right(), closeGap);
    QCOMPARE(MainFrm->width() - MainFrm->lblSet->geometry().right(), setGap);
    QCOMPARE(MainFrm->width() - MainFrm->imgAppToDesk->geometry().right(), appGap);

    MainFrm->resize(300, 200);
    QCOMPARE(MainFrm->size(), QSize(750, 500));
}

void MainWindowTest::captionButtonStates()
{
    QVERIFY(start());
    auto visible = [](std::initializer_list<const char*> names) {
        QStringList shown;
        for (const char* n : {"img_close_normal", "img_close_highlight", "img_close_down", "img_mini_normal",
                              "img_mini_highlight", "img_mini_down"})
            if (MainFrm->findChild<TImage*>(n)->isVisible())
                shown << n;
        QStringList expected;
        for (const char* n : names)
            expected << n;
        return shown == expected;
    };
    QVERIFY(visible({"img_close_normal", "img_mini_normal"}));
    QTest::mouseMove(MainFrm->img_close_normal, QPoint(10, 10));
    QTRY_VERIFY(visible({"img_close_highlight", "img_mini_normal"}));
    QTest::mouseMove(MainFrm->imgBG, QPoint(300, 40)); // a spot no other control covers
    QTRY_VERIFY(visible({"img_close_normal", "img_mini_normal"}));
    QTest::mouseMove(MainFrm->img_mini_normal, QPoint(5, 5));
    QTRY_VERIFY(visible({"img_close_normal", "img_mini_highlight"}));
    MainFrm->img_mini_highlightMouseDown();
    QVERIFY(MainFrm->img_mini_down->isVisible());
    MainFrm->img_mini_highlightClick();
    QVERIFY(visible({"img_close_normal", "img_mini_normal"}));
}

void MainWindowTest::offScreenBoundsComeBackCentred()
{
    QVERIFY(start(1, "800\r\n600\r\n-5000\r\n-5000\r\n"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(screen.intersects(MainFrm->geometry()));
    QCOMPARE(MainFrm->size(), QSize(800, 600));
    ShutDown();
    // Partly on the screen: applied as saved.
    fx->write("Data/FormSize.ini", "1\r\n800\r\n600\r\n-700\r\n-500\r\n");
    QVERIFY(StartUp());
    ShowMainWindow();
    QCOMPARE(MainFrm->pos(), QPoint(-700, -500));
}

void MainWindowTest::failedLoadIsNeverSavedOverAnotherDay()
{
    fx->query("insert into UserCon (conIndex, data) values ('20240304', 'the 4th')");
    QVERIFY(start(0));
    QTest::keyClicks(MainFrm->rdtAbc, "the 3rd");
    // The table goes away behind the program's back: the next load fails.
    fx->query("alter table UserCon rename to Gone");
    selectDay(2024, 3, 4);
    QCOMPARE(RecordedMessages(), QStringList{QStringLiteral("加载记事内容失败！")});
    QCOMPARE(MainFrm->rdtAbc->toPlainText(), QStringLiteral("the 3rd")); // still the old note
    fx->query("alter table Gone rename to UserCon");
    MainFrm->rdtAbcExit();
    MainFrm->img_close_highlightClick();
    QCOMPARE(fx->query("select data from UserCon where conIndex = '20240304'").value(0).toByteArray(), QByteArray("the 4th"));
}

void MainWindowTest::helpOpensLocalOrSitePage()
{
    QVERIFY(start());
    fx->write("source/Navigate/help.htm", "<p>help</p>");
    MainFrm->N_helpClick();
    QCOMPARE(openedUrls, QList<QUrl>{QUrl::fromLocalFile(fx->path("source/Navigate/help.htm"))});
    fx->write("Data/site.ini", "https://www.example.com/\r\n");
    MainFrm->N_SubmitClick();
    QCOMPARE(openedUrls.last(), QUrl("https://www.example.com/help4/rili2.htm"));
    fx->write("Data/site.ini", "javascript:alert(1)\r\n");
    MainFrm->N_helpClick();
    QCOMPARE(openedUrls.last(), QUrl::fromLocalFile(fx->path("source/Navigate/help.htm")));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
