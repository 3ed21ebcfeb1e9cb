#include "info_frm.h"

#include "art.h"
#include "global.h"

#include "platform/gbk_text.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

TInforFrm* InforFrm = nullptr;

namespace wallpaper {

void CentreOn(QWidget* window, QWidget* owner)
{
    const QRect area = owner ? owner->frameGeometry()
                             : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect());
    if (area.isValid())
        window->move(area.center() - window->rect().center());
}

namespace {
class MoveFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (QWindow* handle = static_cast<QWidget*>(watched)->window()->windowHandle()) {
                handle->startSystemMove();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void MoveByPart(QWidget* part)
{
    part->installEventFilter(new MoveFilter(part));
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(FPen);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace wallpaper

int (*TInforFrm::ExecModal)(QDialog* dialog) = [](QDialog* dialog) { return dialog->exec(); };

TInforFrm::TInforFrm(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("InforFrm"));
    setFixedSize(344, 156);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    shpBG = new wallpaper::TShape(this, QColor(0xD8, 0xE3, 0xF3));
    shpBG->setObjectName(QStringLiteral("shpBG"));
    shpBG->setGeometry(0, 0, 344, 156);
    wallpaper::MoveByPart(shpBG);

    imgques = new QLabel(this);
    imgques->setObjectName(QStringLiteral("imgques"));
    imgques->setGeometry(32, 24, 45, 46);
    imgques->setPixmap(wallpaper::art::Question(45, 46));

    lblInfo = new QLabel(QStringLiteral("您确定要更换壁纸？"), this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    QFont infoFont(QStringLiteral("宋体"));
    infoFont.setPixelSize(14);
    infoFont.setBold(true);
    lblInfo->setFont(infoFont);
    lblInfo->move(112, 40);
    lblInfo->adjustSize();

    chkSetBgInfo = new QCheckBox(QStringLiteral("下次不再提示"), this);
    chkSetBgInfo->setObjectName(QStringLiteral("chkSetBgInfo"));
    chkSetBgInfo->setGeometry(120, 88, 97, 17);

    btnok = new QPushButton(QStringLiteral("确  定"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setGeometry(176, 120, 75, 25);
    btnok->setDefault(true);
    btncancel = new QPushButton(QStringLiteral("取  消"), this);
    btncancel->setObjectName(QStringLiteral("btncancel"));
    btncancel->setGeometry(256, 120, 75, 25);
    btnClose = new QPushButton(QStringLiteral("X"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(321, 1, 20, 18);
    btnClose->setFlat(true);
    QFont closeFont(QStringLiteral("Arial"));
    closeFont.setPixelSize(12);
    closeFont.setBold(true);
    btnClose->setFont(closeFont);

    connect(btnok, &QPushButton::clicked, this, &TInforFrm::btnokClick);
    connect(btncancel, &QPushButton::clicked, this, &TInforFrm::btncancelClick);
    connect(btnClose, &QPushButton::clicked, this, &TInforFrm::btnCloseClick);
    // Escape answers like the cancel button.
    connect(this, &QDialog::rejected, this, [] { ApplyConfirmed = false; });
}

void TInforFrm::ShowModal(QWidget* owner)
{
    wallpaper::CentreOn(this, owner);
    ExecModal(this);
}

void TInforFrm::btnokClick()
{
    if (chkSetBgInfo->isChecked()) {
        AskBeforeApply = false;
        ApplyConfirmed = true;
        // The answer holds for this run even if the flag file cannot be written.
        if (!ConfigSetBgPath.isEmpty())
            platform::WriteGbkLines(ConfigSetBgPath, {QStringLiteral("0")});
    } else {
        ApplyConfirmed = true;
    }
    accept();
}

void TInforFrm::btncancelClick()
{
    ApplyConfirmed = false;
    reject();
}

void TInforFrm::btnCloseClick()
{
    ApplyConfirmed = false;
    reject();
}
