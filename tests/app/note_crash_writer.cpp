// Saves notes as fast as a typist's keystrokes would, and reports each save once it
// has returned: "DAY VERSION". The crash test kills it at random moments.
//
// usage: note_crash_writer PROGRAM_DIR FIRST_VERSION

#include "crash_note.h"

#include "app/data_module.h"
#include "app/note_store.h"
#include "platform/program_dir.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
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
        std::printf("%s %lld\n", kCrashDays[i % 5], version);
        std::fflush(stdout);
    }
}
