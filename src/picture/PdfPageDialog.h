#pragma once

#include "picture/PdfPages.h"

#include <QDialog>

#include <optional>

class QButtonGroup;
class QListWidget;

namespace chartrek {

// Chooses a page of a PDF document from thumbnails with their numbers, the resolution
// (150, 300 or 600 dpi) and sharp or smoothed edges. The choice given is preselected.
class PdfPageDialog : public QDialog {
    Q_OBJECT
public:
    PdfPageDialog(const QList<PdfPage> &pages, const PdfRendering &preset, QWidget *parent = nullptr);

    PdfRendering choice() const;

    // Runs the dialog; nothing when the person cancels.
    static std::optional<PdfRendering> choose(const QList<PdfPage> &pages, const PdfRendering &preset,
                                              QWidget *parent);

private:
    QListWidget *mPages;
    QButtonGroup *mDpi;
    QButtonGroup *mEdges;
};

} // namespace chartrek
