#include "formatauswaehlen.h"

#include "formats/stockindex.h"
#include "platform/errors.h"
#include "platform/services.h"
#include "stocksearchdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace qm {

TFormatAuswaehlen::TFormatAuswaehlen(const ProgramDirectory &dir, bool &dialogConfirmed, IMessages &messages,
    IFileDialogs &fileDialogs, IHelp &help, QString helpFilePath, IFormatExpert &expert, QWidget *parent)
    : QDialog(parent)
    , m_confirmed(dialogConfirmed)
    , m_help(help)
    , m_helpFilePath(std::move(helpFilePath))
    , m_core(dir, messages, fileDialogs, expert)
{
    setObjectName(QStringLiteral("TFormatAuswaehlen"));
    setWindowTitle(tr("Format auswählen"));

    m_areas = new QListWidget(this);
    m_areas->setObjectName(QStringLiteral("ListBereich"));
    m_formats = new QListWidget(this);
    m_formats->setObjectName(QStringLiteral("ListFormat"));
    m_areas->setMinimumSize(200, 260);
    m_formats->setMinimumSize(300, 260);

    auto newButton = [this](const QString &text, const char *name) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        return button;
    };
    m_ok = newButton(tr("OK"), "Button_Ok");
    m_new = newButton(tr("&Neu"), "Button_Neu");
    m_change = newButton(tr("&Ändern"), "Button_Aendern");
    m_delete = newButton(tr("&Löschen"), "Button_Loeschen");
    m_import = newButton(tr("&Importieren ..."), "Button_Importieren");
    m_search = newButton(tr("&Suchen ..."), "Button_Suchen");
    m_stockSearch = new StockSearchDialog(this);
    m_cancel = newButton(tr("&Abbrechen"), "Button_Abbrechen");
    m_helpButton = newButton(tr("&Hilfe"), "Button_Hilfe");

    auto *heading
        = new QLabel(tr("Bitte wählen Sie ein Format aus einem der angebotenen Bereiche aus."), this);
    heading->setWordWrap(true);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : { m_ok, m_new, m_change, m_delete, m_import, m_search })
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_helpButton);

    auto *lists = new QHBoxLayout;
    lists->addWidget(m_areas, 2);
    lists->addWidget(m_formats, 3);
    lists->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(lists);

    // A list takes a current row when it gets the focus, without selecting
    // it: only a selection by the user counts as a click.
    auto selectedRow = [](QListWidget *list) {
        const QList<QListWidgetItem *> items = list->selectedItems();
        return items.isEmpty() ? -1 : list->row(items.first());
    };
    connect(m_areas, &QListWidget::itemSelectionChanged, this, [this, selectedRow] {
        if (!m_showing && selectedRow(m_areas) >= 0)
            ListBereichClick(selectedRow(m_areas));
    });
    connect(m_formats, &QListWidget::itemSelectionChanged, this, [this, selectedRow] {
        if (!m_showing && selectedRow(m_formats) >= 0)
            ListFormatClick(selectedRow(m_formats));
    });
    connect(m_formats, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_mode == QLatin1String("E"))
            Button_OkClick();
    });
    connect(m_ok, &QPushButton::clicked, this, &TFormatAuswaehlen::Button_OkClick);
    connect(m_new, &QPushButton::clicked, this, &TFormatAuswaehlen::Button_NeuClick);
    connect(m_change, &QPushButton::clicked, this, &TFormatAuswaehlen::Button_AendernClick);
    connect(m_delete, &QPushButton::clicked, this, &TFormatAuswaehlen::Button_LoeschenClick);
    connect(m_import, &QPushButton::clicked, this, &TFormatAuswaehlen::Button_ImportierenClick);
    connect(m_search, &QPushButton::clicked, this, &TFormatAuswaehlen::Button_SuchenClick);
    connect(m_cancel, &QPushButton::clicked, this, &TFormatAuswaehlen::Button_AbbrechenClick);
    connect(m_helpButton, &QPushButton::clicked, this, &TFormatAuswaehlen::Button_HilfeClick);
}

void TFormatAuswaehlen::manageFormats()
{
    setModus(QStringLiteral("N"));
    m_confirmed = false;
    exec();
}

std::optional<QString> TFormatAuswaehlen::chooseFormat()
{
    setModus(QStringLiteral("E"));
    m_confirmed = false;
    exec();
    return m_chosen;
}

void TFormatAuswaehlen::setModus(const QString &mode)
{
    m_mode = mode;
    m_ok->setText(mode == QLatin1String("E") ? tr("Übernehmen") : tr("OK"));
}

void TFormatAuswaehlen::showView()
{
    m_showing = true;
    if (m_areas->count() != m_view.areas.size()) {
        m_areas->clear();
        m_areas->addItems(m_view.areas);
    }
    m_areas->clearSelection();
    if (m_view.areaIndex >= 0)
        m_areas->setCurrentRow(m_view.areaIndex);
    m_formats->clear();
    m_formats->addItems(m_view.formats);
    if (m_view.formatIndex >= 0)
        m_formats->setCurrentRow(m_view.formatIndex);
    m_showing = false;
}

void TFormatAuswaehlen::FormShow()
{
    m_chosen.reset();
    m_core.FormShow(m_view);
    showView();
    m_areas->setFocus();
}

void TFormatAuswaehlen::ListBereichClick(int row)
{
    m_core.ListBereichClick(m_view, row);
    showView();
}

void TFormatAuswaehlen::ListFormatClick(int row)
{
    m_core.ListFormatClick(m_view, row);
    showView();
}

void TFormatAuswaehlen::Button_OkClick()
{
    m_chosen = m_core.Button_OkClick(m_view, m_mode);
    m_confirmed = false;
    accept();
}

void TFormatAuswaehlen::Button_NeuClick()
{
    m_core.Button_NeuClick(m_view);
    showView();
}

void TFormatAuswaehlen::Button_AendernClick()
{
    m_core.Button_AendernClick(m_view);
    showView();
}

void TFormatAuswaehlen::Button_LoeschenClick()
{
    m_core.Button_LoeschenClick(m_view);
    showView();
}

void TFormatAuswaehlen::Button_ImportierenClick()
{
    m_core.Button_ImportierenClick(m_view);
    showView();
}

void TFormatAuswaehlen::Button_SuchenClick()
{
    if (!m_stockSearch->core().hasSheets()) {
        try {
            m_stockSearch->core().setSheets(shippedStockIndex());
        } catch (const Error &e) {
            m_core.showError(e.message());
            return;
        }
    }
    if (m_stockSearch->exec() != QDialog::Accepted || !m_stockSearch->chosen())
        return;
    const std::optional<QString> file = m_core.takeStockSheet(m_view, *m_stockSearch->chosen());
    showView();
    if (file && m_mode == QLatin1String("E")) {
        m_chosen = file;
        m_confirmed = false;
        accept();
    }
}

void TFormatAuswaehlen::Button_AbbrechenClick()
{
    m_chosen.reset();
    m_confirmed = false;
    QDialog::reject();
}

void TFormatAuswaehlen::Button_HilfeClick()
{
    m_help.show(m_helpFilePath, HelpContext);
}

void TFormatAuswaehlen::reject()
{
    Button_AbbrechenClick();
}

void TFormatAuswaehlen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

} // namespace qm
