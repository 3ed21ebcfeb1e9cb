#pragma once
// The notes the crash test writes: a deterministic document for every (day, version),
// so the checker can rebuild the exact bytes a save stored.

#include "platform/rtf.h"

#include <QByteArray>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>

inline const char* const kCrashDays[] = {"20240301", "20240302", "20240303", "20240304", "20240305"};

inline QByteArray CrashNote(const QString& day, long long version)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("宋体"))); // the same bytes with or without a GUI
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("%1 第%2版 ").arg(day).arg(version));
    QTextCharFormat red;
    red.setForeground(QColor(200, 0, 0));
    // Between a few hundred bytes and about 20 KB, like notes that grow key by key.
    const int chars = int(50 + (version * 37) % 6000);
    c.insertText(QString(chars, QChar(u'记')), red);
    return platform::WriteRtf(doc);
}
