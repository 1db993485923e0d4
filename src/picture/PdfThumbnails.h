#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

class QProcess;

namespace chartrek {

// Draws thumbnails of a PDF document's pages in the helper while the page dialog is up, for
// the pages asked for, one helper run at a time under the thumbnail limits. A page is drawn
// once; one that ends a run by its limits is not tried again. Destroying it ends the helper at
// once.
class PdfThumbnails : public QObject {
    Q_OBJECT
public:
    PdfThumbnails(const QString &fileName, int side, QObject *parent = nullptr);
    ~PdfThumbnails() override;

    // The pages (from 0) wanted now, in this order; earlier wishes not yet begun are dropped.
    void request(const QList<int> &pages);

signals:
    void drawn(int page, const QImage &thumbnail);

private:
    void startNext();
    void readDrawn();
    void runEnded();
    void stopHelper();

    QString mFileName;
    int mSide;
    QTemporaryDir mDir;
    std::unique_ptr<QProcess> mHelper;
    QTimer mDeadline;
    QList<int> mWanted;
    QList<int> mRunning; // the running batch's pages not yet drawn
    QSet<int> mDone;     // drawn, or tried and given up
};

} // namespace chartrek
