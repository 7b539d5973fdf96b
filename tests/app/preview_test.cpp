#include "app/appsettings.h"
#include "app/conversionchoices.h"
#include "app/mainwindow.h"
#include "convert/conversionresult.h"
#include "convert/effectpresets.h"
#include "convert/effectscaling.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/imagepreview.h"
#include "imagelist/listeditor.h"
#include "imagelist/previewpicture.h"
#include "imagelist/previewrenderer.h"
#include "support/faketool.h"
#include "support/picturefixtures.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

#include <cmath>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSplitter>
#include <QSplitterHandle>

using namespace inkvale;
using test::FakeTool;

namespace {

// The window with the real tool (or a stand-in), the preview switched on and pictures added.
struct Window
{
    QTemporaryDir folder;
    std::unique_ptr<FakeTool> tool;
    test::RecordingDialogs dialogs;
    test::RecordingDesktop desktop;
    std::unique_ptr<MainWindow> form;

    explicit Window(std::optional<FakeTool::Behaviour> standIn = std::nullopt)
    {
        QString programFolder = folder.path();
        if (standIn) {
            tool = std::make_unique<FakeTool>(*standIn);
            programFolder = tool->programFolder();
        } else {
            test::linkBuiltTool(folder.path());
        }
        form = std::make_unique<MainWindow>(
            test::standInEnvironment(programFolder, dialogs, desktop, false));
        form->show();
        ui().showPreviewAction->trigger();
    }

    const MainWindowUi &ui() const { return form->ui(); }
    ImagePreview &preview() const { return form->preview(); }
    // Settings > "Scale Effects to Picture Size" off.
    void useExactPixels() const { ui().conversionChoices->scaleAction().trigger(); }

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

    // Until the 100 % view shows its next region.
    bool regionShown()
    {
        QSignalSpy shown(&preview(), &ImagePreview::regionShown);
        return shown.wait(20000);
    }

    bool paneShown() const
    {
        return ui().previewImage->isVisible() && ui().previewSplitterHandle->isVisible();
    }
    QSize shownSize() const { return ui().previewImage->image().size(); }
    QString scratchFile() const { return form->settings()->folder() + QStringLiteral("temp.png"); }

    // A pane 60 pixels high, so that a picture of 200 x 160 is much larger than the pane.
    void showSmallPane(int row)
    {
        click(row);
        QVERIFY(settle());
        QSplitter &splitter = *ui().previewSplitter;
        splitter.setSizes({splitter.height() - splitter.handleWidth() - 60, 60});
        QCOMPARE(ui().previewImage->height(), 60);
    }
};

// What the pane showed, and what the status said then.
struct Shown
{
    QString input;
    bool exact = false;
    QSize size;
    QString status;
    QString caption;
};

// Every picture the pane shows from now on, as long as `context` lives.
void recordShown(Window &window, QObject &context, QList<Shown> &shown)
{
    QObject::connect(&window.preview(), &ImagePreview::pictureShown, &context,
                     [&window, &shown](const QString &input, bool exact) {
                         shown.append({input, exact, window.shownSize(), window.form->statusText(),
                                       window.ui().previewImage->caption()});
                     });
}

} // namespace

class PreviewTest : public QObject
{
    Q_OBJECT

private slots:
    void aClickShowsTheRenderedRow();
    void nothingHappens_data();
    void nothingHappens();
    void aFailedRenderKeepsThePicture();
    void aPictureTooLargeForTheMachineIsNotRendered_data();
    void aPictureTooLargeForTheMachineIsNotRendered();
    void aNewerRequestStopsTheOlderOne();
    void aLargePictureShowsQuickThenExact_data();
    void aLargePictureShowsQuickThenExact();
    void aNewerClickStopsBothRendersOfTheOlder();
    void aRenderedRowShowsAgainAtOnce();
    void anEffectChangeRendersAgain();
    void switchDeleteAllAndClear();
    void removingTheShownRowEmptiesThePane();
    void aClickDuringABatchLeavesTheBatchAlone();
    void theHundredPercentViewRendersARegionAsPartOfTheWhole();
    void theOriginalShowsWhereTheRenderIs();
    void aNewRowOrDeleteAllStopsTheRegionRender();
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
    // Half the splitter at first, and it grows with the window.
    const MainWindowUi &shownUi = window.ui();
    const int firstHeight = shownUi.previewImage->height();
    QVERIFY(std::abs(firstHeight - shownUi.previewSplitter->height() / 2) <= 4);
    window.form->resize(window.form->width(), window.form->height() + 200);
    QVERIFY(QTest::qWaitFor([&] { return shownUi.previewImage->height() >= firstHeight + 80; }));
    QCOMPARE(shownUi.previewImage->caption(), QStringLiteral("Exact preview"));
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

// A picture whose tool would not fit in this machine's memory is neither rendered nor scaled
// down in the window: the status says why, and the pane keeps its picture.
void PreviewTest::aPictureTooLargeForTheMachineIsNotRendered_data()
{
    QTest::addColumn<QSize>("claimed");
    // The file's size; 0 leaves the few bytes of the header.
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<QString>("reason");
    // Data enough (sparse) that the claim could hold: the tool would need hundreds of GB.
    QTest::newRow("beyond the memory")
        << QSize(60000, 60000) << (qint64(8) << 20)
        << QStringLiteral("too large for this machine's memory: needs about 259.3 GB");
    // Decoding it for the quick copy would fill in a gigabyte from nothing.
    QTest::newRow("beyond the data") << QSize(16000, 16000) << qint64(0)
                                     << QStringLiteral("The picture claims 16000 x 16000 pixels, "
                                                       "far more than its %1 bytes can hold");
}

void PreviewTest::aPictureTooLargeForTheMachineIsNotRendered()
{
    QFETCH(QSize, claimed);
    QFETCH(qint64, fileSize);
    QFETCH(QString, reason);
    Window window;
    const QStringList paths = window.add({{48, 32}, {32, 48}});
    window.click(0);
    QVERIFY(window.settle());
    // The row's file becomes a JPEG whose header claims `claimed`.
    QVERIFY(test::writeFile(paths[1], test::jpegClaiming(claimed)));
    if (fileSize > 0) {
        QVERIFY(QFile::resize(paths[1], fileSize));
    }

    QSignalSpy rendered(&window.preview(), &ImagePreview::renderEnded);
    window.click(1);
    QVERIFY(window.settle());
    QVERIFY(rendered.isEmpty());
    QCOMPARE(window.form->statusText(), reason.contains(QLatin1String("%1"))
                                            ? reason.arg(QFileInfo(paths[1]).size())
                                            : reason);
    QCOMPARE(window.shownSize(), QSize(48, 32));
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

void PreviewTest::aLargePictureShowsQuickThenExact_data()
{
    QTest::addColumn<bool>("fit");
    QTest::addColumn<QSize>("picture");
    // With exact pixels the quick copy fits the pane; a scale-true effect looks the same only
    // on a copy above the reference size, which a picture smaller than four such copies would
    // not gain by.
    QTest::newRow("exact pixels") << false << QSize(200, 160);
    QTest::newRow("fit") << true << QSize(2480, 1860);
}

void PreviewTest::aLargePictureShowsQuickThenExact()
{
    QFETCH(bool, fit);
    QFETCH(QSize, picture);
    Window window;
    if (!fit) {
        window.useExactPixels();
    }
    const QStringList paths = window.add({picture, {40, 30}});
    window.showSmallPane(1);
    QObject context;
    QList<Shown> shown;
    recordShown(window, context, shown);
    QSignalSpy ended(&window.preview(), &ImagePreview::renderEnded);

    window.click(0);
    QVERIFY(window.settle());
    QCOMPARE(shown.size(), 2);
    // First the render of a scaled copy, while the status says more is coming.
    QCOMPARE(shown[0].input, paths[0]);
    QVERIFY(!shown[0].exact);
    if (fit) {
        QVERIFY(shown[0].size.width() < picture.width());
        QVERIFY2(
            std::hypot(shown[0].size.width(), shown[0].size.height()) >= kQuickCopyDiagonal - 2,
            qPrintable(
                QStringLiteral("%1x%2").arg(shown[0].size.width()).arg(shown[0].size.height())));
    } else {
        QCOMPARE(shown[0].size, QSize(75, 60) * window.ui().previewImage->devicePixelRatioF());
    }
    QCOMPARE(shown[0].status, QStringLiteral("Generating Preview Image..."));
    QVERIFY2(shown[0].caption.contains(
                 QRegularExpression(QStringLiteral("^Quick preview - exact render: [0-9]+ s$"))),
             qPrintable(shown[0].caption));
    // Then the whole picture's.
    QCOMPARE(shown[1].input, paths[0]);
    QVERIFY(shown[1].exact);
    // Kept no larger than 1600 pixels a side.
    QCOMPARE(shown[1].size,
             picture.width() > 1600 ? picture.scaled(1600, 1600, Qt::KeepAspectRatio) : picture);
    QCOMPARE(shown[1].caption, QStringLiteral("Exact preview"));
    QCOMPARE(window.form->statusText(), QString());
    QCOMPARE(ended.size(), 2);
    QVERIFY(ended[0][1].value<ConversionResult>().converted());
    QVERIFY(ended[1][1].value<ConversionResult>().converted());
    QVERIFY(window.preview().log().text().contains(QStringLiteral("cartoon")));
    QVERIFY(!QFile::exists(window.scratchFile()));
}

void PreviewTest::aNewerClickStopsBothRendersOfTheOlder()
{
    Window window;
    window.useExactPixels();
    const QStringList paths = window.add({{200, 160}, {40, 30}, {30, 40}});
    window.showSmallPane(2);
    QObject context;
    QList<Shown> shown;
    recordShown(window, context, shown);
    QSignalSpy ended(&window.preview(), &ImagePreview::renderEnded);
    // The user clicks the next row as soon as the quick picture of the first appears.
    connect(&window.preview(), &ImagePreview::pictureShown, &context, [&](const QString &input) {
        if (input == paths[0]) {
            window.click(1);
        }
    });

    window.click(0);
    QVERIFY(window.settle());
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].input, paths[0]);
    QVERIFY(!shown[0].exact);
    QCOMPARE(shown[1].input, paths[1]);
    QVERIFY(shown[1].exact);
    QCOMPARE(window.shownSize(), QSize(40, 30));
    // The whole picture of the first row was never rendered.
    QCOMPARE(ended.size(), 2);
    QCOMPARE(ended[0][0].toString(), paths[0]);
    QCOMPARE(ended[1][0].toString(), paths[1]);

    // Clicked again while its copy is being made: stopped, nothing of it shows.
    shown.clear();
    ended.clear();
    window.click(0);
    QVERIFY(window.preview().isBusy());
    window.click(2); // rendered before: shown at once
    QVERIFY(window.settle());
    for (const Shown &picture : shown) {
        QCOMPARE(picture.input, paths[2]);
    }
    QCOMPARE(window.shownSize(), QSize(30, 40));
    for (const QList<QVariant> &render : ended) {
        if (render[0].toString() == paths[0]) {
            QCOMPARE(render[1].value<ConversionResult>().outcome,
                     ConversionResult::Outcome::Cancelled);
        }
    }
    QVERIFY(!QFile::exists(window.scratchFile()));
}

void PreviewTest::aRenderedRowShowsAgainAtOnce()
{
    Window window;
    const QStringList paths = window.add({{48, 32}, {40, 40}});
    window.click(0);
    QVERIFY(window.settle());
    window.click(1);
    QVERIFY(window.settle());

    QObject context;
    QList<Shown> shown;
    recordShown(window, context, shown);
    QSignalSpy ended(&window.preview(), &ImagePreview::renderEnded);
    window.click(0);
    // At once, within the click.
    QVERIFY(!window.preview().isBusy());
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].input, paths[0]);
    QVERIFY(shown[0].exact);
    QCOMPARE(window.shownSize(), QSize(48, 32));
    QCOMPARE(window.form->statusText(), QString());
    QVERIFY(ended.isEmpty());

    // Another effect is another render, and then kept too.
    QComboBox &effects = *window.ui().effectBox;
    const int cutout = effects.findText(QStringLiteral("Cutout"));
    effects.setCurrentIndex(cutout);
    emit effects.activated(cutout);
    QVERIFY(window.preview().isBusy());
    QVERIFY(window.settle());
    QCOMPARE(ended.size(), 1);
    emit effects.activated(cutout);
    QVERIFY(!window.preview().isBusy());
    QCOMPARE(ended.size(), 1);

    // A file changed since its render is rendered afresh.
    QVERIFY(test::writePicture(paths[0], 36, 24));
    emit effects.activated(cutout);
    QVERIFY(window.preview().isBusy());
    QVERIFY(window.settle());
    QCOMPARE(ended.size(), 2);
    QCOMPARE(window.shownSize(), QSize(36, 24));
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

    // Delete All empties the pane; it stays where it is.
    window.ui().deleteAllAction->trigger();
    QVERIFY(window.paneShown());
    QVERIFY(window.ui().previewImage->image().isNull());
    QCOMPARE(window.ui().previewImage->caption(), QString());
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

void PreviewTest::removingTheShownRowEmptiesThePane()
{
    Window window;
    window.add({{48, 32}, {40, 40}, {32, 48}});
    window.click(1);
    QVERIFY(window.settle());

    // Another row goes: the picture stays.
    window.ui().imageList->selectRow(2);
    window.form->listEditor().deleteSelected();
    QCOMPARE(window.shownSize(), QSize(40, 40));

    window.ui().imageList->selectRow(1);
    window.form->listEditor().deleteSelected();
    QVERIFY(window.paneShown());
    QVERIFY(window.ui().previewImage->image().isNull());

    // Removed while it renders: the render stops and shows nothing.
    window.click(0);
    QVERIFY(window.preview().isBusy());
    window.ui().imageList->selectRow(0);
    window.form->listEditor().deleteSelected();
    QVERIFY(window.settle());
    QVERIFY(window.ui().previewImage->image().isNull());
    QCOMPARE(window.ui().previewImage->caption(), QString());
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

// The stand-in tool hands back the part of the picture it is given: the pane shows that part
// of the original where the region lies, and the tool was told the whole picture's scale.
void PreviewTest::theHundredPercentViewRendersARegionAsPartOfTheWhole()
{
    Window window(FakeTool::Behaviour::CopyInput);
    const QSize picture(1640, 1230);
    const QStringList paths = window.add({picture});
    window.click(0);
    QVERIFY(window.settle());
    const QImage original = QImage(paths[0]).convertToFormat(QImage::Format_RGB32);
    PreviewPicture &pane = *window.ui().previewImage;

    // A click on the picture opens the 100 % view there, a quarter across and down.
    const QSizeF fitted = QSizeF(picture).scaled(QSizeF(pane.size()), Qt::KeepAspectRatio);
    const QPointF corner((pane.width() - fitted.width()) / 2,
                         (pane.height() - fitted.height()) / 2);
    QTest::mouseClick(&pane, Qt::LeftButton, {},
                      (corner + QPointF(fitted.width(), fitted.height()) / 4).toPoint());
    QVERIFY(window.ui().actualSizeAction->isChecked());
    QVERIFY(window.regionShown());
    const QRect region = pane.region();
    QVERIFY2(region.contains(QPoint(410, 307), false),
             qPrintable(QStringLiteral("%1,%2").arg(region.x()).arg(region.y())));
    QCOMPARE(region.size(), (pane.size() * pane.devicePixelRatioF()).boundedTo(picture));
    QCOMPARE(pane.regionImage().convertToFormat(QImage::Format_RGB32), original.copy(region));
    QCOMPARE(pane.caption(), QStringLiteral("100 % view"));
    // The effect scaled for the whole picture, on a part somewhat larger than the region.
    const EffectPreset &cartoon = *findEffectPreset(QStringLiteral("Cartoon"));
    const QStringList arguments = window.tool->recordedArguments();
    const qsizetype word = arguments.indexOf(cartoon.scaledRecipeCommand);
    QVERIFY2(word > 0, qPrintable(arguments.join(QLatin1Char(' '))));
    QCOMPARE(arguments.value(word + 1), QString::number(effectScaleFactor(picture), 'g', 5) +
                                            QLatin1Char(',') + cartoon.parameterArgument());
    const QImage cut = QImage::fromData(window.tool->recordedInputBytes());
    QVERIFY(cut.width() > region.width() && cut.height() > region.height());
    QVERIFY(cut.width() < region.width() + 200 && cut.height() < region.height() + 200);

    // The arrow keys move the view by a quarter of the pane, and its region is rendered.
    pane.setFocus();
    QTest::keyClick(&pane, Qt::Key_Right);
    QVERIFY(window.regionShown());
    QCOMPARE(pane.region(), region.translated(region.width() / 4, 0));
    QCOMPARE(pane.regionImage().convertToFormat(QImage::Format_RGB32),
             original.copy(pane.region()));

    // A click on the 100 % view goes back to the whole picture, kept from before.
    QTest::mouseClick(&pane, Qt::LeftButton, {}, pane.rect().center());
    QVERIFY(!window.ui().actualSizeAction->isChecked());
    QVERIFY(!window.preview().isBusy());
    QCOMPARE(pane.caption(), QStringLiteral("Exact preview"));
}

// The original in place of the render, pixel for pixel where the 100 % view shows it.
void PreviewTest::theOriginalShowsWhereTheRenderIs()
{
    Window window(FakeTool::Behaviour::Succeed);
    const QStringList paths = window.add({{400, 300}});
    // Every render is all green.
    QImage green(400, 300, QImage::Format_RGB32);
    green.fill(Qt::green);
    QVERIFY(green.save(window.tool->programFolder() + QStringLiteral("/gmic/picture.png")));
    window.showSmallPane(0);
    const QImage original = QImage(paths[0]).convertToFormat(QImage::Format_RGB32);
    PreviewPicture &pane = *window.ui().previewImage;

    // Fit: the picture's left and right edges, and the pane beside them.
    const QSizeF fitted = QSizeF(400, 300).scaled(QSizeF(pane.size()), Qt::KeepAspectRatio);
    const int left = int((pane.width() - fitted.width()) / 2);
    const int right = left + int(fitted.width()) - 1;
    const int middle = pane.height() / 2;
    QVERIFY(left >= 2);
    const QImage rendered = pane.grab().toImage();
    window.ui().showOriginalAction->trigger();
    QTRY_VERIFY(!pane.original().isNull());
    const QImage before = pane.grab().toImage();
    QCOMPARE(pane.caption(), QStringLiteral("Original picture"));
    for (const int x : {left + 1, right - 1}) {
        QCOMPARE(rendered.pixel(x, middle), qRgb(0, 255, 0));
        const QRgb shown = before.pixel(x, middle);
        const QRgb expected = original.pixel(x == left + 1 ? 2 : 397, 150);
        QVERIFY2(std::abs(qRed(shown) - qRed(expected)) <= 12 &&
                     std::abs(qGreen(shown) - qGreen(expected)) <= 12,
                 qPrintable(QString::number(shown, 16)));
    }
    QCOMPARE(before.pixel(left - 2, middle), rendered.pixel(left - 2, middle));

    // 100 %: the region is rendered all the same; the original shows at 1:1 around the middle.
    window.ui().actualSizeAction->trigger();
    QVERIFY(window.regionShown());
    QCOMPARE(pane.caption(), QStringLiteral("Original picture - 100 % view"));
    const QRect region = pane.shownRegion();
    QCOMPARE(region.size(), QSize(std::min(400, pane.width()), pane.height()));
    QCOMPARE(region.y(), 150 - pane.height() / 2);
    const QImage actual = pane.grab().toImage();
    const int start = (pane.width() - region.width()) / 2;
    for (const int x : {0, 7, region.width() / 2, region.width() - 1}) {
        QCOMPARE(actual.pixel(start + x, pane.height() - 1),
                 original.pixel(region.x() + x, region.bottom()));
    }
    window.ui().showOriginalAction->trigger();
    QCOMPARE(pane.caption(), QStringLiteral("100 % view"));
    QCOMPARE(pane.grab().toImage().pixel(start + region.width() / 2, middle), qRgb(0, 255, 0));
}

void PreviewTest::aNewRowOrDeleteAllStopsTheRegionRender()
{
    Window window(FakeTool::Behaviour::Slow);
    // Smaller than the pane: each region is the whole picture, which tells the rows apart.
    const QStringList paths = window.add({{40, 30}, {30, 40}});
    window.ui().actualSizeAction->trigger();
    QSignalSpy ended(&window.preview(), &ImagePreview::renderEnded);
    const auto toolGets = [&](const QSize &size) {
        return QTest::qWaitFor(
            [&] {
                return window.tool->recordedPid() != 0 &&
                       QImage::fromData(window.tool->recordedInputBytes()).size() == size;
            },
            20000);
    };
    window.click(0);
    // The original is decoded first, then its region goes to the tool.
    QVERIFY(toolGets(QSize(40, 30)));
    const qint64 first = window.tool->recordedPid();
    QCOMPARE(window.form->statusText(), QStringLiteral("Generating Preview Image..."));
    QVERIFY(ended.isEmpty());

    window.click(1);
    QVERIFY(toolGets(QSize(30, 40)));
    const qint64 second = window.tool->recordedPid();
    QVERIFY(test::processEnded(first));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended[0][0].toString(), paths[0]);
    QCOMPARE(ended[0][1].value<ConversionResult>().outcome, ConversionResult::Outcome::Cancelled);

    window.ui().deleteAllAction->trigger();
    QVERIFY(window.settle());
    QVERIFY(QTest::qWaitFor([&] { return test::processEnded(second); }, 10000));
    QCOMPARE(ended.size(), 2);
    QCOMPARE(ended[1][0].toString(), paths[1]);
    QCOMPARE(ended[1][1].value<ConversionResult>().outcome, ConversionResult::Outcome::Cancelled);
    QVERIFY(window.ui().previewImage->original().isNull());
    QCOMPARE(window.ui().previewImage->caption(), QString());
    QCOMPARE(window.form->statusText(), QStringLiteral("0 files"));
}

INKVALE_GUI_TEST_MAIN(PreviewTest)
#include "preview_test.moc"
