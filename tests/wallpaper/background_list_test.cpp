// The background list: the file, the rotation of the index, the list window's
// add, remove and OK, and the main window's visit to the list window.
#include "fixture.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QString chosenFile;
QString openChosen(QWidget*, const QString&) { return chosenFile; }

} // namespace

class BackgroundListTest : public ComposerTest {
protected:
    void SetUp() override
    {
        ComposerTest::SetUp();
        for (const char* name : {"A1.bmp", "b.bmp", "c.bmp"})
            writeBmp(QStringLiteral("source/DeskTopBG/") + QLatin1String(name), Solid(400, 300, qRgb(10, 20, 30)));
        TPicSelFrm::GetOpenFileName = openChosen;
    }
    // The file name of the background each of n compositions used.
    QStringList compose(int n)
    {
        QStringList used;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(imgAppToDeskClick(QString(), QString(), FBackgroundName, FBackgroundIndex),
                      wallpaper::ComposeResult::Applied);
            used.append(QFileInfo(DeskBGSetFrm->FBackgroundPath).fileName());
        }
        return used;
    }
    void focus(const QString& caption)
    {
        const auto items = PicSelFrm->LVpic->findItems(caption, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << caption.toStdString();
        PicSelFrm->LVpic->setCurrentItem(items.last());
    }
    QStringList captions() const
    {
        QStringList c;
        for (int i = 0; i < PicSelFrm->LVpic->topLevelItemCount(); ++i)
            c.append(PicSelFrm->LVpic->topLevelItem(i)->text(0));
        return c;
    }
};

TEST_F(BackgroundListTest, WorkedRotationAndChoosingANewCurrentBackground)
{
    writeList({"A1.bmp", "A1.bmp", "b.bmp", "c.bmp"});
    LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    EXPECT_EQ(BackgroundCount, 4);
    EXPECT_EQ(FBackgroundIndex, 3);
    EXPECT_EQ(compose(4), QStringList({"c.bmp", "b.bmp", "A1.bmp", "c.bmp"}));

    PicSelFrm->LoadPictureList();
    focus(QStringLiteral("b.bmp"));
    PicSelFrm->btnOkClick();
    EXPECT_EQ(readList(), QStringList({"b.bmp", "A1.bmp", "b.bmp", "c.bmp"}));
    FBackgroundName = PicSelFrm->FCurrentName;
    LoadBackgroundList(true, FBackgroundName, FBackgroundIndex);
    EXPECT_EQ(FBackgroundIndex, 2);
    EXPECT_EQ(compose(4), QStringList({"b.bmp", "A1.bmp", "c.bmp", "b.bmp"}));
}

TEST_F(BackgroundListTest, MissingPictureMovesTheIndexOnWithoutComposing)
{
    writeList({"A1.bmp", "A1.bmp", "b.bmp", "c.bmp"});
    LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    QFile::remove(pic(QStringLiteral("c.bmp")));
    EXPECT_EQ(imgAppToDeskClick(QString(), QString(), FBackgroundName, FBackgroundIndex),
              wallpaper::ComposeResult::BackgroundMissing);
    EXPECT_EQ(FBackgroundIndex, 1) << "from the last entry round to element 1";
    EXPECT_FALSE(QFileInfo::exists(pic(QStringLiteral("Content.bmp"))));
    EXPECT_EQ(compose(1), QStringList({"A1.bmp"}));

    FBackgroundIndex = 0;
    QFile::remove(pic(QStringLiteral("A1.bmp")));
    EXPECT_EQ(imgAppToDeskClick(QString(), QString(), FBackgroundName, FBackgroundIndex),
              wallpaper::ComposeResult::BackgroundMissing);
    EXPECT_EQ(FBackgroundIndex, 0) << "element 0 keeps its index";
}

TEST_F(BackgroundListTest, FirstStartWritesTheDefaultList)
{
    FBackgroundIndex = 7;
    LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    EXPECT_EQ(wallpaper::ReadWholeFile(path(QStringLiteral("Data/BGPicList.ini"))), QByteArray("A1.bmp\r\nA1.bmp\r\n"));
    ASSERT_EQ(BackgroundList.size(), 2);
    EXPECT_EQ(BackgroundList[1].Index, 1);
    EXPECT_EQ(BackgroundList[1].FileName, QStringLiteral("A1.bmp"));
    EXPECT_EQ(FBackgroundName, QStringLiteral("A1.bmp"));
    EXPECT_EQ(FBackgroundIndex, 0);
    EXPECT_EQ(compose(3), QStringList({"A1.bmp", "A1.bmp", "A1.bmp"}));
}

TEST_F(BackgroundListTest, ShortAndHandEditedListFiles)
{
    // One line: L = 1, index 0, every composition uses it.
    writeList({"b.bmp"});
    LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    EXPECT_EQ(FBackgroundIndex, 0);
    EXPECT_EQ(compose(2), QStringList({"b.bmp", "b.bmp"}));

    // No line at all: nothing read, the name stays, the default background is used.
    wallpaper::WriteWholeFile(path(QStringLiteral("Data/BGPicList.ini")), QByteArray());
    FBackgroundName = QStringLiteral("kept.bmp");
    LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    EXPECT_EQ(BackgroundCount, 0);
    EXPECT_EQ(FBackgroundName, QStringLiteral("kept.bmp"));
    EXPECT_EQ(compose(2), QStringList({"A1.bmp", "A1.bmp"}));

    // Entries that are not bare names are never opened.
    QDir(tmp.path()).mkpath(QStringLiteral("source/DeskTopBG/sub"));
    writeBmp(QStringLiteral("source/DeskTopBG/sub/c.bmp"), Solid(400, 300, 0));
    writeList({"..\\Data\\x.bmp", "c.bmp", "", "sub/c.bmp", "..", "..\\..\\etc\\passwd", "C:x.bmp", "b.bmp"});
    LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    QStringList names;
    for (const TPicBGList& e : BackgroundList)
        names.append(e.FileName);
    EXPECT_EQ(names, QStringList({"A1.bmp", "c.bmp", "b.bmp"}));
    EXPECT_EQ(FBackgroundName, QStringLiteral("A1.bmp"));
    PicSelFrm->LoadPictureList();
    EXPECT_EQ(captions(), QStringList({"c.bmp", "b.bmp"}));
}

TEST_F(BackgroundListTest, AddingAJpegCopiesConvertsAndShrinksIt)
{
    writeList({"b.bmp", "A1.bmp", "b.bmp"});
    PicSelFrm->LoadPictureList();
    QTemporaryDir outside;
    chosenFile = outside.filePath(QStringLiteral("a.jpg"));
    wallpaper::WriteJpeg(Solid(1600, 1200, qRgb(0, 128, 255)), chosenFile, 90);
    PicSelFrm->btnAddClick();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(QFileInfo::exists(pic(QStringLiteral("a.jpg"))));
    EXPECT_EQ(wallpaper::ReadPicture(pic(QStringLiteral("a.bmp"))).size(), QSize(1280, 768));
    EXPECT_EQ(readList(), QStringList({"b.bmp", "A1.bmp", "b.bmp", "a.bmp"}));

    // Added again: a second entry of that name, the file replaced.
    wallpaper::WriteJpeg(Solid(1280, 900, qRgb(0, 0, 0)), chosenFile, 90);
    PicSelFrm->btnAddClick();
    EXPECT_EQ(readList(), QStringList({"b.bmp", "A1.bmp", "b.bmp", "a.bmp", "a.bmp"}));
    EXPECT_EQ(wallpaper::ReadPicture(pic(QStringLiteral("a.bmp"))).size(), QSize(1280, 900)) << "1280 wide is kept";

    // A picture chosen from the picture folder itself survives the copy.
    chosenFile = pic(QStringLiteral("c.bmp"));
    PicSelFrm->btnAddClick();
    EXPECT_EQ(wallpaper::ReadPicture(pic(QStringLiteral("c.bmp"))).size(), QSize(400, 300));
    EXPECT_EQ(readList().last(), QStringLiteral("c.bmp"));

    // Cancelled: nothing.
    chosenFile.clear();
    PicSelFrm->btnAddClick();
    EXPECT_EQ(readList().size(), 6);
}

TEST_F(BackgroundListTest, AddingBadPicturesShowsTheMessagesAndWritesNothing)
{
    writeList({"A1.bmp", "A1.bmp"});
    PicSelFrm->LoadPictureList();
    QTemporaryDir outside;
    struct Case {
        const char* file;
        QByteArray bytes;
        const char* message;
    };
    const Case cases[] = {
        {"broken.jpg", QByteArray(300, 'j'), "添加失败，请重试！"},
        {"broken.gif", QByteArray("GIF89a\x01"), "添加失败，请重试！"},
        {"broken.bmp", QByteArray("BM\x10\x00"), "添加背景图片异常，请重试！"},
        {"picture.png", QByteArray("\x89PNG"), "添加背景图片异常，请重试！"},
    };
    for (const Case& c : cases) {
        messages.clear();
        chosenFile = outside.filePath(QString::fromUtf8(c.file));
        wallpaper::WriteWholeFile(chosenFile, c.bytes);
        PicSelFrm->btnAddClick();
        EXPECT_EQ(messages, QStringList{QString::fromUtf8(c.message)}) << c.file;
        EXPECT_TRUE(QFileInfo::exists(pic(QString::fromUtf8(c.file)))) << "the copy stays";
    }
    EXPECT_EQ(readList(), QStringList({"A1.bmp", "A1.bmp"}));
    EXPECT_EQ(captions(), QStringList({"A1.bmp"}));
}

TEST_F(BackgroundListTest, RemoveAndOk)
{
    writeList({"b.bmp", "A1.bmp", "b.bmp", "c.bmp"});
    PicSelFrm->LoadPictureList();
    PicSelFrm->btnRemoveClick(); // nothing has the focus
    EXPECT_EQ(readList(), QStringList({"b.bmp", "A1.bmp", "b.bmp", "c.bmp"}));

    focus(QStringLiteral("b.bmp"));
    PicSelFrm->btnRemoveClick();
    EXPECT_EQ(readList(), QStringList({"A1.bmp", "A1.bmp", "c.bmp"})) << "the current one removed: A1.bmp is current";
    EXPECT_TRUE(QFileInfo::exists(pic(QStringLiteral("b.bmp"))));

    focus(QStringLiteral("A1.bmp"));
    PicSelFrm->btnRemoveClick();
    EXPECT_EQ(readList(), QStringList({"A1.bmp", "A1.bmp", "c.bmp"})) << "A1.bmp cannot be removed";

    // OK on the current entry writes nothing.
    wallpaper::WriteWholeFile(path(QStringLiteral("Data/BGPicList.ini")), "A1.bmp\nA1.bmp\nc.bmp");
    PicSelFrm->LoadPictureList();
    focus(QStringLiteral("A1.bmp"));
    PicSelFrm->btnOkClick();
    EXPECT_EQ(wallpaper::ReadWholeFile(path(QStringLiteral("Data/BGPicList.ini"))), QByteArray("A1.bmp\nA1.bmp\nc.bmp"));
}

namespace {
QString okOn;
int answerList(QDialog* d)
{
    auto* w = static_cast<TPicSelFrm*>(d);
    w->LoadPictureList();
    if (!okOn.isEmpty())
        w->LVpic->setCurrentItem(w->LVpic->findItems(okOn, Qt::MatchExactly).value(0));
    w->btnOkClick();
    return d->result();
}
} // namespace

TEST_F(BackgroundListTest, TheMainWindowReloadsTheListWhenTheWindowCloses)
{
    auto* previous = TInforFrm::ExecModal;
    TInforFrm::ExecModal = answerList;
    writeList({"c.bmp", "A1.bmp", "b.bmp", "c.bmp"});
    LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    compose(1);
    EXPECT_EQ(FBackgroundIndex, 2);

    okOn = QStringLiteral("c.bmp"); // already current: the index goes back to the last entry
    imgAddToDeskClick(nullptr, FBackgroundName, FBackgroundIndex);
    EXPECT_EQ(FBackgroundIndex, 3);
    EXPECT_EQ(readList().first(), QStringLiteral("c.bmp"));

    okOn = QStringLiteral("b.bmp");
    imgAddToDeskClick(nullptr, FBackgroundName, FBackgroundIndex);
    EXPECT_EQ(FBackgroundName, QStringLiteral("b.bmp"));
    EXPECT_EQ(FBackgroundIndex, 2);
    TInforFrm::ExecModal = previous;
}

TEST_F(BackgroundListTest, ListWindowLayout)
{
    TPicSelFrm& w = *PicSelFrm;
    EXPECT_EQ(w.size(), QSize(524, 286));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("背景图片选择"));
    EXPECT_EQ(w.LVpic->geometry(), QRect(9, 56, 319, 160));
    EXPECT_TRUE(w.LVpic->isHeaderHidden());
    EXPECT_EQ(w.LVpic->headerItem()->text(0), QStringLiteral("默认图片"));
    EXPECT_EQ(w.LVpic->columnWidth(0), 300);
    EXPECT_EQ(w.Shape1->geometry(), QRect(8, 55, 321, 162));
    EXPECT_EQ(w.btnRemove->text(), QStringLiteral("移  除"));
    EXPECT_EQ(w.btnRemove->pos(), QPoint(12, 240));
    EXPECT_EQ(w.btnAdd->text(), QStringLiteral("添  加"));
    EXPECT_EQ(w.btnAdd->pos(), QPoint(108, 240));
    EXPECT_EQ(w.btnOk->text(), QStringLiteral("确  定"));
    EXPECT_EQ(w.btnOk->pos(), QPoint(209, 240));
    EXPECT_EQ(w.img_close->geometry(), QRect(484, 0, 39, 20));
    EXPECT_EQ(w.lblTishi->geometry(), QRect(352, 64, 161, 153));
}
