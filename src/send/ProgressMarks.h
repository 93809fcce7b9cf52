#pragma once

#include <QString>
#include <QStringView>

namespace glowline {

// Follows the progress bars the device programmer prints when its output is
// not a terminal: "Writing | ####...# | 100% 0.52s", fifty marks to a bar and
// one bar for each pass (reading the signature, writing, verifying). Output
// arrives in pieces of any size, so a bar may be split anywhere.
class ProgressMarks final
{
public:
    static constexpr int kMarksPerBar = 50;

    // Takes the next piece of output; true when the bar in progress moved or
    // a new one began.
    bool feed(QStringView text);

    // How far the latest bar has come, 0 to 100.
    int percent() const { return m_marks * 100 / kMarksPerBar; }
    // The word before the latest bar ("Reading", "Writing"); empty before
    // the first.
    QString phase() const { return m_phase; }

private:
    QString m_lineStart; // the current line up to its first '|'
    QString m_phase;
    int m_marks = 0;
    bool m_inBar = false;
    bool m_barSeen = false; // this line already held a bar
};

} // namespace glowline
