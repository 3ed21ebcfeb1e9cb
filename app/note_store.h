#pragma once
// The notes: one RTF document per day in table UserCon (conIndex = YYYYMMDD, data).
// Only this class speaks SQL; it never creates, alters or drops a table and never
// deletes a row.

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

class QDate;

class NoteStore {
public:
    explicit NoteStore(QSqlDatabase db) : FDb(std::move(db)) {}

    // The day key: four-digit year, two-digit month and day, e.g. 20100601.
    static QString DayKey(const QDate& day);
    // Whether the text is a day key: exactly eight ASCII digits.
    static bool IsDayKey(const QString& key);

    struct LoadResult {
        bool ok = false;    // the select and the read succeeded
        bool found = false; // a row exists for the key
        QByteArray data;    // its document (empty for a null or empty column)
        QString error;
    };
    // The note of the day; with several rows, the first one.
    LoadResult Load(const QString& key) const;

    // Stores the document: updates the first row of the key, or inserts one. One
    // transaction; false (and nothing stored) on any failure.
    bool Save(const QString& key, const QByteArray& data, QString* error = nullptr);

private:
    QSqlDatabase FDb;
};
