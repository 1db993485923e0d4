// Project files through the window: a figure saved and opened again in a new window is the same,
// field by field and row by row; a bad file is refused with its reason and changes nothing.
#include "MainWindowFixture.h"

#include "picture/Views.h"
#include "points/CurveExport.h"
#include "project/ProjectDocument.h"
#include "project/ProjectJson.h"
#include "project/RecoveryCopy.h"

#include <QFileInfo>
#include <QSignalSpy>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <zip.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

using Entries = QList<std::pair<QByteArray, QByteArray>>;

QByteArray zipOf(const Entries &entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *out = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(out);
    zip_t *archive = zip_open_from_source(out, ZIP_TRUNCATE, &error);
    for (const auto &[name, data] : entries)
        zip_file_add(archive, name.constData(), zip_source_buffer(archive, data.constData(), data.size(), 0), 0);
    zip_close(archive);
    zip_stat_t st;
    zip_source_stat(out, &st);
    QByteArray bytes(qsizetype(st.size), '\0');
    zip_source_open(out);
    zip_source_read(out, bytes.data(), st.size);
    zip_source_close(out);
    zip_source_free(out);
    return bytes;
}

// A small valid project's entries, its description changed by `edit`.
Entries entries(const std::function<void(QJsonObject &)> &edit = {})
{
    Project p;
    p.picture = MainWindowFixture::picture(40, 30, Qt::cyan);
    p.pictureSize = p.picture.size();
    p.curves = {{QStringLiteral("Curve 1"), 0xFF, {{-150, -150}}, {{1, 1}}}};
    QJsonObject json = QJsonDocument::fromJson(projectJson(p)).object();
    if (edit)
        edit(json);
    return {{"mimetype", "application/x-chartrek-project"},
            {"project.json", QJsonDocument(json).toJson()},
            {"picture.png", encodePicture(p.picture)}};
}

// Claims a smaller size for an entry than it inflates to, in both of the archive's headers.
QByteArray understated(QByteArray zip, const QByteArray &name)
{
    const auto patch = [&](const char *signature, int sizeAt, int nameAt) {
        for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 4)) {
            if (zip.mid(at + nameAt, name.size()) == name)
                zip.replace(at + sizeAt, 4, QByteArray("\x0a\0\0\0", 4));
        }
    };
    patch("PK\x03\x04", 22, 30);
    patch("PK\x01\x02", 24, 46);
    return zip;
}

QJsonObject firstCurve(const QJsonObject &json)
{
    return json[QStringLiteral("curves")].toArray()[0].toObject();
}

void setFirstCurve(QJsonObject &json, const QString &key, const QJsonValue &value)
{
    QJsonObject curve = firstCurve(json);
    curve[key] = value;
    json[QStringLiteral("curves")] = QJsonArray{curve};
}

// The figure as a comparable whole: its description and its picture.
std::pair<QByteArray, QImage> figure(frmMain &w)
{
    const Project p = w.document().snapshot();
    return {projectJson(p), p.picture};
}

} // namespace

class TestProjectFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("a figure saved with a decimal point comes back whole") << QStringLiteral("C");
        QTest::newRow("a figure saved with a decimal comma comes back whole") << QStringLiteral("de_DE");
    }
    void roundTrip()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        MainWindowFixture a;
        // A turned picture: the clean copy the project keeps is the turned one.
        QImage turned = MainWindowFixture::picture(300, 200);
        turned.setPixel(10, 20, qRgb(200, 0, 0));
        QVERIFY(a.openWith(turned.transformed(QTransform().rotate(90))));
        a.calibrate({100, 100}, {1000, 2.5});
        a.window->calibration().setLog(true, true); // x logarithmic: 1 at the origin is not allowed
        a.window->calibration().setField(RefX1, QStringLiteral("10"));
        frmMain &w = *a.window;
        const QList<QList<PicturePoint>> captured{{{-150, -300}, {-600, -450}}, {{-900, -30}}, {{-45, -1200}, {-1500, -75}, {-30, -30}}};
        for (qsizetype c = 0; c < captured.size(); ++c) {
            if (c > 0)
                w.menuItems().mnuCurveNew->trigger();
            for (const PicturePoint &p : captured[c])
                w.tables().AddPointToTables(p);
        }
        w.tables().curves().setCurrent(1);
        w.state().mHasGrid = false;
        w.state().mColorTolerance = 12;
        pictureOf(w)->setDisplayRect(-300, -150, 9000, 6000);
        w.state().mViewScale = 0.5;
        partOf<Views>(w, "views")->zoomMade();
        QVERIFY(w.document().modified());
        const QString path = a.dir.filePath(QStringLiteral("figure.chartrek"));
        QVERIFY(w.document().saveTo(path));
        QVERIFY(!w.document().modified() && w.windowTitle().endsWith(QLatin1String(" - figure.chartrek")));
        QVERIFY(QFileInfo(path).size() < 300 * 200 * 3 / 20); // the picture compressed, not stored

        MainWindowFixture b;
        QVERIFY(b.open());
        QVERIFY(b.window->document().openPath(path));
        QCOMPARE(b.sink.texts(), QStringList()); // every value came out as saved
        const Project was = w.document().snapshot(), is = b.window->document().snapshot();
        QCOMPARE(is.picture.convertToFormat(QImage::Format_RGB32), was.picture.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(is.calibration, was.calibration);
        QCOMPARE(is.current, 1);
        QCOMPARE(is.curves.size(), 3);
        for (qsizetype c = 0; c < 3; ++c) {
            QCOMPARE(is.curves[c].name, was.curves[c].name);
            QCOMPARE(is.curves[c].color, was.curves[c].color);
            QCOMPARE(is.curves[c].points, was.curves[c].points);
            for (qsizetype r = 0; r < was.curves[c].values.size(); ++r) {
                QCOMPARE(is.curves[c].values[r].x, was.curves[c].values[r].x);
                QCOMPARE(is.curves[c].values[r].y, was.curves[c].values[r].y);
            }
        }
        // The table shows the current curve; the markers are every curve's rows.
        QCOMPARE(b.window->tables().pointCount(), 1);
        QCOMPARE(BuildAllCurvesText(b.window->tables().curves(), true), BuildAllCurvesText(w.tables().curves(), true));
        QCOMPARE(is.view.mode, ProjectView::Zoom);
        QCOMPARE(is.view.scale, 0.5);
        QCOMPARE(is.view.display, was.view.display);
        QVERIFY(is.hasLines && !is.hasGrid && is.colorTolerance == 12);
        QVERIFY(!b.window->document().modified());
        QLocale::setDefault(QLocale::c());
    }

    // Values in the file that the calibration does not give: the positions are kept, the values
    // computed again, and the user told.
    void differingValuesAreReported()
    {
        MainWindowFixture f;
        QVERIFY(f.openWithAPoint());
        const QString path = f.dir.filePath(QStringLiteral("figure.chartrek"));
        QVERIFY(f.window->document().saveTo(path));
        const Project saved = f.window->document().snapshot();
        Project edited = saved;
        edited.curves[0].values[0].y += 1e-9;
        QString error;
        QVERIFY(writeProject(path, edited, &error));
        QVERIFY(f.window->document().openPath(path));
        QCOMPARE(f.sink.texts().size(), 1);
        QVERIFY(f.sink.texts()[0].contains(QLatin1String("differ from those its calibration gives (1 of them)")));
        QCOMPARE(projectJson(f.window->document().snapshot()), projectJson(saved));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const auto json = [](const std::function<void(QJsonObject &)> &edit) { return zipOf(entries(edit)); };
        QTest::newRow("a file that is no archive is refused") << QByteArray("not a zip at all") << "Not a zip archive";
        QTest::newRow("a truncated archive is refused") << zipOf(entries()).chopped(40) << "damaged";
        Entries traversal = entries();
        traversal.append(std::pair<QByteArray, QByteArray>("../../.bashrc", "rm -rf ~"));
        QTest::newRow("an entry leading out of a folder is refused") << zipOf(traversal) << "outside the project";
        Entries absolute = entries();
        absolute.append(std::pair<QByteArray, QByteArray>("/etc/profile", "x"));
        QTest::newRow("an entry with an absolute name is refused") << zipOf(absolute) << "outside the project";
        Entries many = entries();
        for (int i = 0; i < 70; ++i)
            many.append({QByteArray("extra") + QByteArray::number(i), "x"});
        QTest::newRow("an archive of a great many entries is refused") << zipOf(many) << "holds 73 entries";
        QTest::newRow("a description inflating beyond its stated size is refused")
            << understated(zipOf(entries()), "project.json") << "project.json";
        QTest::newRow("an archive without its picture is refused") << zipOf(entries().mid(0, 2)) << "is missing";
        Entries otherType = entries();
        otherType[0].second = "application/zip";
        QTest::newRow("an archive of another type is refused") << zipOf(otherType) << "its type is";
        QTest::newRow("a newer format is refused")
            << json([](QJsonObject &j) { j[QStringLiteral("format_version")] = 2; }) << "newer version of Chartrek";
        QTest::newRow("a point that is no list of numbers is refused")
            << json([](QJsonObject &j) { setFirstCurve(j, QStringLiteral("points"), QJsonArray{QStringLiteral("x")}); })
            << "curves[0].points[0] is not a list of four numbers";
        QTest::newRow("a position beyond every picture is refused")
            << json([](QJsonObject &j) { setFirstCurve(j, QStringLiteral("points"), QJsonArray{QJsonArray{1e12, 0, 0, 0}}); })
            << "curves[0].points[0] is not a whole number";
        QTest::newRow("a colour in another form is refused")
            << json([](QJsonObject &j) { setFirstCurve(j, QStringLiteral("color"), QStringLiteral("red")); })
            << "curves[0].color";
        QTest::newRow("an absurd picture size is refused")
            << json([](QJsonObject &j) { j[QStringLiteral("picture")] = QJsonObject{{QStringLiteral("width"), 1e9}, {QStringLiteral("height"), 30}}; })
            << "picture.width";
        QTest::newRow("a picture of another size than described is refused")
            << json([](QJsonObject &j) { j[QStringLiteral("picture")] = QJsonObject{{QStringLiteral("width"), 41}, {QStringLiteral("height"), 30}}; })
            << "not of the size";
        QTest::newRow("a description that is no object is refused")
            << zipOf({entries()[0], {"project.json", "[1, 2]"}, entries()[2]}) << "description is not readable";
    }
    void hostileFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        MainWindowFixture f;
        QVERIFY(f.openWithAPoint());
        frmMain &w = *f.window;
        w.menuItems().mnuCurveNew->trigger();
        w.tables().AddPointToTables({-300, -600});
        const auto before = figure(w);
        const QString title = w.windowTitle();
        const QString path = f.dir.filePath(QStringLiteral("bad.chartrek"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        f.dialogs.answer = path;
        w.menuItems().mnuFileOpenProject->trigger();
        QCOMPARE(f.sink.shown.size(), 1);
        QCOMPARE(f.sink.shown[0].kind, MessageKind::Error);
        QVERIFY2(f.sink.shown[0].text.contains(reason), qPrintable(f.sink.shown[0].text));
        QVERIFY(figure(w) == before);
        QCOMPARE(w.windowTitle(), title);
        QCOMPARE(w.tables().curves().count(), 2);
    }

    // A saved project changed since: replacing it or closing asks "Save changes?"; Yes saves
    // first, No lets the changes go, Cancel keeps all.
    void unsavedProjectAsks_data()
    {
        QTest::addColumn<bool>("close"); // else a new picture is opened
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<int>("savedPoints"); // in the project file afterwards
        QTest::newRow("a new picture, Yes: saved, then replaced") << false << int(AnswerYes) << true << 2;
        QTest::newRow("a new picture, No: replaced, the file as it was") << false << int(AnswerNo) << true << 1;
        QTest::newRow("a new picture, Cancel: all kept") << false << int(AnswerCancel) << false << 1;
        QTest::newRow("closing, Yes: saved, then closed") << true << int(AnswerYes) << true << 2;
        QTest::newRow("closing, Cancel: all kept") << true << int(AnswerCancel) << false << 1;
    }
    void unsavedProjectAsks()
    {
        QFETCH(bool, close);
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        QFETCH(int, savedPoints);
        MainWindowFixture f;
        QVERIFY(f.openWithAPoint());
        frmMain &w = *f.window;
        const QString path = f.dir.filePath(QStringLiteral("figure.chartrek"));
        QVERIFY(w.document().saveTo(path));
        w.tables().AddPointToTables({-600, -300});
        QVERIFY(w.windowTitle().endsWith(QLatin1String(" - figure.chartrek*")));
        f.sink.answers = {answer};
        if (close) {
            QCOMPARE(w.close(), replaced);
        } else {
            const QString other = f.dir.filePath(QStringLiteral("other.png"));
            QVERIFY(MainWindowFixture::picture(50, 40).save(other));
            w.openFile(other);
            QCOMPARE(f.shown() == QSize(50, 40), replaced);
            QCOMPARE(w.tables().pointCount(), replaced ? 0 : 2);
        }
        QCOMPARE(f.sink.texts(), QStringList{ProjectDocument::saveChangesQuestion()});
        QString error;
        QCOMPARE(readProject(path, &error)->curves[0].points.size(), savedPoints);
    }

    // The calibration of a saved figure applied to the present one: the values follow it, the
    // points stay, and one undo takes it back.
    void applyCalibrationFromProject()
    {
        MainWindowFixture a;
        QVERIFY(a.openWithAPoint());
        a.calibrate({100, 100}, {50, 7});
        const QString path = a.dir.filePath(QStringLiteral("calibrated.chartrek"));
        QVERIFY(a.window->document().saveTo(path));
        MainWindowFixture b;
        QVERIFY(b.openWithAPoint());
        const QString before = BuildAllCurvesText(b.window->tables().curves(), true);
        b.dialogs.answer = path;
        b.window->menuItems().mnuFileApplyCalibration->trigger();
        QCOMPARE(b.window->calibration().snapshot(), a.window->calibration().snapshot());
        QCOMPARE(BuildAllCurvesText(b.window->tables().curves(), true), QStringLiteral("Curve 1\r\n5\t0.7\r\n"));
        QCOMPARE(b.window->tables().pointCount(), 1);
        b.window->menuItems().mnuEditUndo->trigger();
        QCOMPARE(BuildAllCurvesText(b.window->tables().curves(), true), before);
    }

    // The unsaved work an earlier run left: kept by a logout or a timer, offered at the next
    // start, gone after a save, a clean close or a No.
    void recoveryCopy_data()
    {
        QTest::addColumn<std::function<void(MainWindowFixture &)>>("end");
        QTest::addColumn<int>("answer");    // to "Restore the unsaved work ...?", 0: not asked
        QTest::addColumn<bool>("restored"); // the next window shows the work
        using F = std::function<void(MainWindowFixture &)>;
        QTest::newRow("a logout keeps the work, and Yes brings it back")
            << F([](MainWindowFixture &f) { f.window->keepUnsavedWork(); }) << int(AnswerYes) << true;
        QTest::newRow("a copy written after a change, off the interface thread, brings it back")
            << F([](MainWindowFixture &f) {
                   QSignalSpy written(&f.window->recovery(), &RecoveryCopy::written);
                   f.window->recovery().setDelay(0);
                   f.window->tables().AddPointToTables({-600, -600});
                   QVERIFY(written.wait(20000) && written[0][0].toBool());
               })
            << int(AnswerYes) << true;
        QTest::newRow("No at the next start deletes the copy")
            << F([](MainWindowFixture &f) { f.window->keepUnsavedWork(); }) << int(AnswerNo) << false;
        QTest::newRow("saving deletes the copy") << F([](MainWindowFixture &f) {
            f.window->keepUnsavedWork();
            QVERIFY(f.window->document().saveTo(f.dir.filePath(QStringLiteral("saved.chartrek"))));
        }) << 0 << false;
        QTest::newRow("a clean close deletes the copy") << F([](MainWindowFixture &f) {
            f.window->keepUnsavedWork();
            f.sink.answers = {AnswerYes};
            QVERIFY(f.window->close());
        }) << 0 << false;
        QTest::newRow("nothing unsaved, nothing kept") << F([](MainWindowFixture &f) {
            QVERIFY(f.window->document().saveTo(f.dir.filePath(QStringLiteral("saved.chartrek"))));
            f.window->keepUnsavedWork();
        }) << 0 << false;
    }
    void recoveryCopy()
    {
        QFETCH(std::function<void(MainWindowFixture &)>, end);
        QFETCH(int, answer);
        QFETCH(bool, restored);
        QTemporaryDir state;
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
        MainWindowFixture a;
        QVERIFY(a.openWithAPoint());
        a.window->menuItems().mnuCurveNew->trigger();
        a.window->tables().AddPointToTables({-300, -450});
        QVERIFY(a.window->document().modified());
        end(a);
        const auto work = figure(*a.window);
        a.window.reset(); // as a crash leaves it: no close step

        MainWindowFixture b;
        b.sink.answers = {answer};
        QVERIFY(b.open());
        b.window->offerRecovery();
        QCOMPARE(b.sink.texts().size(), answer ? 1 : 0);
        if (answer)
            QVERIFY(b.sink.texts()[0].startsWith(QLatin1String("Restore the unsaved work from ")));
        QCOMPARE(figure(*b.window) == work, restored);
        QCOMPARE(b.window->document().modified(), restored);
        QCOMPARE(QFile::exists(b.window->recovery().path()), restored); // kept until the work is saved
    }
};

QTEST_MAIN(TestProjectFile)
#include "test_project_file.moc"
