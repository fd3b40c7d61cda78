#pragma once

#include <QDialog>

class QVBoxLayout;

namespace qm {

class TKVDOTPanel;

// A window of fixed text with one button "&OK" that closes it.
class TInfoFenster : public QDialog
{
    Q_OBJECT

public:
    // The shown text, HTML.
    QString text() const { return m_html; }

protected:
    TInfoFenster(const QString &caption, const QString &html, QWidget *parent);
    // Puts a widget above the picture and the text, across the window.
    void addBanner(QWidget *banner);

private:
    QString m_html;
    QVBoxLayout *m_layout;
};

// "Programminformation": name, version and purpose of the program, with a
// banner that scrolls green on black while the window is shown.
class TPinformation : public TInfoFenster
{
    Q_OBJECT

public:
    static constexpr int BannerInterval = 40;

    explicit TPinformation(QWidget *parent = nullptr);

    TKVDOTPanel *banner() const { return m_banner; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TKVDOTPanel *m_banner;
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
