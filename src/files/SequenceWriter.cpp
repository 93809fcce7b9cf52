#include "files/SequenceWriter.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace glowline {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Appends ".dw 0x", the word as four upper-case digits, and CR LF.
inline char *putWord(char *out, unsigned word)
{
    std::memcpy(out, ".dw 0x", 6);
    out[6] = kHexDigits[(word >> 12) & 0xF];
    out[7] = kHexDigits[(word >> 8) & 0xF];
    out[8] = kHexDigits[(word >> 4) & 0xF];
    out[9] = kHexDigits[word & 0xF];
    out[10] = '\r';
    out[11] = '\n';
    return out + 12;
}

char *putHeader(char *out, int line)
{
    static constexpr std::array<char, 6> prefix{';', 'L', 'i', 'n', 'e', ' '};
    for (char c : prefix)
        *out++ = c;
    char digits[8];
    int n = 0;
    do {
        digits[n++] = char('0' + line % 10);
        line /= 10;
    } while (line > 0);
    while (n > 0)
        *out++ = digits[--n];
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

} // namespace

std::array<Cell, kColumnCount> firstLineReference(const LineTable &table)
{
    const int count = table.lineCount();
    const auto first = table.line(1);
    const auto last = table.line(count);
    std::array<Cell, kColumnCount> before{};
    std::copy(last.begin(), last.end(), before.begin());
    // The LED columns not black in line 1 that hold its colour in every line
    // so far; most sequences rule out every column within a few lines.
    unsigned constant = 0;
    for (int c = 0; c < kLedCount; ++c) {
        if (first[std::size_t(c)] != 0)
            constant |= 1U << c;
    }
    for (int n = 2; n <= count && constant != 0; ++n) {
        const auto line = table.line(n);
        for (int c = 0; c < kLedCount; ++c) {
            if (line[std::size_t(c)] != first[std::size_t(c)])
                constant &= ~(1U << c);
        }
    }
    for (int c = 0; c < kLedCount; ++c) {
        if ((constant & (1U << c)) != 0)
            before[std::size_t(c)] = 0;
    }
    return before;
}

QByteArray encodeSequence(const LineTable &table)
{
    static constexpr char kHead[] = ".cseg\r\n.org 0x0000\r\n";
    constexpr qsizetype kWordBytes = 12;   // ".dw 0xHHHH\r\n"
    constexpr qsizetype kHeaderBytes = 13; // ";Line 32767\r\n" at the most

    const int count = table.lineCount();
    QByteArray bytes;
    bytes.resize(qsizetype(sizeof(kHead) - 1) + count * (kHeaderBytes + kColumnCount * kWordBytes));
    char *out = bytes.data();
    for (char c : std::string_view(kHead))
        *out++ = c;

    const auto reference = firstLineReference(table);
    for (int n = 1; n <= count; ++n) {
        out = putHeader(out, n);
        forEachLineWord(table.line(n),
                        n == 1 ? std::span<const Cell, kColumnCount>(reference) : table.line(n - 1),
                        [&out](unsigned word) { out = putWord(out, word); });
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

int lineWordCount(const LineTable &table, int line)
{
    int words = 0;
    const auto count = [&words](unsigned) { ++words; };
    if (line == 1)
        forEachLineWord(table.line(1), firstLineReference(table), count);
    else
        forEachLineWord(table.line(line), table.line(line - 1), count);
    return words;
}

int sequenceWordCount(const LineTable &table)
{
    const int count = table.lineCount();
    int words = 0;
    const auto reference = firstLineReference(table);
    for (int n = 1; n <= count; ++n) {
        forEachLineWord(table.line(n),
                        n == 1 ? std::span<const Cell, kColumnCount>(reference) : table.line(n - 1),
                        [&words](unsigned) { ++words; });
    }
    return words;
}

#ifdef Q_OS_UNIX
namespace {

QString userName(uid_t uid)
{
    if (const passwd *entry = ::getpwuid(uid))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(uid);
}

QString groupName(gid_t gid)
{
    if (const group *entry = ::getgrgid(gid))
        return QString::fromLocal8Bit(entry->gr_name);
    return QString::number(gid);
}

// The new file is made by whoever saves, in their own group; the rename would
// take a group-shared file from its group, and give a file that root saved to
// root. Gives the new file the old one's owner and group, or, where only the
// group may be given (a member of it may), at least the group. Returns what
// could not be kept, or an empty text.
QString keepOwnerAndGroup(int newFile, const struct stat &old)
{
    if (::fchown(newFile, old.st_uid, old.st_gid) == 0)
        return QString();
    const int reason = errno;
    ::fchown(newFile, uid_t(-1), old.st_gid);
    struct stat now
    {};
    if (::fstat(newFile, &now) != 0 || (now.st_uid == old.st_uid && now.st_gid == old.st_gid))
        return QString();
    return QStringLiteral("it now belongs to user %1 and group %2 instead of user %3 and group "
                          "%4 (%5)")
        .arg(userName(now.st_uid), groupName(now.st_gid), userName(old.st_uid),
             groupName(old.st_gid), QString::fromLocal8Bit(std::strerror(reason)));
}

} // namespace
#endif

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error,
                         QString *ownerChange)
{
    if (ownerChange)
        ownerChange->clear();
    auto fail = [error](const QString &description) {
        if (error)
            *error = description;
        return false;
    };

    // Qt would only warn on the terminal about an empty name.
    if (path.isEmpty())
        return fail(QStringLiteral("no file name was given"));
    // Replacing a device or a pipe with a regular file would be worse than
    // failing, so only regular files (or new names) are written.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return fail(QStringLiteral("not a regular file"));

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
#ifdef Q_OS_UNIX
    // The bytes go to the file's descriptor directly: Qt reports a write that
    // stops short, as on a full disk, as "Unknown error", while the system
    // call says why. commit() then has nothing buffered left to flush.
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(file.handle(), data, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const QString description =
                QString::fromLocal8Bit(std::strerror(n < 0 ? errno : ENOSPC));
            file.cancelWriting();
            return fail(description);
        }
        data += n;
        left -= n;
    }
#else
    // commit() flushes what is still buffered but does not check that flush:
    // a disk that fills up on the last bytes would replace the old file with a
    // truncated one. Flushing here first makes such a failure a failure.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString description = file.errorString();
        file.cancelWriting();
        return fail(description);
    }
#endif
    QString change;
#ifdef Q_OS_UNIX
    // commit() syncs the file to disk but ignores a failure; some file systems
    // only report a full disk or a lost device at this point.
    if (::fdatasync(file.handle()) != 0 && errno != EINVAL) {
        const QString description = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return fail(description);
    }
    // The file replaced is the one a link points to, as QSaveFile replaces it.
    struct stat old
    {};
    if (::stat(QFile::encodeName(path).constData(), &old) == 0)
        change = keepOwnerAndGroup(file.handle(), old);
#endif
    if (!file.commit())
        return fail(file.errorString());
    if (ownerChange)
        *ownerChange = change;
    return true;
}

bool saveSequenceFile(const LineTable &table, const QString &path, QString *error,
                      QString *ownerChange)
{
    return writeFileAtomically(path, encodeSequence(table), error, ownerChange);
}

} // namespace glowline
