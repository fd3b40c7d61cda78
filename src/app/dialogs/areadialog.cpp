#include "areadialog.h"

#include "catalogue/workscatalogue.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace qm {

TBereichBearbeiten::TBereichBearbeiten(bool &dialogConfirmed, IMessages &messages, QWidget *parent)
    : QDialog(parent)
    , m_confirmed(dialogConfirmed)
    , m_messages(messages)
    , m_bereich(new QLineEdit(this))
    , m_weiter(new QPushButton(tr("&Übernehmen"), this))
    , m_abbrechen(new QPushButton(tr("&Abbrechen"), this))
{
    setObjectName(QStringLiteral("TBereichBearbeiten"));
    setWindowTitle(tr("Bereich anlegen"));

    m_bereich->setObjectName(QStringLiteral("Bereich"));
    m_bereich->setMaxLength(MaxNameLength);
    m_bereich->setMinimumWidth(m_bereich->fontMetrics().averageCharWidth() * MaxNameLength);
    m_weiter->setObjectName(QStringLiteral("Button_Weiter"));
    m_weiter->setDefault(true);
    m_abbrechen->setObjectName(QStringLiteral("Button_Abbrechen"));

    auto *nameLabel = new QLabel(tr("&Name des Bereichs:"), this);
    nameLabel->setBuddy(m_bereich);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_weiter);
    buttons->addWidget(m_abbrechen);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(nameLabel);
    layout->addWidget(m_bereich);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_weiter, &QPushButton::clicked, this, &TBereichBearbeiten::Button_WeiterClick);
    connect(m_abbrechen, &QPushButton::clicked, this, &TBereichBearbeiten::Button_AbbrechenClick);
}

QString TBereichBearbeiten::areaName() const
{
    return m_bereich->text();
}

void TBereichBearbeiten::FormShow()
{
    m_bereich->clear();
    m_bereich->setFocus();
}

void TBereichBearbeiten::Button_WeiterClick()
{
    if (!WorksCatalogue::checkAreaName(m_bereich->text(), m_messages)) {
        m_bereich->setFocus();
        return;
    }
    m_confirmed = true;
    accept();
}

void TBereichBearbeiten::Button_AbbrechenClick()
{
    m_confirmed = false;
    reject();
}

void TBereichBearbeiten::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

} // namespace qm
