#pragma once

#include "dialogs/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

#include <cstddef>
#include <deque>
#include <optional>

namespace glowline::test {

// Answers the editor's dialogs from queues filled by the test, and records
// every question. An unexpected dialog (empty queue) fails the test.
class ScriptedDialogs final : public Dialogs
{
public:
    struct Message
    {
        Icon icon;
        Buttons buttons;
        QString text;
    };

    std::deque<Answer> answers;
    std::deque<std::optional<QString>> fileNames; // for open and save alike
    std::deque<std::optional<Rgb24>> colours;
    std::deque<std::optional<QString>> texts;

    QList<Message> messages;
    QStringList openInitialNames;
    QStringList saveInitialNames;
    QList<Rgb24> colourPresets;
    bool unexpected = false;

    Answer message(Icon icon, Buttons buttons, const QString &text) override
    {
        messages.append({icon, buttons, text});
        if (answers.empty())
            return fail(QStringLiteral("message \"%1\"").arg(text), Answer::Cancel);
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<QString> openFileName(const QString &initialName) override
    {
        openInitialNames.append(initialName);
        return nextFileName(QStringLiteral("Open dialog"));
    }

    std::optional<QString> saveFileName(const QString &initialName) override
    {
        saveInitialNames.append(initialName);
        return nextFileName(QStringLiteral("Save dialog"));
    }

    std::optional<Rgb24> colour(Rgb24 initial) override
    {
        colourPresets.append(initial);
        if (colours.empty())
            return fail(QStringLiteral("colour dialog"), std::optional<Rgb24>());
        const auto answer = colours.front();
        colours.pop_front();
        return answer;
    }

    std::optional<QString> text(const QString &prompt, const QString &) override
    {
        if (texts.empty())
            return fail(QStringLiteral("text question \"%1\"").arg(prompt),
                        std::optional<QString>());
        const auto answer = texts.front();
        texts.pop_front();
        return answer;
    }

    QString lastMessage() const { return messages.isEmpty() ? QString() : messages.last().text; }

    // What the test queued and no dialog asked for, as "2 answers, 1 file
    // name"; empty when every queue was used up.
    QString unused() const
    {
        QStringList left;
        const auto note = [&left](std::size_t count, const char *one, const char *many) {
            if (count > 0)
                left.append(
                    QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many)));
        };
        note(answers.size(), "answer", "answers");
        note(fileNames.size(), "file name", "file names");
        note(colours.size(), "colour", "colours");
        note(texts.size(), "text", "texts");
        return left.join(QStringLiteral(", "));
    }

    // Drops every queued reply, for a test that queues more than it needs.
    void clearQueues()
    {
        answers.clear();
        fileNames.clear();
        colours.clear();
        texts.clear();
    }

private:
    std::optional<QString> nextFileName(const QString &what)
    {
        if (fileNames.empty())
            return fail(what, std::optional<QString>());
        const auto answer = fileNames.front();
        fileNames.pop_front();
        return answer;
    }

    template <typename T> T fail(const QString &what, T fallback)
    {
        unexpected = true;
        QTest::qFail(qPrintable(QStringLiteral("unexpected %1").arg(what)), __FILE__, __LINE__);
        return fallback;
    }
};

} // namespace glowline::test
