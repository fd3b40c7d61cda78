#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace qm {

// The program's settings: values by section and key, read and written one at
// a time. Reading never fails: a missing file, section or key gives the
// default. A refused write throws Error ("Kann nicht nach %s schreiben").
//
// The typed reads and writes are the same for every store; a store only
// supplies lookUp() and store(). Section and key names compare without
// regard to letter case.
class ISettings
{
public:
    // Longest text readString() returns; longer values are cut.
    static constexpr qsizetype MaxStringLength = 1023;

    virtual ~ISettings() = default;

    // The text after "=", at most MaxStringLength characters.
    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue) const;

    // Decimal, or hexadecimal after "0x"/"0X" (with at least one character
    // after the prefix), with optional leading blanks and sign, "$" also
    // meaning hexadecimal. Anything else, an empty value included, gives the
    // default.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;

    // An integer read with default 1 or 0; any value other than 0 is true.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    // Written as "1" or "0".
    void writeBool(const QString &section, const QString &key, bool value);

protected:
    // The stored text of the key, or nothing when the key is missing.
    virtual std::optional<QString> lookUp(const QString &section, const QString &key) const = 0;
    // Stores the text; throws Error when the store refuses.
    virtual void store(const QString &section, const QString &key, const QString &value) = 0;
};

// The integer rule of readInteger() on a stored text.
std::optional<int> parseSettingsInteger(QStringView text);

// The error of a refused write: "Kann nicht nach %s schreiben".
QString settingsWriteErrorText(const QString &fileName);

// Settings in a plain INI text file that a person can edit:
//
//   [Programm]
//   Modus=1
//   ; a comment
//
// Every read and write opens the file and closes it again; nothing is
// cached, so changes made by hand in between count. Reading accepts UTF-8
// (with or without a byte order mark) and falls back to Windows-1252 when
// the bytes are not valid UTF-8; lines may end in LF or CR LF. As with the
// Windows profile functions, blanks around names and values are ignored, a
// value enclosed in matching single or double quotes loses them, the first
// of several equal sections or keys counts, and a line beginning with ";"
// is a comment.
//
// A write changes the key's line in its section, or adds the key at the end
// of the section, or adds the section at the end of the file, or creates the
// file (and its folder); every other line stays as it was. The file is
// written in UTF-8 with LF line ends, in one step (temporary file in the same
// folder, then rename), so a failure leaves the previous file whole. When the
// path is a symbolic link, the file it points to is replaced.
class IniFileSettings : public ISettings
{
public:
    explicit IniFileSettings(QString path);
    const QString &path() const { return m_path; }

protected:
    std::optional<QString> lookUp(const QString &section, const QString &key) const override;
    void store(const QString &section, const QString &key, const QString &value) override;

private:
    QString m_path;
};

// ~/.config/Quillmark.ini, or Quillmark.ini in the folder named by
// XDG_CONFIG_HOME.
QString defaultSettingsPath();

// Text of a file a person edits (settings, help): UTF-8 when the bytes are
// valid UTF-8 (a byte order mark is dropped), Windows-1252 otherwise.
QString decodeUtf8OrCp1252(QByteArrayView bytes);

} // namespace qm
