// Times the record selection's core on a table: load the field list and all
// records, one criterion on the first field, apply. With --create N it
// first writes a table of N records with 5 character fields.
// Usage: bench_table_selection TABLE.dbf [--create N]
#include "data/recordselection.h"
#include "data/shapelibtable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    if (args.isEmpty()) {
        out << "Aufruf: bench_table_selection TABELLE.dbf [--create N]\n";
        return 2;
    }
    try {
        qm::ShapelibTable table;
        if (args.size() == 3 && args[1] == QLatin1String("--create")) {
            const int count = args[2].toInt();
            table.create(args[0],
                { { "NAME", 30 }, { "STRASSE", 30 }, { "PLZ", 5 }, { "ORT", 25 }, { "KUNDENNR", 10 } });
            for (int i = 0; i < count; ++i) {
                table.appendRecord({ QStringLiteral("Empfänger %1").arg(i),
                    QStringLiteral("Weg %1").arg(i % 500), QString::number(10000 + i % 90000),
                    QStringLiteral("Stadt %1").arg(i % 97), QString::number(i) });
            }
            table.close();
        }
        QElapsedTimer timer;
        timer.start();
        table.open(args[0]);
        qm::RecordSelection selection(table);
        selection.formShow();
        selection.criteria()[0] = { true, QStringLiteral("NAME"), QStringLiteral("Empfänger 5"), QString() };
        selection.applyToAll();
        const qint64 ms = timer.elapsed();
        out << selection.records().rowCount() - 1 << " Datensätze ausgewählt in " << ms << " ms\n";
    } catch (const qm::Error &e) {
        QTextStream(stderr) << e.message() << '\n';
        return 1;
    }
    return 0;
}
