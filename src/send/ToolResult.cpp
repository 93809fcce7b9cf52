#include "send/ToolResult.h"

#include <QRegularExpression>

namespace glowline {

QString ToolResult::statusText() const
{
    switch (status) {
    case Status::Finished:
        return QStringLiteral("exited with code %1").arg(exitCode);
    case Status::Crashed:
        return QStringLiteral("crashed");
    case Status::Stopped:
        return QStringLiteral("was stopped");
    case Status::FailedToStart:
        break;
    }
    return QStringLiteral("could not start");
}

QString ToolResult::firstErrorLine() const
{
    // avrdude 7 marks its errors "error"; older ones only say what failed.
    static const QRegularExpression reportsError(
        QStringLiteral("\\berror\\b|can't|cannot|not responding|mismatch|failed"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QStringView line : QStringView(output).split(QLatin1Char('\n'))) {
        QString text = line.trimmed().toString();
        if (text.contains(reportsError))
            return text;
    }
    return QString();
}

} // namespace glowline
