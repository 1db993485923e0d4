#include "points/DataExport.h"

#include "core/AtomicFile.h"
#include "points/PointTables.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <memory>

namespace chartrek {

namespace {

// Every form of text a clipboard offers; each would otherwise compete with the new text.
bool isTextFormat(const QString &format)
{
    return format.startsWith(QLatin1String("text/")) || format == QLatin1String("UTF8_STRING")
        || format == QLatin1String("STRING") || format == QLatin1String("TEXT")
        || format == QLatin1String("COMPOUND_TEXT");
}

} // namespace

void DataExport::mnuEditKopie_Click()
{
    const QString text = BuildExportText(mModel, false);
    if (text.isEmpty()) {
        mMessages.ShowInfo(QStringLiteral("There are now data available."));
        return;
    }
    // Only the text is replaced: a picture the user copied stays on the clipboard beside it.
    QClipboard *clipboard = QGuiApplication::clipboard();
    auto data = std::make_unique<QMimeData>();
    if (const QMimeData *old = clipboard->mimeData()) {
        if (old->hasImage())
            data->setImageData(old->imageData());
        for (const QString &format : old->formats()) {
            const bool image = format.startsWith(QLatin1String("image/"))
                || format == QLatin1String("application/x-qt-image");
            if (!isTextFormat(format) && !(image && data->hasImage()))
                data->setData(format, old->data(format));
        }
    }
    data->setText(text);
    clipboard->setMimeData(data.release());
}

const QString &DataExport::textFilter()
{
    static const QString filter = QStringLiteral("Text (tab separated) (*.txt)");
    return filter;
}

const QString &DataExport::csvFilter()
{
    static const QString filter = QStringLiteral("CSV (comma separated) (*.csv)");
    return filter;
}

FileDialogRequest DataExport::saveRequest()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Daten speichern");
    request.filter = textFilter() + QStringLiteral(";;") + csvFilter();
    request.defaultSuffix = QStringLiteral("txt");
    request.mustExist = true;
    request.rememberFolder = Setting::SaveDataFolder;
    return request; // the name box is empty at every opening
}

void DataExport::mnuFileSaveData_Click()
{
    if (!mCalibration.IsCalibrated()) {
        mMessages.ShowInfo(QStringLiteral("There are now data's available."));
        return;
    }
    QString filter;
    const QString path = mDialogs.getSaveFileName(saveRequest(), &filter);
    if (path.isEmpty())
        return;
    // The filter chosen decides the form, whatever the name's suffix. The file is ASCII: digits,
    // '.', '-', '+', 'E', ',', TAB, CR, LF. Anything else could only be written as '?', which
    // would be a corrupted file reported as saved.
    const QString text = filter == csvFilter() ? BuildCsvText(mModel) : BuildExportText(mModel, true);
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    QString reason = QStringLiteral("a value holds a character other than plain ASCII");
    if (!ascii || !writeFileAtomically(path, text.toLatin1(), &reason)) {
        // The system's reason (a full disk, no permission) tells whether trying again can help.
        mMessages.ShowError(QStringLiteral("An error accured while saving: ") + reason
                            + QStringLiteral(". If the problem is permanent, please copy the data over the clipboard."));
        return;
    }
    mMessages.ShowInfo(QStringLiteral("The data's where saved as ") + path + QStringLiteral("."));
}

} // namespace chartrek
