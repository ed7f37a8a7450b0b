#include "rules/HistoryFile.h"
#include <QTest>

#include <QBuffer>
#include <QStringEncoder>

using namespace Nimbrel;

// Bytes that are no character, and characters of several bytes, exist in
// UTF-8 (Linux) but not in the single-byte ANSI code pages of Windows.
#define SKIP_UNLESS_SYSTEM_ENCODING_IS_UTF8()                                                      \
    do {                                                                                           \
        if (QByteArray(QStringEncoder(QStringConverter::System)(QStringLiteral("\u00C9")))         \
                .size() != 2)                                                                      \
            QSKIP("the system's 8-bit encoding is not UTF-8");                                     \
    } while (false)

namespace
{

QStringList texts(const QList<HistoryLine> &lines)
{
    QStringList result;
    for (const HistoryLine &line : lines)
        result << line.text;
    return result;
}

QList<HistoryLine> read(const QByteArray &bytes, qint16 maxItems)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readHistoryLines(buffer, maxItems);
}

} // namespace

class TestHistoryFile : public QObject
{
    Q_OBJECT
private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("maxItems");
        QTest::addColumn<QStringList>("expected");
        const QStringList ab{QStringLiteral("A"), QStringLiteral("B")};
        QTest::newRow("crlf, last terminated") << QByteArray("A\r\nB\r\n") << 10 << ab;
        QTest::newRow("last unterminated") << QByteArray("A\r\nB") << 10 << ab;
        QTest::newRow("lone cr") << QByteArray("A\rB\r") << 10 << ab;
        QTest::newRow("lone lf") << QByteArray("A\nB\n") << 10 << ab;
        QTest::newRow("lf cr is two ends")
            << QByteArray("A\n\rB") << 10
            << QStringList{QStringLiteral("A"), QString(), QStringLiteral("B")};
        QTest::newRow("trailing empty line")
            << QByteArray("A\r\nB\r\n\r\n") << 10
            << QStringList{QStringLiteral("A"), QStringLiteral("B"), QString()};
        QTest::newRow("empty file") << QByteArray() << 10 << QStringList{};
        QTest::newRow("only a line end") << QByteArray("\r\n") << 10 << QStringList{QString()};
        QTest::newRow("limit stops reading")
            << QByteArray("1\r\n2\r\n3\r\n") << 2
            << QStringList{QStringLiteral("1"), QStringLiteral("2")};
        QTest::newRow("max 0 reads all")
            << QByteArray("1\r\n2\r\n3") << 0
            << QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
        QTest::newRow("negative max reads all")
            << QByteArray("1\n2") << -5 << QStringList{QStringLiteral("1"), QStringLiteral("2")};
        QTest::newRow("blanks kept")
            << QByteArray("  AB \r\n") << 10 << QStringList{QStringLiteral("  AB ")};
        QTest::newRow("nul byte kept")
            << QByteArray("A\0B\r\n", 5) << 10
            << QStringList{QStringLiteral("A") + QChar(0) + QStringLiteral("B")};
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, maxItems);
        QFETCH(QStringList, expected);
        QCOMPARE(texts(read(bytes, qint16(maxItems))), expected);
    }

    void crLfSplitAcrossChunks()
    {
        // The reader works in 64 KiB chunks; a CR LF on the border is one line end.
        const QByteArray first(64 * 1024 - 1, 'x');
        const QList<HistoryLine> lines = read(first + "\r\nY\r\n", 10);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].text.size(), first.size());
        QCOMPARE(lines[1].text, QStringLiteral("Y"));
    }

    void readsOnlyWhatTheListShows()
    {
        QByteArray bytes;
        for (int i = 0; i < 100000; ++i)
            bytes += "ITEM " + QByteArray::number(i) + "\r\n";
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QCOMPARE(readHistoryLines(buffer, 10).size(), 10);
        QVERIFY(buffer.pos() <= 64 * 1024);
    }

    // A line longer than the bound is cut to it and is the last one read.
    void overlongLineIsCutAndEndsTheReading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("maxItems");
        QTest::addColumn<int>("maxLineBytes");
        QTest::addColumn<QStringList>("expected");
        const QString a = QStringLiteral("A");
        QTest::newRow("line at the bound kept whole")
            << QByteArray("A\r\n12345678\r\nB\r\n") << 10 << 8
            << QStringList{a, QStringLiteral("12345678"), QStringLiteral("B")};
        QTest::newRow("one byte over: cut, nothing after it read")
            << QByteArray("A\r\n123456789\r\nB\r\n") << 10 << 8
            << QStringList{a, QStringLiteral("12345678")};
        QTest::newRow("last line without a line end, over the bound")
            << QByteArray("A\r\n123456789") << 10 << 8
            << QStringList{a, QStringLiteral("12345678")};
        QTest::newRow("last line without a line end, at the bound")
            << QByteArray("A\r\n12345678") << 10 << 8 << QStringList{a, QStringLiteral("12345678")};
        QTest::newRow("no line end at all")
            << QByteArray(1000, 'x') << 10 << 8 << QStringList{QStringLiteral("xxxxxxxx")};
        QTest::newRow("cut line counts toward the maximum")
            << QByteArray("123456789\r\nB\r\n") << 1 << 8
            << QStringList{QStringLiteral("12345678")};
        QTest::newRow("no maximum still stops at the cut")
            << QByteArray("A\r\n123456789\r\nB\r\n") << 0 << 8
            << QStringList{a, QStringLiteral("12345678")};
        QTest::newRow("bound of 64 KiB by default")
            << QByteArray("A\r\n") + QByteArray(HistoryLineLimit + 1, 'x') + "\r\nB\r\n"
            << 10 << int(HistoryLineLimit) << QStringList{a, QString(HistoryLineLimit, u'x')};
    }
    void overlongLineIsCutAndEndsTheReading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, maxItems);
        QFETCH(int, maxLineBytes);
        QFETCH(QStringList, expected);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const QList<HistoryLine> lines =
            maxLineBytes == HistoryLineLimit
                ? readHistoryLines(buffer, qint16(maxItems))
                : readHistoryLines(buffer, qint16(maxItems), maxLineBytes);
        QCOMPARE(texts(lines), expected);
    }

    // However large a file without line ends is, one chunk beyond the bound is
    // all that is read of it.
    void fileWithoutLineEndsIsReadOnlyUpToTheBound()
    {
        QByteArray bytes(16 * 1024 * 1024, 'x');
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const QList<HistoryLine> lines = readHistoryLines(buffer, 0);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].text.size(), HistoryLineLimit);
        QVERIFY2(buffer.pos() <= 2 * HistoryLineLimit, qPrintable(QString::number(buffer.pos())));
    }

    void cutInsideACharacterKeepsTheBytes()
    {
        SKIP_UNLESS_SYSTEM_ENCODING_IS_UTF8();
        // "É" is two bytes in UTF-8; the bound falls between them.
        QByteArray bytes = QByteArray(7, 'A') + QStringLiteral("É").toUtf8() + "\r\n";
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const QList<HistoryLine> lines = readHistoryLines(buffer, 10, 8);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].raw, bytes.first(8));
        QCOMPARE(encodeHistoryItem(lines[0].text, lines[0].raw), bytes.first(8));
    }

    void invalidBytesSurviveRoundTrip()
    {
        SKIP_UNLESS_SYSTEM_ENCODING_IS_UTF8();
        const QByteArray latin1("CAF\xc9 \xff\xfe");
        const HistoryLine line = decodeHistoryLine(latin1);
        QCOMPARE(line.raw, latin1);
        QCOMPARE(encodeHistoryItem(line.text, line.raw), latin1);
        // Once the user changed the text, the bytes no longer belong to it.
        QCOMPARE(encodeHistoryItem(QStringLiteral("CAFE"), line.raw), QByteArray("CAFE"));
    }

    void validTextNeedsNoRawBytes()
    {
        // UTF-8 on Linux, the ANSI code page on Windows.
        const QByteArray bytes =
            QByteArray(QStringEncoder(QStringConverter::System)(QStringLiteral("CAFÉ")));
        const HistoryLine line = decodeHistoryLine(bytes);
        QCOMPARE(line.text, QStringLiteral("CAFÉ"));
        QVERIFY(line.raw.isEmpty());
        QCOMPARE(encodeHistoryItem(line.text), bytes);
    }
};

QTEST_APPLESS_MAIN(TestHistoryFile)
#include "tst_historyfile.moc"
