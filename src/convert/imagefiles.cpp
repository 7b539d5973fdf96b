#include "convert/imagefiles.h"

#include <algorithm>
#include <QCollator>
#include <QDir>
#include <QLocale>

namespace inkvale {

bool isImageFile(const QString &path)
{
    static const QStringList accepted{QStringLiteral(".bmp"),  QStringLiteral(".gif"),
                                      QStringLiteral(".png"),  QStringLiteral(".tif"),
                                      QStringLiteral(".tiff"), QStringLiteral(".jpg"),
                                      QStringLiteral(".jpeg")};
    const QString normal = QDir::fromNativeSeparators(path);
    const QString name = normal.mid(normal.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && accepted.contains(name.mid(dot), Qt::CaseInsensitive);
}

void sortAsFileManager(QStringList &names)
{
    // The C locale collates by code point alone, numbers included: a file manager there
    // still sorts as in English.
    QLocale locale;
    if (locale.language() == QLocale::C) {
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&collator](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        // Names equal but for case still need one order, the same on every run.
        return order != 0 ? order < 0 : a < b;
    });
}

QStringList imageFilesInFolder(const QString &folder)
{
    const QDir dir(folder);
    QStringList files;
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    sortAsFileManager(names);
    for (const QString &name : names) {
        if (isImageFile(name)) {
            files.append(dir.filePath(name));
        }
    }
    return files;
}

} // namespace inkvale
