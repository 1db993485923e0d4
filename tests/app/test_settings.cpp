#include "MainWindowFixture.h"
#include "autoline/frmAutomatic.h"
#include "picture/GraphicLoading.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QSpinBox>

#include <functional>
#include <optional>

using namespace chartrek;
using namespace chartrek::test;

namespace {

using Window = MainWindowFixture;

// A choice as the user makes it in one window, and what the next window shows of it.
struct Choice {
    std::function<void(Window &)> make;
    std::function<QString(Window &)> seen;
    QString expected;
};

QAction *item(Window &f, const char *name) { return f.window->findChild<QAction *>(QLatin1String(name)); }

// A picture file in a folder of the window's own, by the folder's and the file's name.
QString pictureFile(Window &f, const QString &folder, const QString &name)
{
    QDir(f.dir.path()).mkpath(folder);
    const QString path = f.dir.filePath(folder + QLatin1Char('/') + name);
    return Window::picture(40, 30).save(path) ? path : QString();
}

// The folder the dialog of this command opens in, by its name.
QString dialogFolder(Window &f, const char *command)
{
    f.dialogs.answer.clear();
    item(f, command)->trigger();
    return f.dialogs.requests.isEmpty() ? QString() : QDir(f.dialogs.requests.last().folder).dirName();
}

QString flags(bool a, bool b) { return QStringLiteral("%1 %2").arg(a).arg(b); }

} // namespace

Q_DECLARE_METATYPE(Choice)

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void choicesComeBackInTheNextWindow_data()
    {
        QTest::addColumn<Choice>("choice");
        QTest::newRow("the window keeps its size and place")
            << Choice{[](Window &f) { f.window->setGeometry(30, 40, 700, 500); },
                      [](Window &f) {
                          const QRect g = f.window->geometry();
                          return QStringLiteral("%1x%2+%3+%4").arg(g.width()).arg(g.height()).arg(g.x()).arg(g.y());
                      },
                      "700x500+30+40"};
        QTest::newRow("Sort data stays off")
            << Choice{[](Window &f) { item(f, "mnuEditSort")->trigger(); },
                      [](Window &f) { return flags(item(f, "mnuEditSort")->isChecked(), f.window->state().mSortData); },
                      "0 0"};
        QTest::newRow("Show markers stays off")
            << Choice{[](Window &f) { item(f, "mnuViewMarker")->trigger(); },
                      [](Window &f) { return flags(item(f, "mnuViewMarker")->isChecked(), f.window->state().mShowMarkers); },
                      "0 0"};
        QTest::newRow("the magnifier keeps its factor")
            << Choice{[](Window &f) { partOf<QComboBox>(*f.window, "mZoomBox")->setCurrentIndex(3); },
                      [](Window &f) { return partOf<QComboBox>(*f.window, "mZoomBox")->currentText(); },
                      "5 x Zoom"};
        QTest::newRow("the Autoline set-up keeps its boxes and tolerance")
            << Choice{[](Window &f) {
                          pictureOf(*f.window)->setImage(Window::picture(40, 30));
                          f.calibrate();
                          item(f, "mnuAutomatic")->trigger();
                          auto *d = partOf<frmAutomatic>(*f.window, "frmAutomatic");
                          d->chkLine->click();
                          d->chkGrid->click();
                          d->spnTolerance->setValue(12);
                      },
                      [](Window &f) {
                          const SharedState &s = f.window->state();
                          return flags(s.mHasLines, s.mHasGrid) + QStringLiteral(" %1").arg(s.mColorTolerance);
                      },
                      "0 0 12"};
        QTest::newRow("PDF pages keep their resolution and edges")
            << Choice{[](Window &f) {
                          partOf<GraphicLoading>(*f.window, "graphicLoading")->pdfRendering() = {0, 600, true};
                          f.window->openFile(pictureFile(f, "p", "page.png")); // once a page was drawn
                      },
                      [](Window &f) {
                          const PdfRendering &pdf = partOf<GraphicLoading>(*f.window, "graphicLoading")->pdfRendering();
                          return QStringLiteral("%1 %2").arg(pdf.dpi).arg(pdf.smooth);
                      },
                      "600 1"};
        QTest::newRow("Open starts in the folder of the last picture opened")
            << Choice{[](Window &f) {
                          f.dialogs.answer = pictureFile(f, "opened", "a.png");
                          item(f, "mnuFileOpen")->trigger();
                      },
                      [](Window &f) { return dialogFolder(f, "mnuFileOpen"); }, "opened"};
        QTest::newRow("Save Data starts in the folder of the last data saved")
            << Choice{[](Window &f) {
                          f.calibrate();
                          QDir(f.dir.path()).mkpath("data");
                          f.dialogs.answer = f.dir.filePath("data/points.csv");
                          item(f, "mnuFileSaveData")->trigger();
                      },
                      [](Window &f) {
                          pictureOf(*f.window)->setImage(Window::picture(40, 30));
                          f.calibrate();
                          return dialogFolder(f, "mnuFileSaveData");
                      },
                      "data"};
        QTest::newRow("Save Graphic starts in the folder of the last graphic saved")
            << Choice{[](Window &f) {
                          pictureOf(*f.window)->setImage(Window::picture(40, 30));
                          QDir(f.dir.path()).mkpath("graphics");
                          f.dialogs.answer = f.dir.filePath("graphics/chart.bmp");
                          item(f, "mnuFileSaveBitmap")->trigger();
                      },
                      [](Window &f) {
                          pictureOf(*f.window)->setImage(Window::picture(40, 30));
                          return dialogFolder(f, "mnuFileSaveBitmap");
                      },
                      "graphics"};
        QTest::newRow("the File menu lists the pictures opened last, the newest first")
            << Choice{[](Window &f) {
                          for (const char *name : {"a.png", "b.png", "a.png", "c&d.png"})
                              f.window->openFile(pictureFile(f, "pictures", QLatin1String(name)));
                      },
                      [](Window &f) {
                          QStringList texts;
                          for (int i = 1; QAction *recent = f.window->findChild<QAction *>(QStringLiteral("mnuFileRecent%1").arg(i)); ++i)
                              texts << recent->text().section(QLatin1Char('/'), -1);
                          return texts.join(QLatin1Char(' '));
                      },
                      "c&&d.png a.png b.png"};
    }
    void choicesComeBackInTheNextWindow()
    {
        QFETCH(Choice, choice);
        Window first;
        QVERIFY(first.open());
        const QString startValue = choice.seen(first);
        QVERIFY(startValue != choice.expected);
        choice.make(first);
        first.sink.answers = {AnswerYes}; // the close question
        QVERIFY(first.window->close());

        Window next;
        next.configDir = first.configDir;
        QVERIFY(next.open());
        QCOMPARE(choice.seen(next), choice.expected);
        QCOMPARE(next.sink.texts(), QStringList());
    }

    void aFaultySettingsFileIsToldOnce_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("message");
        QTest::newRow("a damaged file") << true << "The settings file %1 is damaged. Chartrek starts with its usual "
                                                   "settings. The damaged file is kept as %1.damaged.";
        QTest::newRow("a folder that cannot be written")
            << false << "The settings cannot be saved in %1. Chartrek works on, but will not remember your choices.";
    }
    void aFaultySettingsFileIsToldOnce()
    {
        QFETCH(bool, damaged);
        QFETCH(QString, message);
        Window f;
        QVERIFY(QDir().mkpath(f.configDir));
        const QString file = f.configDir + QStringLiteral("/chartrek.conf");
        QFile settings(file);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(damaged ? QByteArray("[view]\nsortData=false\n[wind") : QByteArray("[view]\nsortData=false\n"));
        settings.close();
        std::optional<WithoutPermissionOverride> asUser;
        if (!damaged) {
            QFile::setPermissions(f.configDir, QFile::ReadOwner | QFile::ExeOwner);
            asUser.emplace();
        }
        QVERIFY(f.open());
        // The program goes on: with the start values after a damaged file, the values read otherwise.
        QCOMPARE(item(f, "mnuEditSort")->isChecked(), damaged);
        item(f, "mnuViewMarker")->trigger();
        item(f, "mnuEditSort")->trigger();
        QTRY_COMPARE(f.sink.texts(), QStringList{message.arg(file)});
        QCoreApplication::processEvents();
        QCOMPARE(f.sink.texts().size(), 1);
        asUser.reset();
        QFile::setPermissions(f.configDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A recent file that is gone is said so and leaves the list; the caption names the picture's file.
    void aRecentFileThatIsGoneLeavesTheList()
    {
        Window f;
        QVERIFY(f.open());
        const QString a = pictureFile(f, "pictures", "a.png"), b = pictureFile(f, "pictures", "b.png");
        QVERIFY(f.window->openFile(a) && f.window->openFile(b));
        QCOMPARE(f.window->windowTitle(), frmMain::designCaption() + QStringLiteral(" - b.png"));
        QVERIFY(QFile::remove(a));
        item(f, "mnuFileRecent2")->trigger();
        QCOMPARE(f.sink.texts(), QStringList{"The file " + a + " cannot be found. It has been removed from the list of recent files."});
        QCOMPARE(f.shown(), QSize(40, 30));
        QTRY_VERIFY(!item(f, "mnuFileRecent2"));
        QVERIFY(item(f, "mnuFileRecent1")->text().endsWith(QStringLiteral("b.png")));
    }

    // A dropped file opens as File > Open does: points go only after a yes.
    void aDroppedFileOpensLikeOpen_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<int>("rows");
        QTest::newRow("No keeps the picture and the point") << int(AnswerNo) << QSize(200, 100) << 3;
        QTest::newRow("Yes opens the dropped picture") << int(AnswerYes) << QSize(40, 30) << 2;
    }
    void aDroppedFileOpensLikeOpen()
    {
        QFETCH(int, answer);
        QFETCH(QSize, shown);
        QFETCH(int, rows);
        Window f;
        QVERIFY(f.openWithAPoint());
        f.sink.answers = {answer};
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(pictureFile(f, "dropped", "d.png"))});
        const QPoint at = f.window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.window.get(), &drop);
        QTRY_COMPARE(f.sink.texts(), QStringList{GraphicLoading::replaceQuestion()});
        QCOMPARE(f.shown(), shown);
        QCOMPARE(f.rows(), rows);
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
