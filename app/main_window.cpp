// The main window's controls, their layout and the frame: moving, sizing,
// the caption buttons and the settings menu.

#include "main_window.h"

#include "picture_control.h"
#include "web/web_panel.h"

#include "calendar/chn_calendar_picker.h"
#include "platform/fonts.h"
#include "platform/gbk_text.h"
#include "platform/program_dir.h"
#include "wallpaper/compose.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTextEdit>
#include <QUrl>
#include <QWindow>

TMainFrm* MainFrm = nullptr;

namespace {

constexpr int kDesignWidth = 742;
constexpr int kDesignHeight = 466;
constexpr int kFrameWidth = 4; // the sizing frame along the window's edges

QColor chooseColorDialog(QWidget* parent, const QColor& initial)
{
    return QColorDialog::getColor(initial, parent, QString());
}

void openUrlWithDesktop(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

using platform::MakePixelFont;

// A white panel inside a raised outer and a lowered inner bevel, 2 pixels in all.
class TBevelPanel : public QFrame {
public:
    explicit TBevelPanel(QWidget* parent) : QFrame(parent) { setContentsMargins(2, 2, 2, 2); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect r = rect();
        p.fillRect(r, Qt::white);
        auto bevel = [&](QRect b, QColor light, QColor dark) {
            p.setPen(light);
            p.drawLine(b.topLeft(), b.topRight());
            p.drawLine(b.topLeft(), b.bottomLeft());
            p.setPen(dark);
            p.drawLine(b.bottomLeft(), b.bottomRight());
            p.drawLine(b.topRight(), b.bottomRight());
        };
        bevel(r, QColor(0xff, 0xff, 0xff), QColor(0xa0, 0xa0, 0xa0));
        bevel(r.adjusted(1, 1, -1, -1), QColor(0xa0, 0xa0, 0xa0), QColor(0xf0, 0xf0, 0xf0));
    }
};

// A panel filled with one colour.
class TColorPanel : public QWidget {
public:
    TColorPanel(QWidget* parent, const QColor& color) : QWidget(parent), FColor(color) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), FColor); }

private:
    QColor FColor;
};

} // namespace

QColor (*TMainFrm::ChooseColor)(QWidget* parent, const QColor& initial) = chooseColorDialog;
void (*TMainFrm::OpenUrl)(const QUrl& url) = openUrlWithDesktop;
bool TMainFrm::UseWebPanel = true;

TMainFrm::TMainFrm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(QStringLiteral("桌面日历"));
    setMinimumSize(750, 500);
    resize(kDesignWidth, kDesignHeight);
    CreateControls();
    CreateMenus();
    ConfigureCalendar();
    // Every control of the window passes its mouse events by the sizing frame first.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    installEventFilter(this);
    FFocusConnection = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        // Leaving the editor for another control of this window (not another program).
        if (old == rdtAbc && now && now != rdtAbc && isAncestorOf(now))
            rdtAbcExit();
    });
    FormCreate();
}

TMainFrm::~TMainFrm()
{
    // QWidget's destructor hides the window and so moves the focus: by then this
    // object is no longer a TMainFrm, so its focus handler must be gone.
    disconnect(FFocusConnection);
    if (MainFrm == this)
        MainFrm = nullptr;
}

TImage* TMainFrm::AddImage(QWidget* parent, const char* name, const char* resource, QRect design, Anchor anchor)
{
    auto* img = new TImage(parent, QString::fromLatin1(name), QString::fromLatin1(resource));
    Place(img, design, anchor);
    return img;
}

void TMainFrm::Place(QWidget* w, QRect design, Anchor anchor)
{
    w->setGeometry(design);
    FPlaced.push_back({w, design, anchor});
}

void TMainFrm::CreateControls()
{
    imgBG = AddImage(this, "imgBG", ":/assets/background.png", QRect(0, 0, kDesignWidth, kDesignHeight), Anchor::AllEdges);
    imgBG->SetStretch(true);
    imgBG->OnMouseDown = [this](QMouseEvent*) { imgBGMouseDown(); };
    imgBG->OnMouseMove = [this](QMouseEvent*) { imgBGMouseMove(); };

    imgLogo = AddImage(this, "imgLogo", ":/assets/logo.png", QRect(52, 13, 210, 56), Anchor::Fixed);

    img_close_normal = AddImage(this, "img_close_normal", ":/assets/close_normal.png", QRect(702, 1, 39, 20), Anchor::TopRight);
    img_close_highlight = AddImage(this, "img_close_highlight", ":/assets/close_highlight.png", QRect(702, 1, 39, 20), Anchor::TopRight);
    img_close_down = AddImage(this, "img_close_down", ":/assets/close_down.png", QRect(702, 1, 39, 20), Anchor::TopRight);
    img_mini_normal = AddImage(this, "img_mini_normal", ":/assets/mini_normal.png", QRect(673, 1, 28, 20), Anchor::TopRight);
    img_mini_highlight = AddImage(this, "img_mini_highlight", ":/assets/mini_highlight.png", QRect(672, 1, 28, 20), Anchor::TopRight);
    img_mini_down = AddImage(this, "img_mini_down", ":/assets/mini_down.png", QRect(672, 1, 28, 20), Anchor::TopRight);
    img_close_normal->OnMouseMove = [this](QMouseEvent*) { img_close_normalMouseMove(); };
    img_close_highlight->OnMouseDown = [this](QMouseEvent*) { img_close_highlightMouseDown(); };
    img_close_highlight->OnClick = [this] { img_close_highlightClick(); };
    img_mini_normal->OnMouseMove = [this](QMouseEvent*) { img_mini_normalMouseMove(); };
    img_mini_highlight->OnMouseDown = [this](QMouseEvent*) { img_mini_highlightMouseDown(); };
    img_mini_highlight->OnClick = [this] { img_mini_highlightClick(); };
    ShowCloseState(img_close_normal);
    ShowMiniState(img_mini_normal);

    lblDateTime = new QLabel(this);
    lblDateTime->setObjectName(QStringLiteral("lblDateTime"));
    lblDateTime->setFont(MakePixelFont("微软雅黑", 12, true));
    lblDateTime->setStyleSheet(QStringLiteral("color: #800000; background: transparent;"));
    Place(lblDateTime, QRect(343, 19, 200, 18), Anchor::Fixed);

    lblSet = new QLabel(QStringLiteral("|  选项"), this);
    lblSet->setObjectName(QStringLiteral("lblSet"));
    lblSet->setFont(MakePixelFont("宋体", 12));
    lblSet->setStyleSheet(QStringLiteral("background: transparent;"));
    lblSet->setCursor(Qt::PointingHandCursor);
    lblSet->adjustSize();
    Place(lblSet, QRect(QPoint(595, 56), lblSet->size()), Anchor::TopRight);

    imgAppToDesk = AddImage(this, "imgAppToDesk", ":/assets/app_to_desk.png", QRect(654, 45, 84, 29), Anchor::TopRight);
    imgAppToDesk->setCursor(Qt::PointingHandCursor);
    imgAppToDesk->OnClick = [this] {
        imgAppToDeskClick(rdtAbc->toPlainText(), FMonthPicturePath, FBackgroundName, FBackgroundIndex, this);
    };

    auto flatButton = [this](const char* name, const QString& caption, int pixels, QRect design) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFlat(true);
        b->setFocusPolicy(Qt::NoFocus); // the editor keeps the focus and its caret
        b->setFont(MakePixelFont("Arial Black", pixels));
        b->setStyleSheet(QStringLiteral(
            "QPushButton { border: 1px solid transparent; border-radius: 3px; background: transparent; color: #2f3e52; }"
            "QPushButton:hover { border-color: #b9cbe6; background: #eef3fa; }"
            "QPushButton:pressed { background: #d8e3f3; }"));
        Place(b, design, Anchor::Fixed);
        return b;
    };
    btnGou = flatButton("btnGou", QStringLiteral("√"), 14, QRect(341, 55, 23, 22));
    btnX = flatButton("btnX", QStringLiteral("X"), 12, QRect(365, 55, 23, 22));
    connect(btnGou, &QPushButton::clicked, this, &TMainFrm::btnGouClick);
    connect(btnX, &QPushButton::clicked, this, &TMainFrm::btnXClick);

    imgDate = AddImage(this, "imgDate", ":/assets/date.png", QRect(395, 58, 44, 15), Anchor::Fixed);
    imgDate->setToolTip(QStringLiteral("插入日期"));
    imgDate->setCursor(Qt::PointingHandCursor);
    imgDate->OnClick = [this] { imgDateClick(); };
    imgRedColor = AddImage(this, "imgRedColor", ":/assets/red_color.png", QRect(441, 61, 20, 11), Anchor::Fixed);
    imgRedColor->setToolTip(QStringLiteral("字体颜色"));
    imgRedColor->setCursor(Qt::PointingHandCursor);
    imgRedColor->OnClick = [this] { imgRedColorClick(); };

    pnlLeft = new TColorPanel(this, QColor(0xD8, 0xE3, 0xF3));
    pnlLeft->setObjectName(QStringLiteral("pnlLeft"));
    Place(pnlLeft, QRect(4, 80, 302, 441), Anchor::Fixed);
    pnlWeb = new TColorPanel(pnlLeft, Qt::white);
    pnlWeb->setObjectName(QStringLiteral("pnlWeb"));
    pnlWeb->setGeometry(1, 1, 300, 250); // children outside it are clipped
    if (UseWebPanel)
        webLink = SetupWebLink(pnlWeb);
    imgAddToDesk = new TImage(pnlLeft, QStringLiteral("imgAddToDesk"), QStringLiteral(":/assets/add_to_desk.png"));
    imgAddToDesk->setGeometry(54, 264, 200, 93);
    imgAddToDesk->SetStretch(true);
    imgAddToDesk->setCursor(Qt::PointingHandCursor);
    imgAddToDesk->OnClick = [this] { imgAddToDeskClick(this, FBackgroundName, FBackgroundIndex); };

    pngRight = new TColorPanel(this, Qt::white);
    pngRight->setObjectName(QStringLiteral("pngRight"));
    Place(pngRight, QRect(315, 80, 423, 381), Anchor::AllEdges);
    pnlABC = new TBevelPanel(pngRight);
    pnlABC->setObjectName(QStringLiteral("pnlABC"));

    chnRili = new calendar::TChnCalendar(pnlABC);
    chnRili->setObjectName(QStringLiteral("chnRili"));
    chnRili->OnChange = [this](QObject* Sender) { chnRiliChange(Sender); };

    rdtAbc = new QTextEdit(pnlABC);
    rdtAbc->setObjectName(QStringLiteral("rdtAbc"));
    rdtAbc->setFrameShape(QFrame::NoFrame);
    rdtAbc->setLineWrapMode(QTextEdit::WidgetWidth);
    rdtAbc->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rdtAbc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rdtAbc->setAcceptRichText(true);
    rdtAbc->document()->setDefaultFont(MakePixelFont("宋体", 15));
    rdtAbc->setTextColor(palette().color(QPalette::WindowText));
    rdtAbc->setStyleSheet(QStringLiteral("QTextEdit { background: #C0DCC0; }"));
    rdtAbc->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rdtAbc, &QTextEdit::textChanged, this, &TMainFrm::rdtAbcChange);
    connect(rdtAbc, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pmDeskTopMonCal->popup(rdtAbc->viewport()->mapToGlobal(pos)); });

    // Pictures and labels lie above the background picture.
    imgBG->lower();
}

void TMainFrm::CreateMenus()
{
    popSysset = new QMenu(this);
    popSysset->setObjectName(QStringLiteral("popSysset"));
    auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    connect(item(popSysset, "N_help", QStringLiteral("帮助说明")), &QAction::triggered, this, &TMainFrm::N_helpClick);
    connect(item(popSysset, "N_Submit", QStringLiteral("意见反馈")), &QAction::triggered, this, &TMainFrm::N_SubmitClick);
    popSysset->addSeparator()->setObjectName(QStringLiteral("N4"));
    connect(item(popSysset, "N_ExitPrj", QStringLiteral("退出程序")), &QAction::triggered, this, &TMainFrm::N_ExitPrjClick);

    pmDeskTopMonCal = new QMenu(this);
    pmDeskTopMonCal->setObjectName(QStringLiteral("pmDeskTopMonCal"));
    connect(item(pmDeskTopMonCal, "N1", QStringLiteral("复制")), &QAction::triggered, rdtAbc, &QTextEdit::copy);
    connect(item(pmDeskTopMonCal, "N2", QStringLiteral("粘贴")), &QAction::triggered, rdtAbc, &QTextEdit::paste);
    connect(item(pmDeskTopMonCal, "N9", QStringLiteral("删除")), &QAction::triggered, this,
            [this] { rdtAbc->textCursor().removeSelectedText(); });
    connect(item(pmDeskTopMonCal, "N3", QStringLiteral("剪切")), &QAction::triggered, rdtAbc, &QTextEdit::cut);
    pmDeskTopMonCal->addSeparator()->setObjectName(QStringLiteral("N6"));
    connect(item(pmDeskTopMonCal, "V1", QStringLiteral("打V")), &QAction::triggered, this, &TMainFrm::btnGouClick);
    connect(item(pmDeskTopMonCal, "X1", QStringLiteral("打X")), &QAction::triggered, this, &TMainFrm::btnXClick);
    pmDeskTopMonCal->addSeparator()->setObjectName(QStringLiteral("N5"));
    // The caption names the key; the editor's own Ctrl+Z does the same.
    connect(item(pmDeskTopMonCal, "CtrlZ1", QStringLiteral("撤销(Ctrl+Z)")), &QAction::triggered, rdtAbc, &QTextEdit::undo);
}

void TMainFrm::ConfigureCalendar()
{
    calendar::TChnCalendar* c = chnRili;
    c->SetShowTitle(true);
    c->SetShowWeekNum(false);
    c->SetShowFrame(false);
    c->SetShowWeekNumLine(true);
    c->SetHideSelection(false);
    c->SetCenter(false);
    c->SetStretch(true);
    c->SetTransparent(true);
    c->SetAlphaBlend(50);
    c->SetFontDate(MakePixelFont("黑体", 12, true));
    c->SetFontDateColor(palette().color(QPalette::WindowText));
    c->SetFontCnDate(MakePixelFont("宋体", 12));
    c->SetFontCnDateColor(QColor(0xEE, 0xEE, 0xEE));
    c->SetColorTitleWeekLine(QColor(0xC5, 0xC5, 0xC5));
    c->SetColorTitleWeekEnd(QColor(0xFF, 0x00, 0x00));
    c->SetColorTitleWeek(QColor(0x4F, 0x4F, 0x4F));
    c->SetColorTitleSelected(QColor(0x80, 0x80, 0x80));
    c->SetColorTitleConstellation(QColor(0x00, 0x00, 0x00));
    c->SetColorCnDate(QColor(0x00, 0x80, 0x00));
    c->SetColorDate(QColor(0x4F, 0x4F, 0x4F));
    c->SetColorHoliday(QColor(0xFF, 0x80, 0x00));
    c->SetColorLunarHolDay(QColor(0x53, 0x53, 0xFF));
    c->SetColorCnHolDay(QColor(0xFF, 0x80, 0x00));
    c->SetColorSelectedStart(QColor(0x00, 0xAE, 0x53));
    c->SetColorSelectedEnd(QColor(0x00, 0xD5, 0x65));
    c->SetColorSelectedFrame(QColor(0x00, 0x93, 0x46));
    c->SetColorWeekNum(QColor(0x80, 0x80, 0x80));
    c->SetColorShowFrame(QColor(0x80, 0x80, 0x80));
    c->SetColorBackYear(QColor(0xFF, 0xE8, 0xDD));
    c->SetColorBackMonth(QColor(0xEB, 0xEB, 0xEB));
    c->SetColorTitleToday(QColor(0x00, 0x00, 0xFF));
    c->SetColorTitleMonth(QColor(0x80, 0x80, 0xC0));
    c->SetColorTitleYear(QColor(0x00, 0x00, 0xFF));
    c->SetColorTitleAnimalsYear(QColor(0x00, 0x00, 0x00));
}

void TMainFrm::paintEvent(QPaintEvent*)
{
    // shpBG: white, with an outline of #D8E3F3.
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(0xD8, 0xE3, 0xF3));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TMainFrm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int dx = width() - kDesignWidth;
    const int dy = height() - kDesignHeight;
    for (const Placed& p : FPlaced) {
        QRect r = p.design;
        if (p.anchor == Anchor::TopRight)
            r.translate(dx, 0);
        else if (p.anchor == Anchor::AllEdges)
            r.adjust(0, 0, dx, dy);
        p.widget->setGeometry(r);
    }
    // Inside the right panel: the calendar on top at its height of 250, the editor below.
    pnlABC->setGeometry(pngRight->rect());
    const QRect inner = pnlABC->contentsRect();
    chnRili->setGeometry(inner.left(), inner.top(), inner.width(), 250);
    rdtAbc->setGeometry(inner.left(), inner.top() + 250, inner.width(), std::max(0, inner.height() - 250));
}

// ---------------------------------------------------------------------------
// Moving and sizing

void TMainFrm::imgBGMouseDown()
{
    if (QWindow* w = windowHandle())
        w->startSystemMove();
}

Qt::Edges TMainFrm::EdgesAt(const QPoint& globalPos) const
{
    const QPoint p = mapFromGlobal(globalPos);
    Qt::Edges edges;
    if (!rect().contains(p))
        return edges;
    if (p.x() < kFrameWidth)
        edges |= Qt::LeftEdge;
    if (p.x() >= width() - kFrameWidth)
        edges |= Qt::RightEdge;
    if (p.y() < kFrameWidth)
        edges |= Qt::TopEdge;
    if (p.y() >= height() - kFrameWidth)
        edges |= Qt::BottomEdge;
    return edges;
}

bool TMainFrm::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (watched == lblSet && t == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lblSetClick();
        return true;
    }
    if ((t == QEvent::MouseMove || t == QEvent::MouseButtonPress) && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        auto* me = static_cast<QMouseEvent*>(event);
        const Qt::Edges edges = EdgesAt(me->globalPosition().toPoint());
        if (t == QEvent::MouseButtonPress && edges && me->button() == Qt::LeftButton) {
            if (QWindow* w = windowHandle(); w && w->startSystemResize(edges))
                return true;
        }
        if (t == QEvent::MouseMove && me->buttons() == Qt::NoButton && edges != FCursorEdges) {
            FCursorEdges = edges;
            if (!edges)
                unsetCursor();
            else if (edges == Qt::LeftEdge || edges == Qt::RightEdge)
                setCursor(Qt::SizeHorCursor);
            else if (edges == Qt::TopEdge || edges == Qt::BottomEdge)
                setCursor(Qt::SizeVerCursor);
            else if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge))
                setCursor(Qt::SizeFDiagCursor);
            else
                setCursor(Qt::SizeBDiagCursor);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Caption buttons: each shows exactly one of its three pictures.

void TMainFrm::ShowCloseState(TImage* shown)
{
    for (TImage* img : {img_close_normal, img_close_highlight, img_close_down})
        img->setVisible(img == shown);
    shown->raise();
}

void TMainFrm::ShowMiniState(TImage* shown)
{
    for (TImage* img : {img_mini_normal, img_mini_highlight, img_mini_down})
        img->setVisible(img == shown);
    shown->raise();
}

void TMainFrm::img_close_normalMouseMove()
{
    ShowCloseState(img_close_highlight);
    ShowMiniState(img_mini_normal);
}

void TMainFrm::img_close_highlightMouseDown()
{
    // The down picture covers the highlight one, which keeps the press, so the
    // click that began on it completes on release.
    img_close_down->show();
    img_close_down->raise();
    ShowMiniState(img_mini_normal);
}

void TMainFrm::img_mini_normalMouseMove()
{
    ShowCloseState(img_close_normal);
    ShowMiniState(img_mini_highlight);
}

void TMainFrm::img_mini_highlightMouseDown()
{
    img_mini_down->show();
    img_mini_down->raise();
    ShowCloseState(img_close_normal);
}

void TMainFrm::imgBGMouseMove()
{
    ShowCloseState(img_close_normal);
    ShowMiniState(img_mini_normal);
}

void TMainFrm::img_close_highlightClick()
{
    SaveNoteAndBounds();
    FClosing = true;
    close();
    QApplication::quit();
}

void TMainFrm::img_mini_highlightClick()
{
    // Minimised to the task bar; the window manager brings it back from there.
    showMinimized();
    ShowCloseState(img_close_normal);
    ShowMiniState(img_mini_normal);
}

void TMainFrm::closeEvent(QCloseEvent* event)
{
    // A close from the window manager does what the close button does.
    if (!FClosing) {
        FClosing = true;
        SaveNoteAndBounds();
        QApplication::quit();
    }
    QWidget::closeEvent(event);
}

// ---------------------------------------------------------------------------
// Settings menu

void TMainFrm::lblSetClick()
{
    // From the first click on, a right click on the label opens the menu too.
    if (lblSet->contextMenuPolicy() != Qt::CustomContextMenu) {
        lblSet->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(lblSet, &QWidget::customContextMenuRequested, this,
                [this](const QPoint& pos) { popSysset->popup(lblSet->mapToGlobal(pos)); });
    }
    popSysset->popup(lblSet->mapToGlobal(QPoint(0, lblSet->height())));
}

void TMainFrm::OpenSitePage(const QString& path, const QString& localPage)
{
    // The maker's site, when its base address is configured; else the local page.
    QString base;
    if (const auto lines = platform::ReadGbkLines(platform::ResolvePath(QStringLiteral("data\\site.ini")));
        lines && !lines->isEmpty())
        base = lines->first().trimmed();
    const QUrl site(base);
    if (!base.isEmpty() && site.isValid() && (site.scheme() == QLatin1String("http") || site.scheme() == QLatin1String("https"))) {
        while (base.endsWith(QLatin1Char('/')))
            base.chop(1);
        OpenUrl(QUrl(base + path));
        return;
    }
    const QString local = platform::ResolvePath(localPage);
    if (QFileInfo::exists(local))
        OpenUrl(QUrl::fromLocalFile(local));
}

void TMainFrm::N_helpClick()
{
    OpenSitePage(QStringLiteral("/help4/rili1.htm"), QStringLiteral("source\\Navigate\\help.htm"));
}

void TMainFrm::N_SubmitClick()
{
    OpenSitePage(QStringLiteral("/help4/rili2.htm"), QStringLiteral("source\\Navigate\\feedback.htm"));
}

void TMainFrm::N_ExitPrjClick()
{
    // Ends at once: no note save, no FormSize.ini.
    FClosing = true;
    QApplication::exit(0);
}
