#include "data_module.h"

#include "platform/program_dir.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

TDM* DM = nullptr;

namespace {
void showMessageBox(const QString& message)
{
    QMessageBox::information(nullptr, QCoreApplication::applicationName(), message);
}
} // namespace

void (*TDM::ShowFailure)(const QString& message) = showMessageBox;

TDM::TDM(QObject* parent) : QObject(parent), FConnectionName(QStringLiteral("AdoCon"))
{
    setObjectName(QStringLiteral("DM"));
}

TDM::~TDM()
{
    if (QSqlDatabase::contains(FConnectionName)) {
        QSqlDatabase::database(FConnectionName, false).close();
        QSqlDatabase::removeDatabase(FConnectionName);
    }
}

QSqlDatabase TDM::AdoCon() const
{
    return QSqlDatabase::database(FConnectionName, false);
}

bool TDM::ConnectDatabase()
{
    FConnected = false;
    if (QSqlDatabase::contains(FConnectionName)) {
        QSqlDatabase::database(FConnectionName, false).close();
        QSqlDatabase::removeDatabase(FConnectionName);
    }
    const QString path = platform::ResolvePath(QStringLiteral("Data\\UserData.mdb"));
    bool ok = QFileInfo(path).isFile();
    if (ok) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FConnectionName);
        // mode=rw: an existing file only; SQLite would otherwise create an empty one.
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        // A save runs on the GUI thread at every keystroke: with another program
        // holding the file, wait a second at most, then let the save fail silently.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1000"));
        ok = db.open();
        if (ok) {
            // Opening is lazy: reading the schema proves the file is a database we can read.
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("select count(*) from sqlite_master")) && q.next();
        }
        if (ok) {
            // The write-ahead log keeps every committed note through a crash of the
            // program, and a save costs one short append instead of a journal rewrite.
            QSqlQuery q(db);
            q.exec(QStringLiteral("pragma journal_mode=WAL"));
            q.exec(QStringLiteral("pragma synchronous=FULL"));
        }
    }
    if (!ok) {
        if (QSqlDatabase::contains(FConnectionName)) {
            QSqlDatabase::database(FConnectionName, false).close();
            QSqlDatabase::removeDatabase(FConnectionName);
        }
        ShowFailure(QStringLiteral("配置文件加载失败，请重试！"));
        return false;
    }
    FConnected = true;
    return true;
}

void TDM::DataModuleCreate()
{
    if (!ConnectDatabase())
        QCoreApplication::exit(1);
}
