#include "desktop/ShellAnswer.h"

#include <QTest>

using namespace Nimbrel;

// The Windows shell answers "open" with a number: above 32 the handler took
// the target, otherwise the number names the error. Callers only ever see
// "opened" or "failed, because ...".
class TestShellAnswer : public QObject
{
    Q_OBJECT

private slots:
    void answerBecomesOpenedOrAReason_data()
    {
        QTest::addColumn<qlonglong>("answer");
        QTest::addColumn<QString>("reason"); // null: opened
        QTest::newRow("a handler's instance") << 42LL << QString();
        QTest::newRow("lowest success") << 33LL << QString();
        QTest::newRow("highest failure, a library missing")
            << 32LL << QStringLiteral("A library it needs was not found.");
        QTest::newRow("no association")
            << 31LL << QStringLiteral("No program is associated with it.");
        QTest::newRow("file not found") << 2LL << QStringLiteral("The file was not found.");
        QTest::newRow("out of resources")
            << 0LL << QStringLiteral("The system is out of memory or resources.");
        QTest::newRow("an undocumented error") << 17LL << QStringLiteral("The shell answered 17.");
        QTest::newRow("negative") << -1LL << QStringLiteral("The shell answered -1.");
    }
    void answerBecomesOpenedOrAReason()
    {
        QFETCH(qlonglong, answer);
        QFETCH(QString, reason);
        const QString target = QStringLiteral("https://w.example/wiki/AB");
        const MaybeFailure failure = shellAnswer(qintptr(answer), target);
        QCOMPARE(failure.has_value(), !reason.isNull());
        if (!failure)
            return;
        QCOMPARE(failure->what, QStringLiteral("This could not be opened:"));
        QCOMPARE(failure->path, target);
        QCOMPARE(failure->reason, reason);
    }
};

QTEST_APPLESS_MAIN(TestShellAnswer)
#include "tst_shellanswer.moc"
