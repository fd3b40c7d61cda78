#include "datenbankdrucken.h"

#include "controls/kvbibtn.h"
#include "data/stringtablemodel.h"
#include "data/tableengine.h"
#include "platform/errors.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace qm {

TDatenbankWarten::TDatenbankWarten(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DatenbankWarten"));
    setWindowTitle(tr("Datenbank"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Datenbankoperation wird ausgeführt."), this));
    layout->addWidget(new QLabel(tr("Bitte warten Sie einen Moment ..."), this));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("Fortschritt"));
    m_bar->setTextVisible(false);
    m_bar->hide();
    layout->addWidget(m_bar);
    setModal(false);
}

void TDatenbankWarten::setProgress(qint64 done, qint64 total)
{
    m_bar->setVisible(total > 0);
    if (total <= 0)
        return;
    // The bar counts in thousandths: record counts may exceed its int range.
    m_bar->setRange(0, 1000);
    m_bar->setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 1000)));
}

TableReadWait::TableReadWait(TDatenbankWarten &window, IWaiter &waiter)
    : m_window(window)
    , m_waiter(waiter)
    , m_wasVisible(window.isVisible())
{ }

TableReadWait::~TableReadWait()
{
    if (!m_shown)
        return;
    // Input that came in during the last step is still queued: it goes too.
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    m_window.setProgress(0, 0);
    if (!m_wasVisible)
        m_window.hide();
}

ReadProgress TableReadWait::progress()
{
    return [this](qint64 done, qint64 total) { step(done, total); };
}

void TableReadWait::step(qint64 done, qint64 total)
{
    if (total < LargeTableRecords)
        return;
    if (!m_shown) {
        m_shown = true;
        qApp->installEventFilter(this);
        m_window.show();
        m_window.raise();
    }
    m_window.setProgress(done, total);
    m_waiter.wait(0);
}

bool TableReadWait::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

TDatenbankDrucken::TDatenbankDrucken(ITableEngine &table, IMessages &messages, IWaiter &waiter, IHelp &help,
    QString helpFilePath, QWidget *parent)
    : QDialog(parent)
    , m_selection(table)
    , m_messages(messages)
    , m_waiter(waiter)
    , m_help(help)
    , m_helpPath(std::move(helpFilePath))
{
    setObjectName(QStringLiteral("DatenbankDrucken"));
    setWindowTitle(tr("Daten selektieren und drucken"));
    m_wait = new TDatenbankWarten(this);

    auto *criteria
        = new QGroupBox(tr("Auswahlkriterien für unten sichtbare Datensätze verknüpft durch ODER"), this);
    auto *grid = new QGridLayout(criteria);
    grid->addWidget(new QLabel(tr("Feldname"), criteria), 0, 1);
    grid->addWidget(new QLabel(tr("Wertebereich von (>=)"), criteria), 0, 2);
    grid->addWidget(new QLabel(tr("Wertebereich bis (<=)"), criteria), 0, 3);
    for (int k = 0; k < RecordSelection::CriterionCount; ++k) {
        auto *knopf = new TKVBiBtn(criteria);
        knopf->setObjectName(QStringLiteral("Knopf%1").arg(k + 1));
        knopf->setCaptionOn(tr("aktiv"));
        knopf->setCaptionOff(tr("inaktiv"));
        knopf->setLedColor(QColor(255, 0, 0));
        knopf->setLedInterval(0);
        knopf->setBorder(true);
        knopf->setFixedSize(90, 28);
        connect(knopf, &TKVBiBtn::clicked, this, [this, k] { KnopfClick(k); });
        m_knopf[k] = knopf;
        m_comb[k] = new QComboBox(criteria);
        m_comb[k]->setObjectName(QStringLiteral("Comb%1").arg(k + 1));
        m_comb[k]->setEditable(true);
        m_comb[k]->setMinimumWidth(140);
        m_an[k] = new QLineEdit(criteria);
        m_an[k]->setObjectName(QStringLiteral("An%1").arg(k + 1));
        m_en[k] = new QLineEdit(criteria);
        m_en[k]->setObjectName(QStringLiteral("En%1").arg(k + 1));
        grid->addWidget(knopf, k + 1, 0);
        grid->addWidget(m_comb[k], k + 1, 1);
        grid->addWidget(m_an[k], k + 1, 2);
        grid->addWidget(m_en[k], k + 1, 3);
        connect(knopf, &TKVBiBtn::valueChanged, this, &TDatenbankDrucken::showHint);
        connect(m_comb[k], &QComboBox::editTextChanged, this, &TDatenbankDrucken::showHint);
        connect(m_an[k], &QLineEdit::textChanged, this, &TDatenbankDrucken::showHint);
        connect(m_en[k], &QLineEdit::textChanged, this, &TDatenbankDrucken::showHint);
    }
    m_hint = new QLabel(criteria);
    m_hint->setObjectName(QStringLiteral("Hinweis"));
    m_hint->setWordWrap(true);
    m_hint->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_hint->hide();
    grid->addWidget(m_hint, RecordSelection::CriterionCount + 1, 0, 1, 4);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("Datengitter"));
    m_model = new StringTableModel(m_selection.records(), this);
    m_grid->setModel(m_model);
    m_grid->horizontalHeader()->setDefaultSectionSize(100);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->setDefaultSectionSize(20);

    auto *apply = new QPushButton(tr("Kriterien auf gesamten Datenbestand &anwenden"), this);
    apply->setObjectName(QStringLiteral("Button_gesamt"));
    connect(apply, &QPushButton::clicked, this, &TDatenbankDrucken::Button_gesamtClick);
    auto *next = new QPushButton(tr("&Weiter >>>"), this);
    next->setObjectName(QStringLiteral("Button_Weiter"));
    next->setDefault(true);
    connect(next, &QPushButton::clicked, this, &TDatenbankDrucken::Button_WeiterClick);
    auto *cancel = new QPushButton(tr("&Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("Button_Abbrechen"));
    connect(cancel, &QPushButton::clicked, this, &TDatenbankDrucken::Button_AbbrechenClick);
    auto *helpButton = new QPushButton(tr("&Hilfe"), this);
    helpButton->setObjectName(QStringLiteral("Button_Hilfe"));
    connect(helpButton, &QPushButton::clicked, this, &TDatenbankDrucken::Button_HilfeClick);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(criteria);
    layout->addWidget(apply, 0, Qt::AlignLeft);
    layout->addWidget(new QLabel(tr("Ausgewählte Datensätze und Anzahl der gewünschten Drucke"), this));
    layout->addWidget(m_grid, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(cancel);
    buttons->addWidget(helpButton);
    layout->addLayout(buttons);
    resize(640, 520);
}

TDatenbankDrucken::~TDatenbankDrucken() = default;

bool TDatenbankDrucken::withWait(const std::function<void()> &operation)
{
    m_wait->show();
    m_waiter.wait(500);
    bool ok = true;
    try {
        TableReadWait reading(*m_wait, m_waiter);
        m_selection.setProgress(reading.progress());
        const auto done = qScopeGuard([this] { m_selection.setProgress({}); });
        operation();
    } catch (const Error &e) {
        ok = false;
        m_wait->hide();
        m_messages.show(MessageKind::Error, e.message(), MessageButton::Ok);
    }
    m_wait->hide();
    m_model->reset();
    m_grid->setColumnWidth(0, 50);
    return ok;
}

SelectionCriteria TDatenbankDrucken::shownCriteria() const
{
    SelectionCriteria criteria;
    for (int k = 0; k < RecordSelection::CriterionCount; ++k) {
        SelectionCriterion &criterion = criteria[k];
        criterion.on = m_knopf[k]->value();
        criterion.field = m_comb[k]->currentText();
        criterion.lower = m_an[k]->text();
        criterion.upper = m_en[k]->text();
    }
    return criteria;
}

void TDatenbankDrucken::takeCriteria()
{
    m_selection.criteria() = shownCriteria();
}

void TDatenbankDrucken::showCriteria()
{
    for (int k = 0; k < RecordSelection::CriterionCount; ++k) {
        const SelectionCriterion &criterion = m_selection.criteria()[k];
        m_knopf[k]->setValue(criterion.on);
        m_an[k]->setText(criterion.lower);
        m_en[k]->setText(criterion.upper);
    }
}

void TDatenbankDrucken::showHint()
{
    const QString hint = filledButOffHint(shownCriteria());
    m_hint->setText(hint);
    m_hint->setVisible(!hint.isEmpty());
}

bool TDatenbankDrucken::FormShow()
{
    m_handedOver = false;
    m_handed.clear();
    m_handedFields.clear();
    const bool ok = withWait([this] { m_selection.formShow(); });
    showCriteria();
    showHint();
    for (QComboBox *comb : m_comb) {
        const QString text = comb->currentText();
        comb->clear();
        comb->addItems(m_selection.fieldNames());
        comb->setEditText(text);
    }
    return ok;
}

bool TDatenbankDrucken::showModal()
{
    if (!FormShow())
        return false;
    exec();
    return m_handedOver;
}

void TDatenbankDrucken::KnopfClick(int index)
{
    takeCriteria();
    QString warning;
    if (!m_selection.criteria()[index].on) {
        withWait([&] { warning = m_selection.criterionSwitched(index); });
    } else {
        try {
            warning = m_selection.criterionSwitched(index);
        } catch (const Error &e) {
            warning = e.message();
        }
        m_model->reset();
        m_grid->setColumnWidth(0, 50);
    }
    m_knopf[index]->setValue(m_selection.criteria()[index].on);
    if (!warning.isEmpty())
        m_messages.show(MessageKind::Warning, warning, MessageButton::Ok);
}

void TDatenbankDrucken::Button_gesamtClick()
{
    takeCriteria();
    withWait([this] { m_selection.applyToAll(); });
    const QString hint = filledButOffHint(m_selection.criteria());
    if (!hint.isEmpty())
        m_messages.show(MessageKind::Information, hint, MessageButton::Ok);
}

void TDatenbankDrucken::Button_WeiterClick()
{
    // A cell being edited keeps what was typed.
    m_grid->setCurrentIndex(QModelIndex());
    const QString hint = filledButOffHint(shownCriteria());
    if (!hint.isEmpty()) {
        const int listed = m_selection.records().rowCount() - 1;
        const QString question = hint + QStringLiteral("\n\n")
            + (listed == 1 ? tr("Soll der eine Datensatz der Liste trotzdem gedruckt werden?")
                           : tr("Sollen alle %1 Datensätze der Liste trotzdem gedruckt werden?").arg(listed));
        if (m_messages.show(MessageKind::Confirmation, question, MessageButton::Yes | MessageButton::No)
            != MessageButton::Yes)
            return;
    }
    m_wait->show();
    m_handedFields = m_selection.fieldNames();
    m_handed = m_selection.handOver();
    m_model->reset();
    m_handedOver = true;
    m_wait->hide();
    accept();
}

void TDatenbankDrucken::Button_AbbrechenClick()
{
    reject();
}

void TDatenbankDrucken::Button_HilfeClick()
{
    m_help.show(m_helpPath, 7);
}

} // namespace qm
