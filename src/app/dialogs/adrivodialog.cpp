#include "adrivodialog.h"

#include "platform/errors.h"
#include "platform/services.h"
#include "platform/settings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace qm {

const QString TInfoADRIVO::Section = QStringLiteral("Parameter");
const QString TInfoADRIVO::Key = QStringLiteral("ADRIVO");

TInfoADRIVO::TInfoADRIVO(ISettings &settings, IMessages &messages, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_messages(messages)
    , m_pfad(new QLineEdit(this))
    , m_ok(new QPushButton(tr("&OK"), this))
    , m_cancel(new QPushButton(tr("&Abbrechen"), this))
{
    setObjectName(QStringLiteral("TInfoADRIVO"));
    setWindowTitle(tr("Verknüpfung mit ADRIVO"));

    auto *explanation
        = new QLabel(tr("Das Adressprogramm ADRIVO kann seine Adressen an Quillmark übergeben. Es legt "
                        "sie dazu in der Tabelle qmadrivo.dbf in seinem Verzeichnis ab; die "
                        "vorbereiteten Designs unter \"Adressen drucken aus ADRIVO\" drucken sie von "
                        "dort.\n\n"
                        "Bitte geben Sie das Verzeichnis an, in dem ADRIVO zu finden ist, mit einem "
                        "\"/\" am Ende (zum Beispiel /home/benutzer/adrivo/)."),
            this);
    explanation->setWordWrap(true);

    m_pfad->setObjectName(QStringLiteral("Pfad"));
    m_pfad->setMaxLength(ISettings::MaxStringLength);
    m_pfad->setMinimumWidth(m_pfad->fontMetrics().averageCharWidth() * 50);
    auto *pfadLabel = new QLabel(tr("Pfad"), this);
    pfadLabel->setBuddy(m_pfad);

    m_ok->setObjectName(QStringLiteral("Button1"));
    m_ok->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("Button2"));

    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(pfadLabel);
    pathRow->addWidget(m_pfad, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(pathRow);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &TInfoADRIVO::Button1Click);
    connect(m_cancel, &QPushButton::clicked, this, &TInfoADRIVO::Button2Click);
}

QString TInfoADRIVO::path() const
{
    return m_pfad->text();
}

void TInfoADRIVO::FormShow()
{
    m_pfad->setText(m_settings.readString(Section, Key, QString()));
    m_pfad->setFocus();
}

void TInfoADRIVO::Button1Click()
{
    try {
        m_settings.writeString(Section, Key, m_pfad->text());
    } catch (const Error &error) {
        m_messages.show(MessageKind::Error, error.message(), MessageButton::Ok);
        m_pfad->setFocus();
        return;
    }
    accept();
}

void TInfoADRIVO::Button2Click()
{
    reject();
}

void TInfoADRIVO::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

} // namespace qm
