#pragma once

#include <QHash>
#include <QString>
#include <vector>

namespace inkvale {

// The settings file held in memory: INI sections of key=value lines, read from and written
// back to one file as a whole. Section and key names compare without regard to case.
class SettingsDocument
{
public:
    // An empty document over that file; nothing is read yet.
    explicit SettingsDocument(QString filePath);

    // Reads the file if it exists, replacing the document. Throws SettingsError when it
    // cannot be read or is not valid UTF-8; the document is then left as it was.
    void load();

    QString filePath() const;
    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    void writeString(const QString &section, const QString &key, const QString &value);

    // Rewrites the whole file: UTF-8 with a byte order mark, CR LF line ends, comments gone.
    // Throws SettingsError("Cannot create file \"<full path>\". <reason>") on failure; the
    // document keeps its values and a later save tries again.
    void save() const;

private:
    struct Entry
    {
        QString key;
        QString value;
        bool hasValue = false; // a line without "=" holds no value and is written back as is
    };
    struct Section
    {
        QString name;
        std::vector<Entry> entries;
        // Each entry's place under its folded name, so that a file of many keys is read in
        // linear time.
        QHash<QString, std::size_t> entryIndex;
    };
    // The sections in file order, with the same kind of index.
    struct Sections
    {
        std::vector<Section> list;
        QHash<QString, std::size_t> index;
    };

    static Sections parse(const QString &text);
    static Section &sectionNamed(Sections &sections, const QString &name);
    static Entry &entryNamed(Section &section, const QString &key);
    const Entry *findEntry(const QString &section, const QString &key) const;

    QString m_filePath;
    Sections m_sections;
};

} // namespace inkvale
