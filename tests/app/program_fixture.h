#pragma once
// A fresh copy of the built program directory for each test, with the clock pinned
// and the message boxes replaced by recorders.

#include "app/data_module.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "platform/clock.h"
#include "platform/program_dir.h"
#include "platform/rtf.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QVariant>

#include <memory>

inline QStringList& RecordedMessages()
{
    static QStringList messages;
    return messages;
}

inline void RecordMessage(const QString& message)
{
    RecordedMessages().append(message);
}

// Copies the program directory the build made (DORVEL_DIST_DIR) into a temporary
// folder, leaving out the executables, and points the program at it.
class ProgramFixture {
public:
    ProgramFixture()
    {
        const QString dist = qEnvironmentVariable("DORVEL_DIST_DIR");
        ok = tmp.isValid() && !dist.isEmpty() && copyTree(dist, tmp.path());
        platform::SetProgramDirOverride(tmp.path());
        RecordedMessages().clear();
        TDM::ShowFailure = RecordMessage;
        TMainFrm::ShowMessage = RecordMessage;
        TMainFrm::UseWebPanel = false; // the web panel has tests of its own
    }
    ~ProgramFixture()
    {
        ShutDown();
        platform::SetProgramDirOverride({});
        platform::SetNowForTesting({});
    }
    ProgramFixture(const ProgramFixture&) = delete;
    ProgramFixture& operator=(const ProgramFixture&) = delete;

    QString path(const QString& relative) const { return tmp.filePath(relative); }

    QByteArray read(const QString& relative) const
    {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void write(const QString& relative, const QByteArray& bytes) const
    {
        QFile f(path(relative));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }

    // Runs SQL on the note database through a connection of its own.
    QVariantList query(const QString& sql) const
    {
        QVariantList rows;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
            db.setDatabaseName(path(QStringLiteral("Data/UserData.mdb")));
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec(sql))
                    while (q.next())
                        rows.append(q.value(0));
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
        return rows;
    }

    // The plain text of the day's stored note (the first row), or "<no row>".
    QString storedText(const QString& key) const
    {
        const QVariantList rows =
            query(QStringLiteral("select data from UserCon where conIndex = '%1' order by rowid").arg(key));
        if (rows.isEmpty())
            return QStringLiteral("<no row>");
        QTextDocument doc;
        platform::LoadNoteDocument(rows[0].toByteArray(), doc);
        return doc.toPlainText();
    }

    bool ok = false;
    QTemporaryDir tmp;

private:
    static bool copyTree(const QString& from, const QString& to)
    {
        QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        const QDir src(from);
        while (it.hasNext()) {
            const QString file = it.next();
            const QFileInfo info = it.fileInfo();
            const QString target = to + QLatin1Char('/') + src.relativeFilePath(file);
            if (info.isDir()) {
                if (!QDir().mkpath(target))
                    return false;
            } else if (!info.isExecutable()) {
                if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
                    return false;
            }
        }
        return true;
    }
};
