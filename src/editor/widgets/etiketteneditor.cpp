#include "etiketteneditor.h"

#include "controls/colorgrid.h"
#include "editor/widgets/editoricons.h"
#include "editor/widgets/propertydialogs.h"
#include "editor/widgets/workspaceview.h"
#include "editor/workspacedrawing.h"
#include "platform/canvas/qpaintercanvas.h"
#include "platform/services.h"

#include <QActionGroup>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace qm {
namespace {

struct ToolEntry
{
    int tool;
    const char *button;
    const char *item;
    const char *caption;
    Qt::Key key;
    const char *hint;
};

// The tools in the order of the tool column and the menu.
const ToolEntry Tools[] = {
    { ToolMove, "SpeedPfeil", "B0", QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Objekt &verschieben"),
        Qt::Key_V, QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Objekt verschieben") },
    { ToolChange, "SpeedAendern", "B9", QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Objekt &ändern"),
        Qt::Key_A, QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Objekt verändern oder löschen mit STRG") },
    { ToolLine, "SpeedLinie", "B1", QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "&Linie"), Qt::Key_L,
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Linie") },
    { ToolRectangle, "SpeedRechteck", "B2", QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "&Rechteck"), Qt::Key_R,
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Rechteck") },
    { ToolRoundRectangle, "SpeedRundeck", "B3",
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Rechteck mit runden &Ecken"), Qt::Key_E,
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Rechteck mit runden Ecken") },
    { ToolText, "SpeedText", "B4", QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "&Text"), Qt::Key_T,
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Text") },
    { ToolField, "SpeedFeld", "B5", QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "&Feld"), Qt::Key_F,
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Feld") },
    { ToolSerial, "SpeedSeriennummer", "B6",
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "&Seriennummer oder Datum/Zeit"), Qt::Key_S,
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Seriennummer oder Datum/Zeit") },
    { ToolGraphic, "SpeedGrafik", "B7", QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "&Grafik"), Qt::Key_G,
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Grafik") },
    { ToolEllipse, "SpeedEllipse", "B8", QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "&Ellipse"), Qt::Key_K,
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Ellipse oder Kreis") },
    { ToolBarcode, "SpeedBarcode", "B11", QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "&Barcode"), Qt::Key_B,
        QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Barcode oder QR-Code") },
};

const char *const LineItems[3] = {
    QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Linien &dü&nn"),
    QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Linien &dick"),
    QT_TRANSLATE_NOOP("qm::TEtiketteneditor", "Linien &gestrichelt"),
};

QImage whiteImage(QSize size)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

TEtiketteneditor::TEtiketteneditor(bool &dialogConfirmed, IMessages &messages, IFileDialogs &fileDialogs,
    ISettings &settings, IHelp &help, QString helpFilePath, QWidget *parent, IPropertyDialogs *dialogs)
    : QDialog(parent)
    , m_confirmed(dialogConfirmed)
    , m_help(help)
    , m_helpFilePath(std::move(helpFilePath))
{
    setObjectName(QStringLiteral("TEtiketteneditor"));
    setWindowTitle(tr("Design-Experte"));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    if (!dialogs) {
        m_ownDialogs = std::make_unique<WidgetPropertyDialogs>(dialogConfirmed, this);
        dialogs = m_ownDialogs.get();
    }
    m_core = std::make_unique<EditorCore>(messages, fileDialogs, settings, *dialogs);
    m_fontChooser = [this](const EditorFont &current) -> std::optional<EditorFont> {
        QFont font(current.face);
        font.setPointSize(current.pointSize);
        font.setBold(current.bold);
        font.setItalic(current.italic);
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(
            &ok, font, this, tr("Schriftart"), QFontDialog::ScalableFonts | QFontDialog::DontUseNativeDialog);
        if (!ok)
            return std::nullopt;
        return EditorFont { chosen.family(), chosen.pointSize(), chosen.bold(), chosen.italic() };
    };

    m_repaintTimer = new QTimer(this);
    m_repaintTimer->setSingleShot(true);
    m_repaintTimer->setInterval(RepaintDelayMs);
    connect(m_repaintTimer, &QTimer::timeout, this, &TEtiketteneditor::repaintNow);

    auto *menuBar = new QMenuBar(this);
    buildMenus(menuBar);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(buildTopBar());
    auto *middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(buildToolColumn());
    middle->addWidget(buildWorkArea(), 1);
    layout->addLayout(middle, 1);

    setMinimumSize(MinimumWidth, MinimumHeight);
    resize(MinimumWidth, MinimumHeight);
    connect(&m_core->undoStack(), &QUndoStack::indexChanged, this, [this] { showState(); });
}

TEtiketteneditor::~TEtiketteneditor() = default;

void TEtiketteneditor::buildMenus(QMenuBar *bar)
{
    QMenu *file = bar->addMenu(tr("&Datei"));
    file->addAction(tr("&Neu"), this, &TEtiketteneditor::Neu2Click)->setObjectName(QStringLiteral("Neu2"));
    file->addAction(tr("&Öffnen ..."), this, &TEtiketteneditor::ffnen1Click)
        ->setObjectName(QStringLiteral("ffnen1"));
    file->addAction(tr("&Speichern"), this, &TEtiketteneditor::Speichern1Click)
        ->setObjectName(QStringLiteral("Speichern1"));
    file->addAction(tr("Speichern &unter ..."), this, &TEtiketteneditor::Speichernunter1Click)
        ->setObjectName(QStringLiteral("Speichernunter1"));
    file->addSeparator();
    file->addAction(tr("&Zurück"), this, &TEtiketteneditor::Zurck1Click)
        ->setObjectName(QStringLiteral("Zurck1"));

    QMenu *edit = bar->addMenu(tr("&Bearbeiten"));
    m_undoAction = edit->addAction(tr("&Rückgängig"), this, &TEtiketteneditor::RueckgaengigClick);
    m_undoAction->setObjectName(QStringLiteral("Rueckgaengig1"));
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = edit->addAction(tr("&Wiederherstellen"), this, &TEtiketteneditor::WiederherstellenClick);
    m_redoAction->setObjectName(QStringLiteral("Wiederherstellen1"));
    m_redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    edit->addSeparator();
    auto *toolGroup = new QActionGroup(this);
    for (const ToolEntry &t : Tools) {
        QAction *a = edit->addAction(tr(t.caption));
        a->setObjectName(QLatin1String(t.item));
        a->setShortcut(QKeySequence(Qt::CTRL | t.key));
        a->setStatusTip(tr(t.hint));
        a->setCheckable(true);
        toolGroup->addAction(a);
        const int tool = t.tool;
        connect(a, &QAction::triggered, this, [this, tool] { selectTool(tool); });
        m_toolActions[static_cast<size_t>(tool)] = a;
    }
    edit->addSeparator();
    QAction *next = edit->addAction(tr("&Nächstes Objekt"), this, [this] { selectNext(false); });
    next->setObjectName(QStringLiteral("NaechstesObjekt"));
    next->setShortcut(QKeySequence(Qt::Key_Tab));
    QAction *previous = new QAction(this);
    previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Backtab));
    connect(previous, &QAction::triggered, this, [this] { selectNext(true); });
    addAction(previous);
    QAction *remove = edit->addAction(tr("Objekt &löschen"), this, &TEtiketteneditor::deleteSelected);
    remove->setObjectName(QStringLiteral("ObjektLoeschen"));
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    QAction *duplicate
        = edit->addAction(tr("Objekt &duplizieren"), this, &TEtiketteneditor::duplicateSelected);
    duplicate->setObjectName(QStringLiteral("ObjektDuplizieren"));
    duplicate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    // The arrow keys move the selected element: one design unit, with Shift
    // one millimetre.
    const struct
    {
        Qt::Key key;
        int dx;
        int dy;
    } arrows[]
        = { { Qt::Key_Left, -1, 0 }, { Qt::Key_Right, 1, 0 }, { Qt::Key_Up, 0, -1 }, { Qt::Key_Down, 0, 1 } };
    for (const auto &arrow : arrows) {
        for (const bool shift : { false, true }) {
            auto *a = new QAction(this);
            a->setShortcut(QKeySequence(shift ? (Qt::SHIFT | arrow.key) : QKeyCombination(arrow.key)));
            const int dx = arrow.dx, dy = arrow.dy;
            connect(a, &QAction::triggered, this, [this, dx, dy, shift] { nudgeSelected(dx, dy, shift); });
            addAction(a);
        }
    }
    edit->addSeparator();
    edit->addAction(tr("&Größe und Beschreibung ..."), this, &TEtiketteneditor::GreundBeschreibung1Click)
        ->setObjectName(QStringLiteral("GreundBeschreibung1"));

    QMenu *options = bar->addMenu(tr("&Optionen"));
    auto *lineGroup = new QActionGroup(this);
    for (int style = 0; style < 3; ++style) {
        QAction *a = options->addAction(tr(LineItems[style]));
        a->setObjectName(QStringLiteral("Linien%1").arg(style));
        a->setCheckable(true);
        lineGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, style] { selectLineStyle(style); });
        m_lineActions[static_cast<size_t>(style)] = a;
    }
    options->addSeparator();
    options->addAction(tr("&Schriftart wählen ..."), this, &TEtiketteneditor::SpeedSchriftClick)
        ->setObjectName(QStringLiteral("Schriftart1"));
    options->addSeparator();
    m_gridAction = options->addAction(tr("&Gitter anzeigen"), this, &TEtiketteneditor::GClick);
    m_gridAction->setObjectName(QStringLiteral("G"));
    m_gridAction->setCheckable(true);
    m_clickAreasAction = options->addAction(tr("&Klickflächen anzeigen"), this, &TEtiketteneditor::KClick);
    m_clickAreasAction->setObjectName(QStringLiteral("K"));
    m_clickAreasAction->setCheckable(true);

    QMenu *view = bar->addMenu(tr("&Ansicht"));
    QAction *in = view->addAction(tr("Vergrößern"), this, &TEtiketteneditor::zoomIn);
    in->setObjectName(QStringLiteral("Vergroessern"));
    in->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal) });
    QAction *out = view->addAction(tr("Verkleinern"), this, &TEtiketteneditor::zoomOut);
    out->setObjectName(QStringLiteral("Verkleinern"));
    out->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    QAction *whole = view->addAction(tr("Ganzes Etikett"), this, &TEtiketteneditor::zoomToLabel);
    whole->setObjectName(QStringLiteral("GanzesEtikett"));
    whole->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    view->addAction(tr("100 %"), this, [this] { setZoom(100); })->setObjectName(QStringLiteral("Zoom100"));

    QMenu *help = bar->addMenu(tr("&Hilfe"));
    help->addAction(tr("Hilfe zum &Design-Experten"), this, &TEtiketteneditor::Inhaltsverzeichnis1Click)
        ->setObjectName(QStringLiteral("Inhaltsverzeichnis1"));
}

QWidget *TEtiketteneditor::buildToolColumn()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(3, 3, 3, 3);
    column->setSpacing(2);
    m_toolButtons = new QButtonGroup(this);
    m_toolButtons->setExclusive(true);
    for (const ToolEntry &t : Tools) {
        auto *b = new QToolButton(panel);
        b->setObjectName(QLatin1String(t.button));
        b->setIcon(editorToolIcon(t.tool));
        b->setIconSize(QSize(22, 22));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setToolTip(tr(t.hint));
        m_toolButtons->addButton(b, t.tool);
        column->addWidget(b);
    }
    connect(m_toolButtons, &QButtonGroup::idClicked, this, &TEtiketteneditor::selectTool);
    column->addStretch();
    m_mx = new QLabel(panel);
    m_my = new QLabel(panel);
    m_mx->setObjectName(QStringLiteral("MX"));
    m_my->setObjectName(QStringLiteral("MY"));
    for (QLabel *l : { m_mx, m_my }) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(30);
        column->addWidget(l);
    }
    m_zoomLabel = new QLabel(panel);
    m_zoomLabel->setObjectName(QStringLiteral("Zoom"));
    m_zoomLabel->setAlignment(Qt::AlignCenter);
    column->addWidget(m_zoomLabel);
    m_mx->setToolTip(tr("Position X in cm"));
    m_my->setToolTip(tr("Position Y in cm"));
    return panel;
}

QWidget *TEtiketteneditor::buildTopBar()
{
    auto *bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("IconLeiste"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 3, 4, 3);

    auto *fontButton = new QToolButton(bar);
    fontButton->setObjectName(QStringLiteral("SpeedSchrift"));
    fontButton->setIcon(fontIcon());
    fontButton->setIconSize(QSize(22, 22));
    fontButton->setAutoRaise(true);
    fontButton->setToolTip(tr("Schriftart für Texte und Felder wählen"));
    connect(fontButton, &QToolButton::clicked, this, &TEtiketteneditor::SpeedSchriftClick);
    row->addWidget(fontButton);

    m_sample = new QLabel(tr("Schriftprobe"), bar);
    m_sample->setObjectName(QStringLiteral("Schriftprobe"));
    m_sample->setToolTip(tr("So sieht die aktuelle eingestellte Schrift aus ..."));
    m_sample->setFrameShape(QFrame::Panel);
    m_sample->setFrameShadow(QFrame::Sunken);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setAutoFillBackground(true);
    m_sample->setFixedSize(150, 34);
    QPalette samplePalette = m_sample->palette();
    samplePalette.setColor(QPalette::Window, Qt::white);
    m_sample->setPalette(samplePalette);
    row->addWidget(m_sample);
    row->addSpacing(8);

    m_lineButtons = new QButtonGroup(this);
    for (int style = 0; style < 3; ++style) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QStringLiteral("SpeedLinien%1").arg(style));
        b->setIcon(lineStyleIcon(style));
        b->setIconSize(QSize(22, 22));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setToolTip(tr("Strichdicke wählen"));
        m_lineButtons->addButton(b, style);
        row->addWidget(b);
    }
    connect(m_lineButtons, &QButtonGroup::idClicked, this, &TEtiketteneditor::selectLineStyle);
    row->addSpacing(8);

    m_grid = new TColorGrid(bar);
    m_grid->setObjectName(QStringLiteral("GridFarben"));
    m_grid->setGridOrdering(TColorGrid::go8x2);
    m_grid->setFixedSize(160, 32);
    m_grid->setCtl3D(false);
    m_grid->setForegroundEnabled(false);
    m_grid->setBackgroundEnabled(false);
    m_grid->setClickEnablesColor(true);
    m_grid->setToolTip(tr("Farbe für Objekt wählen"));
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(9);
    m_grid->setFont(small);
    connect(m_grid, &TColorGrid::clicked, this, &TEtiketteneditor::GridFarbenClick);
    row->addWidget(m_grid);
    row->addStretch();

    m_buttonUeber = new QPushButton(tr("&Übernehmen"), bar);
    m_buttonUeber->setObjectName(QStringLiteral("ButtonUeber"));
    m_buttonUeber->setAutoDefault(false);
    connect(m_buttonUeber, &QPushButton::clicked, this, &TEtiketteneditor::ButtonUeberClick);
    row->addWidget(m_buttonUeber);
    return bar;
}

QWidget *TEtiketteneditor::buildWorkArea()
{
    auto *holder = new QWidget(this);
    auto *grid = new QGridLayout(holder);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    auto *area = new QWidget(holder);
    area->setObjectName(QStringLiteral("Arbeitsbereich"));
    area->setAutoFillBackground(true);
    QPalette white = area->palette();
    white.setColor(QPalette::Window, Qt::white);
    area->setPalette(white);
    auto *inner = new QGridLayout(area);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);
    m_linealOben = new TLineal(area);
    m_linealOben->setObjectName(QStringLiteral("LinealOben"));
    m_linealOben->setFixedHeight(RulerSize);
    m_linealLinks = new TLineal(area);
    m_linealLinks->setObjectName(QStringLiteral("LinealLinks"));
    m_linealLinks->setFixedWidth(RulerSize);
    m_arbeit = new TArbeit(*m_core, area);
    m_arbeit->onPress = [this](QPoint p) { ArbeitMouseDown(p); };
    m_arbeit->onMove = [this](QPoint p) { ArbeitMouseMove(p); };
    m_arbeit->onRelease = [this](QPoint p, Qt::KeyboardModifiers m) { ArbeitMouseUp(p, m); };
    m_arbeit->onDoubleClick = [this](QPoint p) { ArbeitDoubleClick(p); };
    m_arbeit->onZoomWheel = [this](QPoint p, bool in) { zoomAt(p, in); };
    inner->addItem(new QSpacerItem(RulerSize, RulerSize, QSizePolicy::Fixed, QSizePolicy::Fixed), 0, 0);
    inner->addWidget(m_linealOben, 0, 1);
    inner->addWidget(m_linealLinks, 1, 0);
    inner->addWidget(m_arbeit, 1, 1);
    inner->setRowStretch(1, 1);
    inner->setColumnStretch(1, 1);

    m_scrollUnten = new QScrollBar(Qt::Horizontal, holder);
    m_scrollUnten->setObjectName(QStringLiteral("ScrollUnten"));
    m_scrollUnten->setRange(0, EditorCore::MaxScrollX);
    m_scrollUnten->setPageStep(5);
    m_scrollRechts = new QScrollBar(Qt::Vertical, holder);
    m_scrollRechts->setObjectName(QStringLiteral("ScrollRechts"));
    m_scrollRechts->setRange(0, EditorCore::MaxScrollY);
    m_scrollRechts->setPageStep(5);
    connect(m_scrollUnten, &QScrollBar::valueChanged, this, &TEtiketteneditor::ScrollUntenChange);
    connect(m_scrollRechts, &QScrollBar::valueChanged, this, &TEtiketteneditor::ScrollRechtsChange);

    grid->addWidget(area, 0, 0);
    grid->addWidget(m_scrollRechts, 0, 1);
    grid->addWidget(m_scrollUnten, 1, 0);
    return holder;
}

QAction *TEtiketteneditor::action(const char *name) const
{
    return findChild<QAction *>(QLatin1String(name));
}

void TEtiketteneditor::setLabelSize(const QString &widthMm, const QString &heightMm)
{
    m_core->setLabelSize(widthMm, heightMm);
}

void TEtiketteneditor::setFontChooser(std::function<std::optional<EditorFont>(const EditorFont &)> chooser)
{
    m_fontChooser = std::move(chooser);
}

QString TEtiketteneditor::showModal()
{
    m_confirmed = false;
    exec();
    return m_confirmed ? m_core->dateiname() : QString();
}

void TEtiketteneditor::FormShow()
{
    m_leaving = false;
    resize(m_core->windowSize(QSize(MinimumWidth, MinimumHeight)));
    m_core->FormShow();
    showState();
    repaintNow();
    if (m_core->modus() == QStringLiteral("E") && !m_askPending) {
        // Asked once the editor is on the screen, over it.
        m_askPending = true;
        QTimer::singleShot(0, this, [this] {
            m_askPending = false;
            if (!isVisible())
                return;
            m_core->askSizeAndDescription();
            showState();
            repaintNow();
        });
    }
}

void TEtiketteneditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TEtiketteneditor::showState()
{
    const EditorCore &c = *m_core;
    if (QAbstractButton *b = m_toolButtons->button(c.tool()))
        b->setChecked(true);
    if (QAction *a = m_toolActions[static_cast<size_t>(c.tool())])
        a->setChecked(true);
    m_lineButtons->button(c.penStyle())->setChecked(true);
    m_lineActions[static_cast<size_t>(c.penStyle())]->setChecked(true);
    m_grid->setSelection(c.colour());

    const EditorFont &f = c.font();
    QFont font(f.face);
    font.setPointSize(f.pointSize);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    m_sample->setFont(font);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(ColourTable[static_cast<size_t>(c.colour())]));
    m_sample->setPalette(palette);

    m_gridAction->setChecked(c.options().grid);
    m_clickAreasAction->setChecked(c.options().clickAreas);
    {
        const QSignalBlocker bx(m_scrollUnten);
        const QSignalBlocker by(m_scrollRechts);
        m_scrollUnten->setValue(c.scrollX());
        m_scrollRechts->setValue(c.scrollY());
    }
    m_mx->setText(c.positionX());
    m_my->setText(c.positionY());
    m_zoomLabel->setText(QStringLiteral("%1 %").arg(c.zoom()));
    m_buttonUeber->setVisible(c.takeOverShown());
    m_undoAction->setEnabled(m_core->undoStack().canUndo());
    m_redoAction->setEnabled(m_core->undoStack().canRedo());
    setWindowTitle(c.caption());
}

void TEtiketteneditor::FormPaint()
{
    m_repaintTimer->start();
}

void TEtiketteneditor::repaintNow()
{
    m_repaintTimer->stop();
    const QSize size = m_arbeit->size();
    QImage picture = whiteImage(size);
    {
        QPainter painter(&picture);
        QPainterCanvas canvas(painter);
        m_core->paintWorkspace(canvas, size.width(), size.height());
    }
    m_arbeit->setPicture(std::move(picture));

    QImage top = whiteImage(m_linealOben->size());
    QImage left = whiteImage(m_linealLinks->size());
    {
        QPainter topPainter(&top);
        QPainter leftPainter(&left);
        QPainterCanvas topCanvas(topPainter);
        QPainterCanvas leftCanvas(leftPainter);
        m_core->paintRulers(topCanvas, leftCanvas, top.width(), left.height());
    }
    m_linealOben->setPicture(std::move(top));
    m_linealLinks->setPicture(std::move(left));
    setWindowTitle(m_core->caption());
}

void TEtiketteneditor::ArbeitMouseDown(QPoint pixel)
{
    m_core->ArbeitMouseDown(pixel);
    m_arbeit->update();
}

void TEtiketteneditor::ArbeitMouseMove(QPoint pixel)
{
    m_core->ArbeitMouseMove(pixel);
    m_mx->setText(m_core->positionX());
    m_my->setText(m_core->positionY());
    if (m_core->isPressed())
        m_arbeit->update(); // the band over the cached picture
}

void TEtiketteneditor::ArbeitMouseUp(QPoint pixel, Qt::KeyboardModifiers modifiers)
{
    m_core->ArbeitMouseUp(pixel, modifiers);
    m_arbeit->update();
    showState();
    FormPaint();
}

void TEtiketteneditor::ArbeitDoubleClick(QPoint pixel)
{
    m_core->ArbeitDoubleClick(pixel);
    showState();
    repaintNow();
}

void TEtiketteneditor::selectNext(bool backwards)
{
    m_core->selectNext(backwards);
    repaintNow();
}

void TEtiketteneditor::deleteSelected()
{
    m_core->deleteSelected();
    showState();
    repaintNow();
}

void TEtiketteneditor::nudgeSelected(int dx, int dy, bool millimetres)
{
    m_core->nudgeSelected(dx, dy, millimetres);
    showState();
    repaintNow();
}

void TEtiketteneditor::duplicateSelected()
{
    m_core->duplicateSelected();
    showState();
    repaintNow();
}

void TEtiketteneditor::zoomIn()
{
    m_core->zoomIn();
    showState();
    repaintNow();
}

void TEtiketteneditor::zoomOut()
{
    m_core->zoomOut();
    showState();
    repaintNow();
}

void TEtiketteneditor::zoomToLabel()
{
    m_core->zoomToLabel(m_arbeit->width(), m_arbeit->height());
    showState();
    repaintNow();
}

void TEtiketteneditor::setZoom(int percent)
{
    m_core->setZoom(percent);
    showState();
    repaintNow();
}

void TEtiketteneditor::zoomAt(QPoint pixel, bool in)
{
    m_core->zoomAt(in, pixel);
    m_core->ArbeitMouseMove(pixel);
    showState();
    repaintNow();
}

void TEtiketteneditor::selectTool(int tool)
{
    m_core->setTool(tool);
    showState();
}

void TEtiketteneditor::selectLineStyle(int style)
{
    m_core->setPenStyle(style);
    showState();
    FormPaint();
}

void TEtiketteneditor::GridFarbenClick()
{
    m_core->setColour(m_grid->selection());
    showState();
    FormPaint();
}

void TEtiketteneditor::SpeedSchriftClick()
{
    if (!m_fontChooser)
        return;
    if (const std::optional<EditorFont> chosen = m_fontChooser(m_core->font()))
        m_core->setFont(*chosen);
    showState();
    FormPaint();
}

void TEtiketteneditor::GClick()
{
    m_core->setGridShown(!m_core->options().grid);
    showState();
    FormPaint();
}

void TEtiketteneditor::KClick()
{
    m_core->setClickAreasShown(!m_core->options().clickAreas);
    showState();
    FormPaint();
}

void TEtiketteneditor::ScrollUntenChange(int position)
{
    m_core->setScroll(position, m_core->scrollY());
    repaintNow();
}

void TEtiketteneditor::ScrollRechtsChange(int position)
{
    m_core->setScroll(m_core->scrollX(), position);
    repaintNow();
}

void TEtiketteneditor::Neu2Click()
{
    m_core->newDesign();
    showState();
    FormPaint();
}

void TEtiketteneditor::ffnen1Click()
{
    m_core->open();
    showState();
    FormPaint();
}

void TEtiketteneditor::Speichern1Click()
{
    m_core->save();
    showState();
    FormPaint();
}

void TEtiketteneditor::Speichernunter1Click()
{
    m_core->saveAs();
    showState();
    FormPaint();
}

void TEtiketteneditor::GreundBeschreibung1Click()
{
    m_core->sizeAndDescription();
    showState();
    FormPaint();
}

void TEtiketteneditor::ButtonUeberClick()
{
    if (!m_core->takeOver())
        return;
    m_leaving = true;
    close();
}

void TEtiketteneditor::Zurck1Click()
{
    close();
}

void TEtiketteneditor::Inhaltsverzeichnis1Click()
{
    m_help.show(m_helpFilePath, HelpContext);
}

void TEtiketteneditor::RueckgaengigClick()
{
    m_core->undo();
    showState();
    FormPaint();
}

void TEtiketteneditor::WiederherstellenClick()
{
    m_core->redo();
    showState();
    FormPaint();
}

void TEtiketteneditor::reject()
{
    // "&Zurück", Escape and the close box all end here (QDialog turns a
    // close into a reject): ask before the work is dropped.
    if (!m_leaving && !m_core->FormCloseQuery())
        return;
    m_core->setWindowSize(isMaximized() || isFullScreen() ? normalGeometry().size() : size());
    m_core->FormClose();
    m_confirmed = m_leaving;
    m_leaving = false;
    QDialog::reject();
}

void TEtiketteneditor::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (width() < MinimumWidth || height() < MinimumHeight) {
        resize(MinimumWidth, MinimumHeight);
        return;
    }
    if (isVisible())
        FormPaint();
}

} // namespace qm
