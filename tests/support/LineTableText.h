#pragma once

#include "model/LineTable.h"

#include <QByteArray>
#include <QMetaType>
#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(glowline::LineTable)

// Line tables in test output: QCOMPARE of two tables says where they first
// differ (the line count, or the first line and column that differ) and
// prints that line of both.
namespace glowline::test {

// "line N: c0 c1 ... duration", the cells in hex as the file writes them.
inline QByteArray lineText(const LineTable &table, int line)
{
    QByteArray text = "line " + QByteArray::number(line) + ":";
    for (int column = 0; column < kColumnCount; ++column)
        text += ' ' + QByteArray::number(table.cell(column, line), 16);
    return text;
}

} // namespace glowline::test

namespace QTest {

template <> inline char *toString(const glowline::LineTable &table)
{
    constexpr int kLinesShown = 8;
    QByteArray text = QByteArray::number(table.lineCount()) + " lines";
    const int shown = std::min(table.lineCount(), kLinesShown);
    for (int line = 1; line <= shown; ++line)
        text += "; " + glowline::test::lineText(table, line);
    if (table.lineCount() > shown)
        text += "; ...";
    return qstrdup(text.constData());
}

inline bool qCompare(const glowline::LineTable &t1, const glowline::LineTable &t2,
                     const char *actual, const char *expected, const char *file, int line)
{
    using glowline::test::lineText;
    if (t1 == t2)
        return compare_helper(true, nullptr, actual, expected, file, line);
    if (t1.lineCount() != t2.lineCount()) {
        const auto count = [](const glowline::LineTable &table) {
            return qstrdup((QByteArray::number(table.lineCount()) + " lines").constData());
        };
        return compare_helper(
            false, "Compared tables differ in line count", [&] { return count(t1); },
            [&] { return count(t2); }, actual, expected, file, line);
    }
    int at = 1;
    int column = 0;
    for (; at <= t1.lineCount(); ++at) {
        column = 0;
        while (column < glowline::kColumnCount && t1.cell(column, at) == t2.cell(column, at))
            ++column;
        if (column < glowline::kColumnCount)
            break;
    }
    const QByteArray message = "Compared tables differ first at line " + QByteArray::number(at) +
                               ", column " + QByteArray::number(column);
    return compare_helper(
        false, message.constData(), [&] { return qstrdup(lineText(t1, at).constData()); },
        [&] { return qstrdup(lineText(t2, at).constData()); }, actual, expected, file, line);
}

} // namespace QTest
