#pragma once

#include <QString>

namespace chartrek {

// What a file dialog is asked to show. The filter is in Qt's form, "Text (*.txt)".
struct FileDialogRequest {
    QString title;
    QString filter;
    QString defaultSuffix;  // added when the user types a name without extension
    QString fileName;       // the name box's text at opening
    bool mustExist = false; // open: the file must exist; save: only the folder must
    QString *chosenFilter = nullptr; // when given, receives the filter the user chose
};

// Every file dialog of the program goes through this, so that tests can answer them.
// An empty result means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString getOpenFileName(const FileDialogRequest &request) = 0;
    // Asks before overwriting an existing file.
    virtual QString getSaveFileName(const FileDialogRequest &request) = 0;
};

} // namespace chartrek
