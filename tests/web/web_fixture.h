#pragma once
// A temporary program directory with the supplied local page, and the
// connection state pinned, for one test.

#include "platform/gbk_text.h"
#include "platform/internet.h"
#include "platform/program_dir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class WebFixture {
public:
    explicit WebFixture(bool withLocalPage = true)
    {
        platform::SetProgramDirOverride(tmp.path());
        QDir(tmp.path()).mkpath(QStringLiteral("data"));
        if (withLocalPage) {
            QDir(tmp.path()).mkpath(QStringLiteral("source/Navigate"));
            const QString supplied = qEnvironmentVariable("DORVEL_DIST_DIR") + QStringLiteral("/source/Navigate/default.htm");
            ok = QFile::copy(supplied, localPage());
        } else {
            ok = tmp.isValid();
        }
        setOnline(true);
    }
    ~WebFixture()
    {
        platform::SetProgramDirOverride({});
        platform::SetConnectionStateProviderForTesting({});
    }
    WebFixture(const WebFixture&) = delete;
    WebFixture& operator=(const WebFixture&) = delete;

    QString localPage() const { return tmp.filePath(QStringLiteral("source/Navigate/default.htm")); }

    static void setOnline(bool online)
    {
        platform::SetConnectionStateProviderForTesting([online] { return online; });
    }

    bool writeSite(const QString& firstLine) const
    {
        return platform::WriteGbkLines(tmp.filePath(QStringLiteral("data/site.ini")), {firstLine});
    }

    QTemporaryDir tmp;
    bool ok = false;
};
