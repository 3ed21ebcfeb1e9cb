// Saves notes as fast as a typist's keystrokes would, and reports each save once it
// has returned by appending "DAY VERSION" to a log file with one write, so the log
// holds exactly the returned saves when the crash test kills the process.
//
// usage: note_crash_writer PROGRAM_DIR FIRST_VERSION LOG_FILE

#include "crash_note.h"

#include "app/data_module.h"
#include "app/note_store.h"
#include "platform/program_dir.h"

#include <QCoreApplication>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const int log = open(argv[3], O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (log < 0)
        return 2;
    platform::SetProgramDirOverride(QString::fromLocal8Bit(argv[1]));
    TDM::ShowFailure = [](const QString&) {};
    TDM dm;
    if (!dm.ConnectDatabase())
        return 1;
    NoteStore store(dm.AdoCon());
    long long version = QByteArray(argv[2]).toLongLong();
    for (unsigned i = 0;; ++i, ++version) {
        const QString day = QString::fromLatin1(kCrashDays[i % 5]);
        if (!store.Save(day, CrashNote(day, version)))
            return 3;
        char line[64];
        const int n = std::snprintf(line, sizeof line, "%s %lld\n", kCrashDays[i % 5], version);
        if (write(log, line, size_t(n)) != n)
            return 4;
    }
}
