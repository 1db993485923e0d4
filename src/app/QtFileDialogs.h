#pragma once

#include "core/FileDialogs.h"

class QWidget;

namespace chartrek {

// File dialogs on screen, modal to the main window.
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget *parent) : mParent(parent) {}
    QString getOpenFileName(const FileDialogRequest &request) override;
    QString getSaveFileName(const FileDialogRequest &request, QString *selectedFilter = nullptr) override;

    // The suffix a filter adds to a name typed without one: "csv" for "CSV (*.csv)".
    static QString filterSuffix(const QString &filter);

private:
    QString run(const FileDialogRequest &request, bool save, QString *selectedFilter);
    QWidget *mParent;
};

} // namespace chartrek
