#pragma once

#include "picture/PdfPages.h"

#include <QDialog>

#include <optional>

class QButtonGroup;
class QListView;
class QSpinBox;
class QTimer;

namespace chartrek {

class PdfPageModel;
class PdfThumbnails;

// Chooses a page of a PDF document from thumbnails with their numbers, or by its number, the
// resolution (150, 300, 600 dpi or another) and sharp or smoothed edges. The choice given is
// preselected. It opens at once, whatever the number of pages: every page shows a blank sheet
// until the helper has drawn its thumbnail, and only the pages in view are drawn.
class PdfPageDialog : public QDialog {
    Q_OBJECT
public:
    PdfPageDialog(const QString &fileName, const PdfPageSizes &pages, const PdfRendering &preset,
                  QWidget *parent = nullptr);
    ~PdfPageDialog() override;

    PdfRendering choice() const;

    // Runs the dialog; nothing when the person cancels.
    static std::optional<PdfRendering> choose(const QString &fileName, const PdfPageSizes &pages,
                                              const PdfRendering &preset, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void askForVisibleThumbnails();

    PdfPageModel *mModel;
    PdfThumbnails *mThumbnails;
    QListView *mPages;
    QSpinBox *mPageNumber;
    QButtonGroup *mDpi;
    QSpinBox *mOtherDpi;
    QButtonGroup *mEdges;
    QTimer *mViewSettled;
};

} // namespace chartrek
