#include "memorysettings.h"

#include "platform/errors.h"

namespace qm {

MemorySettings::MemorySettings(QString fileName)
    : m_fileName(std::move(fileName))
{
}

QString MemorySettings::slot(const QString &section, const QString &key)
{
    // Names compare without regard to letter case, as in the settings file.
    return section.trimmed().toCaseFolded() + QLatin1Char('\n') + key.trimmed().toCaseFolded();
}

std::optional<QString> MemorySettings::value(const QString &section, const QString &key) const
{
    const auto it = m_values.constFind(slot(section, key));
    if (it == m_values.cend())
        return std::nullopt;
    return *it;
}

void MemorySettings::setValue(const QString &section, const QString &key, const QString &value)
{
    m_values.insert(slot(section, key), value);
}

void MemorySettings::remove(const QString &section, const QString &key)
{
    m_values.remove(slot(section, key));
}

void MemorySettings::clear()
{
    m_values.clear();
}

std::optional<QString> MemorySettings::lookUp(const QString &section, const QString &key) const
{
    return value(section, key);
}

void MemorySettings::store(const QString &section, const QString &key, const QString &value)
{
    if (m_refuseWrites)
        throw Error(settingsWriteErrorText(m_fileName));
    setValue(section, key, value);
    ++m_writeCount;
}

} // namespace qm
