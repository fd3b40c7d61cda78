#include "app/commandline.h"
#include "catalogue/programdirectory.h"
#include "platform/errors.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>

#include <cstdio>

namespace {

// The shipped program data: installed beside the executable
// (<prefix>/share/quillmark) or, in a build tree, the source's share/.
QString shareDirectory()
{
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/quillmark"));
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    return QStringLiteral(QM_SOURCE_SHARE_DIR);
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
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    const QStringList args = QCoreApplication::arguments().mid(1);
    try {
        const qm::ProgramDirectory dir = qm::openProgramDirectory(explicitDirectory(args), shareDirectory());
        QMainWindow window;
        window.setWindowTitle(QCoreApplication::translate("qm", "Quillmark 2.0 - 32-Bit-Anwendung"));
        auto *label = new QLabel(QCoreApplication::translate("qm", "Programmverzeichnis: %1").arg(dir.path()), &window);
        label->setMargin(16);
        window.setCentralWidget(label);
        window.resize(640, 420);
        window.show();
        return app.exec();
    } catch (const qm::Error &e) {
        QMessageBox::critical(nullptr, QStringLiteral("Quillmark"), e.message());
        return 1;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (qm::isCommandLineCall(args)) {
        // Printing needs fonts, hence a GUI application, but never a screen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        const auto code = qm::runCommandLine(args, out, err);
        out.flush();
        err.flush();
        return code.value_or(0);
    }
    return runWindows(argc, argv);
}
