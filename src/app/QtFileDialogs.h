#pragma once

#include "core/FileDialogs.h"

class QWidget;

namespace chartrek {

// File dialogs on screen, modal to the main window.
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget *parent) : mParent(parent) {}
    QString getOpenFileName(const FileDialogRequest &request) override;
    QString getSaveFileName(const FileDialogRequest &request) override;

private:
    QString run(const FileDialogRequest &request, bool save);
    QWidget *mParent;
};

} // namespace chartrek
