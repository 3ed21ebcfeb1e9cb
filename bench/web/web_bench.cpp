// What the web panel costs the start of the program, and how much memory the
// program uses with its browser processes.
//
// Every iteration starts the program afresh (this executable with --child: the
// real start-up and main window, on a copy of the program directory), with or
// without the web panel, and times from the spawn: the main window shown (its
// first paint), and with the panel also the panel's page loaded. The child also
// reports the longest stall of its event loop between the window shown and the
// page loaded, and the proportional set size (PSS) of itself and all its
// descendants once the page is up (without the panel, after the same settling
// time), so the difference is what the browser costs.
//
//   web_bench                  # offscreen, or under xvfb-run for a real X server

#include "app/main_window.h"
#include "app/startup.h"
#include "platform/program_dir.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

namespace {

// --- the child: one start of the program -------------------------------------

// PSS in kB of one process, from /proc/<pid>/smaps_rollup.
long pssOf(const QString& pid)
{
    QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    // /proc files report no size: read until the end rather than test atEnd.
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray& line : lines)
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').value(0).toLong();
    return 0;
}

// PSS of this process and all its descendants, and how many there are.
std::pair<long, int> treePss()
{
    std::map<QString, QString> parentOf;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (pid.toInt() <= 0)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray s = stat.readAll();
        const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
        parentOf[pid] = QString::fromLatin1(fields.value(1));
    }
    const QString self = QString::number(QCoreApplication::applicationPid());
    long kb = 0;
    int count = 0;
    for (const auto& [pid, parent] : parentOf) {
        QString p = pid;
        while (!p.isEmpty() && p != self && p != u"1" && p != u"0")
            p = parentOf.count(p) ? parentOf[p] : QString();
        if (p == self) {
            kb += pssOf(pid);
            ++count;
        }
    }
    return {kb, count};
}

// Reports the main window's first paint, the moment the user sees it.
class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !FSeen) {
            FSeen = true;
            std::printf("shown\n");
            std::fflush(stdout);
        }
        return false;
    }

private:
    bool FSeen = false;
};

int runChild(int argc, char** argv, bool withPanel)
{
    QApplication app(argc, argv);
    platform::SetProgramDirOverride(qEnvironmentVariable("WEB_BENCH_PROGRAM_DIR"));
    TMainFrm::UseWebPanel = withPanel;
    if (!StartUp())
        return 1;
    MainFrm->installEventFilter(new FirstPaint(MainFrm));
    QWebEngineView* webLink = MainFrm->webLink;
    std::unique_ptr<QSignalSpy> loaded;
    if (webLink)
        loaded = std::make_unique<QSignalSpy>(webLink, &QWebEngineView::loadFinished);
    ShowMainWindow(); // its show starts the panel's thread
    if (!QTest::qWaitForWindowExposed(MainFrm, 20000))
        return 2;
    if (!webLink) {
        QTest::qWait(1500); // the same settling time as with the panel
        const auto [kb, processes] = treePss();
        std::printf("pss %ld %d\n", kb, processes);
        std::fflush(stdout);
        ShutDown();
        return 0;
    }

    // The longest gap between ticks of a 5 ms timer: how long the window could not answer.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
    });
    sinceTick.start();
    tick.start(5);
    if (loaded->isEmpty() && !loaded->wait(30000))
        return 3;
    tick.stop();
    std::printf("loaded %lld\n", static_cast<long long>(longestGap));
    std::fflush(stdout);
    QTest::qWait(1500); // let the browser processes settle
    const auto [kb, processes] = treePss();
    std::printf("pss %ld %d\n", kb, processes);
    std::fflush(stdout);
    ShutDown();
    return 0;
}

// --- the parent: Google Benchmark ---------------------------------------------

QString& programDir()
{
    static QString dir;
    return dir;
}

QString& selfPath()
{
    static QString path;
    return path;
}

void BM_StartToShown(benchmark::State& state)
{
    const bool withPanel = state.range(0) != 0;
    double shown = 0, loaded = 0, gap = 0, pss = 0, processes = 0;
    int runs = 0;
    for (auto _ : state) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("WEB_BENCH_PROGRAM_DIR"), programDir());
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer t;
        t.start();
        child.start(selfPath(), {QStringLiteral("--child"), withPanel ? QStringLiteral("panel") : QStringLiteral("none")});
        while (child.waitForReadyRead(30000) || child.canReadLine()) {
            while (child.canReadLine()) {
                const QList<QByteArray> words = child.readLine().trimmed().split(' ');
                if (words[0] == "shown")
                    shown += t.nsecsElapsed() / 1e6;
                else if (words[0] == "loaded") {
                    loaded += t.nsecsElapsed() / 1e6;
                    gap += words.value(1).toDouble();
                } else if (words[0] == "pss") {
                    pss += words.value(1).toDouble() / 1024.0;
                    processes += words.value(2).toDouble();
                }
            }
            if (child.state() == QProcess::NotRunning)
                break;
        }
        child.waitForFinished(30000);
        if (child.exitCode() != 0) {
            state.SkipWithError("the program did not start");
            return;
        }
        ++runs;
    }
    state.counters["shown_ms"] = shown / runs;
    state.counters["pss_MB"] = pss / runs;
    state.counters["processes"] = processes / runs;
    if (withPanel) {
        state.counters["loaded_ms"] = loaded / runs;
        state.counters["longest_stall_ms"] = gap / runs;
    }
}
BENCHMARK(BM_StartToShown)->ArgName("panel")->Arg(0)->Arg(1)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

bool copyProgramDir(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QDir src(from);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + u'/' + src.relativeFilePath(file);
        if (it.fileInfo().isDir() ? !QDir().mkpath(target)
                                  : (!it.fileInfo().isExecutable() && !QFile::copy(file, target)))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, std::strcmp(argv[2], "panel") == 0);

    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir tmp;
    if (!tmp.isValid() || !copyProgramDir(QStringLiteral(DORVEL_DIST_DIR), tmp.path())) {
        std::fprintf(stderr, "cannot copy the program directory %s\n", DORVEL_DIST_DIR);
        return 1;
    }
    programDir() = tmp.path();
    selfPath() = QCoreApplication::applicationFilePath();
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
