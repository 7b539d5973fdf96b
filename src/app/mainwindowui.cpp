#include "app/mainwindowui.h"

#include "app/conversionchoices.h"
#include "app/statuspanel.h"
#include "convert/effectpresets.h"
#include "convert/pictureformats.h"
#include "imagelist/imagelistview.h"
#include "imagelist/previewpicture.h"
#include "windowkit/artwork.h"
#include "windowkit/widgetnames.h"

#include <limits>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace inkvale {
namespace {

QAction *action(QObject *parent, const char *name, const QString &text, const QString &icon = {})
{
    auto *result = named(new QAction(text, parent), name);
    if (!icon.isEmpty()) {
        result->setIcon(artworkIcon(icon));
    }
    return result;
}

QToolButton *stripButton(QWidget *strip, const char *name, const QString &icon, const QString &hint,
                         int left)
{
    auto *button = named(new QToolButton(strip), name);
    button->setIcon(artworkIcon(icon));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    // A picture alone says nothing to a screen reader.
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    button->setGeometry(left, 2, 24, 25);
    return button;
}

// The button that Qt shows on `bar` for what does not fit a narrow window; it has a picture only.
void nameOverflowButton(QWidget *bar, const char *button, const QString &name)
{
    if (auto *more = bar->findChild<QToolButton *>(QLatin1String(button))) {
        more->setAccessibleName(name);
    }
}

// A label whose mnemonic takes the focus to `buddy`, the control it names. A screen reader calls
// the control by the label's words, not by the value a drop-down shows.
QLabel *columnLabel(QWidget *column, const char *name, const QString &text, QWidget *buddy)
{
    auto *label = named(new QLabel(text, column), name);
    label->setBuddy(buddy);
    QString words = text;
    words.remove(QLatin1Char('&'));
    if (words.endsWith(QLatin1Char(':'))) {
        words.chop(1);
    }
    buddy->setAccessibleName(words);
    return label;
}

} // namespace

void MainWindowUi::setupUi(QMainWindow *window)
{
    // --- the commands that the toolbar and the menus share
    addFilesAction = action(window, "addFilesAction", QStringLiteral("Add &Files..."),
                            QStringLiteral("add-files"));
    addFolderAction = action(window, "addFolderAction", QStringLiteral("Add F&older..."),
                             QStringLiteral("add-folder"));
    addFilesAction->setShortcut(QKeySequence::Open);
    addFolderAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    sendFeedbackAction = action(window, "sendFeedbackAction", QStringLiteral("Send &Feedback..."),
                                QStringLiteral("feedback"));
    aboutAction =
        action(window, "aboutAction", QStringLiteral("&About..."), QStringLiteral("about"));
    onlineHelpAction =
        action(window, "onlineHelpAction", QStringLiteral("Online &Help"), QStringLiteral("help"));

    // --- toolbar: 64 x 64 pictures with their captions under them
    toolBar = named(new QToolBar(window), "toolBar");
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(64, 64));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    window->addToolBar(Qt::TopToolBarArea, toolBar);
    // The button's caption and hint are the action's icon text and tooltip, which menus do
    // not show.
    const auto toolButton = [this](QAction *command, const char *name, const QString &caption,
                                   const QString &hint) {
        command->setIconText(caption);
        command->setToolTip(hint);
        toolBar->addAction(command);
        auto *button = qobject_cast<QToolButton *>(toolBar->widgetForAction(command));
        button->setObjectName(QLatin1String(name));
        button->setMinimumWidth(71);
        return button;
    };
    addFilesTool = toolButton(addFilesAction, "addFilesTool", QStringLiteral("Add Files"),
                              QStringLiteral("Add files to the list"));
    addFolderTool = toolButton(addFolderAction, "addFolderTool", QStringLiteral("Add Folder"),
                               QStringLiteral("Add folder to the list"));
    toolBar->addSeparator()->setObjectName(QStringLiteral("toolSeparator"));
    feedbackTool = toolButton(sendFeedbackAction, "feedbackTool", QStringLiteral("Feedback"),
                              QStringLiteral("Send feedback"));
    aboutTool = toolButton(aboutAction, "aboutTool", QStringLiteral("About"),
                           QStringLiteral("Show aboutbox"));
    helpTool = toolButton(onlineHelpAction, "helpTool", QStringLiteral("Help"),
                          QStringLiteral("Online help"));

    // --- work area: the list with its strip and preview on the left, the choices on the right
    auto *central = new QWidget(window);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    workArea = named(new QWidget(central), "workArea");
    auto *workAreaLayout = new QHBoxLayout(workArea);
    workAreaLayout->setContentsMargins(0, 0, 0, 0);
    workAreaLayout->setSpacing(0);

    auto *listColumn = named(new QWidget(workArea), "listColumn");
    auto *listColumnLayout = new QVBoxLayout(listColumn);
    listColumnLayout->setContentsMargins(0, 0, 0, 0);
    previewSplitter = named(new QSplitter(Qt::Vertical, listColumn), "previewSplitter");
    previewSplitter->setOpaqueResize(true);
    previewSplitter->setChildrenCollapsible(false);
    previewSplitter->setHandleWidth(6);
    listPanel = named(new QWidget(previewSplitter), "listPanel");
    auto *listPanelLayout = new QVBoxLayout(listPanel);
    listPanelLayout->setContentsMargins(0, 0, 0, 0);
    listPanelLayout->setSpacing(0);

    imageList = named(new ImageListView(listPanel), "imageList");
    imageList->setAccessibleName(QStringLiteral("Image list"));
    imageList->setShowGrid(true);
    imageList->setSelectionBehavior(QAbstractItemView::SelectRows);
    imageList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    imageList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    imageList->setWordWrap(false);
    // The file name at the end of a path is what tells the rows apart.
    imageList->setTextElideMode(Qt::ElideLeft);
    imageList->setContextMenuPolicy(Qt::CustomContextMenu);
    imageList->verticalHeader()->hide();
    imageList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    imageList->verticalHeader()->setDefaultSectionSize(imageList->fontMetrics().height() + 4);
    imageList->horizontalHeader()->setSectionsClickable(false);
    imageList->horizontalHeader()->setHighlightSections(false);
    imageList->setIconSize(QSize(16, 16));
    listPanelLayout->addWidget(imageList, 1);

    listButtonStrip = named(new QWidget(listPanel), "listButtonStrip");
    listButtonStrip->setFixedHeight(29);
    upButton =
        stripButton(listButtonStrip, "upButton", QStringLiteral("up"), QStringLiteral("Up"), 2);
    downButton = stripButton(listButtonStrip, "downButton", QStringLiteral("down"),
                             QStringLiteral("Down"), 32);
    topButton =
        stripButton(listButtonStrip, "topButton", QStringLiteral("top"), QStringLiteral("Top"), 62);
    bottomButton = stripButton(listButtonStrip, "bottomButton", QStringLiteral("bottom"),
                               QStringLiteral("Bottom"), 92);
    listPanelLayout->addWidget(listButtonStrip);

    previewImage = named(new PreviewPicture(previewSplitter), "previewImage");
    previewImage->setMinimumHeight(24);
    previewImage->setAccessibleName(QStringLiteral("Preview"));
    previewSplitter->addWidget(listPanel);
    previewSplitter->addWidget(previewImage);
    previewSplitter->setStretchFactor(0, 1);
    // The picture grows with the window as the list does.
    previewSplitter->setStretchFactor(1, 1);
    previewSplitterHandle = named(previewSplitter->handle(1), "previewSplitterHandle");
    previewImage->hide();
    listColumnLayout->addWidget(previewSplitter);
    workAreaLayout->addWidget(listColumn, 1);

    choicesPanel = named(new QWidget(workArea), "choicesPanel");
    choicesPanel->setFixedWidth(238);
    auto *column = new QVBoxLayout(choicesPanel);
    column->setContentsMargins(6, 6, 21, 6);
    column->setSpacing(3);
    formatBox = named(new QComboBox(choicesPanel), "formatBox");
    column->addWidget(
        columnLabel(choicesPanel, "formatLabel", QStringLiteral("&Output Format:"), formatBox));
    formatBox->addItems(outputChoices());
    formatBox->setMaxVisibleItems(12);
    qualityBox = named(new QSpinBox(choicesPanel), "qualityBox");
    qualityBox->setRange(1, 100);
    qualityBox->setValue(90);
    qualityBox->setToolTip(QStringLiteral("Quality of a JPG, WebP or AVIF result"));
    qualityBox->setAccessibleName(QStringLiteral("Quality"));
    auto *formatRow = new QHBoxLayout;
    formatRow->setSpacing(2);
    formatRow->addWidget(formatBox, 1);
    formatRow->addWidget(qualityBox);
    column->addLayout(formatRow);
    column->addSpacing(12);
    effectBox = named(new QComboBox(choicesPanel), "effectBox");
    column->addWidget(
        columnLabel(choicesPanel, "effectLabel", QStringLiteral("&Effect:"), effectBox));
    for (const EffectPreset &preset : effectPresets()) {
        effectBox->addItem(preset.name);
    }
    effectBox->setMaxVisibleItems(12);
    column->addWidget(effectBox);
    column->addSpacing(12);
    destinationEdit = named(new QLineEdit(choicesPanel), "destinationEdit");
    column->addWidget(columnLabel(choicesPanel, "destinationLabel",
                                  QStringLiteral("&Destination Directory:"), destinationEdit));
    auto *destinationRow = new QHBoxLayout;
    destinationRow->setSpacing(2);
    destinationButton = named(new QToolButton(choicesPanel), "destinationButton");
    destinationButton->setIcon(artworkIcon(QStringLiteral("folder")));
    destinationButton->setToolTip(QStringLiteral("Change Destination Folder"));
    destinationButton->setAccessibleName(destinationButton->toolTip());
    destinationButton->setFixedSize(24, 23);
    // The stored destination is shown whole, never cut at the field's usual 32767 characters.
    destinationEdit->setMaxLength(std::numeric_limits<int>::max());
    // A drop on the field goes on to the window, which adds the pictures; the field's text
    // never takes a dropped address.
    destinationEdit->setAcceptDrops(false);
    destinationRow->addWidget(destinationButton);
    destinationRow->addWidget(destinationEdit, 1);
    column->addLayout(destinationRow);
    includeSubfoldersBox =
        named(new QCheckBox(QStringLiteral("Include s&ub-folders"), choicesPanel),
              "includeSubfoldersBox");
    includeSubfoldersBox->setToolTip(
        QStringLiteral("Added folders bring the pictures of their sub-folders, and the results "
                       "keep their tree"));
    column->addWidget(includeSubfoldersBox);
    column->addSpacing(6);
    namePatternEdit =
        named(new QLineEdit(QStringLiteral("{name}"), choicesPanel), "namePatternEdit");
    column->addWidget(columnLabel(choicesPanel, "namePatternLabel", QStringLiteral("File &Names:"),
                                  namePatternEdit));
    namePatternEdit->setPlaceholderText(QStringLiteral("{name}"));
    namePatternEdit->setToolTip(
        QStringLiteral("{name}: the picture's name, {effect}: the effect, {n}: its number"));
    column->addWidget(namePatternEdit);
    column->addSpacing(6);
    convertButton =
        named(new QPushButton(QStringLiteral("&Convert"), choicesPanel), "convertButton");
    QFont convertFont = convertButton->font();
    // 14 point against the window's 8.
    convertFont.setPointSizeF(convertFont.pointSizeF() * 14.0 / 8.0);
    convertButton->setFont(convertFont);
    convertButton->setIcon(artworkIcon(QStringLiteral("convert")));
    convertButton->setIconSize(QSize(24, 24));
    convertButton->setMinimumHeight(37);
    column->addWidget(convertButton);
    // The keys press the button from anywhere in the window; while a batch runs, it stops it.
    convertAction = action(window, "convertAction", QStringLiteral("&Convert"));
    convertAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return),
                                 QKeySequence(Qt::CTRL | Qt::Key_Enter), QKeySequence(Qt::Key_F5)});
    window->addAction(convertAction);
    QObject::connect(convertAction, &QAction::triggered, convertButton, &QAbstractButton::click);
    column->addStretch(1);
    workAreaLayout->addWidget(choicesPanel);
    centralLayout->addWidget(workArea, 1);

    window->setCentralWidget(central);

    QWidget::setTabOrder(formatBox, qualityBox);
    QWidget::setTabOrder(qualityBox, effectBox);
    QWidget::setTabOrder(effectBox, destinationButton);
    QWidget::setTabOrder(destinationButton, destinationEdit);
    QWidget::setTabOrder(destinationEdit, includeSubfoldersBox);
    QWidget::setTabOrder(includeSubfoldersBox, namePatternEdit);
    QWidget::setTabOrder(namePatternEdit, convertButton);

    // --- status bar with its one panel
    QStatusBar *bar = window->statusBar();
    bar->setObjectName(QStringLiteral("StatusBarHost"));
    bar->setAccessibleName(QStringLiteral("Status bar"));
    statusPanel = named(new StatusPanel(bar), "statusPanel");
    bar->addWidget(statusPanel, 1);

    // --- main menu
    QMenuBar *menus = window->menuBar();
    menus->setObjectName(QStringLiteral("mainMenu"));
    QMenu *file = menus->addMenu(QStringLiteral("&File"));
    clearAction = action(window, "clearAction", QStringLiteral("&Clear"), QStringLiteral("clear"));
    exitAction = action(window, "exitAction", QStringLiteral("E&xit"), QStringLiteral("exit"));
    file->addAction(clearAction);
    file->addSeparator();
    file->addAction(addFilesAction);
    file->addAction(addFolderAction);
    file->addSeparator();
    file->addAction(exitAction);

    // The preview pane's views; the pane takes them from these marks.
    QMenu *view = menus->addMenu(QStringLiteral("&View"));
    actualSizeAction = action(window, "actualSizeAction", QStringLiteral("&100 % View"));
    actualSizeAction->setCheckable(true);
    actualSizeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    showOriginalAction = action(window, "showOriginalAction", QStringLiteral("Show &Original"));
    showOriginalAction->setCheckable(true);
    showOriginalAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    view->addAction(actualSizeAction);
    view->addAction(showOriginalAction);

    QMenu *settings = menus->addMenu(QStringLiteral("&Settings"));
    showPreviewAction = action(window, "showPreviewAction", QStringLiteral("Show &Preview"));
    showPreviewAction->setCheckable(true);
    resetToDefaultsAction =
        action(window, "resetToDefaultsAction", QStringLiteral("&Reset to Defaults..."));
    keepLocationAction =
        action(window, "keepLocationAction", QStringLiteral("&Keep Photo Location"));
    keepLocationAction->setCheckable(true);
    settings->addAction(showPreviewAction);
    settings->addAction(keepLocationAction);
    settings->addSeparator();
    conversionChoices = new ConversionChoices(*settings, window);
    settings->addSeparator();
    settings->addAction(resetToDefaultsAction);

    QMenu *help = menus->addMenu(QStringLiteral("&Help"));
    onlineHelpAction->setShortcut(QKeySequence(Qt::Key_F1));
    onlineHelpAction->setShortcutContext(Qt::WindowShortcut);
    updateNotificationsAction =
        action(window, "updateNotificationsAction", QStringLiteral("&Update Notifications"));
    updateNotificationsAction->setCheckable(true);
    updateNotificationsAction->setChecked(true);
    updateNotificationsAction->setEnabled(false);
    showConversionLogAction =
        action(window, "showConversionLogAction", QStringLiteral("Show Conversion &Log..."),
               QStringLiteral("failures"));
    showConversionLogAction->setEnabled(false);
    help->addAction(onlineHelpAction);
    help->addSeparator();
    help->addAction(updateNotificationsAction);
    help->addSeparator();
    help->addAction(showConversionLogAction);
    help->addSeparator();
    help->addAction(sendFeedbackAction);
    help->addAction(aboutAction);

    // --- the list's pop-up menu
    listMenu = named(new QMenu(imageList), "listMenu");
    openAction = action(listMenu, "openAction", QStringLiteral("&Open"));
    openFolderLocationAction =
        action(listMenu, "openFolderLocationAction", QStringLiteral("Open Folder &Location..."));
    propertiesAction = action(listMenu, "propertiesAction", QStringLiteral("P&roperties"));
    deleteSelectedAction =
        action(listMenu, "deleteSelectedAction", QStringLiteral("&Delete Selected"));
    deleteAllAction = action(listMenu, "deleteAllAction", QStringLiteral("Delete &All"));
    listMenu->addAction(openAction);
    listMenu->addAction(openFolderLocationAction);
    listMenu->addAction(propertiesAction);
    listMenu->addSeparator();
    listMenu->addAction(deleteSelectedAction);
    listMenu->addAction(deleteAllAction);

    nameOverflowButton(toolBar, "qt_toolbar_ext_button", QStringLiteral("More Tools"));
    nameOverflowButton(menus, "qt_menubar_ext_button", QStringLiteral("More Menus"));
}

} // namespace inkvale
