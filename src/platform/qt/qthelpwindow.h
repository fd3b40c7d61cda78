#pragma once

#include "platform/services.h"

#include <QWidget>

class QTextBrowser;
class QUrl;

namespace qm {

// The help viewer: a window with the topic of a help file (format described
// with IHelp). It opens centred over the window that asked for it and stays
// open beside the program's windows until closed (also with Escape); a
// further request shows the new topic in the same window. A missing file or topic is said in
// the window in German.
class QtHelpWindow : public QWidget, public IHelp
{
    Q_OBJECT

public:
    explicit QtHelpWindow(QWidget *parent = nullptr);

    using QWidget::show;
    void show(const QString &helpFilePath, int contextNumber) override;

    const QString &helpFilePath() const { return m_filePath; }
    int contextNumber() const { return m_context; }
    // True when the topic was found and is shown.
    bool showsTopic() const { return m_found; }
    QTextBrowser *browser() const { return m_browser; }

protected:
    // Escape closes the help.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showTopic(int contextNumber);
    void followLink(const QUrl &url);
    void showMessage(const QString &message);

    QTextBrowser *m_browser = nullptr;
    QString m_filePath;
    int m_context = 0;
    bool m_found = false;
};

} // namespace qm
