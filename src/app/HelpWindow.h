#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace chartrek {

// The program's help: its pages in a browser window of their own, non-modal. The main
// window keeps one and reuses it; each call brings it to the front.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    void showIndex();
    // Opens the topic of a help context number; an unknown number opens the index.
    void showTopic(int helpContextId);

    // The page shown now and the browser showing it (for tests and diagnostics).
    QUrl currentPage() const;
    QTextBrowser *browser() const { return mBrowser; }

private:
    void open(const QString &url);

    QTextBrowser *mBrowser = nullptr;
};

} // namespace chartrek
