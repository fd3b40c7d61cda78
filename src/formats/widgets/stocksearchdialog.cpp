#include "stocksearchdialog.h"

#include "formatexperte.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm {

StockSearchDialog::StockSearchDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("StockSearch"));
    setWindowTitle(tr("Etikettenbogen suchen"));

    auto *prompt = new QLabel(tr("Hersteller, Teilenummer oder Etikettengröße (z. B. \"Herma 4464\", "
                                 "\"L7160\", \"70 x 36\"):"),
        this);
    prompt->setWordWrap(true);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Suchtext"));
    prompt->setBuddy(m_text);

    m_matches = new QTreeWidget(this);
    m_matches->setObjectName(QStringLiteral("ListTreffer"));
    m_matches->setRootIsDecorated(false);
    m_matches->setUniformRowHeights(true);
    m_matches->setHeaderLabels({ tr("Hersteller"), tr("Teilenummer"), tr("Etikettengröße"), tr("Anzahl") });
    m_matches->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_matches->setMinimumSize(420, 260);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Hinweis"));
    m_status->setWordWrap(true);

    m_preview = new FormatPreviewView(this);

    m_takeOver = new QPushButton(tr("Übernehmen"), this);
    m_takeOver->setObjectName(QStringLiteral("Button_Uebernehmen"));
    m_takeOver->setAutoDefault(false);
    m_takeOver->setEnabled(false);
    m_cancel = new QPushButton(tr("&Abbrechen"), this);
    m_cancel->setObjectName(QStringLiteral("Button_Abbrechen"));
    m_cancel->setAutoDefault(false);

    auto *side = new QVBoxLayout;
    side->addWidget(m_preview);
    side->addStretch();
    side->addWidget(m_takeOver);
    side->addWidget(m_cancel);
    auto *body = new QHBoxLayout;
    body->addWidget(m_matches, 1);
    body->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_text);
    layout->addLayout(body);
    layout->addWidget(m_status);

    connect(m_text, &QLineEdit::textChanged, this, &StockSearchDialog::SuchtextChange);
    connect(m_matches, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem *> items = m_matches->selectedItems();
        if (!m_showing && !items.isEmpty())
            ListTrefferClick(m_matches->indexOfTopLevelItem(items.first()));
    });
    connect(m_matches, &QTreeWidget::itemDoubleClicked, this, &StockSearchDialog::Button_UebernehmenClick);
    connect(m_takeOver, &QPushButton::clicked, this, &StockSearchDialog::Button_UebernehmenClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void StockSearchDialog::SuchtextChange(const QString &text)
{
    m_view.text = text;
    m_core.SuchtextChange(m_view);
    showMatches();
}

void StockSearchDialog::ListTrefferClick(int row)
{
    m_core.ListTrefferClick(m_view, row);
    m_preview->setPreview(m_view.preview);
    m_takeOver->setEnabled(m_core.chosen(m_view) != nullptr);
}

void StockSearchDialog::Button_UebernehmenClick()
{
    if (!m_core.chosen(m_view))
        return;
    m_taken = true;
    accept();
}

void StockSearchDialog::showMatches()
{
    m_showing = true;
    m_matches->clear();
    QList<QTreeWidgetItem *> items;
    for (const QStringList &columns : std::as_const(m_view.matches)) {
        auto *item = new QTreeWidgetItem(columns);
        item->setTextAlignment(3, Qt::AlignRight);
        items.append(item);
    }
    m_matches->addTopLevelItems(items);
    m_status->setText(m_view.status);
    m_preview->setPreview(m_view.preview);
    m_takeOver->setEnabled(false);
    m_showing = false;
}

void StockSearchDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_taken = false;
    m_text->setFocus();
    m_text->selectAll();
    SuchtextChange(m_text->text());
}

} // namespace qm
