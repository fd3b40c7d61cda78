#include "infowindows.h"

#include "controls/kvdotpanel.h"
#include "pictures.h"
#include "platform/version.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

namespace {

QString programHeading()
{
    return QStringLiteral("<h2>%1</h2><p>%2</p>")
        .arg(QLatin1String(kProgramName),
            QCoreApplication::translate("qm", "Version %1").arg(QLatin1String(kProgramVersion)));
}

} // namespace

TInfoFenster::TInfoFenster(const QString &caption, const QString &html, QWidget *parent)
    : QDialog(parent)
    , m_html(html)
    , m_layout(new QVBoxLayout(this))
{
    setWindowTitle(caption);

    auto *picture = new PictureView(&drawPrinterPicture, PrinterPictureSize, this);
    auto *label = new QLabel(html, this);
    label->setObjectName(QStringLiteral("Text"));
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 60);

    auto *ok = new QPushButton(tr("&OK"), this);
    ok->setObjectName(QStringLiteral("Button_OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addWidget(label, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    m_layout->addLayout(top);
    m_layout->addLayout(buttons);
    m_layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TInfoFenster::addBanner(QWidget *banner)
{
    m_layout->insertWidget(0, banner, 0, Qt::AlignHCenter);
    m_layout->insertSpacing(1, 8);
}

TPinformation::TPinformation(QWidget *parent)
    : TInfoFenster(tr("Programminformation"),
        programHeading()
            + tr("<p>Quillmark gestaltet und druckt Etiketten und kleine Formulare auf "
                 "Etikettenbögen bis zur Größe DIN A4: Einleger für Kassetten und CDs, "
                 "Adress- und Paketaufkleber, Ordnerrücken, Tischkarten, Visitenkarten und "
                 "vieles mehr.</p>"
                 "<p>Die Werte eines Etiketts werden von Hand eingegeben oder aus einer "
                 "dBASE-Tabelle übernommen. Gedruckt wird ab jeder beliebigen Position eines "
                 "Bogens, so dass auch angebrochene Bögen aufgebraucht werden können.</p>")
            + tr("<p>Erstellt mit Qt %1.</p>").arg(QLatin1String(qVersion())),
        parent)
    , m_banner(new TKVDOTPanel(this))
{
    setObjectName(QStringLiteral("TPinformation"));
    m_banner->setObjectName(QStringLiteral("Laufschrift"));
    m_banner->setColumns(28);
    m_banner->setRows(1);
    m_banner->setDotSize(3);
    m_banner->setColor(Qt::black);
    m_banner->setDOTHiColor(QColor(0, 255, 0));
    m_banner->setDOTLoColor(QColor(0, 64, 0));
    m_banner->setScrollChar(false);
    // The font has capitals, digits and signs only: no umlauts here.
    m_banner->setCaption(tr("+++ Quillmark - Version %1 +++ Etiketten und kleine Formulare auf Boegen "
                            "bis DIN A4: Einleger fuer Kassetten und CDs, Adress- und Paketaufkleber, "
                            "Ordnerruecken, Tischkarten, Visitenkarten +++ Werte von Hand eingeben oder "
                            "aus einer dBASE-Tabelle uebernehmen +++ Drucken ab jeder Position, auch auf "
                            "angebrochenen Boegen +++")
                             .arg(QLatin1String(kFileVersion)));
    addBanner(m_banner);
}

void TPinformation::showEvent(QShowEvent *event)
{
    // Each showing starts the text from the right edge.
    m_banner->setCaption(m_banner->Caption());
    m_banner->setScrollInterval(BannerInterval);
    TInfoFenster::showEvent(event);
}

void TPinformation::hideEvent(QHideEvent *event)
{
    m_banner->setScrollInterval(-1);
    TInfoFenster::hideEvent(event);
}

namespace {

QString serviceText(const QString &programDir, const QString &settingsFile)
{
    QString html = programHeading();
    html += QCoreApplication::translate("qm",
        "<p><b>Hilfe</b></p>"
        "<ul>"
        "<li>Menü \"Hilfe\", \"Erste Hilfe ...\": ein kurzer Einstieg in die Arbeit mit "
        "Quillmark.</li>"
        "<li>Menü \"Hilfe\", \"Inhaltsverzeichnis ...\": die ausführliche Hilfe. Die "
        "Schaltfläche \"Hilfe\" der einzelnen Fenster führt direkt zum passenden "
        "Kapitel.</li>"
        "<li>Menü \"Vorbereitete Designs\": fertige Etiketten, die Sie sofort benutzen "
        "oder als Vorlage für eigene Entwürfe nehmen können.</li>"
        "</ul>");
    if (programDir.isEmpty() && settingsFile.isEmpty())
        return html;
    html += QCoreApplication::translate("qm", "<p><b>Ihre Dateien</b></p><ul>");
    if (!programDir.isEmpty())
        html += QCoreApplication::translate("qm",
            "<li>Programmverzeichnis mit den Ordnern ETIKETT (Designs), FORMATE "
            "(Bogenformate) und DBANKEN (Datenbanken):<br>%1</li>")
                    .arg(programDir.toHtmlEscaped());
    if (!settingsFile.isEmpty())
        html += QCoreApplication::translate("qm", "<li>Einstellungen:<br>%1</li>")
                    .arg(settingsFile.toHtmlEscaped());
    html += QStringLiteral("</ul>");
    return html;
}

} // namespace

TServiceangebote::TServiceangebote(const QString &programDir, const QString &settingsFile, QWidget *parent)
    : TInfoFenster(tr("Unsere Serviceangebote"), serviceText(programDir, settingsFile), parent)
{
    setObjectName(QStringLiteral("TServiceangebote"));
}

} // namespace qm
