#include "app/photochoices.h"

#include "app/appsettings.h"
#include "app/mainwindowui.h"
#include "app/settingserror.h"
#include "imagelist/imageintake.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

namespace inkvale {

PhotoChoices::PhotoChoices(const MainWindowUi &ui, ImageIntake &intake, QObject *parent)
    : QObject(parent)
    , m_ui(ui)
    , m_intake(intake)
{
    connect(ui.formatBox, &QComboBox::currentIndexChanged, this, &PhotoChoices::formatShown);
    connect(ui.qualityBox, &QSpinBox::valueChanged, this,
            [this](int quality) { store([quality](AppSettings &s) { s.setQuality(quality); }); });
    connect(ui.keepLocationAction, &QAction::toggled, this,
            [this](bool on) { store([on](AppSettings &s) { s.setKeepLocation(on); }); });
    connect(ui.includeSubfoldersBox, &QCheckBox::toggled, this, [this](bool on) {
        m_intake.setIncludeSubfolders(on);
        store([on](AppSettings &s) { s.setIncludeSubfolders(on); });
    });
    connect(ui.namePatternEdit, &QLineEdit::textEdited, this, [this](const QString &pattern) {
        // An emptied field stands for the default; the file keeps the last usable pattern.
        if (NamePattern::problem(pattern).isEmpty()) {
            store([pattern](AppSettings &s) { s.setNamePattern(pattern); });
        }
    });
    formatShown();
}

void PhotoChoices::load(AppSettings &settings)
{
    m_settings = nullptr; // showing the stored values stores nothing
    m_ui.qualityBox->setValue(settings.quality());
    m_ui.keepLocationAction->setChecked(settings.keepLocation());
    m_ui.includeSubfoldersBox->setChecked(settings.includeSubfolders());
    m_intake.setIncludeSubfolders(settings.includeSubfolders());
    m_ui.namePatternEdit->setText(settings.namePattern());
    m_settings = &settings;
}

OutputOptions PhotoChoices::outputOptionsOf(const MainWindowUi &ui)
{
    OutputOptions options;
    options.quality = ui.qualityBox->value();
    options.keepLocation = ui.keepLocationAction->isChecked();
    const QString pattern = ui.namePatternEdit->text();
    if (NamePattern::problem(pattern).isEmpty()) {
        options.namePattern = pattern;
    }
    return options;
}

void PhotoChoices::store(const std::function<void(AppSettings &)> &write)
{
    if (m_settings == nullptr) {
        return;
    }
    try {
        write(*m_settings);
    } catch (const SettingsError &error) {
        emit storeFailed(error.message());
    }
}

void PhotoChoices::formatShown()
{
    const QString format = m_ui.formatBox->currentText();
    m_ui.qualityBox->setEnabled(format == QLatin1String("JPG") || format == QLatin1String("WebP") ||
                                format == QLatin1String("AVIF"));
}

} // namespace inkvale
