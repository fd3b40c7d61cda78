// Opens the main window offscreen on a program directory whose overview
// "Eigene Werke" holds many entries, and reports how long the window took
// to be made and shown and the peak memory (RSS) of the process before and
// after. The title window's wait passes on a virtual clock.
//
//   bench_main_overview [ENTRIES [AREAS]]      (default 100000 in 50 areas)

#include "app/appcontext.h"
#include "app/mainwindow.h"
#include "platform/doubles/memorysettings.h"
#include "platform/doubles/recordinghelp.h"
#include "platform/doubles/scriptedfiledialogs.h"
#include "platform/doubles/scriptedmessages.h"
#include "platform/doubles/virtualwaiter.h"
#include "printing/printeraccess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>
#include <sys/resource.h>

using namespace qm;

namespace {

class NoPrinters : public IPrinterAccess
{
public:
    std::optional<PrinterName> DruckerbezeichnungHolen() override { return std::nullopt; }
    std::unique_ptr<IPrinterDevice> openDefaultPrinter() override { return nullptr; }
};

long peakRssKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// BEREICH.DAT with `areas` areas and WERKE.DAT with `entries` entries spread
// over them in turn, named so that the tree has to sort them.
bool writeCatalogue(const QString &dir, int entries, int areas)
{
    QByteArray areaFile = "BEREICH.DAT - Quillmark 32-Bit-Version\r\n" + QByteArray(41, '=') + "\r\n";
    for (int a = 0; a < areas; ++a)
        areaFile += "Bereich " + QByteArray::number((a * 37) % areas) + "\r\n";
    QByteArray worksFile = "WERKE.DAT - Quillmark 32-Bit-Version\r\n" + QByteArray(41, '=') + "\r\n";
    worksFile.reserve(qsizetype(entries) * 120);
    for (int e = 0; e < entries; ++e) {
        const QByteArray n = QByteArray::number((qint64(e) * 7919) % entries);
        worksFile += "Bereich " + QByteArray::number(e % areas) + "\r\nEintrag " + n
            + "\r\nC:\\QUILL\\FORMATE\\format" + n + ".vrl\r\nC:\\QUILL\\ETIKETT\\etikett" + n
            + ".eti\r\n\r\n";
    }
    return writeFile(dir + QStringLiteral("/BEREICH.DAT"), areaFile)
        && writeFile(dir + QStringLiteral("/WERKE.DAT"), worksFile);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int entries = args.value(0, QStringLiteral("100000")).toInt();
    const int areas = args.value(1, QStringLiteral("50")).toInt();
    if (entries < 0 || areas < 1) {
        std::fprintf(stderr, "Aufruf: bench_main_overview [EINTRAEGE [BEREICHE]]\n");
        return 2;
    }
    QTemporaryDir temp;
    if (!temp.isValid() || !writeCatalogue(temp.path(), entries, areas)) {
        std::fprintf(stderr, "Das Programmverzeichnis kann nicht angelegt werden.\n");
        return 1;
    }

    MemorySettings settings;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    VirtualWaiter waiter;
    RecordingHelp help;
    NoPrinters printers;
    AppContext context(ProgramDirectory(temp.path() + QStringLiteral("/")), settings, messages, files, waiter,
        help, printers);
    app.processEvents();
    const long before = peakRssKb();

    QElapsedTimer timer;
    timer.start();
    THauptmenue window(context);
    window.resize(1280, 960);
    window.show();
    // Everything the first showing asks for, painting included.
    app.processEvents();
    QPixmap shot = window.grab();
    const qint64 ms = timer.elapsed();
    const long after = peakRssKb();

    std::printf("%d Einträge in %d Bereichen: Hauptfenster in %lld ms, Spitzenspeicher %ld MB "
                "(vorher %ld MB, %.1f KB je Eintrag), %d Meldungen\n",
        entries, areas, static_cast<long long>(ms), after / 1024, before / 1024,
        entries > 0 ? double(after - before) / entries : 0.0, int(messages.shown().size()));
    return shot.isNull() ? 1 : 0;
}
