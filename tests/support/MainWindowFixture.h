#pragma once

#include "TestSupport.h"
#include "core/TwipsGeometry.h"
#include "app/frmMain.h"
#include "picture/ImageControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

namespace chartrek::test {

// A control or subsystem of the window, by its object name.
template <typename T = QWidget>
T *partOf(const frmMain &window, const char *objectName)
{
    return window.findChild<T *>(QLatin1String(objectName));
}
inline ImageControl *pictureOf(const frmMain &window) { return partOf<ImageControl>(window, "mPicture"); }

// A main window on the offscreen screen whose messages a RecordingSink answers.
struct MainWindowFixture {
    RecordingSink sink;
    ScriptedDialogs dialogs;
    std::unique_ptr<frmMain> window;
    QTemporaryDir dir;
    // The settings' folder: a fresh one for every fixture, unless a test shares one.
    QString configDir = dir.filePath(QStringLiteral("config"));

    // The clipboard is emptied first, so that no picture is taken at start by accident.
    bool open(bool clearClipboard = true)
    {
        if (clearClipboard)
            QGuiApplication::clipboard()->clear();
        qputenv("CHARTREK_CONFIG_DIR", configDir.toLocal8Bit());
        window = std::make_unique<frmMain>(&sink, &dialogs);
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    // Opens the window on this picture, from a PNG file as File > Open does.
    bool openWith(const QImage &image)
    {
        const QString file = dir.filePath(QStringLiteral("picture.png"));
        return open() && image.save(file) && window->openFile(file);
    }

    // Every reference set as if captured: picture pixel `corner` stands for cornerValue, `origin`
    // for originValue. By default picture x and y -1500 twips stand for 1.
    void calibrate(QPointF corner = {100, 100}, QPointF cornerValue = {1, 1}, QPointF origin = {}, QPointF originValue = {})
    {
        CalibrationRecord &r = window->calibration().record();
        r.field = {QString::number(originValue.x()), QString::number(cornerValue.x()), QString::number(originValue.y()),
                   QString::number(cornerValue.y())};
        r.backColor = {ColorSet, ColorSet, ColorSet, ColorSet};
        const QPointF at[4] = {origin, corner, origin, corner};
        for (Ref ref : {RefX1, RefX2, RefY1, RefY2})
            window->calibration().setReferencePosition(ref, -qRound((ref < RefY1 ? at[ref].x() : at[ref].y()) * kTwipsPerPixel));
        window->calibration().notifyChanged(); // as a capture's end does
    }

    // A calibrated 200 x 100 picture with one point: what a refused picture must leave as it was.
    bool openWithAPoint()
    {
        if (!openWith(picture(200, 100)))
            return false;
        calibrate();
        window->tables().AddPointToTables({-150, -150});
        return true;
    }
    QSize shown() const { return pictureOf(*window)->image().size(); }
    int rows() const { return window->tables().model().rows(); }

    QString status() const { return window->findChild<QStatusBar *>(QStringLiteral("mStatusBar"))->currentMessage(); }

    // Sizes the window so that its inner area is the given twips size.
    bool setClientTwips(int width, int height)
    {
        const QSize px(toPixels(width), toPixels(height));
        window->resize(px.width(), px.height() + window->menuBar()->height());
        return QTest::qWaitFor([&] { return partOf(*window, "client")->size() == px; });
    }

    QWidget *control(const char *name) const { return window->findChild<QWidget *>(QLatin1String(name)); }

    // Clicks a toolbar button as the user would.
    void click(QAction *button)
    {
        auto *bar = window->findChild<QToolBar *>(QStringLiteral("mToolBar"));
        QTest::mouseClick(bar->widgetForAction(button), Qt::LeftButton);
    }

    static QImage picture(int width, int height, QColor color = Qt::white)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(color);
        return image;
    }
};

} // namespace chartrek::test
