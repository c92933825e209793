#pragma once

#include <QWidget>

class QTextBrowser;

namespace kront
{

// The program's help window: HTML pages in the Help folder of the program
// home (or, when the home has none, beside the executable), index.html for
// the table of contents and <topic>.html for each topic number.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);

    static QString pagePath(int topic); // <help dir>/<topic>.html
    static QString contentsPath();      // <help dir>/index.html

    void showContents();
    void showTopic(int topic); // topic 0: the table of contents

    QTextBrowser *browser() const { return view; }
    QString currentPage() const { return page; }

private:
    void open(const QString &path);
    void present();

    QTextBrowser *view;
    QString page;
};

// Opens the help of the focused window when F1 is pressed anywhere in the
// program, on the window's help topic (common/ui/HelpContext.h).
class HelpKeyFilter : public QObject
{
    Q_OBJECT
public:
    HelpKeyFilter(HelpViewer &viewer, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HelpViewer &viewer;
};

} // namespace kront
