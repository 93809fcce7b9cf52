// Measures the editor window with a full sequence: the time of one redraw of
// the line window while scrLine's thumb is dragged, and the time from process
// start to the window shown. Prints figures; asserts nothing.
//
//   window_bench                 the timings
//   window_bench --memory        resident memory with the full sequence shown
//   window_bench --memory-bare   resident memory of a bare Qt main window, for
//                                scale

#include "dialogs/Dialogs.h"
#include "window/controls/LineWindow.h"
#include "window/main/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <numeric>
#include <unistd.h>
#include <vector>

using namespace glowline;

namespace {

// The benchmark never opens a dialog; any that were asked for would be a
// fault in the window, reported as such.
class NoDialogs final : public Dialogs
{
public:
    Answer message(Icon, Buttons, const QString &) override { return fail(Answer::Cancel); }
    std::optional<QString> openFileName(const QString &) override { return fail(std::nullopt); }
    std::optional<QString> saveFileName(const QString &) override { return fail(std::nullopt); }
    std::optional<Rgb24> colour(Rgb24) override { return fail(std::nullopt); }
    std::optional<QString> text(const QString &, const QString &) override
    {
        return fail(std::nullopt);
    }

private:
    template <typename T> T fail(T value)
    {
        std::fprintf(stderr, "unexpected dialog\n");
        return value;
    }
};

// Milliseconds since the process was created, from the kernel's record of
// its start (in clock ticks since boot, so 10 ms resolution at 100 Hz).
double msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Field 22 (starttime); the command name in field 2 may hold blanks, so
    // count from the closing parenthesis.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return -1;
    const double startTicks = fields[19].toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

LineTable fullSequence()
{
    LineTable table(kMaxLines);
    std::uint32_t seed = 12345;
    for (int line = 1; line <= kMaxLines; ++line) {
        for (int column = 0; column < kColumnCount; ++column) {
            seed = seed * 1664525u + 1013904223u;
            table.setCell(column, line, Cell((seed >> 16) % 4096));
        }
    }
    return table;
}

struct Stats
{
    double meanUs = 0;
    double medianUs = 0;
    double p99Us = 0;
    double worstUs = 0;
    std::size_t worstAt = 0;
};

Stats statsOf(std::vector<qint64> ns)
{
    Stats s;
    s.worstAt = std::size_t(std::max_element(ns.begin(), ns.end()) - ns.begin());
    std::sort(ns.begin(), ns.end());
    s.meanUs = double(std::accumulate(ns.begin(), ns.end(), qint64(0))) / double(ns.size()) / 1e3;
    s.medianUs = double(ns[ns.size() / 2]) / 1e3;
    // The nearest rank: no more than 1 % of the times lie above it.
    s.p99Us = double(ns[(ns.size() * 99 + 99) / 100 - 1]) / 1e3;
    s.worstUs = double(ns.back()) / 1e3;
    return s;
}

// The label, then the mean, median and worst time, in columns that line up
// from line to line; the caller ends the line.
void printTimes(const char *label, const Stats &s)
{
    std::printf("  %-33smean %8.1f us  median %8.1f us  worst %8.1f us", label, s.meanUs,
                s.medianUs, s.worstUs);
}

// Counts the paint events widgets receive, and the area they cover, while
// it is installed: what a drag position repaints, next to a whole window.
class PaintCounter final : public QObject
{
public:
    long long paints = 0;
    long long pixels = 0;
    QHash<QByteArray, long long> byKind;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            ++paints;
            ++byKind[watched->metaObject()->className()];
            const QRect r = static_cast<QPaintEvent *>(event)->rect();
            pixels += qint64(r.width()) * r.height();
        }
        return false;
    }
};

// The process's resident memory in megabytes (2^20 bytes), as the kernel
// counts it; -1 where it cannot be read.
double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024.0;
    }
    return -1;
}

// Shows the window, lets it paint, and prints the resident memory then.
int printResidentMemory(QWidget &window, const char *label)
{
    window.show();
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
    const double megabytes = residentMegabytes();
    if (megabytes < 0) {
        std::fprintf(stderr, "no VmRSS in /proc/self/status\n");
        return EXIT_FAILURE;
    }
    std::printf("resident memory, %s: %.1f MB\n", label, megabytes);
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Glowline"));
    if (mode == "--memory-bare") {
        // What any Qt program with a main window holds: the floor below
        // which the editor cannot go.
        QMainWindow bare;
        bare.menuBar();
        bare.statusBar();
        return printResidentMemory(bare, "bare Qt main window");
    }
    NoDialogs dialogs;
    if (mode == "--memory") {
        MainWindow window(dialogs);
        window.document().replace(fullSequence());
        return printResidentMemory(window, "largest sequence shown");
    }
    MainWindow window(dialogs);
    window.show();
    QCoreApplication::processEvents();
    const double mainToShownMs = double(sinceMain.nsecsElapsed()) / 1e6;
    const double processToShownMs = msSinceProcessStart();

    window.document().replace(fullSequence());
    QCoreApplication::processEvents();
    QScrollBar *scrLine = window.lineWindow().lineScrollBar();

    // A drag over 2,000 positions spread across the whole sequence, as the
    // scroll bar reports them: each position redraws before it returns.
    constexpr int kPositions = 2000;
    std::vector<qint64> redraw;
    std::vector<qint64> redrawAndPaint;
    PaintCounter dragPaints;
    QElapsedTimer timer;
    const auto drag = [&] {
        redraw.clear();
        redrawAndPaint.clear();
        redraw.reserve(kPositions);
        redrawAndPaint.reserve(kPositions);
        app.installEventFilter(&dragPaints);
        scrLine->setSliderDown(true);
        for (int i = 0; i < kPositions; ++i) {
            const int position = 1 + int(std::int64_t(i) * (kMaxLines - 1) / (kPositions - 1));
            timer.start();
            scrLine->setSliderPosition(position);
            redraw.push_back(timer.nsecsElapsed());
            // What the screen then costs: the queued repaint of what changed.
            QCoreApplication::processEvents();
            redrawAndPaint.push_back(timer.nsecsElapsed());
            if (window.document().currentLine() != position) {
                std::fprintf(stderr, "redraw did not follow the thumb to line %d\n", position);
                return false;
            }
        }
        scrLine->setSliderDown(false);
        app.removeEventFilter(&dragPaints);
        return true;
    };
    if (!drag())
        return EXIT_FAILURE;
    const Stats r = statsOf(redraw);
    const Stats p = statsOf(redrawAndPaint);
    const long long shownPaints = dragPaints.paints;
    const long long shownPixels = dragPaints.pixels;

    // The same drag with the sequence map hidden: the line window alone, and
    // by difference what the map adds.
    auto *map = window.findChild<QWidget *>(QStringLiteral("dockSequenceMap"));
    if (map != nullptr)
        map->hide();
    QCoreApplication::processEvents();
    scrLine->setValue(1);
    QCoreApplication::processEvents();
    if (!drag())
        return EXIT_FAILURE;
    const Stats hiddenRedraw = statsOf(redraw);
    const Stats hidden = statsOf(redrawAndPaint);
    if (map != nullptr)
        map->show();
    QCoreApplication::processEvents();

    // For scale: repainting the whole window once, without any redraw.
    std::vector<qint64> fullRepaint;
    PaintCounter wholePaints;
    app.installEventFilter(&wholePaints);
    for (int i = 0; i < 200; ++i) {
        timer.start();
        window.repaint();
        fullRepaint.push_back(timer.nsecsElapsed());
    }
    app.removeEventFilter(&wholePaints);

    // A repaint of the window leaves out the controls that paint every pixel
    // they cover: Qt keeps their pictures. For scale too, then: every widget
    // of the window painted once, into a picture of the window.
    std::vector<qint64> everyWidget;
    PaintCounter everyPaints;
    QImage picture(window.size() * window.devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(window.devicePixelRatio());
    app.installEventFilter(&everyPaints);
    for (int i = 0; i < 200; ++i) {
        timer.start();
        window.render(&picture);
        everyWidget.push_back(timer.nsecsElapsed());
    }
    app.removeEventFilter(&everyPaints);

    std::printf("window_bench (platform %s, %d lines, %d drag positions)\n",
                qPrintable(QGuiApplication::platformName()), window.document().lineCount(),
                kPositions);
    const Stats f = statsOf(fullRepaint);
    printTimes("redraw while dragging scrLine:", r);
    std::printf(" (at position %zu of %d)\n", r.worstAt + 1, kPositions);
    printTimes("redraw plus repaint of changes:", p);
    std::printf("\n");
    printTimes("for scale, whole-window repaint:", f);
    std::printf("\n");
    std::printf("  widgets painted per drag position: %8.1f (%.0f pixels); per whole-window "
                "repaint: %.1f (%.0f pixels)\n",
                double(shownPaints) / kPositions, double(shownPixels) / kPositions,
                double(wholePaints.paints) / 200, double(wholePaints.pixels) / 200);
    std::printf("  start-up, main() entry to window shown:        %8.1f ms "
                "(excludes the dynamic loader and static initialisers)\n",
                mainToShownMs);
    if (processToShownMs >= 0)
        std::printf("  start-up, process creation to window shown:    %8.1f ms "
                    "(from /proc/self/stat, %ld ms resolution)\n",
                    processToShownMs, 1000 / sysconf(_SC_CLK_TCK));
    printTimes("map hidden, redraw:", hiddenRedraw);
    std::printf("\n");
    printTimes("map hidden, redraw plus repaint:", hidden);
    std::printf("\n");
    std::printf("  the map's own cost per drag position: mean %8.1f us  median %8.1f us\n",
                p.meanUs - hidden.meanUs, p.medianUs - hidden.medianUs);
    QList<std::pair<long long, QByteArray>> kinds;
    for (auto it = dragPaints.byKind.cbegin(); it != dragPaints.byKind.cend(); ++it)
        kinds.append({it.value(), it.key()});
    std::sort(kinds.begin(), kinds.end(), std::greater<>());
    std::printf("  painted per drag position, by kind (both drags):");
    for (const auto &[count, kind] : kinds)
        std::printf(" %s %.1f", kind.constData(), double(count) / (2 * kPositions));
    std::printf("\n");
    kinds.clear();
    for (auto it = wholePaints.byKind.cbegin(); it != wholePaints.byKind.cend(); ++it)
        kinds.append({it.value(), it.key()});
    std::sort(kinds.begin(), kinds.end(), std::greater<>());
    std::printf("  painted per whole-window repaint, by kind:");
    for (const auto &[count, kind] : kinds)
        std::printf(" %s %.1f", kind.constData(), double(count) / 200);
    std::printf("\n");
    printTimes("for scale, every widget painted:  ", statsOf(everyWidget));
    std::printf(" (%.1f widgets, %.0f pixels)\n", double(everyPaints.paints) / 200,
                double(everyPaints.pixels) / 200);
    // Goal: within one 60 Hz frame, 16,667 us, with the map shown.
    std::printf("  drag step, redraw plus repaint: p99 %8.1f us\n", p.p99Us);
    return EXIT_SUCCESS;
}
