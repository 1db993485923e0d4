#include "TestSupport.h"
#include "app/MessageBoxSink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace chartrek;
using namespace chartrek::test;

Q_DECLARE_METATYPE(chartrek::MessageKind)

class TestMessageBoxSink : public QObject {
    Q_OBJECT
private slots:
    void boxes_data()
    {
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("press"); // 0: the close box
        QTest::addColumn<int>("answer");
        using B = QMessageBox;
        const QString title = QStringLiteral("Chartrek 1.0");
        QTest::newRow("error: OK with the stop sign")
            << MessageKind::Error << int(B::Ok) << int(B::Critical) << title << int(B::Ok) << int(AnswerOk);
        QTest::newRow("question: Yes answers Yes")
            << MessageKind::YesNo << int(B::Yes | B::No) << int(B::Question) << title << int(B::Yes) << int(AnswerYes);
        QTest::newRow("information: Cancel answers Cancel") << MessageKind::Info << int(B::Ok | B::Cancel)
                                                             << int(B::Information) << title << int(B::Cancel)
                                                             << int(AnswerCancel);
        const int three = int(B::Yes | B::No | B::Cancel);
        const QString longTitle = QStringLiteral("Chartrek Version 1.0");
        QTest::newRow("three answers: No answers No")
            << MessageKind::YesNoCancel << three << int(B::Question) << longTitle << int(B::No) << int(AnswerNo);
        QTest::newRow("three answers: the close box answers Cancel")
            << MessageKind::YesNoCancel << three << int(B::Question) << longTitle << 0 << int(AnswerCancel);
    }
    void boxes()
    {
        QFETCH(MessageKind, kind);
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(int, press);
        QFETCH(int, answer);
        QMainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MessageBoxSink sink(&window);
        int shownButtons = 0, shownIcon = 0;
        QString shownTitle, shownText;
        QWidget *parent = nullptr;
        QTimer poll; // the box runs its own event loop: note it from there, then answer
        connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            shownButtons = int(box->standardButtons());
            shownIcon = int(box->icon());
            shownTitle = box->windowTitle();
            shownText = box->text();
            parent = box->parentWidget();
            if (press > 0)
                box->button(QMessageBox::StandardButton(press))->click();
            else
                box->close();
        });
        poll.start(10);
        QCOMPARE(sink.show(kind, QStringLiteral("line one\r\nline two")), answer);
        QCOMPARE(shownButtons, buttons);
        QCOMPARE(shownIcon, icon);
        QCOMPARE(shownTitle, title);
        QCOMPARE(shownText, QStringLiteral("line one\r\nline two"));
        QCOMPARE(parent, &window);
    }
};

QTEST_MAIN(TestMessageBoxSink)
#include "test_message_box_sink.moc"
