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
        mMessages.ShowInfo(QStringLiteral("There are now data available."));
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
        mMessages.ShowInfo(QStringLiteral("There are now data available."));
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

const QString &DataExport::allCurvesTextFilter()
{
    static const QString filter = QStringLiteral("All curves, a block each (*.txt)");
    return filter;
}

const QString &DataExport::allCurvesCsvFilter()
{
    static const QString filter = QStringLiteral("All curves, comma-separated (*.csv)");
    return filter;
}

FileDialogRequest DataExport::saveRequest()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Daten speichern");
    request.filter = QStringLiteral("Text (*.txt);;") + allCurvesTextFilter() + QStringLiteral(";;") + allCurvesCsvFilter();
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
    FileDialogRequest request = saveRequest();
    QString filter;
    request.chosenFilter = &filter;
    const QString path = mDialogs.getSaveFileName(request);
    if (path.isEmpty())
        return;
    QString reason = QStringLiteral("a value holds a character other than plain ASCII");
    bool written = false;
    if (mCurves && (filter == allCurvesTextFilter() || filter == allCurvesCsvFilter())) {
        // The curves' names may be any text: UTF-8.
        const QString text = filter == allCurvesCsvFilter() ? BuildAllCurvesCsv(*mCurves) : BuildAllCurvesText(*mCurves, true);
        written = writeFileAtomically(path, text.toUtf8(), &reason);
    } else {
        // The file is ASCII: digits, '.', '-', '+', 'E', TAB, CR, LF. Anything else could only be
        // written as '?', which would be a corrupted file reported as saved.
        const QString text = BuildExportText(mModel, true);
        const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
        written = ascii && writeFileAtomically(path, text.toLatin1(), &reason);
    }
    if (!written) {
        // The system's reason (a full disk, no permission) tells whether trying again can help.
        mMessages.ShowError(QStringLiteral("An error accured while saving: ") + reason
                            + QStringLiteral(". If the problem is permanent, please copy the data over the clipboard."));
        return;
    }
    mMessages.ShowInfo(QStringLiteral("The data's where saved as ") + path + QStringLiteral("."));
}

} // namespace chartrek
