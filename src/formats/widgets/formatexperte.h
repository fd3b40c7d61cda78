#pragma once

#include "formats/formatexpertcore.h"
#include "formats/formatselection.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace qm {

class IHelp;
class IMessages;

// The preview of the format expert: 105 by 145 pixels, half a pixel per
// millimetre, white with a black border, each label a white rectangle with
// a black border, cut off at the edge.
class FormatPreviewView : public QWidget
{
    Q_OBJECT

public:
    explicit FormatPreviewView(QWidget *parent = nullptr);
    void setPreview(const FormatPreview &preview);
    const FormatPreview &preview() const { return m_preview; }

    // The picture as the widget paints it.
    static void paintPreview(QPainter &painter, const FormatPreview &preview);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    FormatPreview m_preview;
};

// The format expert ("Format-Experte"): a three-page wizard for a sheet
// format as a regular grid, with a schematic preview, saved as a VRL file.
// The rules live in FormatExpertCore; the window copies the typed texts
// into its view before each operation and shows the view afterwards.
//
// The opener sets the path and the mode ("N" new, "Ä" change) and shows it
// modally, or calls editFormat(). Afterwards the confirmation flag is true
// when the user saved, and Beschreibung holds the description.
class TFormatExperte : public QDialog, public IFormatExpert
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 2;

    TFormatExperte(bool &dialogConfirmed, IMessages &messages, IHelp &help, QString helpFilePath,
        QString formatDir, QWidget *parent = nullptr);

    // IFormatExpert: sets path and mode, clears the confirmation flag, shows
    // the expert modally and returns the flag.
    bool editFormat(const QString &mode, const QString &path) override;
    QString description() const override;

    void setVorlagenPfad(const QString &path) { m_path = path; }
    QString vorlagenPfad() const { return m_path; }
    void setModus(const QString &mode) { m_mode = mode; }

    void FormShow();
    void Button_WeiterClick();
    void Button_ZurueckClick();
    // Leaving GRY, Neben, Unter, Startx, Starty, VorX or VorY.
    void FieldExit();
    void BeschreibungExit();
    void BitBtn2Click();
    void Button_AbbrechenClick();
    void Button_HilfeClick();
    // Escape cancels like "&Abbrechen".
    void reject() override;

    const FormatExpertView &view() const { return m_view; }
    FormatPreviewView *previewView() const { return m_preview; }
    QLineEdit *field(const char *objectName) const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *createBasicPage();
    QWidget *createFeedPage();
    QWidget *createPreviewPage();
    QLineEdit *newField(const char *name, int maxLength);
    void takeTypedTexts();
    void showView();
    void run(const std::function<void()> &operation);

    bool &m_confirmed;
    IHelp &m_help;
    QString m_helpFilePath;
    FormatExpertCore m_core;
    FormatExpertView m_view;
    QString m_path;
    QString m_mode = QStringLiteral("N");

    QStackedWidget *m_pages = nullptr;
    QLineEdit *m_grx = nullptr;
    QLineEdit *m_gry = nullptr;
    QLineEdit *m_neben = nullptr;
    QLineEdit *m_unter = nullptr;
    QLineEdit *m_beschreibung = nullptr;
    QLineEdit *m_startx = nullptr;
    QLineEdit *m_starty = nullptr;
    QLineEdit *m_vorX = nullptr;
    QLineEdit *m_vorY = nullptr;
    FormatPreviewView *m_preview = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_helpButton = nullptr;
};

} // namespace qm
