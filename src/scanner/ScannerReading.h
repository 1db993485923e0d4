#pragma once

#include "core/Messages.h"
#include "core/ToolMode.h"
#include "scanner/ScanDevices.h"
#include "scanner/ScanProgress.h"

#include <QObject>

#include <functional>
#include <optional>

class QWidget;

namespace chartrek {

class GraphicLoading;

// File > Read graphic: a picture from a scanner. The person picks the device (the one chosen
// last is offered again), the scan runs behind a progress dialog with Cancel, and the picture
// is handed to the loading, which shows it 1:1 and clears the points.
class ScannerReading : public QObject {
    Q_OBJECT
public:
    // How a device is chosen and read: the dialogs over the window, unless a test gives others.
    struct Scanner {
        std::function<std::optional<ScanDevice>(const QString &lastDevice)> selectSource;
        std::function<AcquireResult(const QString &device)> acquire;
    };
    struct Services {
        GraphicLoading &loading;
        Messages &messages;
        ToolMode &toolMode;
    };

    ScannerReading(const Services &services, QWidget *window, QObject *parent = nullptr);

    void setScanner(Scanner scanner) { mScanner = std::move(scanner); }
    void GetScannerPicture();

    static QString tooBigText();

public slots:
    void mnuFileGetFromScanner_Click();

private:
    Services mS;
    Scanner mScanner;
    QString mLastScanner;
};

} // namespace chartrek
