#pragma once

#include "editor/designeditor.h"
#include "editor/editorcore.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QButtonGroup;
class QLabel;
class QMenuBar;
class QPushButton;
class QScrollBar;
class QTimer;
class QToolButton;

namespace qm {

class IFileDialogs;
class IHelp;
class IMessages;
class ISettings;
class TArbeit;
class TColorGrid;
class TLineal;
class WidgetPropertyDialogs;

// The design editor "Design-Experte": tool column, top bar with font, line
// styles, colours and "&Übernehmen", rulers, the workspace and its scroll
// bars. The rules live in EditorCore; this window passes the user's actions
// on and shows what the core holds. Its handlers are public so that tests
// drive it as a user would.
//
// Callers set Modus, DATEINAME and (in mode "E") the label size through
// IDesignEditor, then call showModal(), which returns the design file when
// the editor was left with "&Übernehmen"; the dialog confirmation flag is
// then true as well.
class TEtiketteneditor : public QDialog, public IDesignEditor
{
    Q_OBJECT

public:
    static constexpr int MinimumWidth = 632;
    static constexpr int MinimumHeight = 303;
    static constexpr int HelpContext = 6;
    // Pause before the workspace is drawn again after a change.
    static constexpr int RepaintDelayMs = 100;

    // `dialogs` replaces the property dialogs (tests); by default the
    // editor makes its own.
    TEtiketteneditor(bool &dialogConfirmed, IMessages &messages, IFileDialogs &fileDialogs,
        ISettings &settings, IHelp &help, QString helpFilePath, QWidget *parent = nullptr,
        IPropertyDialogs *dialogs = nullptr);
    ~TEtiketteneditor() override;

    // IDesignEditor
    void setModus(const QString &modus) override { m_core->setModus(modus); }
    void setDateiname(const QString &path) override { m_core->setDateiname(path); }
    void setLabelSize(const QString &widthMm, const QString &heightMm) override;
    QString showModal() override;
    QString dateiname() const override { return m_core->dateiname(); }

    EditorCore &core() { return *m_core; }
    // The font dialog; tests replace it. Empty: cancelled.
    void setFontChooser(std::function<std::optional<EditorFont>(const EditorFont &)> chooser);

    // Prepares a showing: the core's opening, then the view.
    void FormShow();
    // Draws rulers and workspace after the short pause; repaintNow() at once.
    void FormPaint();
    void repaintNow();

    void ArbeitMouseDown(QPoint pixel);
    void ArbeitMouseMove(QPoint pixel);
    void ArbeitMouseUp(QPoint pixel, Qt::KeyboardModifiers modifiers);
    void ArbeitDoubleClick(QPoint pixel);
    // Tab / Shift+Tab, Entf, the arrow keys (Shift: millimetres), Ctrl+D.
    void selectNext(bool backwards);
    void deleteSelected();
    void nudgeSelected(int dx, int dy, bool millimetres);
    void duplicateSelected();
    // "Ansicht": "Vergrößern", "Verkleinern", "Ganzes Etikett", "100 %";
    // Ctrl+wheel zooms at the pointer.
    void zoomIn();
    void zoomOut();
    void zoomToLabel();
    void setZoom(int percent);
    void zoomAt(QPoint pixel, bool in);

    void selectTool(int tool);
    void selectLineStyle(int style);
    void GridFarbenClick();
    void SpeedSchriftClick();
    void GClick();
    void KClick();
    void ScrollUntenChange(int position);
    void ScrollRechtsChange(int position);
    void Neu2Click();
    void ffnen1Click();
    void Speichern1Click();
    void Speichernunter1Click();
    void GreundBeschreibung1Click();
    void ButtonUeberClick();
    void Zurck1Click();
    void Inhaltsverzeichnis1Click();
    void RueckgaengigClick();
    void WiederherstellenClick();

    TArbeit *workspace() const { return m_arbeit; }
    TColorGrid *colourGrid() const { return m_grid; }
    QLabel *fontSample() const { return m_sample; }
    QAction *action(const char *name) const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Escape, the close box and "&Zurück": asks about unsaved changes,
    // writes the options and the window size and closes.
    void reject() override;

private:
    void buildMenus(QMenuBar *bar);
    QWidget *buildToolColumn();
    QWidget *buildTopBar();
    QWidget *buildWorkArea();
    // Shows tool, line style, colour, font, options, scroll bars, position
    // and the undo state as the core holds them.
    void showState();

    bool &m_confirmed;
    IHelp &m_help;
    QString m_helpFilePath;
    std::unique_ptr<WidgetPropertyDialogs> m_ownDialogs;
    std::unique_ptr<EditorCore> m_core;
    std::function<std::optional<EditorFont>(const EditorFont &)> m_fontChooser;
    bool m_leaving = false; // "&Übernehmen" closes without asking again
    bool m_askPending = false; // mode "E": the size dialog is about to open

    TArbeit *m_arbeit = nullptr;
    TLineal *m_linealOben = nullptr;
    TLineal *m_linealLinks = nullptr;
    QScrollBar *m_scrollUnten = nullptr;
    QScrollBar *m_scrollRechts = nullptr;
    QLabel *m_mx = nullptr;
    QLabel *m_my = nullptr;
    QLabel *m_zoomLabel = nullptr;
    QLabel *m_sample = nullptr;
    TColorGrid *m_grid = nullptr;
    QPushButton *m_buttonUeber = nullptr;
    QButtonGroup *m_toolButtons = nullptr;
    QButtonGroup *m_lineButtons = nullptr;
    std::array<QAction *, ToolBarcode + 1> m_toolActions {};
    std::array<QAction *, 3> m_lineActions {};
    QAction *m_gridAction = nullptr;
    QAction *m_clickAreasAction = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QTimer *m_repaintTimer = nullptr;
};

} // namespace qm
