// Measures the sequence map at the largest sequence: a full redraw (every
// line recoloured and the view repainted), an edit of one line (its colours
// taken again and its column repainted), a duration edit at the duration
// scale, and a picture at the widest export, alone and as File > Export
// Picture makes it. Prints figures; asserts nothing.

#include "model/Document.h"
#include "model/SequenceEditor.h"
#include "support/ScriptedDialogs.h"
#include "support/TestTables.h"
#include "window/map/ExportPictureCommand.h"
#include "window/map/SequenceMap.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace glowline;

namespace {

struct Stats
{
    double medianMs = 0;
    double worstMs = 0;
};

Stats statsOf(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return {double(ns[ns.size() / 2]) / 1e6, double(ns.back()) / 1e6};
}

void print(const char *what, const Stats &s, const char *goal)
{
    std::printf("  %-52s median %7.3f ms  worst %7.3f ms%s\n", what, s.medianMs, s.worstMs, goal);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    Document document;
    document.replace(test::everyLedChangesTable());
    SequenceMap map(document);
    SequenceEditor editor(document);
    map.resize(SequenceMap::kDefaultWidth, SequenceMap::kPanelHeight);
    map.show();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    constexpr int kRuns = 200;

    // Updates reach the screen on the platform's next frame, so each run
    // repaints at once what the map asked to repaint, and takes the time of
    // that; the pending update then finds nothing left to do.
    // The whole map: every line's colours taken again, the view repainted.
    std::vector<qint64> full;
    for (int i = 0; i <= kRuns; ++i) {
        timer.start();
        map.sequenceChanged();
        map.repaint();
        if (i > 0) // the first run pays for the first paint's allocations
            full.push_back(timer.nsecsElapsed());
        QCoreApplication::processEvents();
    }

    // The two halves of it, for scale.
    std::vector<qint64> recolourOnly;
    std::vector<qint64> repaintOnly;
    for (int i = 0; i < kRuns; ++i) {
        timer.start();
        map.sequenceChanged();
        recolourOnly.push_back(timer.nsecsElapsed());
        timer.start();
        map.repaint();
        repaintOnly.push_back(timer.nsecsElapsed());
        QCoreApplication::processEvents();
    }

    // One line's LED changed, at lines spread over the view; the map work is
    // taking that line's colours and repainting its column.
    // A duration edit at the duration scale moves every later line, so the
    // whole view is repainted.
    auto oneLineEdits = [&](int column, auto value) {
        std::vector<qint64> times;
        for (int i = 0; i < kRuns; ++i) {
            // A line the view shows, so that its column is repainted.
            const int line = map.geometry().lineAtViewX(i * (map.width() - 1) / (kRuns - 1));
            editor.setCell(column, line, Cell(value(i)));
            timer.start();
            map.linesChanged(line, line);
            if (column == kDurationColumn) {
                map.repaint();
            } else {
                const auto [left, right] = map.geometry().viewColumns(line);
                if (left <= right)
                    map.repaint(QRect(left, SequenceMap::kBandsTop, right - left + 1,
                                      SequenceMap::kBandsHeight));
            }
            times.push_back(timer.nsecsElapsed());
            QCoreApplication::processEvents();
        }
        return times;
    };
    const auto ledEdit = oneLineEdits(4, [](int i) { return (i * 97) % 4096; });
    map.zoomIn();
    map.zoomIn();
    map.zoomIn();
    QCoreApplication::processEvents();
    const auto ledEditZoomed = oneLineEdits(7, [](int i) { return (i * 31) % 4096; });
    map.fitToWidth();
    map.setScaleByDuration(true);
    QCoreApplication::processEvents();
    const auto durationEdit =
        oneLineEdits(kDurationColumn, [](int i) { return 1 + (i * 13) % 4095; });

    // The widest picture at the default height, and its PNG.
    std::vector<qint64> render;
    std::vector<qint64> png;
    QByteArray bytes;
    for (int i = 0; i < 10; ++i) {
        timer.start();
        const QImage picture = map.renderPicture(SequenceMap::kMaxPictureWidth);
        render.push_back(timer.nsecsElapsed());
        timer.start();
        bytes = ExportPictureCommand::encodePng(picture);
        png.push_back(timer.nsecsElapsed());
    }

    // The whole command after its questions: render, encode, write the file.
    test::ScriptedDialogs dialogs;
    ExportPictureCommand exportCommand(dialogs, map);
    QTemporaryDir folder;
    std::vector<qint64> exports;
    for (int i = 0; i < 10; ++i) {
        timer.start();
        const bool written = exportCommand.exportTo(
            folder.filePath(QStringLiteral("map.png")),
            PictureSize{SequenceMap::kMaxPictureWidth, SequenceMap::kDefaultPictureHeight});
        exports.push_back(timer.nsecsElapsed());
        if (!written) {
            std::fprintf(stderr, "map_bench: the export failed: %s\n",
                         qPrintable(dialogs.messages.value(0).text));
            return EXIT_FAILURE;
        }
    }

    std::printf("map_bench (platform %s, %d lines, view %d x %d px)\n",
                qPrintable(QGuiApplication::platformName()), document.lineCount(), map.width(),
                map.height());
    print("full redraw (all lines recoloured, view repainted):", statsOf(full), "  goal <= 5 ms");
    print("  of which taking every line's colours:", statsOf(recolourOnly), "");
    print("  of which repainting the whole view:", statsOf(repaintOnly), "");
    print("one-line LED edit, fitted view, line in view:", statsOf(ledEdit), "  goal <= 0.5 ms");
    print("one-line LED edit, zoomed in 8x, line in view:", statsOf(ledEditZoomed),
          "  goal <= 0.5 ms");
    print("one-line duration edit at the duration scale:", statsOf(durationEdit), "");
    print("picture 32767 x 110 px, render:", statsOf(render), "");
    print("picture 32767 x 110 px, PNG encoding:", statsOf(png), "");
    std::printf("  picture 32767 x 110 px, PNG size: %lld bytes\n", qlonglong(bytes.size()));
    print("export picture of the largest sequence (render, encode, write):", statsOf(exports),
          "  goal <= 100 ms");
    return EXIT_SUCCESS;
}
