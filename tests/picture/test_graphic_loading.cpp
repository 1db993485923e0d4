#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "PictureFiles.h"
#include "app/SingleInstance.h"
#include "picture/GraphicLoading.h"
#include "picture/MetafileDecoder.h"
#include "picture/Views.h"

#include <QPushButton>

using namespace chartrek;
using namespace chartrek::test;

namespace {

struct Rig : MainWindowFixture {
    QString file(const QString &name, const QImage &image) { return writeFile(dir, name, encode(image, "png")); }
};

// A picture pasted or opened through the dialog: its content (null: cancelled) and the message's start.
struct Opening { bool paste; QByteArray content; QString message = {}; };
// A metafile drawn by a converter of that script (empty: none can be started) within its time, while
// the window waits, Cancel is pressed or another start hands a picture over; part of the reason given.
enum class Act { Wait, Cancel, HandOver };
struct Drawing { QByteArray script; int timeoutMs; Act act; QString message = {}; };

} // namespace

class TestGraphicLoading : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { metafileSettings() = MetafileSettings(); }

    void newPictureIsTakenOrChangesNothing_data()
    {
        QTest::addColumn<Opening>("opening");
        QTest::newRow("a cancelled dialog") << Opening{false, {}};
        QTest::newRow("a picture one pixel too wide")
            << Opening{false, encode(Rig::picture(32761, 2), "png"), GraphicLoading::tooBigText()};
        QTest::newRow("a picture is shown 1:1 with new tables") << Opening{false, encode(Rig::picture(300, 120), "png")};
        QTest::newRow("a pasted picture") << Opening{true, encode(Rig::picture(120, 80, Qt::blue), "png")};
    }
    void newPictureIsTakenOrChangesNothing()
    {
        QFETCH(Opening, opening);
        const auto &[paste, content, message] = opening;
        Rig rig;
        QVERIFY(rig.openWithAPoint());
        rig.sink.answers = {AnswerYes}; // "Delete existing data?", asked for a picture that is taken
        rig.window->state().mToolMode = SharedState::LineTool;
        partOf<Views>(*rig.window, "views")->mnuViewWindow_Click();
        rig.dialogs.answer = content.isNull() ? QString() : writeFile(rig.dir, QStringLiteral("next.bmp"), content);
        if (paste)
            QGuiApplication::clipboard()->setImage(QImage::fromData(content));
        (paste ? rig.window->menuItems().mnuEditInsert : rig.window->menuItems().mnuFileOpen)->trigger();
        QVERIFY(paste ? rig.dialogs.requests.isEmpty() : rig.dialogs.requests.at(0).title == QStringLiteral("Open Graphic"));
        const bool taken = !content.isNull() && message.isEmpty();
        const QString said = taken ? GraphicLoading::replaceQuestion() : message;
        QCOMPARE(rig.sink.texts().size(), said.isEmpty() ? 0 : 1);
        QCOMPARE(rig.sink.texts().value(0).left(said.size()), said);
        QCOMPARE(rig.shown(), taken ? QImage::fromData(content).size() : QSize(200, 100));
        QCOMPARE(rig.rows(), taken ? 2 : 3);
        QVERIFY(!partOf<ImageControl>(*rig.window, "mTestLead")->hasBitmap());
        QVERIFY(rig.window->calibration().IsCalibrated());
        QCOMPARE(rig.window->state().mToolMode, int(taken ? SharedState::PointerTool : SharedState::LineTool));
        QCOMPARE(rig.window->menuItems().mnuViewNormal->isChecked(), taken);
        QCOMPARE(pictureOf(*rig.window)->image().format(), QImage::Format_Indexed8);
        QCOMPARE(partOf<ImageControl>(*rig.window, "mZoomWindow")->image().size(), rig.shown()); // the clean copy
    }

    void metafileIsDrawnWhileTheWindowRuns_data()
    {
        QTest::addColumn<Drawing>("drawing");
        const QByteArray endless = "exec sleep 30\n";
        QTest::newRow("Cancel stops the drawing silently and keeps the old picture") << Drawing{endless, 10000, Act::Cancel};
        QTest::newRow("a drawing past its time is stopped with a message")
            << Drawing{endless, 200, Act::Wait, "Drawing the metafile took too long and was stopped."};
        // The converter "draws" drawn.png once the file go exists.
        QTest::newRow("a hand-over during the drawing is opened after it")
            << Drawing{"while [ ! -e go ]; do sleep 0.01; done\ncp drawn.png \"$4\"\n", 10000, Act::HandOver};
        QTest::newRow("a converter that fails says why")
            << Drawing{"echo broken record >&2\nexit 3\n", 10000, Act::Wait, "The metafile could not be drawn: broken record"};
        QTest::newRow("a converter that cannot be started") << Drawing{"", 10000, Act::Wait, "could not be started"};
    }
    void metafileIsDrawnWhileTheWindowRuns()
    {
        QFETCH(Drawing, drawing);
        const bool handOver = drawing.act == Act::HandOver;
        Rig rig;
        QVERIFY(rig.openWithAPoint());
        const bool none = drawing.script.isEmpty();
        const QString converter = none ? rig.dir.filePath("none.sh")
                                       : writeFile(rig.dir, "converter.sh", "#!/bin/sh\ncd \"${0%/*}\"\n" + drawing.script);
        QVERIFY(none || QFile::setPermissions(converter, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        metafileSettings() = {converter, drawing.timeoutMs};
        const QString wmf = writeFile(rig.dir, QStringLiteral("drawing.wmf"), metafile());
        rig.file(QStringLiteral("drawn.png"), Rig::picture(90, 30));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(rig.dir.path()));
        SingleInstance service;
        QVERIFY(service.tryBecomePrimary());
        rig.window->attachHandOvers(service);
        rig.sink.answers = {AnswerYes}; // "Delete existing data?"
        if (handOver) {
            // Runs only if the window's events do while it draws; else the drawing never ends.
            QTimer::singleShot(0, rig.window.get(), [&] {
                QVERIFY(handOverFromAnotherThread(rig.file(QStringLiteral("handed.png"), Rig::picture(64, 48))));
                writeFile(rig.dir, QStringLiteral("go"), {});
            });
        }
        if (drawing.act == Act::Cancel)
            whenDialogReady(QStringLiteral("metafileProgressDialog"), [](QWidget *) { return true; },
                            [](QWidget *d) { QTest::mouseClick(d->findChild<QPushButton *>(), Qt::LeftButton); });
        QCOMPARE(rig.window->openFile(wmf), handOver);
        const QString reason = rig.sink.texts().join(QString()).section(QStringLiteral(": "), 1, -1);
        QVERIFY2(drawing.message.isEmpty() ? reason.isEmpty() : reason.contains(drawing.message), qPrintable(reason));
        QTRY_COMPARE(service.waitingCount(), 0);
        QCOMPARE(rig.shown(), handOver ? QSize(64, 48) : QSize(200, 100));
        QCOMPARE(rig.rows(), handOver ? 2 : 3);
    }
};

QTEST_MAIN(TestGraphicLoading)
#include "test_graphic_loading.moc"
