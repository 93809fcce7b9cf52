// How closely on-screen playback keeps time, with the real timer and event
// loop and no window: each line should stay in view for exactly its duration,
// as on the board, and a loop should last the sum of its durations.
//
//   playback_bench
//
// For each case it prints the per-line error (how much longer or shorter each
// line stayed than its duration: median and 95th percentile of its size, and
// the signed mean), the loop's length against the sum of the durations, and
// how far the line changes lie from where the durations put them, and how
// late the machine wakes a plain sleeping thread, for scale.

#include "model/Document.h"
#include "model/SequenceEditor.h"
#include "playback/Playback.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

using namespace glowline;

namespace {

using Clock = std::chrono::steady_clock;

double toMs(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const std::size_t at = std::min(values.size() - 1, std::size_t(p * double(values.size() - 1)));
    return values[at];
}

void measure(int lineCount, int hundredths, int loops)
{
    LineTable table(lineCount);
    for (int line = 1; line <= lineCount; ++line)
        table.setCell(kDurationColumn, line, Cell(hundredths));
    Document document;
    document.replace(table);
    document.setCurrentLine(1);
    SequenceEditor editor(document);

    Playback playback(editor);
    const int changes = lineCount * loops;
    std::vector<Clock::time_point> times;
    times.reserve(std::size_t(changes) + 1);
    QObject::connect(&playback, &Playback::lineAdvanced, [&](int) {
        times.push_back(Clock::now());
        if (int(times.size()) == changes + 1) {
            playback.stop();
            QCoreApplication::quit();
        }
    });
    // A safety net: the run ends long before this.
    QTimer::singleShot(lineCount * hundredths * 10 * loops * 2 + 5000,
                       [] { QCoreApplication::quit(); });

    times.push_back(Clock::now());
    playback.start();
    QCoreApplication::exec();
    playback.stop();

    const double durationMs = hundredths * 10.0;
    const double sumMs = durationMs * lineCount;
    if (int(times.size()) != changes + 1) {
        std::printf("%d lines of %g ms: only %d of %d line changes arrived\n", lineCount,
                    durationMs, int(times.size()) - 1, changes);
        return;
    }

    std::vector<double> sizes;
    std::vector<double> offPlan;
    double signedSum = 0.0;
    int stalls = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        offPlan.push_back(std::abs(toMs(times[i] - times.front()) - durationMs * double(i)));
        const double error = toMs(times[i] - times[i - 1]) - durationMs;
        sizes.push_back(std::abs(error));
        signedSum += error;
        if (error > durationMs)
            ++stalls;
    }
    const double loopMs = toMs(times.back() - times.front()) / loops;
    const double driftPercent = (loopMs - sumMs) / sumMs * 100.0;
    const double behindMs = toMs(times.back() - times.front()) - sumMs * loops;

    std::printf("%d lines of %g ms, %d loop%s: per-line error median %.3f ms, 95th percentile "
                "%.3f ms, mean %+.3f ms\n",
                lineCount, durationMs, loops, loops == 1 ? "" : "s", percentile(sizes, 0.5),
                percentile(sizes, 0.95), signedSum / double(sizes.size()));
    std::printf("%d lines of %g ms, %d loop%s: loop %.3f ms against %.3f ms of durations, drift "
                "%+.3f %%, last change %+.3f ms off the schedule\n",
                lineCount, durationMs, loops, loops == 1 ? "" : "s", loopMs, sumMs, driftPercent,
                behindMs);
    std::printf("%d lines of %g ms, %d loop%s: line changes off start plus the durations before "
                "them: median %.3f ms, 95th percentile %.3f ms\n",
                lineCount, durationMs, loops, loops == 1 ? "" : "s", percentile(offPlan, 0.5),
                percentile(offPlan, 0.95));
    // A machine that is busy elsewhere can hold the event loop for longer
    // than a line; such lines say more about the machine than the timing.
    std::printf("%d lines of %g ms, %d loop%s: %d line%s stayed more than twice its duration\n",
                lineCount, durationMs, loops, loops == 1 ? "" : "s", stalls,
                stalls == 1 ? "" : "s");
    std::fflush(stdout);
}

// How late the machine itself wakes a thread that sleeps to fixed 10 ms
// steps: the floor under any figure above.
void measureWakeUps()
{
    std::vector<double> late;
    Clock::time_point next = Clock::now();
    for (int i = 0; i < 500; ++i) {
        next += std::chrono::milliseconds(10);
        std::this_thread::sleep_until(next);
        late.push_back(toMs(Clock::now() - next));
    }
    std::printf("for scale, waking from sleep to 10 ms steps: late by median %.3f ms, 95th "
                "percentile %.3f ms\n",
                percentile(late, 0.5), percentile(late, 0.95));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    measureWakeUps();
    measure(200, 1, 5);
    measure(200, 5, 1);
    return 0;
}
