#pragma once

#include "core/Settings.h"

#include <QString>

#include <optional>

namespace chartrek {

// What a file dialog is asked to show. The filter is in Qt's form, "Text (*.txt)", several
// separated by ";;", the first chosen at opening.
struct FileDialogRequest {
    QString title;
    QString filter;
    QString defaultSuffix;  // added when the user types a name without extension
    QString fileName;       // the name box's text at opening
    bool mustExist = false; // open: the file must exist; save: only the folder must
    QString folder;         // where the dialog opens; empty: where it opened last
    // The setting that keeps the folder of the file chosen, for the next opening.
    std::optional<Setting> rememberFolder;
};

// Every file dialog of the program goes through this, so that tests can answer them.
// An empty result means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString getOpenFileName(const FileDialogRequest &request) = 0;
    // Asks before overwriting an existing file. `selectedFilter`, when given, gets the filter
    // the user chose. The name has the chosen filter's suffix when the user typed none.
    virtual QString getSaveFileName(const FileDialogRequest &request, QString *selectedFilter = nullptr) = 0;
};

} // namespace chartrek
