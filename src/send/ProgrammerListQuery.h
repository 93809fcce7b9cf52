#pragma once

#include "send/ToolProcess.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>

namespace glowline {

// Asks the device programmer which programmer ids it knows ("avrdude -c ?")
// without waiting for it: the answer comes as a signal, so that the window
// goes on while it runs. A programmer that has not answered within the time
// limit is ended, and the user types the id instead.
class ProgrammerListQuery final : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kTimeLimit{10000};

    explicit ProgrammerListQuery(std::chrono::milliseconds timeLimit = kTimeLimit,
                                 QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ProgrammerListQuery)

    void start(const QString &programmer);

signals:
    // The ids in the programmer's order. When there are none, failure says
    // why in a sentence for the user.
    void answered(const QStringList &ids, const QString &failure);

private:
    void onEnded();

    ToolProcess m_process;
    QTimer m_timeLimit;
    QString m_name;
    bool m_timedOut = false;
};

} // namespace glowline
