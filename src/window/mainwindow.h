// The one window of the program.
//
// Start-up: attach the skin -> record the design layout -> silence the view ->
// show the start page -> build the catalogue tree.
// Browsing: a tree node is chosen -> the catalogue says whether it has a page ->
// the view navigates there. Searching: the keyword -> the index is scanned ->
// the result page is written into the content folder -> the view shows it.
#pragma once

#include "window/controllayout.h"

#include <QList>
#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;

namespace Juanzong {

class HtmlView;
class MessageBox;
class SearchBox;
class Skin;
class TreeView;

// The platform pieces the window is built from. The two widgets are the
// controls `Webys` and `TreeView1`; the interfaces drive them.
struct WindowParts
{
    QWidget *webys = nullptr;
    HtmlView *html = nullptr;
    QWidget *treeView1 = nullptr;
    TreeView *tree = nullptr;
    Skin *skin = nullptr;
    MessageBox *messages = nullptr;
    // Asked afresh whenever a path is formed; the executable's folder in the program.
    std::function<QString()> programDirectory;
};

class MainWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)
public:
    // Runs the whole start-up sequence; the window is ready to be shown afterwards.
    explicit MainWindow(WindowParts parts, QWidget *parent = nullptr);
    ~MainWindow() override;

    static constexpr int DesignClientWidth = 17265;  // twips
    static constexpr int DesignClientHeight = 11745; // twips

    // The controls in the order the proportional layout visits them.
    const QList<QWidget *> &controls() const { return m_controls; }
    DesignSize designSize() const { return m_design; }

    // The user's commands, one per control event.
    void nodeClick(const QString &key);
    void search();
    void print();
    void goForward();
    void goBack();
    void showAbout();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void startUp();
    QString programDirectory() const;

    WindowParts m_parts;
    SearchBox *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command4 = nullptr;
    QPushButton *m_command5 = nullptr;
    QPushButton *m_command6 = nullptr;
    QLineEdit *m_txttemp = nullptr;
    QList<QWidget *> m_controls;
    DesignSize m_design;
};

} // namespace Juanzong
