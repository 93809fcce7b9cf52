#include "send/ProgrammerListQuery.h"

#include "send/ProgrammerSettings.h"
#include "send/ToolCommand.h"

#include <QDir>
#include <QFileInfo>

namespace glowline {

ProgrammerListQuery::ProgrammerListQuery(std::chrono::milliseconds timeLimit, QObject *parent)
    : QObject(parent)
{
    m_timeLimit.setSingleShot(true);
    m_timeLimit.setInterval(timeLimit);
    connect(&m_timeLimit, &QTimer::timeout, this, [this] {
        m_timedOut = true;
        m_process.stop();
    });
    connect(&m_process, &ToolProcess::ended, this, &ProgrammerListQuery::onEnded);
}

void ProgrammerListQuery::start(const QString &programmer)
{
    m_name = QFileInfo(programmer).fileName();
    ToolCommand list;
    list.program = programmer;
    list.arguments = {QStringLiteral("-c"), QStringLiteral("?")};
    list.windowsCommandLine =
        QLatin1Char('"') + QDir::toNativeSeparators(programmer) + QStringLiteral("\" -c ?");
    m_timeLimit.start();
    m_process.start(list);
}

void ProgrammerListQuery::onEnded()
{
    m_timeLimit.stop();
    const ToolResult &result = m_process.result();
    // avrdude prints the list and exits with 1, as it does for any "?".
    const QStringList ids = ProgrammerSettings::programmerIds(result.output);
    QString failure;
    if (m_timedOut) {
        failure = QStringLiteral("%1 did not answer within %2 s.")
                      .arg(m_name, QString::number(double(m_timeLimit.interval()) / 1000.0));
    } else if (ids.isEmpty()) {
        failure =
            QStringLiteral("%1 listed no programmers: it %2.").arg(m_name, result.statusText());
    }
    emit answered(m_timedOut ? QStringList() : ids, failure);
}

} // namespace glowline
