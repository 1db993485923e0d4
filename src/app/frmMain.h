#pragma once

#include "app/Messages.h"
#include "app/SharedState.h"
#include "app/ToolMode.h"
#include "calibration/Calibration.h"
#include "calibration/ReferenceCapture.h"
#include "points/PointTableModel.h"
#include "points/PointTables.h"

#include <QMainWindow>

#include <memory>

class QTableView;

namespace chartrek {

class MessageBoxSink;

// The main window: builds the controls and wires their events to the subsystems.
class frmMain : public QMainWindow, public PictureHolder {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    bool hasBitmap() const override { return false; }

private:

    SharedState mState;
    std::unique_ptr<MessageBoxSink> mMessageSink;
    std::unique_ptr<Messages> mMessages;
    ToolMode mToolModeRoutines{mState};
    Calibration mCalibration{mState, *this};
    PointTableModel mTableModel;
    PointTables mTables{mTableModel, mCalibration, mState};
    std::unique_ptr<ReferenceCapture> mCapture;
    QTableView *grdDataPoints = nullptr;
};

} // namespace chartrek
