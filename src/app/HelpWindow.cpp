#include "app/HelpWindow.h"

#include "app/HelpTopics.h"

#include <QAction>
#include <QKeySequence>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace chartrek {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Chartrek Help"));

    mBrowser = new QTextBrowser(this);
    mBrowser->setObjectName(QStringLiteral("txtHelpPage"));
    // Pages link only to each other; anything else (a web address) goes to the desktop's browser.
    mBrowser->setOpenExternalLinks(true);
    mBrowser->setSearchPaths({QStringLiteral(":/help")});

    auto *bar = new QToolBar(this);
    QAction *back = bar->addAction(tr("&Back"), mBrowser, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    QAction *forward = bar->addAction(tr("&Forward"), mBrowser, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    bar->addAction(tr("&Contents"), this, &HelpWindow::showIndex);
    QAction *close = bar->addAction(tr("Close"), this, &QWidget::close);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(mBrowser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(mBrowser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(mBrowser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = mBrowser->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("Chartrek Help") : tr("Chartrek Help - %1").arg(title));
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(mBrowser);
    resize(640, 560);
}

void HelpWindow::showIndex()
{
    showTopic(kHelpIndexId);
}

void HelpWindow::showTopic(int helpContextId)
{
    open(helpPageUrl(helpContextId));
}

QUrl HelpWindow::currentPage() const
{
    return mBrowser->source();
}

void HelpWindow::open(const QString &url)
{
    mBrowser->setSource(QUrl(url));
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

} // namespace chartrek
