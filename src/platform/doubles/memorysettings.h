#pragma once

#include "platform/settings.h"

#include <QMap>

namespace qm {

// Settings held in memory, with the same reading rules as the settings file;
// values are kept exactly as written (the file drops blanks around them).
// Can be told to refuse writes like a file in a folder without write access.
class MemorySettings : public ISettings
{
public:
    // fileName stands in the error text of a refused write.
    explicit MemorySettings(QString fileName = QStringLiteral("Quillmark.ini"));

    // The stored text, or nothing when the key is missing.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Stores a text directly, also while writes are refused.
    void setValue(const QString &section, const QString &key, const QString &value);
    void remove(const QString &section, const QString &key);
    void clear();

    // A refused write throws Error("Kann nicht nach <fileName> schreiben")
    // and changes nothing.
    void setRefuseWrites(bool refuse) { m_refuseWrites = refuse; }
    // Writes that went through, refused ones not counted.
    int writeCount() const { return m_writeCount; }

protected:
    std::optional<QString> lookUp(const QString &section, const QString &key) const override;
    void store(const QString &section, const QString &key, const QString &value) override;

private:
    static QString slot(const QString &section, const QString &key);

    QString m_fileName;
    QMap<QString, QString> m_values;
    bool m_refuseWrites = false;
    int m_writeCount = 0;
};

} // namespace qm
