#include "settings.h"

#include "cp1252.h"
#include "numbers.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QStringDecoder>

namespace qm {

QString ISettings::readString(const QString &section, const QString &key,
                              const QString &defaultValue) const
{
    const std::optional<QString> value = lookUp(section, key);
    if (!value)
        return defaultValue;
    if (value->size() <= MaxStringLength)
        return *value;
    qsizetype n = MaxStringLength;
    // Never keep half of a surrogate pair.
    if (value->at(n - 1).isHighSurrogate())
        --n;
    return value->left(n);
}

int ISettings::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const std::optional<QString> value = lookUp(section, key);
    if (!value)
        return defaultValue;
    return parseSettingsInteger(*value).value_or(defaultValue);
}

bool ISettings::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void ISettings::writeString(const QString &section, const QString &key, const QString &value)
{
    store(section, key, value);
}

void ISettings::writeInteger(const QString &section, const QString &key, int value)
{
    store(section, key, QString::number(value));
}

void ISettings::writeBool(const QString &section, const QString &key, bool value)
{
    store(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

std::optional<int> parseSettingsInteger(QStringView text)
{
    if (text.size() > 2 && text[0] == QLatin1Char('0')
        && (text[1] == QLatin1Char('x') || text[1] == QLatin1Char('X'))) {
        const QString hex = QLatin1Char('$') + text.mid(2).toString();
        return parseStrictInt(hex);
    }
    return parseStrictInt(text);
}

QString settingsWriteErrorText(const QString &fileName)
{
    return QCoreApplication::translate("qm", "Kann nicht nach %1 schreiben").arg(fileName);
}

QString defaultSettingsPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + QStringLiteral("Quillmark.ini");
}

QString decodeUtf8OrCp1252(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return decodeCp1252(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace qm
