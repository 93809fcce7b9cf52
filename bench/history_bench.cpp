// What the edit history costs: memory and time of 1,000 undo steps of each
// kind of edit on the largest sequence (32767 lines), and the same steps on a
// sequence of one line, whose memory must be the same.
//
//   history_bench [repeats]     (default 5; medians are printed)

#include "model/Document.h"
#include "model/LineCommands.h"
#include "model/SequenceEditor.h"
#include "support/TestTables.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace glowline;

namespace {

constexpr int kSteps = 1000;

enum class Kind
{
    Slider,   // one LED cell, as a slider move writes it
    Fill,     // all eleven LED cells of a line
    Copy,     // a line command
    Duration, // the duration cell, as a typed duration or an up-down click
};

const char *kindName(Kind kind)
{
    switch (kind) {
    case Kind::Slider:
        return "slider move (1 cell)";
    case Kind::Fill:
        return "Fill (11 cells)";
    case Kind::Copy:
        return "line command (Copy)";
    case Kind::Duration:
        return "duration";
    }
    return "?";
}

// One edit made the way the window makes it: through the edit gate, as one
// step.
void step(Kind kind, int i, const Document &document, SequenceEditor &editor)
{
    const int lines = document.lineCount();
    const int line = kind == Kind::Copy ? document.currentLine() : 1 + (i * 97) % lines;
    editor.setCurrentLine(line);
    SequenceEditor::Step step(editor);
    const LineTable &table = document.table();
    switch (kind) {
    case Kind::Slider: {
        const int column = i % kLedCount;
        editor.setCell(column, line, Cell(table.cell(column, line) ^ 0x0F0));
        break;
    }
    case Kind::Fill:
        for (int c = 0; c < kLedCount; ++c)
            editor.setCell(c, line, Cell(table.cell(c, line) ^ 0xF0F));
        break;
    case Kind::Copy:
        if (!copyLine(editor).changed) {
            std::fprintf(stderr, "history_bench: Copy refused at %d lines\n", lines);
            std::exit(1);
        }
        break;
    case Kind::Duration:
        editor.setDuration(line, (table.duration(line) + 5) % 4096);
        break;
    }
}

// Bytes of the heap in use, where the C library can say; 0 elsewhere.
std::size_t heapInUse()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

struct Figures
{
    std::size_t bytes = 0;
    std::size_t heapBytes = 0; // what clearing the history gives back to the heap
    std::size_t steps = 0;
    double recordMs = 0;
    double undoMs = 0;
    double redoMs = 0;
    bool restored = false;
};

// Runs kSteps steps of kind on a sequence that has `lines` lines once they
// are done (Copy starts kSteps lines shorter), then undoes and redoes them all.
Figures run(Kind kind, int lines)
{
    const int startLines = kind == Kind::Copy ? std::max(1, lines - kSteps) : lines;
    Document document;
    document.replace(test::everyLedChangesTable(startLines));
    SequenceEditor history(document);
    history.setCurrentLine(std::max(1, startLines / 2));
    const LineTable original = document.table();

    Figures f;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kSteps; ++i)
        step(kind, i, document, history);
    f.recordMs = double(timer.nsecsElapsed()) / 1e6;
    f.bytes = history.memoryBytes();
    f.steps = history.stepCount();
    const LineTable edited = document.table();

    timer.restart();
    while (history.canUndo())
        history.undo();
    f.undoMs = double(timer.nsecsElapsed()) / 1e6;
    const bool undone = document.table() == original;

    timer.restart();
    while (history.canRedo())
        history.redo();
    f.redoMs = double(timer.nsecsElapsed()) / 1e6;
    f.restored = undone && document.table() == edited;

    // Measured apart from the history's own count: the heap it gives back.
    const std::size_t held = heapInUse();
    history.clearHistory();
    const std::size_t freed = heapInUse();
    f.heapBytes = held > freed ? held - freed : 0;
    return f;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::size_t tableBytes = std::size_t(kMaxLines) * kColumnCount * sizeof(Cell);
    std::printf("history_bench: %d steps of each kind, %d repeats, medians\n", kSteps, repeats);
    std::printf("a copy of the table at %d lines would be %zu bytes; %d copies %zu bytes\n\n",
                kMaxLines, tableBytes, kSteps, tableBytes * kSteps);
    std::printf("%-22s %10s %9s %10s %10s %10s %10s %10s %s\n", "kind", "bytes", "per step",
                "at 1 line", "heap", "record ms", "undo ms", "redo ms", "check");

    bool allGood = true;
    for (Kind kind : {Kind::Slider, Kind::Fill, Kind::Copy, Kind::Duration}) {
        std::vector<double> record;
        std::vector<double> undo;
        std::vector<double> redo;
        Figures large;
        for (int r = 0; r < repeats; ++r) {
            large = run(kind, kMaxLines);
            record.push_back(large.recordMs);
            undo.push_back(large.undoMs);
            redo.push_back(large.redoMs);
        }
        const Figures small = run(kind, 1);
        const bool sameCost = large.bytes == small.bytes;
        const bool good = sameCost && large.restored && small.restored &&
                          large.steps == std::size_t(kSteps) && small.steps == large.steps;
        allGood = allGood && good;
        std::printf("%-22s %10zu %9.1f %10zu %10zu %10.3f %10.3f %10.3f %s\n", kindName(kind),
                    large.bytes, double(large.bytes) / double(kSteps), small.bytes, large.heapBytes,
                    median(record), median(undo), median(redo),
                    good ? "same as at 1 line, undo/redo exact"
                         : (sameCost ? "UNDO/REDO NOT EXACT" : "COST DIFFERS FROM 1 LINE"));
    }
    std::printf("\nbytes: SequenceEditor::memoryBytes(); heap: what the C library's heap got back "
                "when the history was cleared (blocks and their headers)\n");
    std::printf("(line command steps are taken from %d to %d lines, and at 1 line from 1 to "
                "%d lines)\n",
                kMaxLines - kSteps, kMaxLines, 1 + kSteps);
    return allGood ? 0 : 1;
}
