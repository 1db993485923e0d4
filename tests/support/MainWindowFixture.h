#pragma once

#include "TestSupport.h"
#include "core/TwipsGeometry.h"
#include "app/frmMain.h"
#include "picture/ImageControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

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

    // The clipboard is emptied first, so that no picture is taken at start by accident.
    bool open(bool clearClipboard = true)
    {
        if (clearClipboard)
            QGuiApplication::clipboard()->clear();
        window = std::make_unique<frmMain>(&sink, &dialogs);
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

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
