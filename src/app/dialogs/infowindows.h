#pragma once

#include <QDialog>

namespace qm {

// A window of fixed text with one button "&OK" that closes it.
class TInfoFenster : public QDialog
{
    Q_OBJECT

public:
    // The shown text, HTML.
    QString text() const { return m_html; }

protected:
    TInfoFenster(const QString &caption, const QString &html, QWidget *parent);

private:
    QString m_html;
};

// "Programminformation": name, version and purpose of the program.
class TPinformation : public TInfoFenster
{
    Q_OBJECT

public:
    explicit TPinformation(QWidget *parent = nullptr);
};

// "Unsere Serviceangebote": where the user finds help and where the
// program keeps the user's files. An empty path leaves its line out.
class TServiceangebote : public TInfoFenster
{
    Q_OBJECT

public:
    TServiceangebote(const QString &programDir, const QString &settingsFile, QWidget *parent = nullptr);
};

} // namespace qm
