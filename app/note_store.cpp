#include "note_store.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

QString NoteStore::DayKey(const QDate& day)
{
    return QStringLiteral("%1%2%3")
        .arg(day.year(), 4, 10, QLatin1Char('0'))
        .arg(day.month(), 2, 10, QLatin1Char('0'))
        .arg(day.day(), 2, 10, QLatin1Char('0'));
}

bool NoteStore::IsDayKey(const QString& key)
{
    if (key.size() != 8)
        return false;
    for (const QChar c : key)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

NoteStore::LoadResult NoteStore::Load(const QString& key) const
{
    LoadResult r;
    if (!IsDayKey(key)) {
        r.error = QStringLiteral("bad day key");
        return r;
    }
    QSqlQuery q(FDb);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("select data from UserCon where conIndex = ? order by rowid limit 1"))) {
        r.error = q.lastError().text();
        return r;
    }
    q.addBindValue(key);
    if (!q.exec()) {
        r.error = q.lastError().text();
        return r;
    }
    if (q.next()) {
        r.found = true;
        r.data = q.value(0).toByteArray();
    } else if (q.lastError().isValid()) {
        r.error = q.lastError().text();
        return r;
    }
    r.ok = true;
    return r;
}

bool NoteStore::Save(const QString& key, const QByteArray& data, QString* error)
{
    auto fail = [&](const QSqlQuery& q) {
        if (error)
            *error = q.lastError().text();
        return false;
    };
    if (!IsDayKey(key)) {
        if (error)
            *error = QStringLiteral("bad day key");
        return false;
    }
    QSqlQuery q(FDb);
    // An immediate transaction takes the write lock first, so the select and the
    // write see the same table even with a second program on the file.
    if (!q.exec(QStringLiteral("begin immediate")))
        return fail(q);
    bool ok = q.prepare(QStringLiteral("select rowid from UserCon where conIndex = ? order by rowid limit 1"));
    if (ok) {
        q.addBindValue(key);
        ok = q.exec();
    }
    if (ok) {
        const bool found = q.next();
        const QVariant rowid = found ? q.value(0) : QVariant();
        q.finish();
        if (found) {
            ok = q.prepare(QStringLiteral("update UserCon set data = ? where rowid = ?"));
            q.addBindValue(data);
            q.addBindValue(rowid);
        } else {
            ok = q.prepare(QStringLiteral("insert into UserCon (conIndex, data) values (?, ?)"));
            q.addBindValue(key);
            q.addBindValue(data);
        }
        ok = ok && q.exec();
    }
    if (!ok) {
        fail(q);
        QSqlQuery(FDb).exec(QStringLiteral("rollback"));
        return false;
    }
    q.finish();
    if (!q.exec(QStringLiteral("commit"))) {
        fail(q);
        QSqlQuery(FDb).exec(QStringLiteral("rollback"));
        return false;
    }
    return true;
}
