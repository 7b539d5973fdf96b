#include "windowdriver.h"

#include "imagelist/imageintake.h"
#include "support/testenvironment.h"

#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace inkvale::tools {

WindowDriver::WindowDriver(bool probeEffects)
{
    test::linkBuiltTool(m_folder.path());
    m_form = std::make_unique<MainWindow>(
        test::standInEnvironment(m_folder.path(), m_dialogs, m_desktop, probeEffects));
}

QStringList WindowDriver::addPictures(int count, int width, int height)
{
    QDir pictures(m_folder.filePath(QStringLiteral("pictures")));
    pictures.mkpath(QStringLiteral("."));
    QStringList paths;
    for (int i = 1; i <= count; ++i) {
        paths.append(
            pictures.filePath(QStringLiteral("holiday-%1.jpg").arg(i, 2, 10, QLatin1Char('0'))));
        test::writePicture(paths.last(), width, height);
    }
    addFiles(paths);
    return paths;
}

void WindowDriver::addFiles(const QStringList &paths)
{
    m_dialogs.fileAnswers.enqueue(paths);
    m_form->addFiles();
    if (!QTest::qWaitFor([this] { return !m_form->intake().isBusy(); }, 60000)) {
        qWarning("the pictures were still being added after a minute");
    }
}

void WindowDriver::startBatch(const QString &effect, const QString &format)
{
    const MainWindowUi &ui = m_form->ui();
    ui.destinationEdit->setText(m_folder.filePath(QStringLiteral("out-%1").arg(effect)));
    ui.formatBox->setCurrentText(format);
    ui.effectBox->setCurrentText(effect);
    ui.convertButton->click();
}

bool WindowDriver::waitForBatch(int timeoutMs)
{
    // A plain event loop: QTest's waiting sleeps between turns, which a measurement would see.
    if (!m_form->batchRunning()) {
        return true;
    }
    QEventLoop loop;
    QObject::connect(m_form.get(), &MainWindow::batchFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return !m_form->batchRunning();
}

} // namespace inkvale::tools
