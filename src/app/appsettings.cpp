#include "app/appsettings.h"

#include "app/settingserror.h"
#include "base/fspath.h"
#include "convert/namepattern.h"
#include "convert/outputoptions.h"
#include "platform/folderwritable.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace inkvale {
namespace {

const QString kSection = QStringLiteral("Settings");
const QString kDestination = QStringLiteral("Destination");
const QString kFormat = QStringLiteral("Format");
const QString kShowPreview = QStringLiteral("ShowPreview");
const QString kQuality = QStringLiteral("Quality");
const QString kKeepLocation = QStringLiteral("KeepLocation");
const QString kIncludeSubfolders = QStringLiteral("IncludeSubfolders");
const QString kNamePattern = QStringLiteral("NamePattern");
const QString kEffectScale = QStringLiteral("EffectScale");
const QString kLargestSide = QStringLiteral("LargestSide");
const QString kOn = QStringLiteral("ON");
const QString kOff = QStringLiteral("OFF");

QString withTrailingSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

QString AppSettings::chooseFolder(const QString &programFolder, const QString &configRoot,
                                  const QString &company, const QString &product)
{
    if (QFileInfo(withTrailingSlash(programFolder) + portableMarker()).isFile() &&
        platform::isFolderWritable(toFsPath(programFolder))) {
        return withTrailingSlash(programFolder);
    }
    const QString companyFolder = withTrailingSlash(configRoot) + company;
    const QString productFolder = companyFolder + u'/' + product;
    // A fresh account may not have its configuration folder yet, unlike the application-data
    // folder it stands for; below it, one level each, and a failure shows when the file is saved.
    QDir().mkpath(configRoot);
    QDir().mkdir(companyFolder);
    QDir().mkdir(productFolder);
    return productFolder + u'/';
}

AppSettings::AppSettings(const QString &folder)
    : m_folder(withTrailingSlash(folder))
    , m_document(m_folder + QStringLiteral("settings.ini"))
{
    try {
        m_document.load();
    } catch (const SettingsError &) {
        // A damaged file only costs the stored choices; the first change writes a new one.
        if (!QFile::remove(filePath()) && QFile::exists(filePath())) {
            throw;
        }
    }
}

QString AppSettings::folder() const
{
    return m_folder;
}

QString AppSettings::filePath() const
{
    return m_document.filePath();
}

QString AppSettings::destination() const
{
    return m_document.readString(kSection, kDestination, QString());
}

QString AppSettings::format() const
{
    return m_document.readString(kSection, kFormat, QStringLiteral("PNG"));
}

bool AppSettings::showPreview() const
{
    return m_document.readString(kSection, kShowPreview, QString()) == kOn;
}

int AppSettings::quality() const
{
    bool ok = false;
    const int value = m_document.readString(kSection, kQuality, QString()).toInt(&ok);
    return ok && value >= 1 && value <= 100 ? value : kDefaultQuality;
}

bool AppSettings::keepLocation() const
{
    return m_document.readString(kSection, kKeepLocation, QString()) == kOn;
}

bool AppSettings::includeSubfolders() const
{
    return m_document.readString(kSection, kIncludeSubfolders, QString()) == kOn;
}

QString AppSettings::namePattern() const
{
    const QString pattern = m_document.readString(kSection, kNamePattern, QString());
    return NamePattern::problem(pattern).isEmpty() ? pattern
                                                   : QString::fromUtf16(NamePattern::kDefault);
}

void AppSettings::setQuality(int quality)
{
    store(kQuality, QString::number(quality));
}

void AppSettings::setKeepLocation(bool on)
{
    store(kKeepLocation, on ? kOn : kOff);
}

void AppSettings::setIncludeSubfolders(bool on)
{
    store(kIncludeSubfolders, on ? kOn : kOff);
}

void AppSettings::setNamePattern(const QString &pattern)
{
    store(kNamePattern, pattern);
}

EffectScale AppSettings::effectScale() const
{
    return effectScaleNamed(m_document.readString(kSection, kEffectScale, QString()));
}

int AppSettings::largestSide() const
{
    bool ok = false;
    const int pixels = m_document.readString(kSection, kLargestSide, QString()).toInt(&ok);
    return ok && pixels > 0 ? pixels : 0;
}

void AppSettings::setDestination(const QString &destination)
{
    store(kDestination, destination);
}

void AppSettings::setFormat(const QString &format)
{
    store(kFormat, format);
}

void AppSettings::setShowPreview(bool on)
{
    store(kShowPreview, on ? kOn : kOff);
}

void AppSettings::setEffectScale(EffectScale scale)
{
    store(kEffectScale, effectScaleName(scale));
}

void AppSettings::setLargestSide(int pixels)
{
    store(kLargestSide, QString::number(std::max(pixels, 0)));
}

bool AppSettings::removeFile()
{
    return QFile::remove(filePath()) || !QFile::exists(filePath());
}

void AppSettings::store(const QString &key, const QString &value)
{
    m_document.writeString(kSection, key, value);
    m_document.save();
}

} // namespace inkvale
