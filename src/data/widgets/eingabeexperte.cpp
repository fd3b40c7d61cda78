#include "eingabeexperte.h"

#include "data/widgets/previewwindow.h"
#include "platform/errors.h"
#include "printing/preview.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <new>

namespace qm {

namespace {

constexpr int InputHelpContext = 3;
constexpr int NoLimit = 32767; // QLineEdit's own largest length

// The picture beside each page: a sheet of labels, one of them being
// filled in.
QPixmap sheetPicture()
{
    const QSize size(110, 300);
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(32, 72, 140));
    sky.setColorAt(1, QColor(120, 170, 220));
    p.fillRect(pixmap.rect(), sky);

    const QRectF sheet(14, 24, 82, 116);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRect(sheet.translated(3, 3));
    p.setBrush(Qt::white);
    p.drawRect(sheet);

    const double labelW = 34, labelH = 18;
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 2; ++col) {
            const QRectF label(
                sheet.left() + 5 + col * (labelW + 4), sheet.top() + 5 + row * (labelH + 4), labelW, labelH);
            const bool used = row < 1;
            const bool current = row == 1 && col == 0;
            p.setPen(QPen(current ? QColor(200, 40, 40) : QColor(150, 150, 150), current ? 1.5 : 1));
            p.setBrush(used ? QColor(225, 225, 225) : QColor(255, 252, 220));
            p.drawRoundedRect(label, 3, 3);
            if (used || current) {
                p.setPen(QPen(QColor(60, 60, 60), 1.2));
                const int lines = current ? 2 : 3;
                for (int i = 0; i < lines; ++i)
                    p.drawLine(QPointF(label.left() + 4, label.top() + 5 + i * 4),
                        QPointF(label.right() - 6 - i * 4, label.top() + 5 + i * 4));
            }
        }
    }

    // A pen writing on the current label.
    p.translate(60, 182);
    p.rotate(-35);
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(240, 190, 40));
    p.drawRect(QRectF(-6, -40, 12, 60));
    p.setBrush(QColor(250, 220, 180));
    p.drawPolygon(QPolygonF({ QPointF(-6, 20), QPointF(6, 20), QPointF(0, 34) }));
    return pixmap;
}

QLabel *newLabel(const QString &text, const char *name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLabel *newHeading(const QString &text, const char *name, QWidget *parent)
{
    QLabel *label = newLabel(text, name, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QPushButton *newButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

TEingabeExperte::TEingabeExperte(IMessages &messages, IHelp &help, QString helpFilePath, QWidget *parent)
    : QDialog(parent)
    , m_core(m_grid, m_confirmed)
    , m_messages(messages)
    , m_help(help)
    , m_helpFilePath(std::move(helpFilePath))
{
    setWindowTitle(tr("Eingabe-Experte"));

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("Seiten"));
    m_pages->addWidget(createEntryPage());
    m_pages->addWidget(createStartPage());
    m_pages->addWidget(createAlignmentPage());

    m_helpButton = newButton(tr("&Hilfe"), "Button_Hilfe", this);
    m_back = newButton(tr("<< &Zurück"), "Button_Zurueck", this);
    m_next = newButton(tr("&Weiter >>"), "Button_Weiter", this);
    m_previewButton = newButton(tr("&Vorschau"), "Button_Vorschau", this);
    m_print = newButton(tr("&Drucken"), "Button_Drucken", this);
    m_cancel = newButton(tr("&Abbrechen"), "Button_Abbrechen", this);
    // No default button: Return moves on to the next entry line (see
    // keyPressEvent), and a half-typed record is never printed by it.
    for (QPushButton *button : { m_helpButton, m_back, m_next, m_previewButton, m_print, m_cancel })
        button->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_helpButton);
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addSpacing(12);
    buttons->addWidget(m_previewButton);
    buttons->addWidget(m_print);
    buttons->addWidget(m_cancel);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("Statuszeile"));
    status->setSizeGripEnabled(false);
    m_statusDesign = newLabel(QString(), "Statuszeile_Etikett", status);
    m_statusDesign->setTextFormat(Qt::PlainText);
    m_statusFormat = newLabel(QString(), "Statuszeile_Format", status);
    status->addWidget(m_statusDesign, 1);
    status->addWidget(m_statusFormat, 1);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *main = new QVBoxLayout(this);
    main->addWidget(m_pages, 1);
    main->addWidget(line);
    main->addLayout(buttons);
    main->addWidget(status);
    main->setContentsMargins(10, 10, 10, 0);

    connect(m_fieldScroll, &QScrollBar::valueChanged, this, &TEingabeExperte::Scroll_FeldChange);
    connect(m_recordScroll, &QScrollBar::valueChanged, this, &TEingabeExperte::Scroll_EtikettenChange);
    connect(m_new, &QPushButton::clicked, this, &TEingabeExperte::Button_NeuClick);
    connect(m_remove, &QPushButton::clicked, this, &TEingabeExperte::Button_EntfernenClick);
    connect(m_print, &QPushButton::clicked, this, &TEingabeExperte::Button_DruckenClick);
    connect(m_previewButton, &QPushButton::clicked, this, &TEingabeExperte::Button_VorschauClick);
    connect(m_cancel, &QPushButton::clicked, this, &TEingabeExperte::Button_AbbrechenClick);
    connect(m_next, &QPushButton::clicked, this, &TEingabeExperte::Button_WeiterClick);
    connect(m_back, &QPushButton::clicked, this, &TEingabeExperte::Button_ZurueckClick);
    connect(m_scrollX, &QScrollBar::valueChanged, this, &TEingabeExperte::Scroll_XChange);
    connect(m_scrollY, &QScrollBar::valueChanged, this, &TEingabeExperte::Scroll_YChange);
    connect(m_helpButton, &QPushButton::clicked, this, &TEingabeExperte::Button_HilfeClick);

    QWidget *order[] = { m_lines[0], m_lines[1], m_lines[2], m_lines[3], m_lines[4], m_lines[5],
        m_fieldScroll, m_copies, m_new, m_remove, m_recordScroll, m_startLabel, m_frameYes, m_frameNo,
        m_scrollX, m_scrollY, m_back, m_next, m_previewButton, m_print, m_cancel, m_helpButton };
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // One size for every showing, whatever panels the mode and the design
    // show, so that the texts never wrap anew: the size with all of them.
    setFixedSize(sizeHint());
    m_previewButton->setHidden(true);
    showView();
}

TEingabeExperte::~TEingabeExperte() = default;

QLabel *TEingabeExperte::createSideImage(const char *name)
{
    QLabel *image = newLabel(QString(), name, nullptr);
    const QPixmap picture = sheetPicture();
    image->setPixmap(picture);
    image->setFixedSize(picture.size());
    return image;
}

QWidget *TEingabeExperte::createEntryPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Eingabe"));

    m_t1 = newLabel(tr("Geben Sie die gewünschten Daten in die vorgesehenen Felder ein."), "t1", page);
    m_t1->setWordWrap(true);
    m_d1 = newHeading(tr("Datenbank"), "d1", page);
    m_d2 = newLabel(tr("Daten wurden im Datenbank-Experten schon festgelegt."), "d2", page);
    m_d2->setWordWrap(true);

    auto *fieldPanel = new QFrame(page);
    fieldPanel->setObjectName(QStringLiteral("Panel_Feld"));
    fieldPanel->setFrameShape(QFrame::StyledPanel);
    m_fieldPanel = fieldPanel;
    m_t2 = newHeading(tr("Felder"), "t2", page);
    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    for (int k = 0; k < InputExpertCore::LineCount; ++k) {
        const QByteArray number = QByteArray::number(k + 1);
        m_captions[k] = newLabel(QString(), ("FName" + number).constData(), fieldPanel);
        m_captions[k]->setTextFormat(Qt::PlainText);
        m_captions[k]->setMinimumWidth(120);
        m_lines[k] = new QLineEdit(fieldPanel);
        m_lines[k]->setObjectName(QLatin1String("F" + number));
        m_lines[k]->setMinimumWidth(220);
        grid->addWidget(m_captions[k], k, 0);
        grid->addWidget(m_lines[k], k, 1);
    }
    m_fieldScroll = new QScrollBar(Qt::Vertical, fieldPanel);
    m_fieldScroll->setObjectName(QStringLiteral("Scroll_Feld"));
    m_fieldScroll->setMinimum(1);
    m_fieldScroll->setPageStep(InputExpertCore::LineCount);
    m_fieldScroll->setFocusPolicy(Qt::StrongFocus);
    grid->addWidget(m_fieldScroll, 0, 2, InputExpertCore::LineCount, 1);
    auto *fieldLayout = new QVBoxLayout(fieldPanel);
    fieldLayout->addWidget(m_t2);
    fieldLayout->addLayout(grid);

    m_noFieldsTexts[0] = newHeading(tr("Keine Felder vorhanden"), "Label23", page);
    m_noFieldsTexts[1]
        = newLabel(tr("Das von Ihnen gewählte Etikett bzw. Formular enthält keine"), "Label2", page);
    m_noFieldsTexts[2] = newLabel(tr("Felder. Bitte wählen Sie die Anzahl der Kopien."), "Label3", page);

    auto *copiesPanel = new QFrame(page);
    copiesPanel->setObjectName(QStringLiteral("Panel1"));
    copiesPanel->setFrameShape(QFrame::StyledPanel);
    m_copiesPanel = copiesPanel;
    m_copies = new QLineEdit(copiesPanel);
    m_copies->setObjectName(QStringLiteral("EtikettenAnzahl"));
    // Digits only, at most three: what does not fit is refused where it is
    // typed or pasted, never cut to its first digits.
    m_copies->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), m_copies));
    m_copies->setFixedWidth(m_copies->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    auto *copiesLabel = new QLabel(tr("Anzahl der &Kopien:"), copiesPanel);
    copiesLabel->setBuddy(m_copies);
    m_new = newButton(tr("&Neu"), "Button_Neu", copiesPanel);
    m_remove = newButton(tr("&Entfernen"), "Button_Entfernen", copiesPanel);
    m_recordScroll = new QScrollBar(Qt::Horizontal, copiesPanel);
    m_recordScroll->setObjectName(QStringLiteral("Scroll_Etiketten"));
    m_recordScroll->setMinimum(1);
    m_recordScroll->setPageStep(5);
    m_recordScroll->setFocusPolicy(Qt::StrongFocus);
    m_recordText = newLabel(QString(), "Datensatz", copiesPanel);
    auto *copiesLayout = new QGridLayout(copiesPanel);
    copiesLayout->addWidget(copiesLabel, 0, 0);
    copiesLayout->addWidget(m_copies, 0, 1);
    copiesLayout->setColumnStretch(2, 1);
    copiesLayout->addWidget(m_new, 0, 3);
    copiesLayout->addWidget(m_remove, 0, 4);
    copiesLayout->addWidget(m_recordText, 1, 0, 1, 2);
    copiesLayout->addWidget(m_recordScroll, 1, 2, 1, 3);

    auto *content = new QVBoxLayout;
    content->addWidget(m_t1);
    content->addWidget(m_d1);
    content->addWidget(m_d2);
    content->addWidget(fieldPanel);
    for (QLabel *text : m_noFieldsTexts)
        content->addWidget(text);
    content->addWidget(copiesPanel);
    content->addStretch(1);

    placeBesideImage(page, content, "B1");
    return page;
}

void TEingabeExperte::placeBesideImage(QWidget *page, QLayout *content, const char *imageName)
{
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    QLabel *image = createSideImage(imageName);
    image->setParent(page);
    layout->addWidget(image, 0, Qt::AlignTop);
    layout->addLayout(content, 1);
}

QWidget *TEingabeExperte::createStartPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("StartRahmen"));

    QLabel *heading = newHeading(tr("Startetikett und Rahmen"), "StartRahmen_Titel", page);
    QLabel *intro = newLabel(tr("Ist der Bogen schon zum Teil benutzt, geben Sie die Nummer des ersten "
                                "freien Etiketts an. Gezählt wird zeilenweise von links oben, das erste "
                                "Etikett hat die Nummer 1."),
        "StartRahmen_Text", page);
    intro->setWordWrap(true);

    m_startLabel = new QLineEdit(QStringLiteral("1"), page);
    m_startLabel->setObjectName(QStringLiteral("Startetikett"));
    m_startLabel->setMaxLength(2);
    m_startLabel->setFixedWidth(m_startLabel->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 16);
    auto *startLabel = new QLabel(tr("&Startetikett:"), page);
    startLabel->setBuddy(m_startLabel);
    auto *startRow = new QHBoxLayout;
    startRow->addWidget(startLabel);
    startRow->addWidget(m_startLabel);
    startRow->addStretch(1);

    auto *frameBox = new QGroupBox(tr("Rahmen um jedes Etikett"), page);
    m_frameYes = new QRadioButton(tr("Ja, es soll ein Rahmen gedruckt werden."), frameBox);
    m_frameYes->setObjectName(QStringLiteral("Etikettenrahmen1"));
    m_frameNo = new QRadioButton(tr("Nein, ein Rahmen wird nicht benötigt."), frameBox);
    m_frameNo->setObjectName(QStringLiteral("Etikettenrahmen2"));
    m_frameNo->setChecked(true);
    auto *frameLayout = new QVBoxLayout(frameBox);
    frameLayout->addWidget(m_frameYes);
    frameLayout->addWidget(m_frameNo);

    auto *content = new QVBoxLayout;
    content->addWidget(heading);
    content->addWidget(intro);
    content->addSpacing(8);
    content->addLayout(startRow);
    content->addSpacing(8);
    content->addWidget(frameBox);
    content->addStretch(1);

    placeBesideImage(page, content, "B2");
    return page;
}

QWidget *TEingabeExperte::createAlignmentPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Ausrichtung"));

    QLabel *heading = newHeading(tr("Ausrichtung"), "Ausrichtung_Titel", page);
    QLabel *intro = newLabel(tr("Sitzt der Druck nicht genau auf den Etiketten, verschieben Sie ihn hier. "
                                "Ein Schritt entspricht 0,1 mm; positive Werte verschieben nach rechts "
                                "bzw. nach unten, höchstens um 25 mm."),
        "Ausrichtung_Text", page);
    intro->setWordWrap(true);

    auto newOffsetBar = [page](Qt::Orientation orientation, const char *name) {
        auto *bar = new QScrollBar(orientation, page);
        bar->setObjectName(QLatin1String(name));
        bar->setRange(0, InputExpertCore::OffsetMaximum);
        bar->setPageStep(10);
        bar->setValue(InputExpertCore::OffsetCentre);
        bar->setFocusPolicy(Qt::StrongFocus);
        return bar;
    };
    m_scrollX = newOffsetBar(Qt::Horizontal, "Scroll_X");
    m_scrollX->setMinimumWidth(200);
    m_scrollY = newOffsetBar(Qt::Vertical, "Scroll_Y");
    m_scrollY->setMinimumHeight(120);
    m_xpos = newLabel(QString(), "Xpos", page);
    m_ypos = newLabel(QString(), "Ypos", page);

    auto *xLabel = new QLabel(tr("Links/&rechts:"), page);
    xLabel->setBuddy(m_scrollX);
    auto *yLabel = new QLabel(tr("&Oben/unten:"), page);
    yLabel->setBuddy(m_scrollY);

    auto *grid = new QGridLayout;
    grid->addWidget(xLabel, 0, 0);
    grid->addWidget(m_scrollX, 0, 1);
    grid->addWidget(m_xpos, 0, 2);
    grid->addWidget(yLabel, 1, 0, Qt::AlignVCenter);
    grid->addWidget(m_scrollY, 1, 1, Qt::AlignLeft);
    grid->addWidget(m_ypos, 1, 2, Qt::AlignVCenter);
    grid->setColumnStretch(1, 1);

    auto *content = new QVBoxLayout;
    content->addWidget(heading);
    content->addWidget(intro);
    content->addSpacing(8);
    content->addLayout(grid);
    content->addStretch(1);

    placeBesideImage(page, content, "B3");
    return page;
}

// --- IInputExpert ------------------------------------------------------------

void TEingabeExperte::setModus(const QString &modus)
{
    m_core.setModus(modus);
}

void TEingabeExperte::setStatusText(const QString &designName, const QString &formatName)
{
    m_core.setStatusText(designName, formatName);
    m_statusDesign->setText(designName);
    m_statusFormat->setText(formatName);
}

void TEingabeExperte::setFields(const StringTable &fields)
{
    m_grid = fields;
    // One empty record; the showing sets it up.
    m_grid.clearRowsFrom(2);
    m_grid.setRowCount(3);
}

void TEingabeExperte::setScrollPositions(int scrollX, int scrollY)
{
    m_core.setScrollX(scrollX);
    m_core.setScrollY(scrollY);
    showView();
}

int TEingabeExperte::scrollX() const
{
    return m_core.view().scrollX;
}

int TEingabeExperte::scrollY() const
{
    return m_core.view().scrollY;
}

bool TEingabeExperte::showModal()
{
    m_confirmed = false;
    if (!FormShow()) {
        m_core.cancel();
        return false;
    }
    exec();
    return m_confirmed;
}

QString TEingabeExperte::startLabelText() const
{
    return m_startLabel->text();
}

bool TEingabeExperte::frameChecked() const
{
    return m_frameYes->isChecked();
}

// --- handlers ----------------------------------------------------------------

bool TEingabeExperte::FormShow()
{
    return run([this] { m_core.formShow(); });
}

void TEingabeExperte::Scroll_FeldChange()
{
    const int position = m_fieldScroll->value();
    run([this, position] { m_core.scrollFields(position); });
}

void TEingabeExperte::Scroll_EtikettenChange()
{
    const int position = m_recordScroll->value();
    run([this, position] { m_core.scrollRecords(position); });
}

void TEingabeExperte::Button_NeuClick()
{
    run([this] { m_core.addRecord(); });
}

void TEingabeExperte::Button_EntfernenClick()
{
    run([this] { m_core.removeRecord(); });
}

void TEingabeExperte::Button_DruckenClick()
{
    if (run([this] { m_core.print(); }))
        accept();
}

void TEingabeExperte::setPreviewSource(PreviewSource source)
{
    m_previewSource = std::move(source);
    m_previewButton->setHidden(!m_previewSource);
}

void TEingabeExperte::Button_VorschauClick()
{
    if (!m_previewSource)
        return;
    std::unique_ptr<PreviewPages> pages;
    const bool done = run([this, &pages] {
        m_core.preview();
        const InputExpertView &view = m_core.view();
        pages = m_previewSource(view.startLabel, view.frame, view.scrollX, view.scrollY);
    });
    if (!done || !pages || pages->pageCount() < 1)
        return;
    if (!m_preview)
        m_preview = new PreviewWindow(this);
    m_preview->setPages(std::move(pages));
    m_preview->exec();
}

void TEingabeExperte::Button_AbbrechenClick()
{
    reject();
}

void TEingabeExperte::reject()
{
    m_core.cancel();
    QDialog::reject();
}

void TEingabeExperte::Button_WeiterClick()
{
    run([this] { m_core.nextPage(); });
}

void TEingabeExperte::Button_ZurueckClick()
{
    run([this] { m_core.previousPage(); });
}

void TEingabeExperte::Scroll_XChange()
{
    const int position = m_scrollX->value();
    run([this, position] { m_core.setScrollX(position); });
}

void TEingabeExperte::Scroll_YChange()
{
    const int position = m_scrollY->value();
    run([this, position] { m_core.setScrollY(position); });
}

void TEingabeExperte::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    QWidget *focus = focusWidget();
    if (qobject_cast<QPushButton *>(focus)) {
        QDialog::keyPressEvent(event); // a button with the focus is pressed
        return;
    }
    // Through every field of the design (the field list scrolls along),
    // then to the copies; Return on the copies takes the record and starts
    // the next one in its first field.
    const auto line = std::find(m_lines.begin(), m_lines.end(), focus);
    if (line != m_lines.end()) {
        int next = InputExpertCore::LineCount;
        if (!run([this, &next, k = int(line - m_lines.begin())] { next = m_core.lineAfterReturn(k); }))
            return; // a refused value: the cursor stays in its line
        QLineEdit *target = next < InputExpertCore::LineCount ? m_lines[next] : m_copies;
        if (target->isVisibleTo(this) && target->isEnabled()) {
            target->setFocus(Qt::TabFocusReason);
            target->selectAll();
        }
        return;
    }
    if (focus == m_copies) {
        if (m_new->isVisibleTo(this))
            run([this] { m_core.addRecordAfterReturn(); });
        return;
    }
    focusNextChild();
}

void TEingabeExperte::Button_HilfeClick()
{
    m_help.show(m_helpFilePath, InputHelpContext);
}

// --- between the window and its core -------------------------------------------

bool TEingabeExperte::run(const std::function<void()> &operation)
{
    takeTypedTexts();
    bool done = true;
    try {
        operation();
    } catch (const Error &error) {
        done = false;
        showView();
        m_messages.show(MessageKind::Error, error.message(), MessageButton::Ok);
    } catch (const std::bad_alloc &) {
        done = false;
        showView();
        m_messages.show(MessageKind::Error, outOfMemoryMessage(), MessageButton::Ok);
    }
    showView();
    applyFocus();
    return done;
}

void TEingabeExperte::takeTypedTexts()
{
    InputExpertView &view = m_core.view();
    for (int k = 0; k < InputExpertCore::LineCount; ++k)
        view.lines[k].text = m_lines[k]->text();
    view.copies = m_copies->text();
    view.startLabel = m_startLabel->text();
    view.frame = m_frameYes->isChecked();
}

void TEingabeExperte::showView()
{
    const InputExpertView &view = m_core.view();

    for (int k = 0; k < InputExpertCore::LineCount; ++k) {
        const InputLine &line = view.lines[k];
        m_captions[k]->setText(line.caption);
        // The length first: a shorter limit would cut the new text.
        m_lines[k]->setMaxLength(line.maxLength > 0 ? std::min(line.maxLength, NoLimit) : NoLimit);
        m_lines[k]->setText(line.text);
        m_captions[k]->setHidden(!line.visible);
        m_lines[k]->setHidden(!line.visible);
    }
    m_copies->setText(view.copies);
    m_startLabel->setText(view.startLabel);
    (view.frame ? m_frameYes : m_frameNo)->setChecked(true);

    {
        const QSignalBlocker blockField(m_fieldScroll);
        const QSignalBlocker blockRecord(m_recordScroll);
        const QSignalBlocker blockX(m_scrollX);
        const QSignalBlocker blockY(m_scrollY);
        m_fieldScroll->setMaximum(view.fieldScroll.maximum);
        m_fieldScroll->setValue(view.fieldScroll.position);
        m_recordScroll->setMaximum(view.recordScroll.maximum);
        m_recordScroll->setValue(view.recordScroll.position);
        m_scrollX->setValue(view.scrollX);
        m_scrollY->setValue(view.scrollY);
    }
    m_fieldScroll->setHidden(!view.fieldScroll.visible);
    m_recordScroll->setHidden(!view.recordScroll.visible);
    m_recordText->setHidden(!view.recordScroll.visible);
    m_recordText->setText(tr("Datensatz %1 von %2").arg(m_core.currentRow() - 1).arg(m_core.recordCount()));
    m_xpos->setText(InputExpertCore::offsetText(view.scrollX));
    m_ypos->setText(InputExpertCore::offsetText(view.scrollY));

    m_fieldPanel->setHidden(!view.fieldPanelVisible);
    m_copiesPanel->setHidden(!view.copiesPanelVisible);
    m_t1->setHidden(!view.entryTextsVisible);
    m_t2->setHidden(!view.entryTextsVisible);
    for (QLabel *text : m_noFieldsTexts)
        text->setHidden(!view.noFieldsTextsVisible);
    m_d1->setHidden(!view.databaseTextsVisible);
    m_d2->setHidden(!view.databaseTextsVisible);
    m_new->setHidden(!view.newVisible);
    m_remove->setHidden(!view.removeVisible);

    m_pages->setCurrentIndex(view.page - 1);
    m_back->setEnabled(view.backEnabled);
    m_next->setEnabled(view.nextEnabled);

    m_statusDesign->setText(view.statusDesign);
    m_statusFormat->setText(view.statusFormat);
}

void TEingabeExperte::applyFocus()
{
    InputExpertView &view = m_core.view();
    switch (view.focus) {
    case InputFocus::FirstField:
        m_lines[0]->setFocus();
        break;
    case InputFocus::Copies:
        m_copies->setFocus();
        break;
    case InputFocus::StartLabel:
        m_startLabel->setFocus();
        break;
    case InputFocus::Line:
        m_lines[static_cast<size_t>(std::clamp(view.focusLine, 0, InputExpertCore::LineCount - 1))]
            ->setFocus();
        break;
    case InputFocus::None:
        break;
    }
    view.focus = InputFocus::None;
}

} // namespace qm
