// A note is saved at every keystroke: what one save and one load cost on a real
// database file, for notes of 1 KB, 20 KB and 200 KB of RTF. Each iteration is
// timed on its own so the median and the 99th percentile can be reported.

#include "app/note_store.h"
#include "platform/rtf.h"

#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

// A document whose RTF is about the given size, with some coloured Chinese text.
void fillDocument(QTextDocument& doc, int rtfBytes)
{
    QTextCursor c(&doc);
    QTextCharFormat red;
    red.setForeground(QColor(200, 0, 0));
    int i = 0;
    while (platform::WriteRtf(doc).size() < rtfBytes) {
        for (int k = 0; k < std::max(1, rtfBytes / 10240); ++k, ++i) {
            c.insertText(QStringLiteral("今天记事第%1条：买菜、做饭、写代码。").arg(i));
            c.insertText(QStringLiteral("重要 "), red);
            c.insertText(QStringLiteral("remember the meeting at 10:00 "));
            if (i % 4 == 3)
                c.insertBlock();
        }
    }
}

struct Db {
    QTemporaryDir dir;
    QSqlDatabase db;
    Db()
    {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(dir.filePath(QStringLiteral("UserData.mdb")));
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("create table UserCon (conIndex varchar(8) not null, data blob)"));
        q.exec(QStringLiteral("create index UserCon_conIndex on UserCon (conIndex)"));
        q.exec(QStringLiteral("pragma journal_mode=WAL"));
        q.exec(QStringLiteral("pragma synchronous=FULL"));
        // A year of other notes, so the key lookup is not on an empty table.
        for (int d = 0; d < 365; ++d)
            NoteStore(db).Save(QStringLiteral("2023%1").arg(d + 1000), QByteArray(2000, 'x'));
    }
    ~Db()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    }
};

void report(benchmark::State& state, std::vector<double>& us)
{
    std::sort(us.begin(), us.end());
    if (us.empty())
        return;
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

void BM_SaveDayNote(benchmark::State& state)
{
    Db db;
    QTextDocument doc;
    fillDocument(doc, int(state.range(0)));
    NoteStore store(db.db);
    std::vector<double> us;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        // What one keystroke costs: the whole document as RTF, then one row write.
        const QByteArray rtf = platform::WriteRtf(doc);
        benchmark::DoNotOptimize(store.Save(QStringLiteral("20240303"), rtf));
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    state.SetLabel(QByteArray::number(platform::WriteRtf(doc).size() / 1024).toStdString() + " KB RTF");
    report(state, us);
}

void BM_LoadDayNote(benchmark::State& state)
{
    Db db;
    QTextDocument doc;
    fillDocument(doc, int(state.range(0)));
    NoteStore store(db.db);
    store.Save(QStringLiteral("20240303"), platform::WriteRtf(doc));
    QTextDocument editor;
    std::vector<double> us;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const NoteStore::LoadResult r = store.Load(QStringLiteral("20240303"));
        platform::LoadNoteDocument(r.data, editor);
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    report(state, us);
}

} // namespace

BENCHMARK(BM_SaveDayNote)->Arg(1 << 10)->Arg(20 << 10)->Arg(200 << 10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadDayNote)->Arg(1 << 10)->Arg(20 << 10)->Arg(200 << 10)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
