// What the web panel costs the start of the program, and how much memory the
// program uses with its browser processes.
//
// Every iteration starts a fresh process (this executable with --child) on a
// copy of the program directory. The process builds a window with the main
// window's frame and left panel (pnlLeft, pnlWeb at 1, 1, an editor on the
// right), with or without the web panel, and the figures are timed from the
// spawn: the window shown (its first paint), and with the panel also the
// panel's page loaded. The child also reports the longest stall of its event
// loop between the window shown and the page loaded, and the proportional set
// size (PSS) of itself and all its descendants once the page is up (without the
// panel, after the same settling time), so the difference is what the browser
// costs.
//
//   web_bench                  # offscreen, or under xvfb-run for a real X server

#include "app/web/web_panel.h"
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
#include <QTextEdit>
#include <QTimer>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>

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

// The window reports its first paint, the moment the user sees it.
class Frame : public QWidget {
public:
    qint64 setupMs = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (FPainted)
            return;
        FPainted = true;
        std::printf("shown %lld\n", static_cast<long long>(setupMs));
        std::fflush(stdout);
    }

private:
    bool FPainted = false;
};

int runChild(int argc, char** argv, bool withPanel)
{
    QApplication app(argc, argv);
    platform::SetProgramDirOverride(qEnvironmentVariable("WEB_BENCH_PROGRAM_DIR"));
    Frame window;
    window.resize(742, 466);
    auto* pnlLeft = new QWidget(&window);
    pnlLeft->setGeometry(4, 80, 302, 441);
    auto* pnlWeb = new QWidget(pnlLeft);
    pnlWeb->setGeometry(1, 1, 300, 250);
    auto* rdtAbc = new QTextEdit(&window);
    rdtAbc->setGeometry(315, 330, 423, 131);
    rdtAbc->setPlainText(QStringLiteral("今天的记事"));
    QElapsedTimer setup;
    setup.start();
    QWebEngineView* webLink = withPanel ? SetupWebLink(pnlWeb) : nullptr;
    window.setupMs = setup.elapsed();
    window.show();
    if (webLink)
        StartNavigateThr(webLink); // the last step of the window's show
    if (!QTest::qWaitForWindowExposed(&window, 20000))
        return 2;
    if (!webLink) {
        QTest::qWait(1500); // the same settling time as with the panel
        const auto [kb, processes] = treePss();
        std::printf("pss %ld %d\n", kb, processes);
        std::fflush(stdout);
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
    QSignalSpy loaded(webLink, &QWebEngineView::loadFinished);
    if (!loaded.wait(30000))
        return 3;
    tick.stop();
    std::printf("loaded %lld\n", static_cast<long long>(longestGap));
    std::fflush(stdout);
    QTest::qWait(1500); // let the browser processes settle
    const auto [kb, processes] = treePss();
    std::printf("pss %ld %d\n", kb, processes);
    std::fflush(stdout);
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
    double shown = 0, setupMs = 0, loaded = 0, gap = 0, pss = 0, processes = 0;
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
                if (words[0] == "shown") {
                    shown += t.nsecsElapsed() / 1e6;
                    setupMs += words.value(1).toDouble();
                }
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
        state.counters["setup_ms"] = setupMs / runs;
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
