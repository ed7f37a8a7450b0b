#include "search/SearchRules.h"

#include <QRandomGenerator>
#include <QTest>

using namespace SearchRules;

Q_DECLARE_METATYPE(SearchRules::HistoryEdit)

namespace
{

QStringList numbered(int count)
{
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items << QStringLiteral("I%1").arg(i);
    return items;
}

// Typing as the box does it, one character at a time into the text as it
// stands after the one before: the plain statement of what a paste must give.
// It takes time in proportion to the text's length for every character.
QString typedOneByOne(const QString &text, int selectionStart, int selectionLength,
                      const QString &typed)
{
    QString current = text;
    int caret = selectionStart;
    int selected = selectionLength;
    QString inserted;
    for (const QChar ch : typed) {
        const qint16 code = filterKeyAscii(qint16(ch.unicode()), current, caret);
        if (code == KeyAscii::Discard || code == KeyAscii::Backspace)
            continue;
        const QChar accepted{char16_t(code)};
        current.replace(caret, selected, accepted);
        ++caret;
        selected = 0;
        inserted += accepted;
    }
    return inserted;
}

} // namespace

class TestSearchRules : public QObject
{
    Q_OBJECT

private slots:
    void keyFilter_data()
    {
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("expected");
        QTest::newRow("backspace passes") << 8 << 8;
        QTest::newRow("space passes") << 32 << 32;
        QTest::newRow("digit 0 passes") << int('0') << int('0');
        QTest::newRow("digit 9 passes") << int('9') << int('9');
        QTest::newRow("capital A passes") << int('A') << int('A');
        QTest::newRow("capital Z passes") << int('Z') << int('Z');
        QTest::newRow("small a becomes A") << int('a') << int('A');
        QTest::newRow("small z becomes Z") << int('z') << int('Z');
        QTest::newRow("enter discarded") << 13 << 0;
        QTest::newRow("ctrl-A control char discarded") << 1 << 0;
        QTest::newRow("tab discarded") << 9 << 0;
        QTest::newRow("full stop discarded") << int('.') << 0;
        QTest::newRow("question mark discarded") << int('?') << 0;
        QTest::newRow("slash before digits discarded") << int('/') << 0;
        QTest::newRow("colon after digits discarded") << int(':') << 0;
        QTest::newRow("at before capitals discarded") << int('@') << 0;
        QTest::newRow("bracket after capitals discarded") << int('[') << 0;
        QTest::newRow("backquote before small letters discarded") << int('`') << 0;
        QTest::newRow("brace after small letters discarded") << int('{') << 0;
        QTest::newRow("delete char discarded") << 127 << 0;
        QTest::newRow("e acute discarded") << 0xE9 << 0;
        QTest::newRow("replacement char (negative as 16 bits) discarded")
            << int(qint16(0xFFFD)) << 0;
        QTest::newRow("percent discarded") << int('%') << 0;
        QTest::newRow("hash discarded") << int('#') << 0;
    }
    void keyFilter()
    {
        QFETCH(int, typed);
        QFETCH(int, expected);
        QCOMPARE(filterKeyAscii(qint16(typed), QStringLiteral("AB"), 2), qint16(expected));
    }

    void dashRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("empty box") << QString() << 0 << false;
        QTest::newRow("caret at start") << QStringLiteral("AB") << 0 << false;
        QTest::newRow("end of AB") << QStringLiteral("AB") << 2 << true;
        QTest::newRow("middle of AB") << QStringLiteral("AB") << 1 << true;
        QTest::newRow("A-B, caret before the dash") << QStringLiteral("A-B") << 1 << false;
        QTest::newRow("A-B, caret after the dash") << QStringLiteral("A-B") << 2 << false;
        QTest::newRow("A-B, caret at end") << QStringLiteral("A-B") << 3 << true;
        QTest::newRow("AB-, caret at end after dash") << QStringLiteral("AB-") << 3 << false;
        QTest::newRow("A-B-C at end") << QStringLiteral("A-B-C") << 5 << false;
        QTest::newRow("A-B-C after A") << QStringLiteral("AB-C-D") << 1 << false;
        QTest::newRow("three dashes accept a fourth") << QStringLiteral("A-B-C-D") << 7 << true;
        QTest::newRow("three dashes still refuse a neighbour")
            << QStringLiteral("A-B-C-D") << 6 << false;
        QTest::newRow("one dash accepts a second") << QStringLiteral("A-BC") << 3 << true;
        QTest::newRow("caret beyond text") << QStringLiteral("AB") << 3 << false;
    }
    void dashRule()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(bool, allowed);
        QCOMPARE(dashAllowed(text, caret), allowed);
        QCOMPARE(filterKeyAscii(KeyAscii::Dash, text, caret),
                 allowed ? KeyAscii::Dash : KeyAscii::Discard);
    }

    void pastedTextIsTypedCharacterByCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("small letters and punctuation")
            << QString() << 0 << 0 << QStringLiteral("ab.c 1?") << QStringLiteral("ABC 1");
        QTest::newRow("leading dash dropped")
            << QString() << 0 << 0 << QStringLiteral("-AB") << QStringLiteral("AB");
        QTest::newRow("double dash becomes one")
            << QString() << 0 << 0 << QStringLiteral("A--B") << QStringLiteral("A-B");
        QTest::newRow("third dash dropped")
            << QString() << 0 << 0 << QStringLiteral("A-B-C-D") << QStringLiteral("A-B-CD");
        QTest::newRow("dashes counted with the box's text")
            << QStringLiteral("X-Y") << 3 << 0 << QStringLiteral("-A-B") << QStringLiteral("-AB");
        QTest::newRow("selection replaced: no dash first")
            << QStringLiteral("AB") << 0 << 2 << QStringLiteral("-C") << QStringLiteral("C");
        QTest::newRow("first dash judged against the selection, later ones without it")
            << QStringLiteral("A-B-C") << 1 << 3 << QStringLiteral("-X-Y") << QStringLiteral("X-Y");
        QTest::newRow("line breaks and shell characters dropped")
            << QString() << 0 << 0 << QStringLiteral("$(rm -rf ~)\n;x")
            << QStringLiteral("RM -RF X");
        QTest::newRow("backspace is not text")
            << QStringLiteral("AB") << 2 << 0 << QStringLiteral("\bC") << QStringLiteral("C");
        QTest::newRow("nothing accepted")
            << QStringLiteral("AB") << 1 << 1 << QStringLiteral("#%") << QString();
    }
    void pastedTextIsTypedCharacterByCharacter()
    {
        QFETCH(QString, text);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionLength);
        QFETCH(QString, pasted);
        QFETCH(QString, inserted);
        QCOMPARE(typedInsertion(text, selectionStart, selectionLength, pasted), inserted);
    }

    // The paste filter keeps only what the rules look at, instead of the
    // whole text: it must give what typing one by one gives.
    void pasteGivesWhatTypingOneByOneGives_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<int>("selectionLength");
        QTest::addColumn<QString>("pasted");
        const QString nul(QChar(0));
        QTest::newRow("dash-heavy into an empty box")
            << QString() << 0 << 0 << QStringLiteral("A-A-A-A-A-");
        QTest::newRow("dashes only") << QString() << 0 << 0 << QStringLiteral("----");
        QTest::newRow("selection holds the dashes that made two")
            << QStringLiteral("A-B-C") << 2 << 2 << QStringLiteral("X-Y-Z");
        QTest::newRow("selection of three dashes' text leaves two")
            << QStringLiteral("A-B-C-D") << 5 << 2 << QStringLiteral("-X-Y");
        QTest::newRow("three dashes accept a fourth, then refuse")
            << QStringLiteral("A-B-C-D") << 7 << 0 << QStringLiteral("-X-Y-Z");
        QTest::newRow("selected dash beside the caret, dash first")
            << QStringLiteral("AB-CD") << 2 << 1 << QStringLiteral("-X");
        QTest::newRow("selection ending before a dash")
            << QStringLiteral("AB-CD") << 1 << 1 << QStringLiteral("X-Y");
        QTest::newRow("refused first characters keep the selection")
            << QStringLiteral("A-B") << 1 << 2 << QStringLiteral(".-#X-");
        QTest::newRow("whole text selected")
            << QStringLiteral("A-B") << 0 << 3 << QStringLiteral("-C-D-E");
        QTest::newRow("at the end after a dash")
            << QStringLiteral("AB-") << 3 << 0 << QStringLiteral("-C-");
        QTest::newRow("nul character before the caret")
            << QStringLiteral("A") + nul << 2 << 0 << QStringLiteral("-B");
        QTest::newRow("nul character after the caret")
            << QStringLiteral("A") + nul + QStringLiteral("B") << 1 << 0 << QStringLiteral("-x-");
        QTest::newRow("small letters, blanks, backspace")
            << QStringLiteral("AB") << 1 << 0 << QStringLiteral("a\bb -c d-");
        QTest::newRow("characters beyond 16 bits")
            << QString() << 0 << 0 << QStringLiteral("A\U0001F600-B\u00E9-C");
        QTest::newRow("nothing pasted") << QStringLiteral("A-B") << 1 << 1 << QString();
    }
    void pasteGivesWhatTypingOneByOneGives()
    {
        QFETCH(QString, text);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionLength);
        QFETCH(QString, pasted);
        QCOMPARE(typedInsertion(text, selectionStart, selectionLength, pasted),
                 typedOneByOne(text, selectionStart, selectionLength, pasted));
    }

    // The same over many texts made of the characters that matter to the
    // rules, with every selection they allow.
    void pasteGivesWhatTypingOneByOneGivesForMixedTexts()
    {
        const QString alphabet = QStringLiteral("A--a -.\b") + QChar(0);
        QRandomGenerator random(16);
        const auto make = [&](int length) {
            QString text;
            for (int i = 0; i < length; ++i)
                text += alphabet.at(random.bounded(int(alphabet.size())));
            return text;
        };
        for (int round = 0; round < 3000; ++round) {
            const QString text = make(random.bounded(8));
            const QString pasted = make(random.bounded(10));
            for (int start = 0; start <= text.size(); ++start) {
                for (int length = 0; start + length <= text.size(); ++length) {
                    QCOMPARE(typedInsertion(text, start, length, pasted),
                             typedOneByOne(text, start, length, pasted));
                }
            }
        }
    }

    void leadingSpaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("none") << QStringLiteral("AB ") << 0;
        QTest::newRow("two") << QStringLiteral("  AB") << 2;
        QTest::newRow("only spaces") << QStringLiteral("   ") << 3;
        QTest::newRow("tab is no space") << QStringLiteral("\t AB") << 0;
        QTest::newRow("no-break space is no space") << QStringLiteral("\u00A0AB") << 0;
    }
    void leadingSpaces()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QCOMPARE(SearchRules::leadingSpaces(text), count);
    }

    void historyEdit_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("term");
        QTest::addColumn<int>("maxItems");
        QTest::addColumn<bool>("moveToTop");
        QTest::addColumn<HistoryEdit>("expected");
        const QStringList abc{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
        const HistoryEdit unchanged;
        const HistoryEdit insert{-1, -1, true};
        QTest::newRow("empty list, new term")
            << QStringList() << QStringLiteral("AB") << 10 << false << insert;
        QTest::newRow("found below top, moving on")
            << abc << QStringLiteral("B") << 10 << true << HistoryEdit{1, -1, false};
        QTest::newRow("found below top, moving off")
            << abc << QStringLiteral("B") << 10 << false << unchanged;
        QTest::newRow("found on top, moving on")
            << abc << QStringLiteral("A") << 10 << true << unchanged;
        QTest::newRow("full list, new term drops bottom")
            << numbered(10) << QStringLiteral("X") << 10 << false << HistoryEdit{-1, 9, true};
        QTest::newRow("full list, bottom term moves, nothing dropped")
            << numbered(10) << QStringLiteral("I10") << 10 << true << HistoryEdit{9, -1, false};
        QTest::newRow("over-full list grows")
            << numbered(12) << QStringLiteral("X") << 10 << false << insert;
        QTest::newRow("case differs: new")
            << QStringList{QStringLiteral("AB")} << QStringLiteral("ab") << 10 << true << insert;
        QTest::newRow("trailing blank differs: new")
            << QStringList{QStringLiteral("AB")} << QStringLiteral("AB ") << 10 << true << insert;
        QTest::newRow("upper copy of a duplicate found")
            << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("B")}
            << QStringLiteral("B") << 10 << true << HistoryEdit{1, -1, false};
        QTest::newRow("empty term, new")
            << abc << QString() << 3 << false << HistoryEdit{-1, 2, true};
        QTest::newRow("empty term, empty item found")
            << QStringList{QStringLiteral("A"), QString()} << QString() << 10 << true
            << HistoryEdit{1, -1, false};
        QTest::newRow("maximum 1, full") << QStringList{QStringLiteral("A")} << QStringLiteral("B")
                                         << 1 << false << HistoryEdit{-1, 0, true};
        QTest::newRow("maximum 0, empty list: no bound")
            << QStringList() << QStringLiteral("B") << 0 << false << insert;
        QTest::newRow("maximum 0: no bound") << abc << QStringLiteral("X") << 0 << false << insert;
        QTest::newRow("maximum -5: no bound")
            << abc << QStringLiteral("X") << -5 << false << insert;
    }
    void historyEdit()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, term);
        QFETCH(int, maxItems);
        QFETCH(bool, moveToTop);
        QFETCH(HistoryEdit, expected);
        const HistoryEdit edit = historyEditForLaunch(items, term, qint16(maxItems), moveToTop);
        QCOMPARE(edit.moveToTopFrom, expected.moveToTopFrom);
        QCOMPARE(edit.removeAt, expected.removeAt);
        QCOMPARE(edit.insertTerm, expected.insertTerm);
        QCOMPARE(edit.changesList(), expected.moveToTopFrom >= 0 || expected.insertTerm);
    }
};

QTEST_APPLESS_MAIN(TestSearchRules)
#include "tst_searchrules.moc"
