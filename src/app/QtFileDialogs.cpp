#include "app/QtFileDialogs.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace chartrek {

QString QtFileDialogs::getOpenFileName(const FileDialogRequest &request)
{
    return run(request, false, nullptr);
}

QString QtFileDialogs::getSaveFileName(const FileDialogRequest &request, QString *selectedFilter)
{
    return run(request, true, selectedFilter);
}

QString QtFileDialogs::filterSuffix(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

QString QtFileDialogs::run(const FileDialogRequest &request, bool save, QString *selectedFilter)
{
    QFileDialog dialog(mParent, request.title);
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !save);
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    dialog.selectFile(request.fileName);
    // A name typed without a suffix gets the one of the filter chosen, which decides the format;
    // the overwrite question then asks about the name really written.
    if (save) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
            dialog.setDefaultSuffix(filterSuffix(filter));
        });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

} // namespace chartrek
