#include "memory/frmMemInfo.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace chartrek {

frmMemInfo::frmMemInfo(QWidget *owner) : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("frmMemInfo"));
    setWindowTitle(tr("Memory"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QGridLayout(this);
    const struct {
        QLineEdit *&field;
        const char *name;
        const char *label;
    } rows[] = {
        {mUsed, "mUsed", QT_TR_NOOP("Used")},
        {mPhysical, "mPhysical", QT_TR_NOOP("Physical")},
        {mAvail, "mAvail", QT_TR_NOOP("... free")},
        {mPageFile, "mPageFile", QT_TR_NOOP("Pagefile")},
        {mAvailPageFile, "mAvailPageFile", QT_TR_NOOP("... free")},
        {mVirtual, "mVirtual", QT_TR_NOOP("Virtual")},
        {mAvailVirtual, "mAvailVirtual", QT_TR_NOOP("... free")},
    };
    int row = 0;
    for (const auto &r : rows) {
        r.field = new QLineEdit(this);
        r.field->setObjectName(QLatin1String(r.name));
        r.field->setReadOnly(true);
        r.field->setFocusPolicy(Qt::NoFocus);
        // Wide enough for the whole address space in KB.
        r.field->setMinimumWidth(r.field->fontMetrics().horizontalAdvance(QStringLiteral("000000000000000 KB")));
        layout->addWidget(new QLabel(tr(r.label), this), row, 0);
        layout->addWidget(r.field, row, 1);
        ++row;
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::array<QLineEdit *, 7> frmMemInfo::fields() const
{
    return {mUsed, mPhysical, mAvail, mPageFile, mAvailPageFile, mVirtual, mAvailVirtual};
}

void frmMemInfo::showTexts(const std::array<QString, 7> &texts)
{
    const auto all = fields();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i]->text() != texts[i])
            all[i]->setText(texts[i]);
    }
}

void frmMemInfo::markNearlyFull()
{
    if (mRed)
        return;
    mRed = true;
    QPalette palette = mUsed->palette();
    palette.setColor(QPalette::Base, QColor(255, 0, 0));
    mUsed->setPalette(palette);
}

void frmMemInfo::showEvent(QShowEvent *event)
{
    mPaintPending = true;
    QWidget::showEvent(event);
}

void frmMemInfo::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // Only the first paint after showing: the refresh repaints twice a second, and taking the
    // focus each time would pull the main window over whatever the user works in.
    if (mPaintPending) {
        mPaintPending = false;
        emit paintedAfterShow();
    }
}

} // namespace chartrek
