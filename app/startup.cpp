#include "startup.h"

#include "data_module.h"
#include "main_window.h"

#include "calendar/chn_calendar_picker.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "wallpaper/composer_windows.h"

#include <QApplication>

bool StartUp()
{
    QApplication::setApplicationName(QStringLiteral("Dorvel桌面日历"));
    QApplication::setApplicationDisplayName(QStringLiteral("Dorvel桌面日历"));
    platform::InstallFontSubstitutions();
    // The calendar asks the program's one clock for "now", so tests can pin it.
    calendar::TChnCalendar::SetNowFunction([] { return platform::ToDateTimeValue(platform::Now()); });

    DM = new TDM;
    DM->DataModuleCreate();
    if (!DM->Connected())
        return false;

    MainFrm = new TMainFrm;
    DeskBGSetFrm = new TDeskBGSetFrm;
    PicPreviewFrm = new TPicPreviewFrm;
    PicSelFrm = new TPicSelFrm;
    InforFrm = new TInforFrm;
    MixPicFrm = new TMixPicFrm;
    return true;
}

void ShowMainWindow()
{
    MainFrm->show();
}

void ShutDown()
{
    delete MixPicFrm;
    MixPicFrm = nullptr;
    delete InforFrm;
    InforFrm = nullptr;
    delete PicSelFrm;
    PicSelFrm = nullptr;
    delete PicPreviewFrm;
    PicPreviewFrm = nullptr;
    delete DeskBGSetFrm;
    DeskBGSetFrm = nullptr;
    delete MainFrm;
    MainFrm = nullptr;
    delete DM;
    DM = nullptr;
}
