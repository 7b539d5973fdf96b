#pragma once

#include "app/settingsdocument.h"
#include "convert/conversionoptions.h"

#include <QString>

namespace inkvale {

// Where settings.ini lives and the program's choices in it. Every change is saved at
// once; nothing is saved at exit.
class AppSettings
{
public:
    // The file beside the program that makes it portable: only then do the settings live in
    // the program's folder. A package installs none, so that a program run by root never
    // writes into a system folder; a portable copy (a zip) brings it along.
    static QString portableMarker() { return QStringLiteral("portable.txt"); }

    // The settings folder: programFolder when it holds portableMarker() and a new file can be
    // created there, else configRoot + "/" + company + "/" + product + "/" (created one level
    // at a time, failures ignored). Returned with a trailing '/'.
    static QString chooseFolder(const QString &programFolder, const QString &configRoot,
                                const QString &company, const QString &product);

    // Opens settings.ini in `folder`. A file that cannot be read or is not valid UTF-8 is
    // deleted and the settings start empty; throws SettingsError when it cannot be deleted.
    explicit AppSettings(const QString &folder);

    QString folder() const;   // with a trailing '/'
    QString filePath() const; // folder() + "settings.ini"

    QString destination() const; // "" when not stored
    QString format() const;      // "PNG" when not stored; otherwise as stored, any case
    bool showPreview() const;    // stored as "ON" exactly
    // The photo choices, each under a key of its own beside the three above.
    int quality() const;            // "Quality": 1 to 100; 90 when missing or unusable
    bool keepLocation() const;      // "KeepLocation", stored as "ON" exactly
    bool includeSubfolders() const; // "IncludeSubfolders", stored as "ON" exactly
    QString namePattern() const;    // "NamePattern"; "{name}" when missing or unusable
    // "fit" or "exact", any case; fit when not stored or unknown.
    EffectScale effectScale() const;
    // The output's largest side in pixels; 0 (the picture's own size) when not stored or not
    // a whole number of at least 1.
    int largestSide() const;

    // Each setter writes the value and saves the file; throws SettingsError when saving fails,
    // the new value is kept in memory all the same.
    void setDestination(const QString &destination);
    void setFormat(const QString &format);
    void setShowPreview(bool on);
    void setQuality(int quality);
    void setKeepLocation(bool on);
    void setIncludeSubfolders(bool on);
    void setNamePattern(const QString &pattern);
    void setEffectScale(EffectScale scale);
    void setLargestSide(int pixels);

    // Deletes settings.ini so that the next start begins from the defaults; false when the
    // file is still there.
    bool removeFile();

private:
    void store(const QString &key, const QString &value);

    QString m_folder;
    SettingsDocument m_document;
};

} // namespace inkvale
