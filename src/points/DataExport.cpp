#include "points/DataExport.h"

#include "core/AtomicFile.h"
#include "points/CurveExport.h"
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
        mMessages.ShowInfo(noDataText());
        return;
    }
    copyText(text);
}

void DataExport::mnuEditCopyAllCurves_Click()
{
    if (!mCurves)
        return;
    bool any = false;
    for (int i = 0; i < mCurves->count(); ++i)
        any = any || mCurves->pointCount(i) > 0;
    if (!any) {
        mMessages.ShowInfo(noDataText());
        return;
    }
    copyText(BuildAllCurvesText(*mCurves, false));
}

void DataExport::copyText(const QString &text)
{
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

QString DataExport::noDataText()
{
    return tr("There are no data available.");
}

QString DataExport::textFilter()
{
    return tr("Text (tab separated) (*.txt)");
}

QString DataExport::csvFilter()
{
    return tr("CSV (comma separated) (*.csv)");
}

QString DataExport::allCurvesTextFilter()
{
    return tr("All curves, a block each (*.txt)");
}

QString DataExport::allCurvesCsvFilter()
{
    return tr("All curves, comma-separated (*.csv)");
}

FileDialogRequest DataExport::saveRequest()
{
    FileDialogRequest request;
    request.title = tr("Save Data");
    request.filter = textFilter() + QStringLiteral(";;") + csvFilter() + QStringLiteral(";;") + allCurvesTextFilter()
                     + QStringLiteral(";;") + allCurvesCsvFilter();
    request.defaultSuffix = QStringLiteral("txt");
    request.mustExist = true;
    request.rememberFolder = Setting::SaveDataFolder;
    return request; // the name box is empty at every opening
}

void DataExport::mnuFileSaveData_Click()
{
    if (!mCalibration.IsCalibrated()) {
        mMessages.ShowInfo(noDataText());
        return;
    }
    QString filter;
    const QString path = mDialogs.getSaveFileName(saveRequest(), &filter);
    if (path.isEmpty())
        return;
    // The filter chosen decides the form, whatever the name's suffix.
    QString reason = tr("a value holds a character other than plain ASCII");
    bool written = false;
    if (mCurves && (filter == allCurvesTextFilter() || filter == allCurvesCsvFilter())) {
        // The curves' names may be any text: UTF-8.
        const QString text = filter == allCurvesCsvFilter() ? BuildAllCurvesCsv(*mCurves) : BuildAllCurvesText(*mCurves, true);
        written = writeFileAtomically(path, text.toUtf8(), &reason);
    } else {
        // The file is ASCII: digits, '.', '-', '+', 'E', ',', TAB, CR, LF. Anything else could only
        // be written as '?', which would be a corrupted file reported as saved.
        const QString text = filter == csvFilter() ? BuildCsvText(mModel) : BuildExportText(mModel, true);
        const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
        written = ascii && writeFileAtomically(path, text.toLatin1(), &reason);
    }
    if (!written) {
        // The system's reason (a full disk, no permission) tells whether trying again can help.
        mMessages.ShowError(tr("An error occurred while saving: %1. If the problem is permanent, please copy the "
                               "data via the clipboard.")
                                .arg(reason));
        return;
    }
    mMessages.ShowInfo(tr("The data were saved as %1.").arg(path));
}

} // namespace chartrek
