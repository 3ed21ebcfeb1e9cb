#include "pic_sel.h"

#include "art.h"
#include "global.h"
#include "image_io.h"
#include "info_frm.h"

#include "platform/gbk_text.h"
#include "platform/program_dir.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>

#include <stdexcept>

TPicSelFrm* PicSelFrm = nullptr;

namespace {

QString openDialog(QWidget* parent, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

void messageBox(QWidget* parent, const QString& message)
{
    QMessageBox::information(parent, QStringLiteral("Dorvel桌面日历"), message);
}

// The close picture: normal, highlighted under the mouse, down while pressed.
class TClosePicture : public QWidget {
public:
    explicit TClosePicture(QWidget* parent) : QWidget(parent) { setFixedSize(39, 20); }
    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawPixmap(0, 0, wallpaper::art::CloseButton(FLook)); }
    void enterEvent(QEnterEvent*) override { setLook(wallpaper::art::CloseLook::Highlight); }
    void leaveEvent(QEvent*) override { setLook(wallpaper::art::CloseLook::Normal); }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            setLook(wallpaper::art::CloseLook::Down);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        setLook(wallpaper::art::CloseLook::Normal);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick)
            OnClick();
    }

private:
    void setLook(wallpaper::art::CloseLook look)
    {
        FLook = look;
        update();
    }
    wallpaper::art::CloseLook FLook = wallpaper::art::CloseLook::Normal;
};

} // namespace

QString (*TPicSelFrm::GetOpenFileName)(QWidget* parent, const QString& filter) = openDialog;
void (*TPicSelFrm::ShowMessage)(QWidget* parent, const QString& message) = messageBox;

TPicSelFrm::TPicSelFrm(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("PicSelFrm"));
    setWindowTitle(QStringLiteral("背景图片选择"));
    setFixedSize(524, 286);

    imgBG = new QLabel(this);
    imgBG->setObjectName(QStringLiteral("imgBG"));
    imgBG->setGeometry(0, 0, 524, 286);
    imgBG->setScaledContents(true);
    imgBG->setPixmap(wallpaper::art::ListBackground(524, 286));
    wallpaper::MoveByPart(imgBG);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(wallpaper::art::Logo());
    imgLogo->move(5, 1);
    imgLogo->adjustSize();
    imgLogo->setAttribute(Qt::WA_TransparentForMouseEvents);

    Shape1 = new wallpaper::TShape(this, QColor(0x40, 0x80, 0x80));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(8, 55, 321, 162);

    LVpic = new QTreeWidget(this);
    LVpic->setObjectName(QStringLiteral("LVpic"));
    LVpic->setGeometry(9, 56, 319, 160);
    LVpic->setColumnCount(1);
    LVpic->setHeaderLabels({QStringLiteral("默认图片")});
    LVpic->header()->setStretchLastSection(false);
    LVpic->setColumnWidth(0, 300);
    LVpic->setHeaderHidden(true);
    LVpic->setRootIsDecorated(false);
    LVpic->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVpic->setSelectionBehavior(QAbstractItemView::SelectRows);
    LVpic->setSelectionMode(QAbstractItemView::SingleSelection);
    LVpic->setFrameShape(QFrame::NoFrame);
    QFont listFont(QStringLiteral("宋体"));
    listFont.setPixelSize(12);
    LVpic->setFont(listFont);

    lblTishi = new QLabel(this);
    lblTishi->setObjectName(QStringLiteral("lblTishi"));
    lblTishi->setGeometry(352, 64, 161, 153);
    lblTishi->setWordWrap(true);
    lblTishi->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTishi->setAttribute(Qt::WA_TranslucentBackground);
    lblTishi->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont tipFont(QStringLiteral("幼圆"));
    tipFont.setPixelSize(15);
    lblTishi->setFont(tipFont);
    // The run of blanks is a line break on the original form; a word-wrapping
    // label here lets blanks hang at the line end, so the break is spelt out.
    const QString tip = QStringLiteral("注：可添加多个壁纸大 小1024*768 以上") + QString(48, QLatin1Char(' '))
                        + QStringLiteral("图像格式:BMP,JPG");
    lblTishi->setText(QString(tip).replace(QString(48, QLatin1Char(' ')), QStringLiteral("\n")));
    lblTishi->setProperty("caption", tip);

    imgSel = new QLabel(this);
    imgSel->setObjectName(QStringLiteral("imgSel"));
    imgSel->move(408, 168);
    imgSel->hide();

    btnRemove = new QPushButton(QStringLiteral("移  除"), this);
    btnRemove->setObjectName(QStringLiteral("btnRemove"));
    btnRemove->setGeometry(12, 240, 75, 25);
    btnAdd = new QPushButton(QStringLiteral("添  加"), this);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnAdd->setGeometry(108, 240, 75, 25);
    btnOk = new QPushButton(QStringLiteral("确  定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(209, 240, 75, 25);

    auto* close = new TClosePicture(this);
    close->setObjectName(QStringLiteral("img_close"));
    close->move(484, 0);
    close->OnClick = [this] { reject(); };
    img_close = close;

    connect(btnAdd, &QPushButton::clicked, this, &TPicSelFrm::btnAddClick);
    connect(btnRemove, &QPushButton::clicked, this, &TPicSelFrm::btnRemoveClick);
    connect(btnOk, &QPushButton::clicked, this, &TPicSelFrm::btnOkClick);

    FormCreate();
}

void TPicSelFrm::FormCreate()
{
    FCurrentName.clear();
    FFilter = QStringLiteral("(*.Bmp; *.JPG; *Gif) (*.bmp *.jpg *.jpeg *.gif)");
}

void TPicSelFrm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TPicSelFrm::FormShow()
{
    LoadPictureList();
    btnOk->setFocus(); // no entry counts as chosen until the user clicks one
}

void TPicSelFrm::LoadPictureList()
{
    QStringList lines;
    if (!wallpaper::ReadBackgroundListFile(lines)) {
        try {
            wallpaper::WriteDefaultBackgroundList();
        } catch (const std::exception&) {
        }
        FCurrentName = wallpaper::DefaultBackground;
        return;
    }
    if (!lines.isEmpty())
        FCurrentName = lines.first();
    LVpic->clear();
    for (qsizetype i = 1; i < lines.size(); ++i)
        new QTreeWidgetItem(LVpic, {lines.at(i)});
    LVpic->setCurrentItem(nullptr);
}

QStringList TPicSelFrm::Captions() const
{
    QStringList captions;
    for (int i = 0; i < LVpic->topLevelItemCount(); ++i)
        captions.append(LVpic->topLevelItem(i)->text(0));
    return captions;
}

void TPicSelFrm::WriteList()
{
    wallpaper::WriteBackgroundListFile(FCurrentName, Captions());
}

void TPicSelFrm::ShrinkPicture(const QString& source, const QString& destination, int width, int height)
{
    const QImage src = wallpaper::ReadPicture(source);
    // Nearest-neighbour: rows and columns are dropped, not averaged.
    const QImage small = src.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (small.isNull())
        throw std::runtime_error("无法缩小图片");
    wallpaper::WriteBmp24(small, destination);
}

void TPicSelFrm::btnAddClick()
{
    const QString chosen = GetOpenFileName(this, FFilter);
    if (chosen.isEmpty())
        return;

    QString picture;
    try {
        const QString name = QFileInfo(chosen).fileName();
        QByteArray gbk;
        if (!wallpaper::IsBareFileName(name) || !platform::EncodeGbk(name, gbk))
            throw std::runtime_error("文件名无法写入背景图片列表");
        const QString target = platform::ResolveIn(wallpaper::PictureDir(), name);
        // A picture chosen from the picture folder itself is already in place.
        if (QFileInfo(chosen).canonicalFilePath() != QFileInfo(target).canonicalFilePath()) {
            const QString part = target + QStringLiteral(".part");
            QFile::remove(part);
            if (QFile::copy(chosen, part)) {
                QFile::remove(target);
                QFile::rename(part, target);
            }
        }
        picture = ToBmpFile(target);
        try {
            if (picture.isEmpty())
                throw std::runtime_error("不支持的图片格式");
            const QImage img = wallpaper::ReadPicture(picture);
            imgSel->setPixmap(QPixmap::fromImage(img));
            imgSel->adjustSize();
            if (img.width() > 1280)
                ShrinkPicture(picture, picture, 1280, 768);
        } catch (const std::exception&) {
            ShowMessage(this, QStringLiteral("添加背景图片异常，请重试！"));
            return;
        }
    } catch (const std::exception&) {
        ShowMessage(this, QStringLiteral("添加失败，请重试！"));
        return;
    }

    new QTreeWidgetItem(LVpic, {QFileInfo(picture).fileName()});
    WriteList();
}

void TPicSelFrm::btnRemoveClick()
{
    QTreeWidgetItem* item = LVpic->currentItem();
    if (!item)
        return;
    try {
        const QString caption = item->text(0);
        if (caption == FCurrentName)
            FCurrentName = wallpaper::DefaultBackground;
        if (caption != wallpaper::DefaultBackground)
            delete item;
        WriteList();
    } catch (const std::exception&) {
    }
}

void TPicSelFrm::btnOkClick()
{
    QTreeWidgetItem* item = LVpic->currentItem();
    if (item && item->text(0) != FCurrentName) {
        try {
            FCurrentName = item->text(0);
            WriteList();
        } catch (const std::exception&) {
        }
    }
    accept();
}
