#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "PictureFiles.h"
#include "app/SingleInstance.h"
#include "picture/GraphicLoading.h"
#include "picture/ImageControl.h"
#include "picture/MetafileDecoder.h"
#include "picture/Views.h"

#include <QPushButton>
#include <QTemporaryDir>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A window with a calibrated 200 x 100 picture and one point, so that every path can show
// what it keeps and what it resets.
struct Rig : MainWindowFixture {
    QTemporaryDir dir;

    QString file(const QString &name, const QImage &image)
    {
        const QString path = dir.filePath(name);
        image.save(path);
        return path;
    }
    bool start()
    {
        if (!open() || !window->openFile(file(QStringLiteral("first.png"), picture(200, 100))))
            return false;
        for (Ref r : {RefX1, RefX2, RefY1, RefY2})
            window->calibration().record().backColor[r] = ColorSet;
        window->state().mX2Pix = window->state().mY2Pix = -1500;
        window->tables().AddPointToTables({-150, -150});
        return true;
    }
    QSize shown() const { return pictureOf(*window)->image().size(); }
    int rows() const { return window->tables().model().rows(); }
};

} // namespace

class TestGraphicLoading : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { metafileSettings() = MetafileSettings(); }

    void openResetsTablesAndKeepsCalibration()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.window->state().mToolMode = SharedState::LineTool;
        partOf<Views>(*rig.window, "views")->mnuViewWindow_Click();
        rig.dialogs.answer = rig.file(QStringLiteral("next.png"), Rig::picture(300, 120, Qt::green));
        rig.window->menuItems().mnuFileOpen->trigger();

        const FileDialogRequest &r = rig.dialogs.requests.at(0);
        QCOMPARE(r.title, QStringLiteral("Grafik laden:"));
        QVERIFY(r.filter.startsWith(QStringLiteral("Grafiken (*.bmp *.dip *.wmf *.jpg")));
        QVERIFY(r.filter.contains(QStringLiteral("*.png")) && r.filter.contains(QStringLiteral("*.webp")));
        QVERIFY(r.fileName.isEmpty());

        QCOMPARE(rig.shown(), QSize(300, 120));
        QCOMPARE(pictureOf(*rig.window)->bitsPerPixel(), 8);
        QCOMPARE(rig.rows(), 2);
        QCOMPARE(rig.window->tables().model().cell(PointTableModel::DataPoints, 0, 0), QStringLiteral("X"));
        QVERIFY(rig.window->calibration().IsCalibrated());
        QCOMPARE(rig.window->state().mX2Pix, -1500.0);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
        QCOMPARE(rig.window->state().mViewScale, 1.0);
        QVERIFY(rig.window->menuItems().mnuViewNormal->isChecked());
        QVERIFY(!rig.window->menuItems().mnuViewWindow->isChecked());
        QCOMPARE(partOf<ImageControl>(*rig.window, "mZoomWindow")->image().size(), QSize(300, 120)); // the clean copy
    }

    void refusedFilesChangeNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("cancelled dialog") << "cancel" << "";
        QTest::newRow("a picture one pixel too wide") << "wide"
                                                      << GraphicLoading::tooBigText();
        QTest::newRow("a file that is no picture") << "text" << "The graphic could not be loaded: ";
        QTest::newRow("a missing file") << "missing" << "The graphic could not be loaded: ";
    }
    void refusedFilesChangeNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        Rig rig;
        QVERIFY(rig.start());
        if (kind == QLatin1String("wide")) {
            rig.dialogs.answer = rig.file(QStringLiteral("wide.png"), Rig::picture(32761, 2));
        } else if (kind == QLatin1String("text")) {
            rig.dialogs.answer = rig.dir.filePath(QStringLiteral("notes.bmp"));
            QFile f(rig.dialogs.answer);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("these are notes, not a picture");
        } else if (kind == QLatin1String("missing")) {
            rig.dialogs.answer = rig.dir.filePath(QStringLiteral("gone.png"));
        }
        rig.window->menuItems().mnuFileOpen->trigger();
        if (message.isEmpty()) {
            QVERIFY(rig.sink.shown.isEmpty());
        } else {
            QCOMPARE(rig.sink.shown.size(), 1);
            QCOMPARE(rig.sink.shown[0].kind, MessageKind::Error);
            QVERIFY2(rig.sink.shown[0].text.startsWith(message), qPrintable(rig.sink.shown[0].text));
        }
        QCOMPARE(rig.shown(), QSize(200, 100));
        QCOMPARE(rig.rows(), 3);
        QVERIFY(!partOf<ImageControl>(*rig.window, "mTestLead")->hasBitmap());
    }

    void metafileIsDrawnWhileTheWindowRuns_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("Cancel stops the drawing silently and keeps the old picture") << "cancel";
        QTest::newRow("a drawing past its time is stopped with a message") << "time out";
        QTest::newRow("a hand-over during the drawing is opened after it") << "hand over";
    }
    void metafileIsDrawnWhileTheWindowRuns()
    {
        QFETCH(QString, kind);
        const bool handOver = kind == QLatin1String("hand over");
        Rig rig;
        QVERIFY(rig.start());
        // The converter "draws" drawn.png once the file go exists, or never ends.
        const QString converter = rig.dir.filePath(QStringLiteral("converter.sh"));
        QVERIFY(writeFile(converter, "#!/bin/sh\ncd '" + QFile::encodeName(rig.dir.path()) + "'\n"
                                         + (handOver ? "while [ ! -e go ]; do sleep 0.01; done\ncp drawn.png \"$4\"\n"
                                                     : "exec sleep 30\n")));
        QVERIFY(QFile::setPermissions(converter, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        metafileSettings() = {converter, kind == QLatin1String("time out") ? 200 : 10000};
        const QString drawing = rig.dir.filePath(QStringLiteral("drawing.wmf"));
        QVERIFY(writeFile(drawing, metafile()));
        rig.file(QStringLiteral("drawn.png"), Rig::picture(90, 30));

        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(rig.dir.path()));
        SingleInstance service;
        QVERIFY(service.tryBecomePrimary());
        rig.window->attachHandOvers(service);
        rig.sink.answers = {AnswerYes}; // "Delete existing data?"
        bool ranDuringTheLoad = false;
        QTimer::singleShot(0, rig.window.get(), [&] {
            ranDuringTheLoad = true;
            if (handOver) {
                QVERIFY(handOverFromAnotherThread(rig.file(QStringLiteral("handed.png"), Rig::picture(64, 48))));
                writeFile(rig.dir.filePath(QStringLiteral("go")), {});
            }
        });
        if (kind == QLatin1String("cancel"))
            whenDialogReady(QStringLiteral("metafileProgressDialog"), [](QWidget *) { return true; },
                            [](QWidget *d) { QTest::mouseClick(d->findChild<QPushButton *>(), Qt::LeftButton); });
        QCOMPARE(rig.window->openFile(drawing), handOver);
        QVERIFY(ranDuringTheLoad);
        QCOMPARE(rig.sink.texts().join(QString()).section(QStringLiteral(": "), 1),
                 kind == QLatin1String("time out") ? "Drawing the metafile took too long and was stopped." : QString());
        QTRY_COMPARE(service.waitingCount(), 0);
        QCOMPARE(rig.shown(), handOver ? QSize(64, 48) : QSize(200, 100));
        QCOMPARE(rig.rows(), handOver ? 2 : 3);
    }

    void widestPictureIsTaken()
    {
        Rig rig;
        QVERIFY(rig.start());
        QVERIFY(rig.window->openFile(rig.file(QStringLiteral("widest.png"), Rig::picture(32760, 2))));
        QCOMPARE(rig.shown(), QSize(32760, 2));
    }

    void handOverWithAFileOpensIt()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.sink.answers = {AnswerYes};
        rig.window->MainWindowProc_HandOver(rig.file(QStringLiteral("handed.png"), Rig::picture(64, 48)));
        QCOMPARE(rig.sink.texts(), QStringList{frmMain::handOverQuestion()});
        QCOMPARE(rig.shown(), QSize(64, 48));
        QCOMPARE(rig.rows(), 2); // as File > Open: a new picture starts a new table
    }

    void paste()
    {
        Rig rig;
        QVERIFY(rig.start());
        QGuiApplication::clipboard()->clear();
        rig.window->menuItems().mnuEditInsert->trigger();
        QCOMPARE(rig.sink.texts(),
                 QStringList{"There is no graphic in the clipboard, or the graphic format is unknown."});
        QCOMPARE(rig.rows(), 3);

        QGuiApplication::clipboard()->setImage(Rig::picture(120, 80, Qt::blue));
        rig.window->state().mToolMode = SharedState::ZoomTool;
        rig.window->menuItems().mnuEditInsert->trigger();
        QCOMPARE(rig.shown(), QSize(120, 80));
        QCOMPARE(rig.rows(), 2);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
        QVERIFY(rig.window->calibration().IsCalibrated());
    }
};

QTEST_MAIN(TestGraphicLoading)
#include "test_graphic_loading.moc"
