#include "files/DocumentCommands.h"

#include "files/SequenceReader.h"
#include "files/SequenceWriter.h"
#include "model/Document.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/TestTables.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace glowline;
using glowline::test::patternTable;
using glowline::test::readAll;
using glowline::test::ScriptedDialogs;
using Answer = Dialogs::Answer;

class DocumentCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        m_document.emplace();
        m_dialogs.emplace();
        m_commands.emplace(*m_document, *m_dialogs);
    }
    void cleanup()
    {
        QVERIFY2(m_dialogs->answers.empty(), "not every scripted answer was asked for");
        QVERIFY2(m_dialogs->fileNames.empty(), "not every scripted file name was asked for");
        m_commands.reset();
        m_dialogs.reset();
        m_document.reset();
        m_dir.reset();
    }

    // Edits the start-up sequence so that it has unsaved changes.
    void makeEdited(const QString &fileName = {})
    {
        m_document->replace(patternTable(3));
        m_document->state().setFileName(fileName);
        m_document->state().markChanged();
    }

    void newWithoutChangesAsksNothing()
    {
        m_document->replace(patternTable(4));
        QSignalSpy replaced(m_document.operator->(), &Document::replaced);
        m_commands->newFile();
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(m_document->table(), LineTable());
        QCOMPARE(m_document->currentLine(), 1);
    }

    void promptAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("hasFileName");
        QTest::addColumn<bool>("saveDialogCancelled");
        QTest::addColumn<bool>("writeFails");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("changedAfter");

        QTest::newRow("cancel") << int(Answer::Cancel) << true << false << false << false << true;
        QTest::newRow("no") << int(Answer::No) << true << false << false << true << true;
        QTest::newRow("yes, saved") << int(Answer::Yes) << true << false << false << true << false;
        QTest::newRow("yes, no name, dialog cancelled")
            << int(Answer::Yes) << false << true << false << false << true;
        QTest::newRow("yes, no name, saved as")
            << int(Answer::Yes) << false << false << false << true << false;
        QTest::newRow("yes, write fails")
            << int(Answer::Yes) << true << false << true << false << true;
    }
    void promptAnswers()
    {
        QFETCH(int, answer);
        QFETCH(bool, hasFileName);
        QFETCH(bool, saveDialogCancelled);
        QFETCH(bool, writeFails);
        QFETCH(bool, goesOn);
        QFETCH(bool, changedAfter);

        const QString folder =
            writeFails ? m_dir->filePath(QStringLiteral("missing")) : m_dir->path();
        const QString path = folder + QStringLiteral("/seq.asm");
        makeEdited(hasFileName ? path : QString());
        const LineTable edited = m_document->table();
        m_dialogs->answers.push_back(Answer(answer));
        if (writeFails)
            m_dialogs->answers.push_back(Answer::Ok);
        if (!hasFileName)
            m_dialogs->fileNames.push_back(saveDialogCancelled ? std::nullopt
                                                               : std::optional<QString>(path));

        QCOMPARE(m_commands->closeRequest(), goesOn);

        QCOMPARE(m_dialogs->messages.first().text,
                 QStringLiteral("Do you want to save your changes?"));
        QCOMPARE(m_dialogs->messages.first().buttons, Dialogs::Buttons::YesNoCancel);
        QCOMPARE(m_dialogs->messages.first().icon, Dialogs::Icon::Question);
        QCOMPARE(m_document->state().hasUnsavedChanges(), changedAfter);
        QCOMPARE(m_document->table(), edited);
        const bool written = answer == int(Answer::Yes) && !saveDialogCancelled && !writeFails;
        QCOMPARE(QFile::exists(path), written);
        if (written)
            QCOMPARE(readAll(path), encodeSequence(edited));
        if (writeFails) {
            QCOMPARE(m_dialogs->messages.size(), 2);
            QVERIFY(
                m_dialogs->lastMessage().startsWith(QStringLiteral("Failed to save file: \r\n")));
            QVERIFY(m_dialogs->lastMessage().size() > 23);
            QCOMPARE(m_dialogs->messages.last().icon, Dialogs::Icon::Error);
            QCOMPARE(m_document->state().fileName(), path);
        } else {
            QCOMPARE(m_dialogs->messages.size(), 1);
        }
    }

    // Save after New must not write the new sequence over the file that was
    // open before.
    void newForgetsTheFileNameSoSaveAsks()
    {
        const QString path = m_dir->filePath(QStringLiteral("first.asm"));
        makeEdited(path);
        m_commands->save();
        QVERIFY(!m_document->state().hasUnsavedChanges());
        QCOMPARE(readAll(path), encodeSequence(patternTable(3)));

        m_commands->newFile();
        QCOMPARE(m_document->state().fileName(), QString());
        m_document->state().markChanged();
        m_dialogs->fileNames.push_back(std::nullopt);
        m_commands->save();
        QCOMPARE(m_dialogs->saveInitialNames, QStringList{QString()});
        QVERIFY(m_document->state().hasUnsavedChanges());
        QCOMPARE(readAll(path), encodeSequence(patternTable(3)));
    }

    // Another editor window, another program or glowline-cli import may
    // rewrite the file while it is open here.
    void saveAsksBeforeOverwritingAChangedFile_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");

        QTest::newRow("unchanged") << QStringLiteral("none") << false << 0 << true;
        QTest::newRow("rewritten, overwrite")
            << QStringLiteral("rewrite") << true << int(Answer::Yes) << true;
        QTest::newRow("rewritten, keep")
            << QStringLiteral("rewrite") << true << int(Answer::No) << false;
        QTest::newRow("replaced by another file, keep")
            << QStringLiteral("replace") << true << int(Answer::No) << false;
        QTest::newRow("removed") << QStringLiteral("remove") << false << 0 << true;
    }
    void saveAsksBeforeOverwritingAChangedFile()
    {
        QFETCH(QString, change);
        QFETCH(bool, asked);
        QFETCH(int, answer);
        QFETCH(bool, written);

        const QString path = m_dir->filePath(QStringLiteral("seq.asm"));
        QVERIFY(test::writeAll(path, encodeSequence(patternTable(2))));
        QVERIFY(m_commands->loadFile(path));
        m_document->replace(patternTable(5));
        m_document->state().markChanged();

        const QByteArray theirs = encodeSequence(patternTable(7));
        if (change == u"rewrite") {
            QVERIFY(test::writeAll(path, theirs));
        } else if (change == u"replace") {
            const QString other = m_dir->filePath(QStringLiteral("other.asm"));
            QVERIFY(test::writeAll(other, theirs));
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::rename(other, path));
        } else if (change == u"remove") {
            QVERIFY(QFile::remove(path));
        }
        if (asked)
            m_dialogs->answers.push_back(Answer(answer));

        m_commands->save();
        QCOMPARE(m_dialogs->messages.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(m_dialogs->messages.first().text,
                     path + QStringLiteral(" was changed by another program since it was "
                                           "opened. Overwrite it?"));
            QCOMPARE(m_dialogs->messages.first().buttons, Dialogs::Buttons::YesNo);
        }
        QCOMPARE(readAll(path), written ? encodeSequence(patternTable(5)) : theirs);
        QCOMPARE(m_document->state().hasUnsavedChanges(), !written);
        // What was written is the version the next save compares with.
        if (written) {
            m_document->state().markChanged();
            m_commands->save();
            QCOMPARE(m_dialogs->messages.size(), asked ? 1 : 0);
        }
    }

    // An ordinary assembler program reads as one empty line; kept under its
    // name, the next Save would replace the program with that line.
    void fileWithoutASequenceOpensAsANewOne_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("named");
        QTest::newRow("assembler program")
            << QByteArray(".include \"m8def.inc\"\r\nmain:\r\n    rjmp main\r\n") << false;
        QTest::newRow("comments only") << QByteArray("; nothing yet\n") << false;
        QTest::newRow("empty file") << QByteArray() << true;
    }
    void fileWithoutASequenceOpensAsANewOne()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, named);
        const QString path = m_dir->filePath(QStringLiteral("program.asm"));
        QVERIFY(test::writeAll(path, bytes));
        makeEdited();
        m_dialogs->answers.push_back(Answer::Ok);
        if (named)
            m_dialogs->answers.clear();

        QVERIFY(m_commands->loadFile(path));
        QCOMPARE(m_document->table(), LineTable());
        QVERIFY(!m_document->state().hasUnsavedChanges());
        QCOMPARE(m_document->state().fileName(), named ? path : QString());
        if (named) {
            QVERIFY(m_dialogs->messages.isEmpty());
        } else {
            QCOMPARE(m_dialogs->messages.size(), 1);
            QCOMPARE(m_dialogs->messages.first().icon, Dialogs::Icon::Information);
            QCOMPARE(m_dialogs->messages.first().buttons, Dialogs::Buttons::Ok);
            QCOMPARE(m_dialogs->lastMessage(),
                     path + QStringLiteral(" holds no Glowline sequence (no ;Line header). It "
                                           "was opened as a new sequence; Save will ask for a "
                                           "name."));
            // Save asks for a name; the program is left as it was.
            m_dialogs->fileNames.push_back(std::nullopt);
            m_commands->save();
            QCOMPARE(readAll(path), bytes);
        }
    }

    void saveAsUsesCurrentNameAndTypedNameUnchanged()
    {
        const QString old = m_dir->filePath(QStringLiteral("old.asm"));
        const QString typed = m_dir->filePath(QStringLiteral("no-extension"));
        makeEdited(old);
        m_dialogs->fileNames.push_back(typed);
        m_commands->saveAs();
        QCOMPARE(m_dialogs->saveInitialNames, QStringList{old});
        QCOMPARE(m_document->state().fileName(), typed);
        QVERIFY(QFile::exists(typed));
        QVERIFY(!QFile::exists(old));
        QVERIFY(!m_document->state().hasUnsavedChanges());
    }

    void saveAsCancelledChangesNothing()
    {
        makeEdited(QStringLiteral("/somewhere/seq.asm"));
        m_dialogs->fileNames.push_back(std::nullopt);
        m_commands->saveAs();
        QCOMPARE(m_document->state().fileName(), QStringLiteral("/somewhere/seq.asm"));
        QVERIFY(m_document->state().hasUnsavedChanges());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void loadNoThenCancelKeepsEverything()
    {
        makeEdited(QStringLiteral("/somewhere/seq.asm"));
        const LineTable edited = m_document->table();
        m_dialogs->answers.push_back(Answer::No);
        m_dialogs->fileNames.push_back(std::nullopt);
        m_commands->load();
        QCOMPARE(m_dialogs->openInitialNames, QStringList{QStringLiteral("/somewhere/seq.asm")});
        QCOMPARE(m_document->table(), edited);
        QCOMPARE(m_document->state().changedMarker(), QStringLiteral("*"));
    }

    void loadNoThenFileReplacesSequence()
    {
        const QString path = m_dir->filePath(QStringLiteral("in.asm"));
        const LineTable stored = patternTable(5);
        QString error;
        QVERIFY(saveSequenceFile(stored, path, &error));
        makeEdited();
        m_document->setCurrentLine(2);
        m_dialogs->answers.push_back(Answer::No);
        m_dialogs->fileNames.push_back(path);
        QSignalSpy replaced(m_document.operator->(), &Document::replaced);
        m_commands->load();
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(m_document->table(), readSequenceFile(path).table);
        QCOMPARE(m_document->currentLine(), 1);
        QCOMPARE(m_document->state().fileName(), path);
        QCOMPARE(m_document->state().changedMarker(), QString());
        QCOMPARE(m_dialogs->messages.size(), 1);
    }

    void failedLoadKeepsSequenceNameAndMarker_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("expectedMessage");
        QTest::newRow("column code 12")
            << QByteArray(".cseg\r\n.org 0x0000\r\n;Line 1\r\n.dw 0xC000\r\n")
            << QStringLiteral("Failed to load file: \r\nline 4: column code 12 is not valid");
        QTest::newRow("word before header")
            << QByteArray(".dw 0x0F00\n;Line 1\n")
            << QStringLiteral("Failed to load file: \r\nline 1: word before the first line header");
    }
    void failedLoadKeepsSequenceNameAndMarker()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, expectedMessage);
        const QString bad = m_dir->filePath(QStringLiteral("bad.asm"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();

        makeEdited(QStringLiteral("/somewhere/seq.asm"));
        m_document->setCurrentLine(3);
        const LineTable edited = m_document->table();
        m_dialogs->answers = {Answer::No, Answer::Ok};
        m_dialogs->fileNames.push_back(bad);
        QSignalSpy replaced(m_document.operator->(), &Document::replaced);
        m_commands->load();

        QCOMPARE(replaced.count(), 0);
        QCOMPARE(m_document->table(), edited);
        QCOMPARE(m_document->currentLine(), 3);
        QCOMPARE(m_document->state().fileName(), QStringLiteral("/somewhere/seq.asm"));
        QCOMPARE(m_document->state().changedMarker(), QStringLiteral("*"));
        QCOMPARE(m_dialogs->lastMessage(), expectedMessage);
        QCOMPARE(m_dialogs->messages.last().icon, Dialogs::Icon::Error);
    }

    void loadMissingFileSaysWhy()
    {
        m_dialogs->answers.push_back(Answer::Ok);
        QVERIFY(!m_commands->loadFile(m_dir->filePath(QStringLiteral("none.asm"))));
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->lastMessage().startsWith(QStringLiteral("Failed to load file: \r\n")));
        QVERIFY(m_dialogs->lastMessage().size() > 23);
        QCOMPARE(m_document->state().fileName(), QString());
    }

private:
    std::optional<QTemporaryDir> m_dir;
    std::optional<Document> m_document;
    std::optional<ScriptedDialogs> m_dialogs;
    std::optional<DocumentCommands> m_commands;
};

QTEST_GUILESS_MAIN(DocumentCommandsTest)
#include "DocumentCommandsTest.moc"
