#include "app/frmSplash.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

using namespace chartrek;

class TestSplash : public QObject {
    Q_OBJECT
private slots:
    void labelsReadAsDesigned_data();
    void labelsReadAsDesigned();
    void splashHasNoOkNoFrameAndIsCentred();
    void aboutShowsOkAndClosesWithIt();
};

void TestSplash::labelsReadAsDesigned_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("product name") << QStringLiteral("lblProductName") << QStringLiteral("Chartrek");
    QTest::newRow("platform") << QStringLiteral("lblPlatform") << QStringLiteral("for Linux");
    QTest::newRow("version with major, minor and revision") << QStringLiteral("lblVersion")
                                                            << QStringLiteral("Version 1.0.2");
}

void TestSplash::labelsReadAsDesigned()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    frmSplash splash;
    auto *l = splash.findChild<QLabel *>(label);
    QVERIFY(l);
    QCOMPARE(l->text(), text);
    QVERIFY(!splash.findChild<QLabel *>(QStringLiteral("lblDescription"))->text().isEmpty());
    QVERIFY(splash.findChild<QLabel *>(QStringLiteral("lblLicense"))->text().contains(QLatin1String("GNU")));
}

void TestSplash::splashHasNoOkNoFrameAndIsCentred()
{
    frmSplash splash;
    splash.showSplash();
    // Painted before showSplash returns: no event loop runs while the main window loads.
    QVERIFY(splash.isVisible());
    QVERIFY(!splash.isModal());
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    auto *ok = splash.findChild<QPushButton *>(QStringLiteral("btnOK"));
    QVERIFY(ok);
    QVERIFY(!ok->isVisible());
    const QPoint offset = splash.frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QStringLiteral("off centre by %1").arg(offset.manhattanLength())));
}

void TestSplash::aboutShowsOkAndClosesWithIt()
{
    QWidget mainWindow;
    mainWindow.show();
    bool okShown = false;
    bool modal = false;
    QWidget *parentSeen = nullptr;
    QTimer::singleShot(0, this, [&] {
        auto *about = qobject_cast<frmSplash *>(QApplication::activeModalWidget());
        QVERIFY(about);
        auto *ok = about->findChild<QPushButton *>(QStringLiteral("btnOK"));
        okShown = ok->isVisible();
        modal = about->isModal();
        parentSeen = about->parentWidget();
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    // Never leave a modal box hanging when the check above fails.
    QTimer::singleShot(10000, this, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
    frmSplash::showAbout(&mainWindow);
    QVERIFY(okShown);
    QVERIFY(modal);
    QCOMPARE(parentSeen, &mainWindow);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(mainWindow.findChildren<frmSplash *>().isEmpty());
}

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
