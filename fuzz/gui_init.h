#pragma once
// Text documents and fonts need a QGuiApplication; one offscreen instance serves
// the whole fuzzing run.

#include <QGuiApplication>

inline void InitGuiOnce()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}
