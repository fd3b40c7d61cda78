#pragma once

#include "data/inputexpert.h"
#include "data/inputexpertcore.h"
#include "platform/services.h"

#include <QDialog>
#include <QImage>
#include <QList>

#include <array>
#include <functional>

class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QStackedWidget;
class QWidget;

namespace qm {

class PreviewPages;
class PreviewWindow;

// The input expert ("Eingabe-Experte"): the field mask of the print run,
// six fields at a time, with pages for the start label and frame and for
// the alignment offsets. In database mode only the last two pages count.
// The rules live in InputExpertCore, over the window's own entry grid; this
// window shows its view and passes the user's actions on, and hands the
// records typed back through records(). Errors of an action are shown as error messages
// and the action stops there, with nothing typed lost.
class TEingabeExperte : public QDialog, public IInputExpert
{
    Q_OBJECT

public:
    TEingabeExperte(IMessages &messages, IHelp &help, QString helpFilePath, QWidget *parent = nullptr);
    ~TEingabeExperte() override;

    // IInputExpert
    void setModus(const QString &modus) override;
    void setStatusText(const QString &designName, const QString &formatName) override;
    void setFields(const StringTable &fields) override;
    void setStartCheck(StartCheck check) override { m_core.setStartCheck(std::move(check)); }
    void setValueCheck(ValueCheck check) override { m_core.setValueCheck(std::move(check)); }
    void setScrollPositions(int scrollX, int scrollY) override;
    int scrollX() const override;
    int scrollY() const override;
    bool showModal() override;
    QList<QStringList> records() const override { return m_core.records(); }
    QString startLabelText() const override;
    bool frameChecked() const override;

    const InputExpertCore &core() const { return m_core; }
    // Whether the dialog was left with "&Drucken" (since the last showing).
    bool confirmed() const { return m_confirmed; }

    // Prepares the dialog for a showing; false when the design's field
    // table could not be read (the message has been shown).
    bool FormShow();

    void Scroll_FeldChange();
    void Scroll_EtikettenChange();
    void Button_NeuClick();
    void Button_EntfernenClick();
    void Button_DruckenClick();
    void Button_AbbrechenClick();
    void Button_WeiterClick();
    void Button_ZurueckClick();
    void Scroll_XChange();
    void Scroll_YChange();
    void Button_HilfeClick();
    // "&Vorschau": checks and stores the record on screen as "&Drucken"
    // does and shows the sheets it would print, without closing.
    void Button_VorschauClick();

    // The pages of "&Vorschau" (each drawn when it is shown): start label
    // text, frame, offset positions (0 .. 500); throws Error for a run that
    // cannot be printed. Without one the button is not shown.
    using PreviewSource = std::function<std::unique_ptr<PreviewPages>(
        const QString &startLabel, bool frame, int scrollX, int scrollY)>;
    void setPreviewSource(PreviewSource source);
    PreviewWindow *previewWindow() const { return m_preview; }

    // Escape and the window's close button cancel like "&Abbrechen".
    void reject() override;

protected:
    // Return in an entry line moves to the next one; it never prints.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *createEntryPage();
    QWidget *createStartPage();
    QWidget *createAlignmentPage();
    QLabel *createSideImage(const char *name);
    // The page's content to the right of its side picture.
    void placeBesideImage(QWidget *page, QLayout *content, const char *imageName);

    // Runs an operation of the core between taking the typed texts and
    // showing the result; shows an error instead of letting it escape.
    bool run(const std::function<void()> &operation);
    void takeTypedTexts();
    void showView();
    void applyFocus();

    StringTable m_grid;
    bool m_confirmed = false;
    InputExpertCore m_core;
    IMessages &m_messages;
    IHelp &m_help;
    QString m_helpFilePath;

    std::array<QLabel *, InputExpertCore::LineCount> m_captions {};
    std::array<QLineEdit *, InputExpertCore::LineCount> m_lines {};
    QLineEdit *m_copies = nullptr;
    QLineEdit *m_startLabel = nullptr;
    QRadioButton *m_frameYes = nullptr;
    QRadioButton *m_frameNo = nullptr;
    QScrollBar *m_scrollX = nullptr;
    QScrollBar *m_scrollY = nullptr;
    QLabel *m_xpos = nullptr;
    QLabel *m_ypos = nullptr;
    QScrollBar *m_fieldScroll = nullptr;
    QScrollBar *m_recordScroll = nullptr;
    QLabel *m_recordText = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_previewButton = nullptr;
    PreviewSource m_previewSource;
    PreviewWindow *m_preview = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_helpButton = nullptr;
    QStackedWidget *m_pages = nullptr;
    QWidget *m_fieldPanel = nullptr;
    QWidget *m_copiesPanel = nullptr;
    QLabel *m_t1 = nullptr;
    QLabel *m_t2 = nullptr;
    QLabel *m_d1 = nullptr;
    QLabel *m_d2 = nullptr;
    std::array<QLabel *, 3> m_noFieldsTexts {};
    QLabel *m_statusDesign = nullptr;
    QLabel *m_statusFormat = nullptr;
};

} // namespace qm
