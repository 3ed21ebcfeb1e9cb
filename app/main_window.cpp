#include "main_window.h"

#include "data_module.h"
#include "note_store.h"
#include "settings_files.h"

#include "calendar/chn_calendar_picker.h"
#include "lunar/date_time.h"
#include "platform/clock.h"
#include "platform/program_dir.h"
#include "platform/rtf.h"
#include "wallpaper/global.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

bool NoteReady = false;
TMainFrm* MainFrm = nullptr;

namespace {
void showMessageBox(const QString& message)
{
    QMessageBox::information(MainFrm, QApplication::applicationDisplayName(), message);
}

// 一 .. 日 for Monday .. Sunday.
QString weekdayChar(const QDate& d)
{
    static const char16_t names[] = u"一二三四五六日";
    return QString(QChar(names[d.dayOfWeek() - 1]));
}
} // namespace

void (*TMainFrm::ShowMessage)(const QString& message) = showMessageBox;

TMainFrm::TMainFrm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(QStringLiteral("Dorvel桌面日历"));
    setMinimumSize(750, 500);

    lblDateTime = new QLabel(this);
    lblDateTime->setObjectName(QStringLiteral("lblDateTime"));

    chnRili = new calendar::TChnCalendar(this);
    chnRili->setObjectName(QStringLiteral("chnRili"));
    chnRili->setFixedHeight(250);
    chnRili->OnChange = [this](QObject* Sender) { chnRiliChange(Sender); };

    rdtAbc = new QTextEdit(this);
    rdtAbc->setObjectName(QStringLiteral("rdtAbc"));
    rdtAbc->setFrameShape(QFrame::NoFrame);
    rdtAbc->setLineWrapMode(QTextEdit::WidgetWidth);
    rdtAbc->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rdtAbc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont noteFont(QStringLiteral("宋体"));
    noteFont.setPixelSize(15);
    rdtAbc->document()->setDefaultFont(noteFont);
    rdtAbc->setStyleSheet(QStringLiteral("QTextEdit { background: #C0DCC0; }"));
    connect(rdtAbc, &QTextEdit::textChanged, this, &TMainFrm::rdtAbcChange);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(lblDateTime);
    layout->addWidget(chnRili);
    layout->addWidget(rdtAbc, 1);

    FormCreate();
}

void TMainFrm::FormCreate()
{
    // 1. The background list starts empty.
    FBackgroundName.clear();
    BackgroundCount = 0;
    BackgroundList.clear();
    FNotePage = 0;

    // 2. The month picture of the start-up month, for the whole run.
    const QDateTime now = platform::Now();
    const QDate today = now.date();
    FMonthPicturePath = platform::ResolvePath(
        QStringLiteral("source\\Month\\%1%2.bmp").arg(today.year(), 4, 10, QLatin1Char('0')).arg(today.month(), 2, 10, QLatin1Char('0')));

    // 3, 4. Setting the calendar raises its change event, which loads today's note.
    NoteReady = false;
    chnRili->SetDateTime(platform::ToDateTimeValue(now));

    // 5. Set once, never refreshed.
    lblDateTime->setText(QStringLiteral("今天是 %1年%2月%3日(%4)")
                             .arg(today.year())
                             .arg(today.month())
                             .arg(today.day())
                             .arg(weekdayChar(today)));

    // 6, 7. The ask-before-apply flag.
    AskBeforeApply = true;
    ApplyConfirmed = false;
    ConfigSetBgPath = platform::ResolvePath(QStringLiteral("data\\configSetBg.ini"));
    bool ask = true;
    if (ReadAskBeforeApply(ConfigSetBgPath, ask))
        AskBeforeApply = ask;
    else
        WriteAskBeforeApply(ConfigSetBgPath, true);

    // 8. The background list is read by the wallpaper composer once it is in place.
}

void TMainFrm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TMainFrm::FormShow()
{
    LoadFormSize();
    ColorNoteEditor();
    LoadDayNote();
}

void TMainFrm::ColorNoteEditor()
{
    const char* color = nullptr;
    switch (FNotePage) {
    case 1: color = "#FAFCE1"; break;
    case 2: color = "#FBF0FC"; break;
    case 3: color = "#E0FFE3"; break;
    default: return;
    }
    rdtAbc->setStyleSheet(QStringLiteral("QTextEdit { background: %1; }").arg(QLatin1String(color)));
}

void TMainFrm::LoadFormSize()
{
    const QString path = platform::ResolvePath(QStringLiteral("data\\FormSize.ini"));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const FormSizeValues defaults = FormSizeValues::Defaults(screenSize);
    FormSizeValues v;
    const bool existed = ReadFormSize(path, defaults, v);
    if (!existed)
        v = defaults;
    FNotePage = v.NotePage;
    resize(v.Width, v.Height);
    move(v.Left, v.Top);
    if (!existed)
        WriteFormSize(path, v);
}

void TMainFrm::SaveFormSize()
{
    FormSizeValues v;
    v.NotePage = FNotePage;
    v.Width = FSavedWidth;
    v.Height = FSavedHeight;
    v.Left = FSavedLeft;
    v.Top = FSavedTop;
    WriteFormSize(platform::ResolvePath(QStringLiteral("data\\FormSize.ini")), v);
}

QString TMainFrm::DayKey() const
{
    int y = 0, m = 0, d = 0;
    if (!lunar::DecodeDate(chnRili->DateTime(), y, m, d))
        return {};
    return NoteStore::DayKey(QDate(y, m, d));
}

void TMainFrm::LoadDayNote()
{
    const QString key = DayKey();
    NoteReady = false;
    if (!DM || !DM->Connected()) {
        ShowMessage(QStringLiteral("加载记事内容失败！"));
        return;
    }
    const NoteStore::LoadResult r = NoteStore(DM->AdoCon()).Load(key);
    if (!r.ok) {
        ShowMessage(QStringLiteral("加载记事内容失败！"));
        return;
    }
    platform::LoadNoteDocument(r.data, *rdtAbc->document());
    NoteReady = true;
}

void TMainFrm::SaveDayNote()
{
    const QString key = DayKey();
    NoteReady = false;
    const QByteArray rtf = platform::WriteRtf(*rdtAbc->document());
    if (DM && DM->Connected())
        NoteStore(DM->AdoCon()).Save(key, rtf);
    NoteReady = true;
}

void TMainFrm::chnRiliChange(QObject*)
{
    LoadDayNote();
}

void TMainFrm::rdtAbcChange()
{
    if (FNotePage != 0 && NoteReady)
        SaveDayNote();
}

void TMainFrm::SaveNoteAndBounds()
{
    if (NoteReady)
        SaveDayNote();
    FSavedWidth = width();
    FSavedHeight = height();
    FSavedLeft = x();
    FSavedTop = y();
    SaveFormSize();
}

void TMainFrm::CloseAndSave()
{
    SaveNoteAndBounds();
    FClosing = true;
    close();
    QApplication::quit();
}

void TMainFrm::closeEvent(QCloseEvent* event)
{
    // A close from the window manager is the same as the close button.
    if (!FClosing) {
        FClosing = true;
        SaveNoteAndBounds();
        QApplication::quit();
    }
    event->accept();
}
