#include "TestSupport.h"
#include "core/Messages.h"

#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void answers()
    {
        RecordingSink sink;
        Messages m(sink);
        sink.answers = {AnswerYes, AnswerCancel, AnswerNo, AnswerOk};
        QCOMPARE(m.AskYesNo(QStringLiteral("q")), int(AnswerYes));
        QCOMPARE(m.AskYesNo(QStringLiteral("q")), int(AnswerNo)); // no third answer for two buttons
        QCOMPARE(m.AskYesNoCancel(QStringLiteral("q")), int(AnswerNo));
        QCOMPARE(m.AskYesNoCancel(QStringLiteral("q")), int(AnswerCancel)); // anything else is Cancel
        m.ReportScanError(QStringLiteral("GetColor")); // the operation's name is not shown
        QCOMPARE(sink.texts().last(), QStringLiteral("An error occured while scanning the picture. Maybe there is "
                                                     "to low memory. Close some applications."));
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "test_messages.moc"
