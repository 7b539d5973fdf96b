#include "app/settingsdocument.h"

#include "app/settingserror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <utility>

namespace inkvale {
namespace {

// The key under which names that compare equal without regard to case meet: each code point
// folded on its own, as QString::compare(..., Qt::CaseInsensitive) does (no "ß" to "ss").
QString foldedName(const QString &name)
{
    QString folded;
    folded.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            const char32_t point = QChar::toCaseFolded(QChar::surrogateToUcs4(c, name.at(i + 1)));
            folded += QString::fromUcs4(&point, 1);
            ++i;
        } else {
            folded += c.toCaseFolded();
        }
    }
    return folded;
}

// The file as the user knows it, for messages.
QString shownPath(const QString &filePath)
{
    return QDir::toNativeSeparators(QFileInfo(filePath).absoluteFilePath());
}

// QSaveFile turns down a read-only file in words of its own; the system's reason reads better
// after the path. Opening the existing file for appending changes nothing, even if it works.
QString saveFailureReason(const QSaveFile &file, const QString &filePath)
{
    if (QFileInfo::exists(filePath) && !QFileInfo(filePath).isWritable()) {
        QFile existing(filePath);
        if (!existing.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly)) {
            return existing.errorString();
        }
        // Marked read-only, though the system would let this user write it (an administrator):
        // the save keeps to the mark, and the reason must not repeat the path.
        return QStringLiteral("The file is read-only.");
    }
    return file.errorString();
}

} // namespace

SettingsDocument::SettingsDocument(QString filePath)
    : m_filePath(std::move(filePath))
{}

QString SettingsDocument::filePath() const
{
    return m_filePath;
}

void SettingsDocument::load()
{
    QFile file(m_filePath);
    if (!file.exists()) {
        m_sections = {};
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw SettingsError(QStringLiteral("Cannot open file \"%1\". %2")
                                .arg(shownPath(m_filePath), file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw SettingsError(QStringLiteral("Cannot read file \"%1\". %2")
                                .arg(shownPath(m_filePath), file.errorString()));
    }
    // Stateless: a sequence cut off at the end of the file counts as invalid too. A leading
    // byte order mark is skipped.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError()) {
        throw SettingsError(QStringLiteral("Cannot read file \"%1\". It is not valid UTF-8")
                                .arg(shownPath(m_filePath)));
    }
    m_sections = parse(text);
}

SettingsDocument::Sections SettingsDocument::parse(const QString &text)
{
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');

    Sections sections;
    // None until the first section line. Sections are only added at a section line, which
    // sets this anew, so it never points into a moved vector.
    Section *current = nullptr;
    for (const QString &rawLine : normalized.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u';')) {
            continue;
        }
        if (line.size() >= 2 && line.startsWith(u'[') && line.endsWith(u']')) {
            current = &sectionNamed(sections, line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        if (current == nullptr) {
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            entryNamed(*current, line);
            continue;
        }
        // A name seen again keeps its first place and spelling and takes the later value.
        Entry &entry = entryNamed(*current, line.left(equals).trimmed());
        entry.value = line.mid(equals + 1).trimmed();
        entry.hasValue = true;
    }
    return sections;
}

SettingsDocument::Section &SettingsDocument::sectionNamed(Sections &sections, const QString &name)
{
    const QString folded = foldedName(name);
    const auto place = sections.index.constFind(folded);
    if (place != sections.index.cend()) {
        return sections.list[*place];
    }
    sections.index.insert(folded, sections.list.size());
    return sections.list.emplace_back(Section{name, {}, {}});
}

SettingsDocument::Entry &SettingsDocument::entryNamed(Section &section, const QString &key)
{
    const QString folded = foldedName(key);
    const auto place = section.entryIndex.constFind(folded);
    if (place != section.entryIndex.cend()) {
        return section.entries[*place];
    }
    section.entryIndex.insert(folded, section.entries.size());
    return section.entries.emplace_back(Entry{key, {}, false});
}

const SettingsDocument::Entry *SettingsDocument::findEntry(const QString &section,
                                                           const QString &key) const
{
    const auto sectionPlace = m_sections.index.constFind(foldedName(section));
    if (sectionPlace == m_sections.index.cend()) {
        return nullptr;
    }
    const Section &found = m_sections.list[*sectionPlace];
    const auto entryPlace = found.entryIndex.constFind(foldedName(key));
    return entryPlace == found.entryIndex.cend() ? nullptr : &found.entries[*entryPlace];
}

QString SettingsDocument::readString(const QString &section, const QString &key,
                                     const QString &defaultValue) const
{
    const Entry *entry = findEntry(section, key);
    return entry != nullptr && entry->hasValue ? entry->value : defaultValue;
}

void SettingsDocument::writeString(const QString &section, const QString &key, const QString &value)
{
    Entry &entry = entryNamed(sectionNamed(m_sections, section), key);
    entry.value = value;
    entry.hasValue = true;
}

void SettingsDocument::save() const
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (const Section &section : m_sections.list) {
        bytes += '[' + section.name.toUtf8() + "]\r\n";
        for (const Entry &entry : section.entries) {
            bytes += entry.key.toUtf8();
            if (entry.hasValue) {
                bytes += '=' + entry.value.toUtf8();
            }
            bytes += "\r\n";
        }
        bytes += "\r\n";
    }
    // Written beside the file and renamed over it, so a failed save never leaves half a file.
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw SettingsError(QStringLiteral("Cannot create file \"%1\". %2")
                                .arg(shownPath(m_filePath), saveFailureReason(file, m_filePath)));
    }
}

} // namespace inkvale
