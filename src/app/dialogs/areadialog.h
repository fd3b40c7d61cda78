#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qm {

class IMessages;

// The area dialog ("Bereich anlegen"): asks for the name of a new area of
// the works catalogue. The caller sets the confirmation flag to false, may
// set the caption with setWindowTitle(), shows the dialog modally and then
// reads the flag and areaName().
class TBereichBearbeiten : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MaxNameLength = 40;

    TBereichBearbeiten(bool &dialogConfirmed, IMessages &messages, QWidget *parent = nullptr);

    // The text of the edit `Bereich`.
    QString areaName() const;

    // Each showing: empties `Bereich` and puts the focus there.
    void FormShow();
    // "&Übernehmen": refuses an empty name with a message and stays open;
    // otherwise confirms and closes.
    void Button_WeiterClick();
    // "&Abbrechen": closes unconfirmed.
    void Button_AbbrechenClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool &m_confirmed;
    IMessages &m_messages;
    QLineEdit *m_bereich;
    QPushButton *m_weiter;
    QPushButton *m_abbrechen;
};

} // namespace qm
