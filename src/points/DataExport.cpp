#include "points/DataExport.h"

#include "app/AtomicFile.h"
#include "points/PointTables.h"

#include <QClipboard>
#include <QGuiApplication>

namespace chartrek {

void DataExport::mnuEditKopie_Click()
{
    const QString text = BuildExportText(mModel, false);
    if (text.isEmpty()) {
        mMessages.ShowInfo(QStringLiteral("There are now data available."));
        return;
    }
    QGuiApplication::clipboard()->setText(text);
}

FileDialogRequest DataExport::saveRequest()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Daten speichern");
    request.filter = QStringLiteral("Text (*.txt)");
    request.defaultSuffix = QStringLiteral("txt");
    request.mustExist = true;
    return request; // the name box is empty at every opening
}

void DataExport::mnuFileSaveData_Click()
{
    if (!mCalibration.IsCalibrated()) {
        mMessages.ShowInfo(QStringLiteral("There are now data's available."));
        return;
    }
    const QString path = mDialogs.getSaveFileName(saveRequest());
    if (path.isEmpty())
        return;
    // The export text is ASCII only: digits, '.', '-', '+', 'E', TAB, CR, LF.
    if (!writeFileAtomically(path, BuildExportText(mModel, true).toLatin1())) {
        mMessages.ShowError(QStringLiteral(
            "An error accured while saving. If the problem is permanent, please copy the data over the clipboard."));
        return;
    }
    mMessages.ShowInfo(QStringLiteral("The data's where saved as ") + path + QStringLiteral("."));
}

} // namespace chartrek
