#include "app/QtFileDialogs.h"

#include <QFileDialog>

namespace chartrek {

QString QtFileDialogs::getOpenFileName(const FileDialogRequest &request)
{
    return run(request, false);
}

QString QtFileDialogs::getSaveFileName(const FileDialogRequest &request)
{
    return run(request, true);
}

QString QtFileDialogs::run(const FileDialogRequest &request, bool save)
{
    QFileDialog dialog(mParent, request.title);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !save);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (request.chosenFilter)
        *request.chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

} // namespace chartrek
