#include "points/DataExport.h"

#include "points/PointTables.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSaveFile>

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

bool DataExport::writeFileAtomically(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, so that a disk filling up shows as a short write here; a buffered write
    // would report success and leave a truncated file behind after commit().
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(data) == data.size()
        && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace chartrek
