#include "formatexperte.h"

#include "platform/services.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace qm {
namespace {

// The picture on the left of every page (the hidden image "Bild"): a sheet
// with a grid of labels, drawn in code.
QPixmap sidePicture()
{
    QPixmap pixmap(96, 136);
    pixmap.fill(QColor(0, 0, 128));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRect(QRectF(22, 22, 60, 85));
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRectF(16.5, 16.5, 60, 85));
    p.setBrush(QColor(255, 255, 192));
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 2; ++column)
            p.drawRoundedRect(QRectF(21.5 + column * 27, 21.5 + row * 13.3, 24, 11), 2, 2);
    return pixmap;
}

QLabel *newText(const QString &text, QWidget *parent, bool bold = false)
{
    auto *label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->setWordWrap(true);
    return label;
}

QWidget *withPicture(QWidget *content, QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *picture = new QLabel(page);
    picture->setPixmap(sidePicture());
    picture->setAlignment(Qt::AlignTop);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(picture, 0, Qt::AlignTop);
    content->setParent(page);
    layout->addWidget(content, 1);
    return page;
}

} // namespace

FormatPreviewView::FormatPreviewView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Preview"));
    setFixedSize(PreviewWidth, PreviewHeight);
}

void FormatPreviewView::setPreview(const FormatPreview &preview)
{
    m_preview = preview;
    update();
}

void FormatPreviewView::paintPreview(QPainter &painter, const FormatPreview &preview)
{
    // GDI rectangles leave their right and bottom edge out.
    painter.save();
    painter.setClipRect(QRect(0, 0, PreviewWidth, PreviewHeight));
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    painter.drawRect(0, 0, PreviewWidth - 1, PreviewHeight - 1);
    for (const QRect &label : preview.labels) {
        if (label.width() < 1 || label.height() < 1)
            continue;
        painter.drawRect(label.x(), label.y(), label.width() - 1, label.height() - 1);
    }
    painter.restore();
}

void FormatPreviewView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPreview(painter, m_preview);
}

TFormatExperte::TFormatExperte(bool &dialogConfirmed, IMessages &messages, IHelp &help, QString helpFilePath,
    QString formatDir, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_confirmed(dialogConfirmed)
    , m_help(help)
    , m_helpFilePath(std::move(helpFilePath))
    , m_core(messages, std::move(formatDir))
{
    setObjectName(QStringLiteral("TFormatExperte"));
    setWindowTitle(tr("Format-Experte"));

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(createBasicPage());
    m_pages->addWidget(createFeedPage());
    m_pages->addWidget(createPreviewPage());

    auto newButton = [this](const QString &text, const char *name) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        return button;
    };
    m_back = newButton(tr("<< &Zurück"), "Button_Zurueck");
    m_next = newButton(tr("&Weiter >>"), "Button_Weiter");
    m_save = newButton(tr("&Sichern"), "BitBtn2");
    m_cancel = newButton(tr("&Abbrechen"), "Button_Abbrechen");
    m_helpButton = newButton(tr("&Hilfe"), "Button_Hilfe");

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_helpButton);
    buttons->addStretch();
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addSpacing(12);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);

    auto *statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusZeile"));
    statusBar->setSizeGripEnabled(false);
    m_status = new QLabel(statusBar);
    statusBar->addWidget(m_status, 1);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(line);
    layout->addLayout(buttons);
    layout->addWidget(statusBar);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_back, &QPushButton::clicked, this, &TFormatExperte::Button_ZurueckClick);
    connect(m_next, &QPushButton::clicked, this, &TFormatExperte::Button_WeiterClick);
    connect(m_save, &QPushButton::clicked, this, &TFormatExperte::BitBtn2Click);
    connect(m_cancel, &QPushButton::clicked, this, &TFormatExperte::Button_AbbrechenClick);
    connect(m_helpButton, &QPushButton::clicked, this, &TFormatExperte::Button_HilfeClick);
    for (QLineEdit *edit : { m_gry, m_neben, m_unter, m_startx, m_starty, m_vorX, m_vorY })
        connect(edit, &QLineEdit::editingFinished, this, &TFormatExperte::FieldExit);
    connect(m_beschreibung, &QLineEdit::editingFinished, this, &TFormatExperte::BeschreibungExit);
}

QLineEdit *TFormatExperte::newField(const char *name, int maxLength)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(
        edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * std::min(maxLength, 9) + 16);
    return edit;
}

QWidget *TFormatExperte::createBasicPage()
{
    m_grx = newField("Grx", MaxLabelSizeChars);
    m_gry = newField("GRY", MaxLabelSizeChars);
    m_neben = newField("Neben", MaxCountChars);
    m_unter = newField("Unter", MaxCountChars);
    m_beschreibung = new QLineEdit(this);
    m_beschreibung->setObjectName(QStringLiteral("Beschreibung"));
    m_beschreibung->setMaxLength(MaxDescriptionLength);
    m_beschreibung->setMinimumWidth(m_beschreibung->fontMetrics().averageCharWidth() * 40);

    auto *content = new QWidget;
    auto *grid = new QGridLayout(content);
    int row = 0;
    grid->addWidget(newText(tr("Etiketten- bzw. Formulargröße"), content, true), row++, 0, 1, 3);
    grid->addWidget(newText(tr("Bitte geben Sie die Breite und Höhe des gewünschten Formates ein."), content),
        row++, 0, 1, 3);
    grid->addWidget(
        newText(tr("(Eingabe im Format") + QLatin1Char(' ') + tr("z.B. 10.5 mm)"), content), row++, 0, 1, 3);
    grid->addWidget(newText(tr("Breite"), content), row, 0);
    grid->addWidget(m_grx, row, 1);
    grid->addWidget(newText(tr("mm"), content), row++, 2);
    grid->addWidget(newText(tr("Höhe"), content), row, 0);
    grid->addWidget(m_gry, row, 1);
    grid->addWidget(newText(tr("mm"), content), row++, 2);
    grid->addWidget(newText(tr("Anordnung auf dem Druckblatt"), content, true), row++, 0, 1, 3);
    grid->addWidget(newText(tr("Bestimmen Sie die Anordnung der Etiketten bzw. Formulare auf dem")
                            + QLatin1Char(' ') + tr("Druckblatt."),
                        content),
        row++, 0, 1, 3);
    grid->addWidget(newText(tr("Anzahl nebeneinander"), content), row, 0);
    grid->addWidget(m_neben, row++, 1);
    grid->addWidget(newText(tr("Anzahl untereinander"), content), row, 0);
    grid->addWidget(m_unter, row++, 1);
    grid->addWidget(newText(tr("Beschreibung"), content), row, 0);
    grid->addWidget(m_beschreibung, row++, 1, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(2, 1);
    return withPicture(content, m_pages);
}

QWidget *TFormatExperte::createFeedPage()
{
    m_startx = newField("Startx", MaxMarginChars);
    m_starty = newField("Starty", MaxMarginChars);
    m_vorX = newField("VorX", MaxMarginChars);
    m_vorY = newField("VorY", MaxMarginChars);

    auto *content = new QWidget;
    auto *grid = new QGridLayout(content);
    int row = 0;
    grid->addWidget(newText(tr("Anfangsvorschub zu Seitenbeginn"), content, true), row++, 0, 1, 3);
    grid->addWidget(newText(tr("Beginnt der Drucker mit einer neuen Seite so kann es notwendig sein,")
                            + QLatin1Char(' ') + tr("daß ein Rand unbedruckt bleibt."),
                        content),
        row++, 0, 1, 3);
    grid->addWidget(newText(tr("Linker Rand"), content), row, 0);
    grid->addWidget(m_startx, row, 1);
    grid->addWidget(newText(tr("mm"), content), row++, 2);
    grid->addWidget(newText(tr("Oberer Rand"), content), row, 0);
    grid->addWidget(m_starty, row, 1);
    grid->addWidget(newText(tr("mm"), content), row++, 2);
    grid->addWidget(
        newText(tr("Abstände zwischen den Etiketten bzw. Formularen"), content, true), row++, 0, 1, 3);
    grid->addWidget(newText(tr("Manche Formate besitzen einen Abstand zwischen den einzelnen")
                            + QLatin1Char(' ') + tr("Etiketten bzw. Formularen auf dem Druckblatt."),
                        content),
        row++, 0, 1, 3);
    grid->addWidget(newText(tr("waagerecht"), content), row, 0);
    grid->addWidget(m_vorX, row, 1);
    grid->addWidget(newText(tr("mm"), content), row++, 2);
    grid->addWidget(newText(tr("senkrecht"), content), row, 0);
    grid->addWidget(m_vorY, row, 1);
    grid->addWidget(newText(tr("mm"), content), row++, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(2, 1);
    return withPicture(content, m_pages);
}

QWidget *TFormatExperte::createPreviewPage()
{
    auto *content = new QWidget;
    m_preview = new FormatPreviewView(content);
    auto *layout = new QVBoxLayout(content);
    layout->addWidget(newText(tr("Preview"), content, true));
    layout->addWidget(newText(tr("Schematische Darstellung des Seitenaufbaus des Formats."), content));
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addStretch();
    return withPicture(content, m_pages);
}

QLineEdit *TFormatExperte::field(const char *objectName) const
{
    return findChild<QLineEdit *>(QLatin1String(objectName));
}

bool TFormatExperte::editFormat(const QString &mode, const QString &path)
{
    m_mode = mode;
    m_path = path;
    m_confirmed = false;
    exec();
    return m_confirmed;
}

QString TFormatExperte::description() const
{
    return m_beschreibung->text();
}

void TFormatExperte::takeTypedTexts()
{
    m_view.grid = GridTexts { m_grx->text(), m_gry->text(), m_neben->text(), m_unter->text(),
        m_startx->text(), m_starty->text(), m_vorX->text(), m_vorY->text() };
    m_view.beschreibung = m_beschreibung->text();
}

void TFormatExperte::showView()
{
    const GridTexts &g = m_view.grid;
    m_grx->setText(g.grx);
    m_gry->setText(g.gry);
    m_neben->setText(g.neben);
    m_unter->setText(g.unter);
    m_startx->setText(g.startx);
    m_starty->setText(g.starty);
    m_vorX->setText(g.vorX);
    m_vorY->setText(g.vorY);
    m_beschreibung->setText(m_view.beschreibung);
    m_status->setText(m_view.status);
    m_pages->setCurrentIndex(m_view.page - 1);
    m_back->setEnabled(m_view.backEnabled);
    m_next->setEnabled(m_view.nextEnabled);
}

void TFormatExperte::run(const std::function<void()> &operation)
{
    takeTypedTexts();
    operation();
    showView();
}

void TFormatExperte::FormShow()
{
    run([this] { m_path = m_core.FormShow(m_view, m_mode, m_path); });
    m_preview->setPreview({});
    m_grx->setFocus();
}

void TFormatExperte::Button_WeiterClick()
{
    run([this] { m_preview->setPreview(m_core.Button_WeiterClick(m_view)); });
}

void TFormatExperte::Button_ZurueckClick()
{
    run([this] { m_preview->setPreview(m_core.Button_ZurueckClick(m_view)); });
}

void TFormatExperte::FieldExit()
{
    run([this] { m_preview->setPreview(m_core.previewOrReport(m_view)); });
}

void TFormatExperte::BeschreibungExit()
{
    run([this] { m_core.BeschreibungExit(m_view); });
}

void TFormatExperte::BitBtn2Click()
{
    bool saved = false;
    run([&] { saved = m_core.BitBtn2Click(m_view, m_path); });
    if (!saved)
        return;
    m_confirmed = true;
    accept();
}

void TFormatExperte::Button_AbbrechenClick()
{
    m_confirmed = false;
    QDialog::reject();
}

void TFormatExperte::Button_HilfeClick()
{
    m_help.show(m_helpFilePath, HelpContext);
}

void TFormatExperte::reject()
{
    Button_AbbrechenClick();
}

void TFormatExperte::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

} // namespace qm
