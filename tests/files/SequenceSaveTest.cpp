#include "files/SequenceWriter.h"
#include "support/Files.h"
#include "support/LineTableText.h"
#include "support/TestTables.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace glowline;
using namespace glowline::test;

namespace {

struct ChildSave
{
    bool ran = false; // the child reported back
    bool saved = false;
    QString error;
    QString ownerChange;
};

// Saves in a forked child, so that the child alone can give up root (which
// ignores permission bits) or limit the size of the files it writes. The
// child reports through a pipe: one byte for success, then the description,
// a NUL and what it said of the file's owner.
ChildSave saveInChild(const LineTable &table, const QString &path, bool asNobody,
                      rlim_t fileSizeLimit)
{
    ChildSave result;
    int fds[2];
    if (pipe(fds) != 0)
        return result;
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return result;
    }
    if (pid == 0) {
        close(fds[0]);
        if (asNobody) {
            const gid_t nogroup = 65534;
            const uid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setresgid(nogroup, nogroup, nogroup) != 0 ||
                setresuid(nobody, nobody, nobody) != 0)
                _exit(3);
        }
        if (fileSizeLimit != RLIM_INFINITY) {
            // Past the limit a write fails with EFBIG instead of killing the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                _exit(4);
        }
        QString error;
        QString ownerChange;
        const bool saved = saveSequenceFile(table, path, &error, &ownerChange);
        QByteArray report(1, saved ? '1' : '0');
        report += error.toUtf8() + '\0' + ownerChange.toUtf8();
        qsizetype written = 0;
        while (written < report.size()) {
            const ssize_t n =
                write(fds[1], report.constData() + written, std::size_t(report.size() - written));
            if (n <= 0)
                _exit(5);
            written += n;
        }
        close(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    QByteArray report;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !report.isEmpty()) {
        result.ran = true;
        result.saved = report.at(0) == '1';
        const QList<QByteArray> texts = report.mid(1).split('\0');
        result.error = QString::fromUtf8(texts.value(0));
        result.ownerChange = QString::fromUtf8(texts.value(1));
    } else {
        qWarning("save child ended with status %d", status);
    }
    return result;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name);
}

struct stat statOf(const QString &path)
{
    struct stat info
    {};
    stat(QFile::encodeName(path).constData(), &info);
    return info;
}

mode_t modeOf(const QString &path)
{
    struct stat info
    {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode;
}

const QByteArray kOldBytes = ".cseg\r\n.org 0x0000\r\n;Line 1\r\n.dw 0xF123\r\n";

} // namespace

class SequenceSaveTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        // The unprivileged child must reach the folders inside.
        QVERIFY(QFile::setPermissions(m_dir->path(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther));
    }
    void cleanup()
    {
        // Let the temporary folder be removed again.
        const QString readOnly = m_dir->filePath(QStringLiteral("read-only"));
        if (QFileInfo::exists(readOnly))
            QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner);
        m_dir.reset();
    }

    void folderDoesNotExist()
    {
        const QString path = m_dir->filePath(QStringLiteral("gone/sequence.asm"));
        QString error;
        QVERIFY(!saveSequenceFile(everyLedChangesTable(20), path, &error));
        QVERIFY(!error.trimmed().isEmpty());
        QVERIFY(entries(m_dir->path()).isEmpty());
    }

    void readOnlyFolder()
    {
        const QString folder = m_dir->filePath(QStringLiteral("read-only"));
        QVERIFY(QDir().mkdir(folder));
        const QString path = folder + QStringLiteral("/sequence.asm");
        QVERIFY(writeAll(path, kOldBytes));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther));

        const ChildSave child =
            saveInChild(everyLedChangesTable(20), path, geteuid() == 0, RLIM_INFINITY);
        QVERIFY(child.ran);
        QVERIFY(!child.saved);
        QVERIFY(!child.error.trimmed().isEmpty());
        QCOMPARE(readAll(path), kOldBytes);
        QCOMPARE(entries(folder), QStringList{QStringLiteral("sequence.asm")});
    }

    void deviceFull_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("limit");
        // Small enough to sit in the file's buffer until it is committed.
        QTest::newRow("buffered") << 20 << 1000;
        QTest::newRow("large") << kMaxLines << 100000;
    }
    void deviceFull()
    {
        QFETCH(int, lines);
        QFETCH(int, limit);
        const QString path = m_dir->filePath(QStringLiteral("sequence.asm"));
        QVERIFY(writeAll(path, kOldBytes));
        const LineTable table = everyLedChangesTable(lines);
        QVERIFY(encodeSequence(table).size() > limit);

        const ChildSave child = saveInChild(table, path, false, rlim_t(limit));
        QVERIFY(child.ran);
        QVERIFY(!child.saved);
        // The system's own reason, as for a disk that is full.
        QCOMPARE(child.error, QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(readAll(path), kOldBytes);
        QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("sequence.asm")});
    }

    void keepsThePermissionBits_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("0640") << 0640;
        QTest::newRow("0604") << 0604;
        QTest::newRow("0755") << 0755;
        QTest::newRow("0600") << 0600;
    }
    void keepsThePermissionBits()
    {
        QFETCH(int, mode);
        const QString path = m_dir->filePath(QStringLiteral("sequence.asm"));
        QVERIFY(writeAll(path, kOldBytes));
        QCOMPARE(chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        QString error;
        QVERIFY2(saveSequenceFile(LineTable(3), path, &error), qPrintable(error));
        QCOMPARE(readAll(path), crlf({".cseg", ".org 0x0000", ";Line 1", ";Line 2", ";Line 3"}));
        QCOMPARE(int(modeOf(path) & 07777), mode);
    }

    // Root may keep any owner; anyone else keeps what the system lets them and
    // is told whose the file now is.
    void keepsTheOwnerAndGroup_data()
    {
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<uint>("ownerAfter");
        QTest::addColumn<uint>("groupAfter");
        QTest::newRow("root saves another user's file") << false << 1234u << 2000u;
        QTest::newRow("another user cannot be given the file") << true << 65534u << 65534u;
    }
    void keepsTheOwnerAndGroup()
    {
        QFETCH(bool, asNobody);
        QFETCH(uint, ownerAfter);
        QFETCH(uint, groupAfter);
        if (geteuid() != 0)
            QSKIP("only root can give a file to another user to begin with");
        QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(0x7777)));
        const QString path = m_dir->filePath(QStringLiteral("sequence.asm"));
        QVERIFY(writeAll(path, kOldBytes));
        QCOMPARE(chmod(QFile::encodeName(path).constData(), 0666), 0);
        QCOMPARE(chown(QFile::encodeName(path).constData(), 1234, 2000), 0);

        const ChildSave child = saveInChild(LineTable(3), path, asNobody, RLIM_INFINITY);
        QVERIFY(child.ran);
        QVERIFY2(child.saved, qPrintable(child.error));
        QCOMPARE(readAll(path), crlf({".cseg", ".org 0x0000", ";Line 1", ";Line 2", ";Line 3"}));
        QCOMPARE(uint(statOf(path).st_uid), ownerAfter);
        QCOMPARE(uint(statOf(path).st_gid), groupAfter);
        if (asNobody) {
            QVERIFY2(child.ownerChange.contains(QStringLiteral("instead of user 1234 and group ")),
                     qPrintable(child.ownerChange));
        } else {
            QCOMPARE(child.ownerChange, QString());
        }
    }

    void newFileFollowsTheUmask()
    {
        const mode_t mask = umask(022);
        umask(mask);
        const QString path = m_dir->filePath(QStringLiteral("new.asm"));
        QVERIFY(saveSequenceFile(LineTable(), path, nullptr));
        QVERIFY(S_ISREG(modeOf(path)));
        QCOMPARE(int(modeOf(path) & 07777), int(0666 & ~mask));
    }

    void throughASymbolicLink()
    {
        const QString target = m_dir->filePath(QStringLiteral("target.asm"));
        const QString link = m_dir->filePath(QStringLiteral("link.asm"));
        QVERIFY(writeAll(target, kOldBytes));
        QVERIFY(QFile::link(target, link));
        QString error;
        QVERIFY2(saveSequenceFile(LineTable(), link, &error), qPrintable(error));
        QVERIFY(S_ISLNK(modeOf(link)));
        QCOMPARE(readAll(target), crlf({".cseg", ".org 0x0000", ";Line 1"}));
        QCOMPARE(entries(m_dir->path()),
                 (QStringList{QStringLiteral("link.asm"), QStringLiteral("target.asm")}));
    }

    void deviceIsRefused()
    {
        const QString device = QStringLiteral("/dev/full");
        if (!S_ISCHR(modeOf(device)))
            QSKIP("no /dev/full here");
        QString error;
        QVERIFY(!saveSequenceFile(LineTable(), device, &error));
        QVERIFY(!error.trimmed().isEmpty());
        QVERIFY(S_ISCHR(modeOf(device)));
    }

    void pipeIsRefused()
    {
        const QString fifo = m_dir->filePath(QStringLiteral("pipe.asm"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        QString error;
        QVERIFY(!saveSequenceFile(LineTable(), fifo, &error));
        QVERIFY(!error.trimmed().isEmpty());
        QVERIFY(S_ISFIFO(modeOf(fifo)));
        QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("pipe.asm")});
    }

    void folderIsRefused()
    {
        const QString folder = m_dir->filePath(QStringLiteral("folder.asm"));
        QVERIFY(QDir().mkdir(folder));
        QString error;
        QVERIFY(!saveSequenceFile(LineTable(), folder, &error));
        QVERIFY(!error.trimmed().isEmpty());
        QVERIFY(S_ISDIR(modeOf(folder)));
        QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("folder.asm")});
    }

private:
    std::optional<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(SequenceSaveTest)
#include "SequenceSaveTest.moc"
