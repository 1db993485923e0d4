#include "picture/PdfPageDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace chartrek {

namespace {

constexpr int kDpiChoices[] = {150, 300, 600};

// A page without a thumbnail is shown as a blank sheet of its proportions.
QIcon pageIcon(const PdfPage &page)
{
    if (!page.thumbnail.isNull())
        return QIcon(QPixmap::fromImage(page.thumbnail));
    QSizeF size = page.points;
    if (size.isEmpty())
        size = {1, 1};
    QPixmap sheet(size.scaled(PdfThumbnailSide, PdfThumbnailSide, Qt::KeepAspectRatio).toSize().expandedTo({8, 8}));
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.drawRect(sheet.rect().adjusted(0, 0, -1, -1));
    return QIcon(sheet);
}

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

} // namespace

PdfPageDialog::PdfPageDialog(const QList<PdfPage> &pages, const PdfRendering &preset, QWidget *parent)
    : QDialog(parent), mPages(new QListWidget(this)), mDpi(new QButtonGroup(this)), mEdges(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("pdfPageDialog"));
    setWindowTitle(QStringLiteral("Open a page of the PDF document"));

    mPages->setObjectName(QStringLiteral("pages"));
    mPages->setViewMode(QListView::IconMode);
    mPages->setIconSize({PdfThumbnailSide, PdfThumbnailSide});
    mPages->setResizeMode(QListView::Adjust);
    mPages->setMovement(QListView::Static);
    mPages->setSpacing(6);
    mPages->setMinimumSize(560, 380);
    for (int i = 0; i < pages.size(); ++i)
        new QListWidgetItem(pageIcon(pages[i]), QStringLiteral("Page %1").arg(i + 1), mPages);
    mPages->setCurrentRow(std::clamp(preset.page, 0, int(pages.size()) - 1));

    auto *resolution = new QGroupBox(QStringLiteral("Resolution"), this);
    auto *dpiLayout = new QHBoxLayout(resolution);
    for (const int dpi : kDpiChoices)
        option(mDpi, dpi, QStringLiteral("%1 dpi").arg(dpi), QStringLiteral("dpi%1").arg(dpi), dpi == preset.dpi,
               dpiLayout);
    if (!mDpi->checkedButton())
        mDpi->button(300)->setChecked(true);

    auto *edges = new QGroupBox(QStringLiteral("Edges"), this);
    auto *edgeLayout = new QHBoxLayout(edges);
    option(mEdges, 0, QStringLiteral("Sharp (exact colours, for Autoline)"), QStringLiteral("sharp"), !preset.smooth,
           edgeLayout);
    option(mEdges, 1, QStringLiteral("Smooth"), QStringLiteral("smooth"), preset.smooth, edgeLayout);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mPages, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(mPages, &QListWidget::currentRowChanged, buttons->button(QDialogButtonBox::Ok),
            [button = buttons->button(QDialogButtonBox::Ok)](int row) { button->setEnabled(row >= 0); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("The document has %1 pages. Choose the page to open:").arg(pages.size()),
                                 this));
    layout->addWidget(mPages);
    auto *settings = new QHBoxLayout;
    settings->addWidget(resolution);
    settings->addWidget(edges);
    layout->addLayout(settings);
    layout->addWidget(buttons);
}

PdfRendering PdfPageDialog::choice() const
{
    return {mPages->currentRow(), mDpi->checkedId(), mEdges->checkedId() == 1};
}

std::optional<PdfRendering> PdfPageDialog::choose(const QList<PdfPage> &pages, const PdfRendering &preset,
                                                 QWidget *parent)
{
    PdfPageDialog dialog(pages, preset, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.choice().page < 0)
        return std::nullopt;
    return dialog.choice();
}

} // namespace chartrek
