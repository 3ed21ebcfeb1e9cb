#include "application.h"

#include <QMessageBox>

#include <exception>

namespace {
void showErrorBox(const QString& text)
{
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(), text);
}
} // namespace

void (*TApplication::ShowError)(const QString& text) = showErrorBox;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowError(QStringLiteral("未知错误"));
    }
    return false;
}
