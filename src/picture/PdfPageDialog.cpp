#include "picture/PdfPageDialog.h"

#include "picture/PdfThumbnails.h"

#include <QAbstractListModel>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

namespace chartrek {

namespace {

constexpr int kDpiChoices[] = {150, 300, 600};
constexpr int kOtherDpi = 0; // the id of the option with a resolution of one's own
// Thumbnails kept at most: those farthest from the last one drawn make room.
constexpr int kKeptThumbnails = 300;

QRadioButton *option(QButtonGroup *group, int id, const QString &text, const QString &name, bool checked,
                     QLayout *layout)
{
    auto *button = new QRadioButton(text);
    button->setObjectName(name);
    button->setChecked(checked);
    group->addButton(button, id);
    layout->addWidget(button);
    return button;
}

// The number below the picture, as an icon view shows it.
class PageDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->decorationPosition = QStyleOptionViewItem::Top;
        option->displayAlignment = Qt::AlignHCenter | Qt::AlignBottom;
    }
};

} // namespace

// Every page by its number; a page without a thumbnail shows the one shared blank sheet, so
// that a million pages take no more than their numbers.
class PdfPageModel : public QAbstractListModel {
public:
    PdfPageModel(int count, QObject *parent) : QAbstractListModel(parent), mCount(count)
    {
        mBlank = QPixmap(QSize(PdfThumbnailSide * 7 / 10, PdfThumbnailSide));
        mBlank.fill(Qt::white);
        QPainter painter(&mBlank);
        painter.drawRect(mBlank.rect().adjusted(0, 0, -1, -1));
    }

    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : mCount; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= mCount)
            return {};
        if (role == Qt::DisplayRole)
            return PdfPageDialog::tr("Page %1").arg(index.row() + 1);
        if (role == Qt::DecorationRole)
            return mThumbnails.value(index.row(), mBlank);
        return {};
    }

    bool hasThumbnail(int page) const { return mThumbnails.contains(page); }

    void setThumbnail(int page, const QImage &thumbnail)
    {
        if (mThumbnails.size() >= kKeptThumbnails) {
            int farthest = mThumbnails.constBegin().key();
            for (auto it = mThumbnails.constBegin(); it != mThumbnails.constEnd(); ++it) {
                if (std::abs(it.key() - page) > std::abs(farthest - page))
                    farthest = it.key();
            }
            mThumbnails.remove(farthest);
            emit dataChanged(index(farthest), index(farthest), {Qt::DecorationRole});
        }
        mThumbnails.insert(page, QPixmap::fromImage(thumbnail));
        emit dataChanged(index(page), index(page), {Qt::DecorationRole});
    }

private:
    int mCount;
    QPixmap mBlank;
    QHash<int, QPixmap> mThumbnails;
};

PdfPageDialog::PdfPageDialog(const QString &fileName, const PdfPageSizes &pages, const PdfRendering &preset,
                             QWidget *parent)
    : QDialog(parent), mModel(new PdfPageModel(pages.count(), this)),
      mThumbnails(new PdfThumbnails(fileName, PdfThumbnailSide, this)), mPages(new QListView(this)),
      mPageNumber(new QSpinBox(this)), mDpi(new QButtonGroup(this)), mOtherDpi(new QSpinBox(this)),
      mEdges(new QButtonGroup(this)), mViewSettled(new QTimer(this))
{
    setObjectName(QStringLiteral("pdfPageDialog"));
    setWindowTitle(tr("Open a page of the PDF document"));

    // A list laid out in rows rather than an icon view: with items of one size it keeps no
    // record of each item, whatever their number.
    mPages->setObjectName(QStringLiteral("pages"));
    mPages->setModel(mModel);
    mPages->setItemDelegate(new PageDelegate(mPages));
    mPages->setFlow(QListView::LeftToRight);
    mPages->setWrapping(true);
    mPages->setResizeMode(QListView::Adjust);
    mPages->setUniformItemSizes(true);
    mPages->setIconSize({PdfThumbnailSide, PdfThumbnailSide});
    mPages->setGridSize({PdfThumbnailSide + 24, PdfThumbnailSide + 2 * fontMetrics().height()});
    mPages->setMinimumSize(560, 380);
    mPages->setCurrentIndex(mModel->index(std::clamp(preset.page, 0, pages.count() - 1)));
    connect(mThumbnails, &PdfThumbnails::drawn, mModel, &PdfPageModel::setThumbnail);

    // The thumbnails of the pages in view are asked for once the view has settled.
    mViewSettled->setSingleShot(true);
    mViewSettled->setInterval(100);
    connect(mViewSettled, &QTimer::timeout, this, &PdfPageDialog::askForVisibleThumbnails);
    const auto settle = [this] { mViewSettled->start(); };
    connect(mPages->verticalScrollBar(), &QScrollBar::valueChanged, this, settle);
    connect(mPages->verticalScrollBar(), &QScrollBar::rangeChanged, this, settle);

    mPageNumber->setObjectName(QStringLiteral("pageNumber"));
    mPageNumber->setRange(1, std::max(1, pages.count()));
    mPageNumber->setValue(mPages->currentIndex().row() + 1);
    connect(mPageNumber, &QSpinBox::valueChanged, this, [this](int number) {
        const QModelIndex page = mModel->index(number - 1);
        if (mPages->currentIndex() != page)
            mPages->setCurrentIndex(page);
        mPages->scrollTo(page);
    });
    connect(mPages->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &page) {
                if (page.isValid())
                    mPageNumber->setValue(page.row() + 1);
            });

    auto *resolution = new QGroupBox(tr("Resolution"), this);
    auto *dpiLayout = new QHBoxLayout(resolution);
    for (const int dpi : kDpiChoices)
        option(mDpi, dpi, tr("%1 dpi").arg(dpi), QStringLiteral("dpi%1").arg(dpi), dpi == preset.dpi,
               dpiLayout);
    QRadioButton *other = option(mDpi, kOtherDpi, tr("&Other:"), QStringLiteral("dpiOther"),
                                 !mDpi->checkedButton(), dpiLayout);
    mOtherDpi->setObjectName(QStringLiteral("otherDpi"));
    mOtherDpi->setRange(10, 2400);
    mOtherDpi->setSuffix(tr(" dpi"));
    mOtherDpi->setValue(other->isChecked() ? preset.dpi : 100);
    connect(mOtherDpi, &QSpinBox::valueChanged, other, [other] { other->setChecked(true); });
    dpiLayout->addWidget(mOtherDpi);

    auto *edges = new QGroupBox(tr("Edges"), this);
    auto *edgeLayout = new QHBoxLayout(edges);
    option(mEdges, 0, tr("&Sharp (exact colors, for Autoline)"), QStringLiteral("sharp"), !preset.smooth,
           edgeLayout);
    option(mEdges, 1, tr("S&mooth"), QStringLiteral("smooth"), preset.smooth, edgeLayout);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mPages, &QListView::doubleClicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    const QString count = pages.count() == 1 ? tr("The document has 1 page.")
                                             : tr("The document has %1 pages.").arg(pages.count());
    layout->addWidget(new QLabel(count + QLatin1Char(' ') + tr("Choose the page to open:"), this));
    layout->addWidget(mPages);
    auto *number = new QHBoxLayout;
    auto *numberLabel = new QLabel(tr("&Page:"), this);
    numberLabel->setBuddy(mPageNumber);
    number->addWidget(numberLabel);
    number->addWidget(mPageNumber);
    number->addStretch();
    layout->addLayout(number);
    auto *settings = new QHBoxLayout;
    settings->addWidget(resolution);
    settings->addWidget(edges);
    layout->addLayout(settings);
    layout->addWidget(buttons);
}

PdfPageDialog::~PdfPageDialog() = default;

void PdfPageDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    mPages->scrollTo(mPages->currentIndex());
    mViewSettled->start();
}

void PdfPageDialog::askForVisibleThumbnails()
{
    // The pages under a lattice finer than the items: the first and the last one in view.
    const QRect area = mPages->viewport()->rect();
    const int dx = std::max(1, mPages->gridSize().width() / 2), dy = std::max(1, mPages->gridSize().height() / 2);
    int first = INT_MAX, last = -1;
    for (int y = area.top(); y <= area.bottom() + dy - 1; y += dy) {
        for (int x = area.left(); x <= area.right() + dx - 1; x += dx) {
            const QModelIndex page = mPages->indexAt({std::min(x, area.right()), std::min(y, area.bottom())});
            if (page.isValid()) {
                first = std::min(first, page.row());
                last = std::max(last, page.row());
            }
        }
    }
    QList<int> wanted;
    for (int page = first; page <= last; ++page) {
        if (!mModel->hasThumbnail(page))
            wanted.append(page);
    }
    mThumbnails->request(wanted);
}

PdfRendering PdfPageDialog::choice() const
{
    const int dpi = mDpi->checkedId() == kOtherDpi ? mOtherDpi->value() : mDpi->checkedId();
    return {mPages->currentIndex().row(), dpi, mEdges->checkedId() == 1};
}

std::optional<PdfRendering> PdfPageDialog::choose(const QString &fileName, const PdfPageSizes &pages,
                                                 const PdfRendering &preset, QWidget *parent)
{
    PdfPageDialog dialog(fileName, pages, preset, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.choice().page < 0)
        return std::nullopt;
    return dialog.choice();
}

} // namespace chartrek
