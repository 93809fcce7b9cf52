// Fuzz target for the edit gate. The input's bytes choose a start table and a
// run of edits of every kind, undos and redos included; every table on the
// way must keep the rules every table keeps, undoing every step must give
// back the start exactly, and redoing them the table the run ended with.

#include "model/SequenceEditor.h"
#include "support/RandomEdits.h"
#include "support/TestTables.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using glowline::Document;
using glowline::LineTable;
using glowline::SequenceEditor;

// Fewer than the editor keeps, so that no step is dropped before the end.
constexpr int kMaxEdits = 4000;
static_assert(kMaxEdits < int(SequenceEditor::kMaxSteps));

// Hands out the input's bytes as choices. Once they run out every choice is
// 0, and the run stops before its next edit.
class ByteChoices final
{
public:
    ByteChoices(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool exhausted() const { return m_next >= m_size; }

    // A number in 0..n-1, from as few bytes as cover n.
    int below(int n)
    {
        if (n <= 1)
            return 0;
        std::uint32_t value = 0;
        for (std::uint32_t span = 1; span < std::uint32_t(n); span <<= 8)
            value = (value << 8) | (m_next < m_size ? m_data[m_next++] : 0u);
        return int(value % std::uint32_t(n));
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_next = 0;
};

void fail(const char *when, const QString &what, const QString &fault)
{
    std::fprintf(stderr, "%s %s: %s\n", when, qPrintable(what), qPrintable(fault));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ByteChoices choices(data, size);
    const auto below = [&choices](int n) { return choices.below(n); };

    Document document;
    document.replace(glowline::test::numberedTable(1 + below(40)));
    SequenceEditor editor(document);
    const LineTable start = editor.table();

    for (int i = 0; i < kMaxEdits && !choices.exhausted(); ++i) {
        const QString what = glowline::test::randomEdit(editor, below);
        const QString fault = glowline::test::tableFault(editor.table());
        if (!fault.isEmpty())
            fail("after", QStringLiteral("%1 (edit %2)").arg(what).arg(i), fault);
    }
    const QString fault = glowline::test::historyFault(editor, start);
    if (!fault.isEmpty())
        fail("at the end:", QStringLiteral("history"), fault);
    return 0;
}
