#include "qthelpwindow.h"

#include "platform/errors.h"
#include "platform/settings.h"
#include "platform/textfile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <cerrno>

namespace qm {

QtHelpWindow::QtHelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &QtHelpWindow::followLink);
    setWindowTitle(QCoreApplication::translate("qm", "Quillmark-Hilfe"));
    resize(560, 480);
}

void QtHelpWindow::show(const QString &helpFilePath, int contextNumber)
{
    m_filePath = helpFilePath;
    m_browser->setSearchPaths({ QFileInfo(helpFilePath).absolutePath() });
    showTopic(contextNumber);
    // Asked for from a modal dialog, the help must take input itself, or the
    // dialog would block it: it is modal then, until it is closed. Asked for
    // from the main window, it stays open beside it.
    QWidget *modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal && modal != this ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    // It opens centred over the window that asked for it.
    QWidget *caller = modal && modal != this ? modal : QApplication::activeWindow();
    if (caller && caller != this && !isVisible())
        move(caller->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    QWidget::show();
    raise();
    activateWindow();
}

void QtHelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void QtHelpWindow::showTopic(int contextNumber)
{
    m_context = contextNumber;
    m_found = false;
    QByteArray bytes;
    try {
        bytes = readFileBytes(m_filePath);
    } catch (const IoError &e) {
        if (e.errorNumber() == ENOENT || e.errorNumber() == ENOTDIR)
            showMessage(
                QCoreApplication::translate("qm", "Die Hilfedatei %1 wurde nicht gefunden.").arg(m_filePath));
        else
            showMessage(QCoreApplication::translate("qm", "Die Hilfedatei %1 kann nicht gelesen werden: %2")
                            .arg(m_filePath, e.message()));
        return;
    }
    const std::optional<HelpTopic> topic = findHelpTopic(decodeUtf8OrCp1252(bytes), contextNumber);
    if (!topic) {
        showMessage(
            QCoreApplication::translate("qm", "Das Hilfethema %1 ist in der Hilfedatei %2 nicht vorhanden.")
                .arg(contextNumber)
                .arg(m_filePath));
        return;
    }
    m_found = true;
    // The title as a heading, unless the topic begins with one of its own.
    QString html;
    static const QRegularExpression ownHeading(
        QStringLiteral("^\\s*<h[1-3][\\s>]"), QRegularExpression::CaseInsensitiveOption);
    if (!topic->title.isEmpty() && !ownHeading.match(topic->html).hasMatch())
        html = QStringLiteral("<h2>") + topic->title.toHtmlEscaped() + QStringLiteral("</h2>\n");
    html += topic->html;
    m_browser->setHtml(html);
    setWindowTitle(topic->title.isEmpty()
            ? QCoreApplication::translate("qm", "Quillmark-Hilfe")
            : QCoreApplication::translate("qm", "Quillmark-Hilfe – %1").arg(topic->title));
}

void QtHelpWindow::followLink(const QUrl &url)
{
    if (const std::optional<int> context = helpLinkContext(url.toString()))
        showTopic(*context);
    else if (!url.isRelative())
        QDesktopServices::openUrl(url);
}

void QtHelpWindow::showMessage(const QString &message)
{
    m_browser->setPlainText(message);
    setWindowTitle(QCoreApplication::translate("qm", "Quillmark-Hilfe"));
}

} // namespace qm
