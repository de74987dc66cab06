// The embedded HTML view as the window sees it: navigate, history, print, silence.
#pragma once

#include <QObject>
#include <QString>

namespace Juanzong {

class HtmlView : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~HtmlView() override = default;

    // A silent view shows no dialogs of its own: no script alerts or prompts,
    // no certificate or file-chooser questions.
    virtual void setSilent(bool silent) = 0;
    // Loads the local file named by a plain path and returns at once.
    virtual void navigate(const QString &path) = 0;
    // Each returns false, and changes nothing, when there is no entry that way.
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;
    // Asks the user in the print dialog, then prints the current page.
    virtual void print() = 0;
    // Shows a page built in memory as if it were the file at pagePath, so that
    // its relative links and style sheet resolve in that file's folder.
    virtual void showPageAs(const QString &html, const QString &pagePath) = 0;

Q_SIGNALS:
    // Something the user asked for could not be done; message is ready to show.
    void failed(const QString &message);
    // The view now shows this local file (by any road: a link, history, navigate).
    void pageShown(const QString &path);
};

} // namespace Juanzong
