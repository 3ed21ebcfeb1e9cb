#pragma once
// The application object. An exception that escapes an event handler is shown
// with its own text in a message box, and the program goes on.

#include <QApplication>

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the error report; tests replace it to observe it.
    static void (*ShowError)(const QString& text);
};
