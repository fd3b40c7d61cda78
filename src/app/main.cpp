#include "app/appcontext.h"
#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/processtweaks.h"
#include "platform/errors.h"
#include "platform/qt/qtfiledialogs.h"
#include "platform/qt/qthelpwindow.h"
#include "platform/qt/qtmessages.h"
#include "platform/qt/qtwaiter.h"
#include "platform/settings.h"
#include "printing/qt/printerdialog.h"
#include "printing/qt/qtprinteraccess.h"
#include "programdir/programdirectory.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <optional>

#include <unistd.h>

namespace {

// The shipped program data: installed beside the executable
// (<prefix>/share/quillmark) or, in a build tree, the source's share/.
QString shareDirectory()
{
    const QString installed
        = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/quillmark"));
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    return QStringLiteral(QM_SOURCE_SHARE_DIR);
}

// A design or format to open, as a file manager passes it; empty when none.
QString fileToOpen(const QStringList &args)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dir"))
            ++i;
        else if (!args[i].startsWith(QLatin1Char('-')))
            return args[i];
    }
    return {};
}

// --dir DIR or --dir=DIR; empty when not given.
QString explicitDirectory(const QStringList &args)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            return args[i + 1];
        if (args[i].startsWith(QLatin1String("--dir=")))
            return args[i].mid(6);
    }
    return {};
}

int runWindows(int argc, char **argv)
{
    QApplication app(argc, argv);
    // No display name: Qt would append it to every window title, and each
    // window has its own caption.
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quillmark")));
    const QStringList args = QCoreApplication::arguments().mid(1);

    // The program speaks German, so Qt's own dialogs (files, printer) do too.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);

    qm::QtMessages messages;
    std::optional<qm::ProgramDirectory> dir;
    try {
        dir = qm::openProgramDirectory(explicitDirectory(args), shareDirectory(), qm::DirectoryUse::Windows);
    } catch (const qm::Error &e) {
        messages.show(qm::MessageKind::Error, e.message(), qm::MessageButton::Ok);
        return 1;
    }
    qm::IniFileSettings settings(qm::defaultSettingsPath());
    qm::QtFileDialogs fileDialogs;
    qm::QtWaiter waiter;
    qm::QtHelpWindow help;
    qm::QtPrinterAccess printers;
    qm::AppContext context(*dir, settings, messages, fileDialogs, waiter, help, printers);
    context.settingsFile = settings.path();
    context.printerSetup = [&](QWidget *parent) {
        qm::TDruckparameter dialog(printers, settings, messages, fileDialogs, waiter,
            context.dir.subdirPath(qm::ProgramDirectory::FormatSubdir), parent);
        dialog.exec();
    };

    qm::THauptmenue window(context);
    // Without a window manager "maximised" means nothing: start at the
    // screen's size then.
    if (QScreen *screen = window.screen())
        window.resize(screen->availableGeometry().size());
    window.showMaximized();
    const QString file = fileToOpen(args);
    if (!file.isEmpty())
        QTimer::singleShot(0, &window, [&window, file] { window.openFile(file); });
    return app.exec();
}

// The command line speaks for itself, in German, on stderr: Qt's own
// start-up notes (a missing XDG_RUNTIME_DIR under cron or ssh, a font
// database being built) are not for its users. Fatal messages still end the
// program with their text.
void commandLineMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fputs(qPrintable(message), stderr);
        std::fputc('\n', stderr);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qm::applyProcessTweaks();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (qm::isCommandLineCall(args)) {
        // Printing needs fonts, hence a GUI application, but never a screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(commandLineMessages);
        QGuiApplication app(argc, argv);
        qm::DescriptorOutput standardOutput(STDOUT_FILENO);
        QTextStream out(&standardOutput);
        QTextStream err(stderr);
        const auto code = qm::runCommandLine(args, out, err, shareDirectory());
        out.flush();
        err.flush();
        return code.value_or(0);
    }
    return runWindows(argc, argv);
}
