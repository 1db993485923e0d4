// Save Graphic and Copy graphic: what lands in the file and on the clipboard, and a save that
// cannot be written.
#include "TestSupport.h"
#include "picture/GraphicSaving.h"
#include "picture/ImageControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A black-on-white diagram reduced to four colours, with a red marker drawn in.
struct Rig {
    RecordingSink sink;
    Messages messages{sink};
    ScriptedDialogs dialogs;
    ImageControl picture;
    GraphicSaving saving{picture, dialogs, messages};
    QTemporaryDir dir;

    Rig()
    {
        QImage image(60, 40, QImage::Format_Indexed8);
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(0, 0, 255)});
        image.fill(0);
        for (int x = 5; x < 55; ++x)
            image.setPixel(x, 30, 1);
        picture.setImage(image);
        DrawingSurface *surface = picture.getBitmapSurface();
        surface->drawCircle(20 * 15, -20 * 15, 30, 0x0000FF);
        picture.releaseBitmapSurface(surface);
    }
};

} // namespace

class TestGraphicSaving : public QObject {
    Q_OBJECT
private slots:
    void savedAndCopiedWithTheMarkers()
    {
        Rig rig;
        rig.dialogs.answer = rig.dir.filePath(QStringLiteral("graphic.bmp"));
        rig.saving.mnuFileSaveBitmap_Click();
        QCOMPARE(rig.dialogs.requests.size(), 1);
        QCOMPARE(rig.dialogs.requests[0].title, QStringLiteral("Save Graphic"));
        QVERIFY(rig.dialogs.requests[0].fileName.isEmpty());
        QCOMPARE(rig.sink.texts(), QStringList("The graphic was saved as " + rig.dialogs.answer + "."));
        QFile file(rig.dialogs.answer);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(int(file.read(30).at(28)), 8); // bits per pixel: 8, though five colours would fit in 4
        const QImage saved(rig.dialogs.answer);
        const QImage held = rig.picture.image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), held);
        QVERIFY(held.pixel(20, 18) == qRgb(255, 0, 0) || held.pixel(20, 22) == qRgb(255, 0, 0));

        rig.saving.mnuEditCopyPicture_Click();
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), held);

        // Without a picture, neither command asks or says anything.
        rig.picture.freeBitmap();
        rig.saving.mnuFileSaveBitmap_Click();
        QCOMPARE(rig.dialogs.requests.size(), 1);
        QCOMPARE(rig.sink.shown.size(), 1);
    }

    // A file that cannot be written is an error, and an existing file keeps its content. (A
    // full disk goes through the same atomic write, checked with Save Data.)
    void failedSaveIsSaidAndKeepsTheOldFile()
    {
        Rig rig;
        const QString folder = rig.dir.filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkdir(folder));
        const QString path = folder + "/graphic.bmp";
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const WithoutPermissionOverride asUser; // tests run as root, whom permissions do not bind
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        rig.dialogs.answer = path;
        rig.saving.mnuFileSaveBitmap_Click();
        QCOMPARE(rig.sink.shown.size(), 1);
        QCOMPARE(rig.sink.shown[0].kind, MessageKind::Error);
        QVERIFY(rig.sink.shown[0].text.startsWith(QStringLiteral("An error occurred while saving the graphic: ")));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
    }
};

QTEST_MAIN(TestGraphicSaving)
#include "test_graphic_saving.moc"
