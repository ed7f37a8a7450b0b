#include "support/TestEnvironment.h"
#include "update/VersionsFile.h"

class TestVersionsFile : public QObject
{
    Q_OBJECT

private slots:
    void fields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("empty text") << QString() << QStringList();
        QTest::newRow("one line without line end")
            << u"Nimbrel Launcher:1.3"_qs << QStringList{u"Nimbrel Launcher:1.3"_qs};
        QTest::newRow("comma splits a line")
            << u"Nimbrel Launcher:1.3, second build"_qs
            << QStringList{u"Nimbrel Launcher:1.3"_qs, u"second build"_qs};
        QTest::newRow("CR LF, lone LF and lone CR end lines")
            << u"a:1\r\nb:2\nc:3\rd:4\r\n"_qs
            << QStringList{u"a:1"_qs, u"b:2"_qs, u"c:3"_qs, u"d:4"_qs};
        QTest::newRow("empty line is an empty field")
            << u"a\r\n\r\nb"_qs << QStringList{u"a"_qs, QString(), u"b"_qs};
        QTest::newRow("leading blanks skipped, trailing dropped")
            << u"   a:1  ,  b  "_qs << QStringList{u"a:1"_qs, u"b"_qs};
        QTest::newRow("tab is kept") << u"\ta"_qs << QStringList{u"\ta"_qs};
        QTest::newRow("quoted field keeps commas and blanks")
            << u"  \" x, y \",z"_qs << QStringList{u" x, y "_qs, u"z"_qs};
        QTest::newRow("quoted field spans lines")
            << u"\"a\r\nb\"\r\nc"_qs << QStringList{u"a\r\nb"_qs, u"c"_qs};
        QTest::newRow("text after closing quote dropped")
            << u"\"a\"junk,b"_qs << QStringList{u"a"_qs, u"b"_qs};
        QTest::newRow("unclosed quote holds the rest of its line")
            << u"\"Nimbrel Launcher:1.3\r\nnext"_qs
            << QStringList{u"Nimbrel Launcher:1.3"_qs, u"next"_qs};
        QTest::newRow("quote inside an unquoted field")
            << u"a\"b,c"_qs << QStringList{u"a\"b"_qs, u"c"_qs};
        QTest::newRow("only commas") << u",,,"_qs << QStringList{QString(), QString(), QString()};
    }

    void fields()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);

        DelimitedFieldReader reader(text);
        QStringList fields;
        while (const std::optional<QString> field = reader.next())
            fields.append(*field);
        QCOMPARE(fields, expected);
    }

    void entry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expectedVersion");

        QTest::newRow("own line") << u"Other Tool:2.0\r\nNimbrel Launcher:1.3\r\n"_qs << true
                                  << u"1.3"_qs;
        QTest::newRow("letter case differs") << u"nimbrel launcher:2.0"_qs << true << u"2.0"_qs;
        QTest::newRow("earlier line with the title inside wins")
            << u"Nimbrel Launcher Beta:9\r\nNimbrel Launcher:1.3"_qs << true << u"9"_qs;
        QTest::newRow("title in the middle of a field")
            << u"The Nimbrel Launcher:1.4"_qs << true << u"1.4"_qs;
        QTest::newRow("blank after the colon is kept")
            << u"Nimbrel Launcher: 1.3"_qs << true << u" 1.3"_qs;
        QTest::newRow("only the first colon splits")
            << u"Nimbrel Launcher:1.3:beta"_qs << true << u"1.3:beta"_qs;
        QTest::newRow("no colon gives the whole field")
            << u"Nimbrel Launcher 1.3"_qs << true << u"Nimbrel Launcher 1.3"_qs;
        QTest::newRow("second field of a line")
            << u"Other:1, Nimbrel Launcher:1.5"_qs << true << u"1.5"_qs;
        QTest::newRow("title split by a comma does not match")
            << u"Nimbrel,Launcher:1.3"_qs << false << QString();
        QTest::newRow("only other programs")
            << u"Other Tool:2.0\r\nThird:1"_qs << false << QString();
        QTest::newRow("empty file") << QString() << false << QString();
        QTest::newRow("binary bytes")
            << QString::fromLatin1("\x00\x01\xff\xfe\r\x7f", 6) << false << QString();
    }

    void entry()
    {
        QFETCH(QString, text);
        QFETCH(bool, found);
        QFETCH(QString, expectedVersion);

        const std::optional<QString> entry = findProgramEntry(text, u"Nimbrel Launcher"_qs);
        QCOMPARE(entry.has_value(), found);
        if (found)
            QCOMPARE(publishedVersionText(*entry), expectedVersion);
    }

    void newer_data()
    {
        QTest::addColumn<QString>("published");
        QTest::addColumn<QString>("own");
        QTest::addColumn<bool>("newer");

        QTest::newRow("1.3 after 1.25 (numeric, not textual)") << u"1.3"_qs << u"1.25"_qs << true;
        QTest::newRow("2 after 1.25") << u"2"_qs << u"1.25"_qs << true;
        QTest::newRow("equal") << u"1.25"_qs << u"1.25"_qs << false;
        QTest::newRow("1.25.1 reads as 1.25") << u"1.25.1"_qs << u"1.25"_qs << false;
        QTest::newRow("older") << u"1.2"_qs << u"1.25"_qs << false;
        QTest::newRow("leading blank") << u" 1.3"_qs << u"1.25"_qs << true;
        QTest::newRow("no number counts as 0") << u"Nimbrel Launcher 1.3"_qs << u"1.25"_qs << false;
        QTest::newRow("hexadecimal") << u"&H10"_qs << u"1.25"_qs << true;
        QTest::newRow("beyond the double range") << u"9E999"_qs << u"1.25"_qs << true;
        QTest::newRow("own version without number") << u"0.1"_qs << QString() << true;
    }

    void newer()
    {
        QFETCH(QString, published);
        QFETCH(QString, own);
        QFETCH(bool, newer);
        QCOMPARE(isNewerVersion(published, own), newer);
    }
    // Ordinary lengths are shown as published; a longer text keeps its start
    // and end, and the message stays a few lines long.
    void shownVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("shown");
        const QString start(128, u'S');
        const QString end(127, u'E');
        QTest::newRow("ordinary") << u" 1.3"_qs << u" 1.3"_qs;
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("256 characters, shown whole") << start + end + u'E' << start + end + u'E';
        QTest::newRow("257 characters, middle left out")
            << start + u"MM"_qs + end << start + u'\u2026' + end;
        QTest::newRow("a megabyte")
            << start + QString(1000 * 1000, u'M') + end << start + u'\u2026' + end;
        const QString face = QStringLiteral("\U0001F600"); // two UTF-16 units
        QTest::newRow("no half characters at the cut")
            << QString(127, u'S') + face + QString(100, u'M') + face + QString(126, u'E')
            << QString(127, u'S') + u'\u2026' + QString(126, u'E');
    }
    void shownVersion()
    {
        QFETCH(QString, version);
        QFETCH(QString, shown);
        QCOMPARE(shownVersionText(version), shown);
        QVERIFY(shownVersionText(version).size() <= MaxShownVersionLength);
    }
};

NIMBREL_TEST_MAIN(TestVersionsFile)
#include "tst_versionsfile.moc"
