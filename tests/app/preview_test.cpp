#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "convert/conversionresult.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/imagepreview.h"
#include "imagelist/previewpicture.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QSplitterHandle>

using namespace inkvale;

namespace {

// The window with the real tool, the preview switched on and pictures added.
struct Window
{
    QTemporaryDir folder;
    test::RecordingDialogs dialogs;
    test::RecordingDesktop desktop;
    std::unique_ptr<MainWindow> form;

    Window()
    {
        test::linkBuiltTool(folder.path());
        form = std::make_unique<MainWindow>(
            test::standInEnvironment(folder.path(), dialogs, desktop, false));
        form->show();
        ui().showPreviewAction->trigger();
    }

    const MainWindowUi &ui() const { return form->ui(); }
    ImagePreview &preview() const { return form->preview(); }

    QStringList add(const QList<QSize> &sizes)
    {
        QStringList paths;
        for (const QSize &size : sizes) {
            paths.append(folder.filePath(QStringLiteral("picture-%1.png").arg(paths.size())));
            test::writePicture(paths.last(), size.width(), size.height());
        }
        dialogs.fileAnswers.enqueue(paths);
        form->addFiles();
        [&] {
            QVERIFY(QTest::qWaitFor([&] { return !form->intake().isBusy(); }, 20000));
        }();
        return paths;
    }

    // A click on the row, as the user makes it.
    void click(int row)
    {
        ImageListView &list = *ui().imageList;
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualRect(form->listModel().index(row, 0)).center());
    }

    bool settle()
    {
        QSignalSpy settled(&preview(), &ImagePreview::settled);
        return !preview().isBusy() || settled.wait(60000);
    }

    bool paneShown() const
    {
        return ui().previewImage->isVisible() && ui().previewSplitterHandle->isVisible();
    }
    QSize shownSize() const { return ui().previewImage->image().size(); }
    QString scratchFile() const { return form->settings()->folder() + QStringLiteral("temp.png"); }
};

} // namespace

class PreviewTest : public QObject
{
    Q_OBJECT

private slots:
    void aClickShowsTheRenderedRow();
    void nothingHappens_data();
    void nothingHappens();
    void aFailedRenderKeepsThePicture();
    void aNewerRequestStopsTheOlderOne();
    void anEffectChangeRendersAgain();
    void switchDeleteAllAndClear();
    void aClickDuringABatchLeavesTheBatchAlone();
};

void PreviewTest::aClickShowsTheRenderedRow()
{
    Window window;
    window.add({{48, 32}, {40, 40}});
    QSignalSpy status(&window.preview(), &ImagePreview::statusChanged);
    window.click(0);
    QVERIFY(window.settle());

    QCOMPARE(status.count(), 2);
    QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("Generating Preview Image..."));
    QCOMPARE(status.at(1).at(0).toString(), QString());
    QCOMPARE(window.form->statusText(), QString());
    QVERIFY(window.paneShown());
    QCOMPARE(window.shownSize(), QSize(48, 32));
    QVERIFY(!QFile::exists(window.scratchFile()));
    QCOMPARE(window.ui().previewImage->height(), 150);
    // List, buttons, splitter, picture from top to bottom.
    const MainWindowUi &ui = window.ui();
    QVERIFY(ui.listButtonStrip->mapTo(window.form.get(), QPoint()).y() >
            ui.imageList->mapTo(window.form.get(), QPoint()).y());
    QVERIFY(ui.previewImage->mapTo(window.form.get(), QPoint()).y() >
            ui.listButtonStrip->mapTo(window.form.get(), QPoint()).y());
    QVERIFY(window.preview().log().text().contains(QStringLiteral("cartoon")));

    // The height the user gives the pane survives hiding it.
    ui.previewSplitter->setSizes({ui.previewSplitter->height() - 90, 84});
    ui.showPreviewAction->trigger();
    ui.showPreviewAction->trigger();
    window.click(1);
    QVERIFY(window.settle());
    QCOMPARE(window.shownSize(), QSize(40, 40));
    QCOMPARE(ui.previewImage->height(), 84);
}

void PreviewTest::nothingHappens_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("preview off") << "off";
    QTest::newRow("no current row") << "no row";
    QTest::newRow("file gone") << "gone";
}

void PreviewTest::nothingHappens()
{
    QFETCH(QString, situation);
    Window window;
    const QStringList paths = window.add({{32, 24}});
    window.ui().imageList->selectRow(0);
    if (situation == QLatin1String("off")) {
        window.ui().showPreviewAction->trigger();
    } else if (situation == QLatin1String("no row")) {
        window.ui().imageList->clearSelection();
    } else {
        QFile::remove(paths.first());
    }
    QSignalSpy status(&window.preview(), &ImagePreview::statusChanged);
    window.form->listClicked();
    QVERIFY(!window.preview().isBusy());
    QVERIFY(status.isEmpty());
    QCOMPARE(window.form->statusText(), QStringLiteral("1 file"));
    QVERIFY(!window.paneShown());
}

void PreviewTest::aFailedRenderKeepsThePicture()
{
    Window window;
    window.add({{48, 32}, {32, 48}});
    window.click(0);
    QVERIFY(window.settle());
    QCOMPARE(window.shownSize(), QSize(48, 32));

    // A tool that fails from now on.
    const QString tool = window.folder.filePath(QStringLiteral("gmic/gmic"));
    QFile::remove(tool);
    QFile script(tool);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho '*** Error *** broken' >&2\nexit 1\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);

    QSignalSpy status(&window.preview(), &ImagePreview::statusChanged);
    window.click(1);
    QVERIFY(window.settle());
    QCOMPARE(status.count(), 2);
    QCOMPARE(window.form->statusText(), QString());
    QVERIFY(window.paneShown());
    QCOMPARE(window.shownSize(), QSize(48, 32));
    QVERIFY(window.dialogs.messages.isEmpty());
    QVERIFY(!QFile::exists(window.scratchFile()));
}

void PreviewTest::aNewerRequestStopsTheOlderOne()
{
    Window window;
    const QStringList paths = window.add({{48, 32}, {32, 48}});
    QSignalSpy ended(&window.preview(), &ImagePreview::renderEnded);
    window.click(0);
    window.click(1);
    QVERIFY(window.settle());

    QCOMPARE(ended.count(), 2);
    QCOMPARE(ended.at(0).at(0).toString(), paths.at(0));
    QCOMPARE(ended.at(0).at(1).value<ConversionResult>().outcome,
             ConversionResult::Outcome::Cancelled);
    QCOMPARE(ended.at(1).at(0).toString(), paths.at(1));
    QVERIFY(ended.at(1).at(1).value<ConversionResult>().converted());
    QCOMPARE(window.shownSize(), QSize(32, 48));
    QVERIFY(!QFile::exists(window.scratchFile()));
}

void PreviewTest::anEffectChangeRendersAgain()
{
    Window window;
    window.add({{48, 32}});
    window.click(0);
    QVERIFY(window.settle());
    QSignalSpy ended(&window.preview(), &ImagePreview::renderEnded);
    QComboBox &effects = *window.ui().effectBox;
    const int cutout = effects.findText(QStringLiteral("Cutout"));
    effects.setCurrentIndex(cutout);
    emit effects.activated(cutout);
    QVERIFY(window.settle());
    QCOMPARE(ended.count(), 1);
    QVERIFY(window.preview().log().text().contains(QStringLiteral("fx_cutout")));
    // The format is no trigger.
    window.ui().formatBox->setCurrentIndex(1);
    emit window.ui().formatBox->activated(1);
    QVERIFY(!window.preview().isBusy());
}

void PreviewTest::switchDeleteAllAndClear()
{
    Window window;
    window.add({{48, 32}});
    window.click(0);
    QVERIFY(window.settle());
    QVERIFY(window.paneShown());

    // Off hides at once; on shows nothing until the next click.
    window.ui().showPreviewAction->trigger();
    QVERIFY(!window.paneShown());
    window.ui().showPreviewAction->trigger();
    QVERIFY(!window.paneShown());
    QVERIFY(!window.preview().isBusy());
    window.click(0);
    QVERIFY(window.settle());
    QVERIFY(window.paneShown());

    window.ui().deleteAllAction->trigger();
    QVERIFY(window.paneShown());
    QCOMPARE(window.form->statusText(), QStringLiteral("0 files"));

    // Clear in the middle of a render: hidden, and it stays hidden.
    window.add({{48, 32}});
    window.click(0);
    QVERIFY(window.preview().isBusy());
    window.ui().clearAction->trigger();
    QVERIFY(!window.paneShown());
    QVERIFY(window.settle());
    QVERIFY(!window.paneShown());
    QCOMPARE(window.form->statusText(), QStringLiteral("0 files"));
    QVERIFY(!QFile::exists(window.scratchFile()));
}

void PreviewTest::aClickDuringABatchLeavesTheBatchAlone()
{
    Window window;
    window.add({{64, 48}, {48, 64}, {64, 64}});
    const QString destination = window.folder.filePath(QStringLiteral("out"));
    window.ui().destinationEdit->setText(destination);
    QSignalSpy finished(window.form.get(), &MainWindow::batchFinished);
    window.ui().convertButton->click();
    QVERIFY(window.form->batchRunning());
    window.click(1);
    QVERIFY(window.settle());
    QCOMPARE(window.shownSize(), QSize(48, 64));
    QVERIFY(finished.count() == 1 || finished.wait(60000));

    const auto result = finished.at(0).at(0).value<BatchResult>();
    QVERIFY(result.failures.isEmpty());
    QCOMPARE(result.status, QStringLiteral("Completed"));
    QCOMPARE(QDir(destination).entryList(QDir::Files).size(), 3);
    QVERIFY(!QFile::exists(window.scratchFile()));
}

INKVALE_GUI_TEST_MAIN(PreviewTest)
#include "preview_test.moc"
