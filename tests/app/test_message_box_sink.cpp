#include "TestSupport.h"
#include "app/MessageBoxSink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace chartrek;
using namespace chartrek::test;

Q_DECLARE_METATYPE(chartrek::MessageKind)

namespace {

// Runs `act` on the message box once it is on screen.
void whenBoxShows(std::function<void(QMessageBox *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(box);
        }
    });
    timer->start();
}

} // namespace

class TestMessageBoxSink : public QObject {
    Q_OBJECT
private slots:
    void boxes_data()
    {
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("press");
        QTest::addColumn<int>("answer");
        using B = QMessageBox;
        QTest::newRow("error: OK with the stop sign") << MessageKind::Error << int(B::Ok) << int(B::Critical)
                                                      << "Chartrek 1.0" << int(B::Ok) << int(AnswerOk);
        QTest::newRow("question: Yes answers Yes") << MessageKind::YesNo << int(B::Yes | B::No) << int(B::Question)
                                                   << "Chartrek 1.0" << int(B::Yes) << int(AnswerYes);
        QTest::newRow("information: OK and Cancel") << MessageKind::Info << int(B::Ok | B::Cancel)
                                                    << int(B::Information) << "Chartrek 1.0" << int(B::Cancel)
                                                    << int(AnswerCancel);
        QTest::newRow("three answers: No") << MessageKind::YesNoCancel << int(B::Yes | B::No | B::Cancel)
                                           << int(B::Question) << "Chartrek Version 1.0" << int(B::No)
                                           << int(AnswerNo);
        QTest::newRow("three answers: Cancel") << MessageKind::YesNoCancel << int(B::Yes | B::No | B::Cancel)
                                               << int(B::Question) << "Chartrek Version 1.0" << int(B::Cancel)
                                               << int(AnswerCancel);
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
        bool checked = false;
        whenBoxShows([&](QMessageBox *box) {
            checked = true;
            QCOMPARE(int(box->standardButtons()), buttons);
            QCOMPARE(int(box->icon()), icon);
            QCOMPARE(box->windowTitle(), title);
            QCOMPARE(box->text(), QStringLiteral("line one\r\nline two"));
            QCOMPARE(box->parentWidget(), &window);
            QVERIFY(box->isModal());
            box->button(QMessageBox::StandardButton(press))->click();
        });
        QCOMPARE(sink.show(kind, QStringLiteral("line one\r\nline two")), answer);
        QVERIFY(checked);
    }

    void closeBoxAnswersCancel_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("the window's close box") << false;
        QTest::newRow("the Escape key") << true;
    }
    void closeBoxAnswersCancel()
    {
        QFETCH(bool, escape);
        QMainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MessageBoxSink sink(&window);
        Messages messages(sink);
        whenBoxShows([escape](QMessageBox *box) {
            if (escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        QCOMPARE(messages.AskYesNoCancel(QStringLiteral("Recalculate existing datas?")), int(AnswerCancel));
    }
};

QTEST_MAIN(TestMessageBoxSink)
#include "test_message_box_sink.moc"
