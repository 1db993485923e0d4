#include "TestSupport.h"
#include "core/Messages.h"
#include "core/ToolMode.h"

#include <QSignalSpy>
#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

Q_DECLARE_METATYPE(chartrek::MessageKind)

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void styles_data()
    {
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("title");
        QTest::newRow("error: OK, stop") << MessageKind::Error << 16 << "Chartrek 1.0";
        QTest::newRow("yes/no: question") << MessageKind::YesNo << 36 << "Chartrek 1.0";
        QTest::newRow("info: OK/Cancel, information") << MessageKind::Info << 65 << "Chartrek 1.0";
        QTest::newRow("yes/no/cancel: its own title") << MessageKind::YesNoCancel << 35 << "Chartrek Version 1.0";
        QTest::newRow("scan error looks like an error") << MessageKind::ScanError << 16 << "Chartrek 1.0";
    }
    void styles()
    {
        QFETCH(MessageKind, kind);
        QFETCH(int, style);
        QFETCH(QString, title);
        QCOMPARE(messageStyle(kind).style, style);
        QCOMPARE(messageStyle(kind).title, title);
    }

    void answers()
    {
        RecordingSink sink;
        Messages m(sink);
        sink.answers = {AnswerYes, AnswerCancel, AnswerNo, AnswerCancel, AnswerYes, AnswerCancel};
        QCOMPARE(m.AskYesNo(QStringLiteral("q")), int(AnswerYes));
        QCOMPARE(m.AskYesNo(QStringLiteral("q")), int(AnswerNo)); // no third answer for two buttons
        QCOMPARE(m.AskYesNoCancel(QStringLiteral("q")), int(AnswerNo));
        QCOMPARE(m.AskYesNoCancel(QStringLiteral("q")), int(AnswerCancel)); // the close box
        m.ShowInfo(QStringLiteral("either button only closes the box"));
        m.ShowInfo(QStringLiteral("either button only closes the box"));
        QCOMPARE(sink.shown.size(), 6);
    }

    void scanErrorNamesNoOperation()
    {
        RecordingSink sink;
        Messages m(sink);
        m.ReportScanError(QStringLiteral("GetColor"));
        QCOMPARE(sink.shown.size(), 1);
        QCOMPARE(sink.shown[0].kind, MessageKind::ScanError);
        QCOMPARE(sink.shown[0].text,
                 QStringLiteral("An error occured while scanning the picture. Maybe there is to low memory. "
                                "Close some applications."));
    }

    void pointerTool()
    {
        SharedState state;
        ToolMode tools(state);
        state.mToolMode = SharedState::AutoLineTool;
        state.mAutoLineStep = 2;
        state.mRotatePickStep = 2;
        QSignalSpy windowSteps(&tools, &ToolMode::pointerToolSet);
        tools.SetPointerTool();
        QCOMPARE(state.mToolMode, int(SharedState::PointerTool));
        QCOMPARE(state.mAutoLineStep, 0);
        QCOMPARE(state.mRotatePickStep, 1);
        QCOMPARE(windowSteps.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "test_messages.moc"
