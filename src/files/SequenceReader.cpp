#include "files/SequenceReader.h"

#include "files/SharedTasks.h"

#include <QThread>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace glowline {

namespace {

// Marks a cell that no word has given a value yet. A word carries 12 bits, so
// it can never produce this value itself.
constexpr Cell kNoValue = 4096;

constexpr std::array<signed char, 256> makeHexTable()
{
    std::array<signed char, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 10; ++i)
        table[std::size_t('0' + i)] = static_cast<signed char>(i);
    for (int i = 0; i < 6; ++i) {
        table[std::size_t('A' + i)] = static_cast<signed char>(10 + i);
        table[std::size_t('a' + i)] = static_cast<signed char>(10 + i);
    }
    return table;
}
constexpr auto kHex = makeHexTable();

// The carry row has room for the twelve columns and four more slots, 12 to
// 15, which take the words that the fast path below cannot read: any word
// stored there sends the whole text to the plain reading, which names the
// fault and its line.
constexpr std::size_t kCarrySlots = 16;
constexpr unsigned kFirstSpareSlot = kColumnCount;

// The four digits of a word are decoded two at a time, by one table for the
// first pair (the column code and the value's top digit) and one for the
// second (the value's low byte), each indexed by the two bytes as one 16-bit
// load gives them. Or-ing the two entries gives slot << 16 | value. Codes 11
// and 15 both address the duration; codes 12 to 14, and any byte that is no
// hexadecimal digit, give a spare slot.
using PairTable = std::array<std::uint32_t, 65536>;

// The two digits a 16-bit load of index gives, in memory order.
constexpr std::pair<int, int> digitPair(std::size_t index)
{
    const bool little = std::endian::native == std::endian::little;
    return {kHex[little ? index & 0xFF : index >> 8], kHex[little ? index >> 8 : index & 0xFF]};
}

constexpr PairTable makeFirstPairs()
{
    PairTable table{};
    for (std::size_t index = 0; index < table.size(); ++index) {
        const auto [high, low] = digitPair(index);
        const bool digits = high >= 0 && low >= 0;
        const int slot = !digits || (high >= 12 && high <= 14) ? int(kFirstSpareSlot)
                         : high == 15                          ? kDurationColumn
                                                               : high;
        table[index] = std::uint32_t(slot << 16 | (digits ? low << 8 : 0));
    }
    return table;
}

constexpr PairTable makeSecondPairs()
{
    PairTable table{};
    for (std::size_t index = 0; index < table.size(); ++index) {
        const auto [high, low] = digitPair(index);
        table[index] = std::uint32_t(high >= 0 && low >= 0 ? high << 4 | low : 0xF0000);
    }
    return table;
}

// Made by the compiler, so a read pays nothing to build them and touches only
// the parts that hold digits.
constexpr PairTable kFirstPairs = makeFirstPairs();
constexpr PairTable kSecondPairs = makeSecondPairs();

// The writer's own lines are recognised a machine word at a time: the first
// eight bytes of a line, loaded as one integer, are compared under a mask
// with the integer that the prefix's bytes load as on this machine.
std::uint64_t load64(const char *p)
{
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint16_t load16(const char *p)
{
    std::uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

template <typename Int> constexpr Int loadedAs(std::string_view bytes)
{
    Int value = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t shift =
            std::endian::native == std::endian::little ? 8 * i : 8 * (sizeof(Int) - 1 - i);
        value |= Int(static_cast<unsigned char>(bytes[i])) << shift;
    }
    return value;
}

constexpr auto kWordPrefix = loadedAs<std::uint64_t>(".dw 0x");
constexpr auto kWordPrefixMask = loadedAs<std::uint64_t>("\xFF\xFF\xFF\xFF\xFF\xFF");
constexpr auto kHeaderPrefix = loadedAs<std::uint64_t>(";Line");
constexpr auto kHeaderPrefixMask = loadedAs<std::uint64_t>("\xFF\xFF\xFF\xFF\xFF");
constexpr auto kCrLf = loadedAs<std::uint16_t>("\r\n");
constexpr std::uint64_t kEveryByteCr = 0x0D0D0D0D0D0D0D0Dull;
constexpr std::uint64_t kEveryByteLf = 0x0A0A0A0A0A0A0A0Aull;

// Four word lines in a row, checked eight bytes at a time; '?' marks the
// digits, which the pair tables check.
constexpr std::string_view kWordBlock = ".dw 0x????\r\n.dw 0x????\r\n.dw 0x????\r\n.dw 0x????\r\n";
constexpr std::size_t kWordBlockChunks = kWordBlock.size() / 8;
struct BlockPattern
{
    std::array<std::uint64_t, kWordBlockChunks> bytes;
    std::array<std::uint64_t, kWordBlockChunks> mask;
};
constexpr BlockPattern makeBlockPattern()
{
    BlockPattern pattern{};
    for (std::size_t i = 0; i < kWordBlockChunks; ++i) {
        char bytes[8] = {};
        char mask[8] = {};
        for (std::size_t j = 0; j < 8; ++j) {
            const char ch = kWordBlock[8 * i + j];
            bytes[j] = ch == '?' ? '\0' : ch;
            mask[j] = ch == '?' ? '\0' : '\xFF';
        }
        pattern.bytes[i] = loadedAs<std::uint64_t>(std::string_view(bytes, 8));
        pattern.mask[i] = loadedAs<std::uint64_t>(std::string_view(mask, 8));
    }
    return pattern;
}
constexpr BlockPattern kBlockPattern = makeBlockPattern();

bool isWordBlock(const char *p)
{
#if defined(__SSE2__)
    // Sixteen bytes at a time; every x86-64 processor has SSE2.
    const auto load128 = [](const void *at) {
        return _mm_loadu_si128(static_cast<const __m128i *>(at));
    };
    static_assert(kWordBlockChunks == 6);
    const auto differs = [p, &load128](std::size_t i) {
        return _mm_and_si128(
            _mm_xor_si128(load128(p + 16 * i), load128(&kBlockPattern.bytes[2 * i])),
            load128(&kBlockPattern.mask[2 * i]));
    };
    const __m128i differ = _mm_or_si128(_mm_or_si128(differs(0), differs(1)), differs(2));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(differ, _mm_setzero_si128())) == 0xFFFF;
#else
    std::uint64_t differ = 0;
    for (std::size_t i = 0; i < kWordBlockChunks; ++i)
        differ |= (load64(p + 8 * i) ^ kBlockPattern.bytes[i]) & kBlockPattern.mask[i];
    return differ == 0;
#endif
}

bool isWordLine(const char *p)
{
    return (load64(p) & kWordPrefixMask) == kWordPrefix && load16(p + 10) == kCrLf;
}

// Bit 7 set in each byte of x that is zero, and in no other.
constexpr std::uint64_t zeroBytes(std::uint64_t x)
{
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    return ~(((x & low7) + low7) | x | low7);
}

// The offset, in memory order, of the first byte that zeroBytes marked.
int firstMarkedByte(std::uint64_t marks)
{
    if constexpr (std::endian::native == std::endian::little)
        return std::countr_zero(marks) / 8;
    else
        return std::countl_zero(marks) / 8;
}

bool startsWith(const char *line, qsizetype length, std::string_view prefix)
{
    return length >= qsizetype(prefix.size()) &&
           std::memcmp(line, prefix.data(), prefix.size()) == 0;
}

FileError failure(int line, QString description)
{
    FileError error;
    error.line = line;
    error.description = std::move(description);
    return error;
}

// The lines a text gives before the marks are filled in: a cell that no
// word of the text has set yet holds kNoValue. carry is the row after the
// last line, spare slots included.
struct Lines
{
    std::vector<Cell> cells;
    std::array<Cell, kCarrySlots> carry;

    qsizetype count() const { return qsizetype(cells.size() / kColumnCount); }

    // A word went to a spare slot: the block reading could not take it.
    bool unread() const
    {
        return std::any_of(carry.begin() + kFirstSpareSlot, carry.end(),
                           [](Cell cell) { return cell != kNoValue; });
    }
};

// Reads text by the rules into lines. With FastWords, runs of the writer's
// own word lines are read a block at a time; a word there that the plain
// reading would refuse is only noted in a spare slot (lines.unread()), and
// the lines must then be thrown away for the plain reading's.
template <bool FastWords> FileError readLines(QByteArrayView text, Lines &lines)
{
    static constexpr std::string_view kHeader = ";Line";
    static constexpr std::string_view kWord = ".dw 0x";

    // A line starts as a copy of the carry row and every word sets its cell
    // and the carry cell alike, so a finished line always equals the carry
    // row: lines are stored when the next header (or the end) finishes them.
    // (The row and the cells are this function's own until the end: pieces
    // of a text are read side by side, and their lines lie close together.)
    std::array<Cell, kCarrySlots> carry;
    carry.fill(kNoValue);
    // Room for as many lines as a text of this size holds when its lines
    // have a few words each; it grows when they have fewer, and is cut to
    // the lines read at the end.
    std::vector<Cell> cells(std::size_t(std::min<qsizetype>(text.size() / 128 + 64, kMaxLines)) *
                            kColumnCount);
    // Line n, 1-based, is finished: it equals the carry row.
    const auto storeLine = [&cells, &carry](int n) {
        const std::size_t at = std::size_t(n - 1) * kColumnCount;
        if (at == cells.size()) [[unlikely]]
            cells.resize(std::min(2 * cells.size(), std::size_t(kMaxLines) * kColumnCount));
        std::memcpy(cells.data() + at, carry.data(), kColumnCount * sizeof(Cell));
    };
    int lineCount = 0;

    const char *p = text.data();
    const char *const end = p + text.size();
    const auto isLineEnd = [end](const char *at) {
        return at == end || *at == '\n' || *at == '\r';
    };
    int fileLine = 0;
    while (p < end) {
        // Fast paths for the writer's own two shapes of line, ".dw 0xHHHH" and
        // ";Line n", each ended by CR LF. They give exactly what the general
        // reading below gives such lines, and leave every other line, and
        // every failure, to it.
        if (FastWords && lineCount > 0) {
            // A run of word lines of exactly 12 bytes each: four at a time,
            // then one at a time up to the line that ends the run.
            const char *const runStart = p;
            const auto storeWord = [&carry](const char *line) {
                const std::uint32_t word = kFirstPairs[load16(line + kWord.size())] |
                                           kSecondPairs[load16(line + kWord.size() + 2)];
                carry[word >> 16] = Cell(std::uint16_t(word));
            };
            while (end - p >= qsizetype(kWordBlock.size()) && isWordBlock(p)) {
                storeWord(p);
                storeWord(p + 12);
                storeWord(p + 24);
                storeWord(p + 36);
                p += kWordBlock.size();
            }
            while (end - p >= 12 && isWordLine(p)) {
                storeWord(p);
                p += 12;
            }
            fileLine += int((p - runStart) / 12);
            if (p == end)
                break;
        }
        ++fileLine;
        if (end - p >= 13 && (load64(p) & kHeaderPrefixMask) == kHeaderPrefix &&
            lineCount < kMaxLines) {
            if (lineCount > 0)
                storeLine(lineCount);
            ++lineCount;
            // The writer's header ends within the eight bytes after ";Line".
            const std::uint64_t after = load64(p + kHeader.size());
            const std::uint64_t ends =
                zeroBytes(after ^ kEveryByteCr) | zeroBytes(after ^ kEveryByteLf);
            const char *eol = p + kHeader.size() + 8;
            if (ends != 0)
                eol = p + kHeader.size() + firstMarkedByte(ends);
            while (!isLineEnd(eol))
                ++eol;
            p = eol;
            if (p < end)
                p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
            continue;
        }
        const char *eol = p;
        if (*p == '.' && startsWith(p, end - p, kWord)) {
            if (lineCount == 0)
                return failure(fileLine, QStringLiteral("word before the first line header"));
            // The (up to) four characters after the prefix must all be hex
            // digits; anything after them is not read.
            const char *digits = p + kWord.size();
            int count = 0;
            int word = 0;
            bool hex = true;
            for (; count < 4 && !isLineEnd(digits + count); ++count) {
                const int digit = kHex[static_cast<unsigned char>(digits[count])];
                hex = hex && digit >= 0;
                word = word * 16 + digit;
            }
            if (count == 0)
                return failure(fileLine, QStringLiteral("no hexadecimal digits after \".dw 0x\""));
            if (!hex) {
                return failure(fileLine, QStringLiteral("\"%1\" is not a hexadecimal number")
                                             .arg(printableText(QByteArrayView(digits, count))));
            }
            const int code = word >> 12;
            if (code >= 12 && code <= 14)
                return failure(fileLine, QStringLiteral("column code %1 is not valid").arg(code));
            // Codes 11 and 15 both address the duration.
            carry[std::size_t(code == 15 ? kDurationColumn : code)] = Cell(word & 0xFFF);
            eol = digits + count;
        } else if (*p == ';' && startsWith(p, end - p, kHeader)) {
            if (lineCount == kMaxLines)
                return failure(fileLine, QStringLiteral("more than %1 lines").arg(kMaxLines));
            if (lineCount > 0)
                storeLine(lineCount);
            ++lineCount;
            eol = p + kHeader.size();
        }
        // The rest of the line is not read. Lines end at CR LF, LF or a lone CR.
        while (!isLineEnd(eol))
            ++eol;
        p = eol;
        if (p < end)
            p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }

    if (lineCount > 0)
        storeLine(lineCount);
    cells.resize(std::size_t(lineCount) * kColumnCount);
    lines.cells = std::move(cells);
    lines.carry = carry;
    return {};
}

// Gives value to the cells of one column that hold the mark, from index first
// on, up to the column's first word.
void fillMarks(std::vector<Cell> &cells, std::size_t first, Cell value)
{
    for (std::size_t i = first; i < cells.size() && cells[i] == kNoValue; i += kColumnCount)
        cells[i] = value;
}

// The table that lines give once the marks are filled in.
ReadResult tableOf(Lines lines)
{
    ReadResult result;
    if (lines.count() == 0)
        return result; // no header at all: one all-zero line

    // A column holds the mark only in the lines before its first word; those
    // equal the last line, which is what the writer encoded line 1 against.
    // A column with no word in the whole file becomes 0.
    for (std::size_t c = 0; c < kColumnCount; ++c)
        fillMarks(lines.cells, c, lines.carry[c] == kNoValue ? Cell(0) : lines.carry[c]);
    result.table = LineTable(std::move(lines.cells));
    return result;
}

ReadResult readWhole(QByteArrayView text)
{
    // A failure, or a word the block reading could not take, is left to the
    // plain reading, so that every fault is named at the line where the
    // plain reading meets it first.
    Lines lines;
    FileError error = readLines<true>(text, lines);
    if (error.isSet() || lines.unread()) {
        error = readLines<false>(text, lines);
        if (error.isSet()) {
            ReadResult result;
            result.error = std::move(error);
            return result;
        }
    }
    return tableOf(std::move(lines));
}

// Appends the lines of the text that follows to all: the cells that piece
// has no word for yet take what all carries, as they would have in one
// reading of both texts.
void append(Lines &all, const Lines &piece)
{
    const std::size_t start = all.cells.size();
    all.cells.insert(all.cells.end(), piece.cells.begin(), piece.cells.end());
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        if (all.carry[c] != kNoValue)
            fillMarks(all.cells, start + c, all.carry[c]);
        if (piece.carry[c] != kNoValue)
            all.carry[c] = piece.carry[c];
    }
}

// A large text is cut into pieces of about this size, which the threads of
// Qt's global pool share with the calling thread (see SharedTasks).
constexpr qsizetype kPieceBytes = 512 * 1024;

// Reads one piece of a text into lines; false when it cannot be read alone.
bool readPiece(QByteArrayView text, Lines &lines)
{
    return !readLines<true>(text, lines).isSet() && !lines.unread();
}

// What the threads reading the pieces of one text share. It lives as long
// as the last of them: a pool thread that starts after every piece was
// taken still looks here, though the text is gone.
struct SharedReading
{
    std::vector<Lines> read;
    std::vector<char> failed;
    SharedTasks tasks;

    explicit SharedReading(std::size_t count) : read(count), failed(count, 0), tasks(count) {}

    // Reads the next piece not yet taken with readPiece(k, lines); false
    // when every piece was taken.
    template <typename ReadPiece> bool readNext(ReadPiece &&readPiece)
    {
        return tasks.runNext([this, &readPiece](std::size_t k) {
            // Nothing may leave a thread of the pool; what went wrong here
            // (memory, at worst) the reading of the whole text meets again.
            try {
                failed[k] = !readPiece(k, read[k]);
            } catch (...) {
                failed[k] = 1;
            }
        });
    }

    // Reads every piece not yet taken with readPiece(k, lines).
    template <typename ReadPiece> void readWhatIsLeft(ReadPiece &&readPiece)
    {
        while (readNext(readPiece)) {
        }
    }

    // The calling thread's part: reads pieces as readWhatIsLeft does, and
    // between them joins, in order, the pieces read so far by any thread,
    // so that little is left to join once the last is read. room is the
    // number of lines to make room for at once. Gives nothing when the
    // pieces could not be read alone (a failure, or more lines than a
    // sequence holds), which is left to one reading of the whole text, as
    // that names it at its line. Every piece is waited for even then, as its
    // thread reads the text until it is done.
    template <typename ReadPiece>
    std::optional<Lines> readAndJoin(ReadPiece &&readPiece, qsizetype room)
    {
        Lines all;
        all.carry.fill(kNoValue);
        all.cells.reserve(std::size_t(std::min<qsizetype>(kMaxLines, room)) * kColumnCount);
        bool whole = false;
        qsizetype lineCount = 0;
        std::size_t joined = 0;
        const auto joinRead = [&](bool wait) {
            for (; joined < tasks.count(); ++joined) {
                if (wait)
                    tasks.waitFor(joined);
                else if (!tasks.isDone(joined))
                    return;
                lineCount += read[joined].count();
                whole = whole || failed[joined] != 0 || lineCount > kMaxLines;
                if (!whole)
                    append(all, read[joined]);
                read[joined] = {};
            }
        };
        while (readNext(readPiece))
            joinRead(false);
        joinRead(true);
        if (whole)
            return std::nullopt;
        return all;
    }
};

// Cuts text into at most the given number of pieces, each after the first
// starting at a header line near its share of the text, so that it starts a
// line of its own: a piece reads as if it were a file of its own.
std::vector<QByteArrayView> piecesOf(QByteArrayView text, int pieces)
{
    std::vector<QByteArrayView> texts;
    qsizetype start = 0;
    for (int k = 1; k < pieces; ++k) {
        const qsizetype from = std::max(start, text.size() * k / pieces);
        const qsizetype header = text.indexOf(QByteArrayView("\n;Line"), from);
        if (header < 0)
            break;
        texts.push_back(text.sliced(start, header + 1 - start));
        start = header + 1;
    }
    texts.push_back(text.sliced(start));
    return texts;
}

#ifdef Q_OS_UNIX

// A large file is read in chunks, and each thread reads the piece of the
// text that starts in its chunk as soon as it has read the chunk, while its
// bytes are still in the processor's cache. A piece starts at the first
// header line at or after its chunk's start, so a thread reads this much
// more than its chunk, to see where the next piece starts.
constexpr qint64 kLookAhead = 4096;

// The buffer that the calling thread reads chunks into, with room for at
// least the given bytes. A thread keeps it from one file to the next, and it
// ends with the thread: new memory costs a page fault for every few
// kilobytes first touched, which on some virtual machines costs more than
// reading the bytes.
char *chunkBuffer(std::size_t bytes)
{
    thread_local std::unique_ptr<char[]> buffer;
    thread_local std::size_t room = 0;
    if (room < bytes) {
        buffer.reset();
        room = 0;
        buffer = std::make_unique_for_overwrite<char[]>(bytes);
        room = bytes;
    }
    return buffer.get();
}

struct ChunkedFile
{
    int handle;
    qint64 size;
    qint64 chunkBytes;

    std::size_t chunkCount() const { return std::size_t((size + chunkBytes - 1) / chunkBytes); }

    // Reads chunk k with the bytes around it into the thread's buffer, and
    // the lines of its piece into lines. False when the piece cannot be read
    // alone, or when the file is not as long as it was.
    bool readChunk(std::size_t k, Lines &lines) const
    {
        const qint64 start = qint64(k) * chunkBytes;
        // The byte before the chunk tells whether a line starts with it.
        const qint64 from = k == 0 ? 0 : start - 1;
        const qint64 to = std::min(size, start + chunkBytes + kLookAhead);
        char *const buffer = chunkBuffer(std::size_t(chunkBytes + kLookAhead + 1));
        if (!readInputFileAt(handle, buffer, to - from, from))
            return false;
        const QByteArrayView bytes(buffer, to - from);

        // Where the piece that starts at or after at starts: the first header
        // line within the look-ahead; the end of the file if that reaches it
        // first; -1 if neither, and the text is then read whole. The thread
        // of the chunk before sees the same bytes and finds the same place.
        const auto pieceStart = [&](qint64 at) -> qint64 {
            const qint64 until = std::min(size, at + kLookAhead);
            const qsizetype found =
                bytes.sliced(at - 1 - from, until - (at - 1)).indexOf(QByteArrayView("\n;Line"));
            if (found >= 0)
                return at + found;
            return until == size ? size : -1;
        };
        const qint64 begin = k == 0 ? 0 : pieceStart(start);
        const qint64 end = start + chunkBytes >= size ? size : pieceStart(start + chunkBytes);
        return begin >= 0 && end >= 0 && readPiece(bytes.sliced(begin - from, end - begin), lines);
    }
};

// Reads the size bytes of the open file in chunks of chunkBytes, on as many
// threads as are free. Gives nothing when the pieces could not be read alone,
// or did not read the file as it is now, whole and no longer: the file is
// then read whole.
std::optional<Lines> readChunksOnThreads(QFile &file, qint64 size, qint64 chunkBytes)
{
    const ChunkedFile chunks{file.handle(), size, chunkBytes};
    auto shared = std::make_shared<SharedReading>(chunks.chunkCount());
    const auto readChunk = [chunks](std::size_t k, Lines &lines) {
        return chunks.readChunk(k, lines);
    };
    shared->tasks.startHelpers([shared, readChunk] { shared->readWhatIsLeft(readChunk); });
    std::optional<Lines> lines = shared->readAndJoin(readChunk, size / 6 + 1);
    char beyond = 0;
    if (::pread(chunks.handle, &beyond, 1, size) != 0)
        return std::nullopt;
    return lines;
}

#endif

// Reads the file at path, in pieces of pieceBytes side by side when it has
// at least the given smallest size.
ReadResult readFile(const QString &path, qint64 pieceBytes, qint64 smallest)
{
    ReadResult result;
    QFile file;
    if (!openInputFile(path, file, &result.error))
        return result;
#ifdef Q_OS_UNIX
    if (const qint64 size = file.size(); size >= smallest && size > 0) {
        if (std::optional<Lines> lines = readChunksOnThreads(file, size, pieceBytes))
            return tableOf(std::move(*lines));
    }
#else
    Q_UNUSED(pieceBytes);
    Q_UNUSED(smallest);
#endif
    const std::optional<QByteArray> bytes = readOpenInputFile(file, &result.error);
    if (!bytes)
        return result;
    return readSequence(*bytes);
}

} // namespace

ReadResult readSequence(QByteArrayView text)
{
    if (QThread::idealThreadCount() > 1 && text.size() >= 2 * kPieceBytes)
        return readSequenceInPieces(text, int(text.size() / kPieceBytes));
    return readWhole(text);
}

ReadResult readSequenceInPieces(QByteArrayView text, int pieces)
{
    std::vector<QByteArrayView> texts = piecesOf(text, pieces);
    if (texts.size() == 1)
        return readWhole(text);
    auto shared = std::make_shared<SharedReading>(texts.size());
    const auto readText = [texts = std::move(texts)](std::size_t k, Lines &lines) {
        return readPiece(texts[k], lines);
    };
    shared->tasks.startHelpers([shared, readText] { shared->readWhatIsLeft(readText); });
    if (std::optional<Lines> lines = shared->readAndJoin(readText, text.size() / 6 + 1))
        return tableOf(std::move(*lines));
    return readWhole(text);
}

ReadResult readSequenceFileInPieces(const QString &path, qint64 pieceBytes)
{
    return readFile(path, std::max<qint64>(pieceBytes, 1), 1);
}

ReadResult readSequenceFile(const QString &path)
{
    return readFile(path, kPieceBytes, 2 * kPieceBytes);
}

} // namespace glowline
