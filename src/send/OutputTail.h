#pragma once

#include <QString>
#include <QStringView>

namespace glowline {

// The end of what the tools printed, as much as a window shows at ease: at
// most the last kLimit characters, after a line that says how many earlier
// bytes were left out. A cut leaves seven eighths of the limit, so that what
// follows is only added at the end for a while: a window lays out a long line
// again whenever its start moves. The cost of each character appended is the
// same however long its line.
class OutputTail final
{
public:
    static constexpr qsizetype kLimit = 1024 * 1024;

    explicit OutputTail(qsizetype limit = kLimit) : m_limit(limit) {}

    // True when the start of the kept text moved: what shows it must show
    // text() anew rather than add text at its end.
    bool append(QStringView text);
    bool isEmpty() const { return m_text.isEmpty() && m_dropped == 0; }
    // What is kept, after "… N earlier bytes not shown" once some was left
    // out; N counts the left-out text in UTF-8.
    QString text() const;

private:
    qsizetype m_limit = kLimit;
    QString m_text;
    qint64 m_dropped = 0;
};

} // namespace glowline
