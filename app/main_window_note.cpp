// The main window's start-up steps, its saved bounds, and the day-note editor
// bound to the note store.

#include "main_window.h"

#include "application.h"
#include "data_module.h"
#include "note_store.h"
#include "settings_files.h"
#include "web/web_panel.h"

#include "calendar/chn_calendar_picker.h"
#include "lunar/date_time.h"
#include "platform/clock.h"
#include "platform/program_dir.h"
#include "platform/rtf.h"
#include "wallpaper/global.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>

bool NoteReady = false;

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

void TMainFrm::FormCreate()
{
    // 1. The background list starts empty.
    FBackgroundName.clear();
    BackgroundCount = 0;
    BackgroundList.clear();
    FNotePage = 0;

    // 2. The month picture of the start-up month, kept for the whole run.
    const QDateTime now = platform::Now();
    const QDate today = now.date();
    FMonthPicturePath = platform::ResolvePath(QStringLiteral("source\\Month\\%1%2.bmp")
                                                  .arg(today.year(), 4, 10, QLatin1Char('0'))
                                                  .arg(today.month(), 2, 10, QLatin1Char('0')));

    // 3, 4. Setting the calendar raises its change event, which loads today's note.
    NoteReady = false;
    chnRili->SetDateTime(platform::ToDateTimeValue(now));

    // 5. Set once, never refreshed.
    lblDateTime->setText(QStringLiteral("今天是 %1年%2月%3日(%4)")
                             .arg(today.year())
                             .arg(today.month())
                             .arg(today.day())
                             .arg(weekdayChar(today)));
    lblDateTime->adjustSize();

    // 6, 7. The ask-before-apply flag.
    AskBeforeApply = true;
    ApplyConfirmed = false;
    ConfigSetBgPath = platform::ResolvePath(QStringLiteral("data\\configSetBg.ini"));
    bool ask = true;
    if (ReadAskBeforeApply(ConfigSetBgPath, ask))
        AskBeforeApply = ask;
    else
        WriteAskBeforeApply(ConfigSetBgPath, true);

    // 8. The background list. The window is being built outside the event loop,
    // so a list file that cannot be read is reported here.
    try {
        LoadBackgroundList(false, FBackgroundName, FBackgroundIndex);
    } catch (const std::exception& e) {
        TApplication::ShowError(QString::fromUtf8(e.what()));
    }
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
    if (webLink)
        StartNavigateThr(webLink);
}

void TMainFrm::ColorNoteEditor()
{
    const char* color = nullptr;
    switch (FNotePage) {
    case 1: color = "#FAFCE1"; break;
    case 2: color = "#FBF0FC"; break;
    case 3: color = "#E0FFE3"; break;
    default: return; // any other page keeps #C0DCC0
    }
    rdtAbc->setStyleSheet(QStringLiteral("QTextEdit { background: %1; }").arg(QLatin1String(color)));
}

void TMainFrm::LoadFormSize()
{
    const QString path = platform::ResolvePath(QStringLiteral("data\\FormSize.ini"));
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QSize screenSize = primary ? primary->geometry().size() : QSize(1024, 768);
    const FormSizeValues defaults = FormSizeValues::Defaults(screenSize);
    FormSizeValues v;
    const bool existed = ReadFormSize(path, defaults, v);
    if (!existed)
        v = defaults;
    FNotePage = v.NotePage;
    resize(v.Width, v.Height);
    // Bounds wholly outside every screen (a monitor unplugged) come back centred on
    // the primary screen; bounds at least partly on a screen are applied as saved.
    const QRect saved(v.Left, v.Top, width(), height());
    bool visible = false;
    for (const QScreen* s : QGuiApplication::screens())
        visible = visible || s->geometry().intersects(saved);
    if (visible || QGuiApplication::screens().isEmpty())
        move(v.Left, v.Top);
    else
        move((screenSize.width() - width()) / 2, (screenSize.height() - 30 - height()) / 2);
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

void TMainFrm::SaveNoteAndBounds()
{
    // After a failed load the editor may still hold another day's note: saving it
    // would overwrite the selected day's note, so the save waits for NoteReady.
    if (NoteReady)
        SaveDayNote();
    FSavedWidth = width();
    FSavedHeight = height();
    FSavedLeft = x();
    FSavedTop = y();
    SaveFormSize();
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
    const NoteStore::LoadResult r =
        DM && DM->Connected() ? NoteStore(DM->AdoCon()).Load(key) : NoteStore::LoadResult{};
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
        NoteStore(DM->AdoCon()).Save(key, rtf); // a failed save is silent
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

void TMainFrm::rdtAbcExit()
{
    if (NoteReady)
        SaveDayNote();
}

void TMainFrm::ReplaceSelection(const QString& text)
{
    QTextCursor c = rdtAbc->textCursor();
    c.insertText(text);
    rdtAbc->setTextCursor(c);
}

void TMainFrm::btnGouClick()
{
    ReplaceSelection(QStringLiteral("√"));
}

void TMainFrm::btnXClick()
{
    ReplaceSelection(QStringLiteral("×"));
}

void TMainFrm::imgDateClick()
{
    // Today from the clock, not the calendar's day: " 2010.06.01 (二)".
    const QDate today = platform::Now().date();
    ReplaceSelection(QStringLiteral(" %1 (%2)").arg(today.toString(QStringLiteral("yyyy.MM.dd")), weekdayChar(today)));
}

void TMainFrm::imgRedColorClick()
{
    if (!rdtAbc->hasFocus())
        return;
    const QColor c = ChooseColor(this, rdtAbc->textColor());
    if (c.isValid())
        rdtAbc->setTextColor(c);
}
