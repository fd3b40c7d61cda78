#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qm {

class IMessages;
class ISettings;

// "Verknüpfung mit ADRIVO": the folder of the separate address program,
// kept under the key ADRIVO of section Parameter. The value is stored as
// typed; the address-label designs append "qmadrivo.dbf" to it.
class TInfoADRIVO : public QDialog
{
    Q_OBJECT

public:
    static const QString Section; // "Parameter"
    static const QString Key; // "ADRIVO"

    TInfoADRIVO(ISettings &settings, IMessages &messages, QWidget *parent = nullptr);

    // The text of the edit `Pfad`.
    QString path() const;

    // Each showing: `Pfad` gets the stored value and the focus.
    void FormShow();
    // "&OK": stores the text of `Pfad` and closes. When the settings refuse
    // the write, the error is shown and the dialog stays open with the text.
    void Button1Click();
    // "&Abbrechen": closes without storing.
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    ISettings &m_settings;
    IMessages &m_messages;
    QLineEdit *m_pfad;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace qm
