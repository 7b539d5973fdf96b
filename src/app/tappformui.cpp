#include "app/tappformui.h"

#include "app/artwork.h"
#include "app/statuspanel.h"
#include "app/widgetnames.h"
#include "imagelist/imagelistview.h"
#include "imagelist/previewpicture.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
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
    button->setAutoRaise(true);
    button->setGeometry(left, 2, 24, 25);
    return button;
}

QLabel *columnLabel(QWidget *column, const QString &text)
{
    auto *label = new QLabel(text, column);
    return label;
}

} // namespace

void TAppFormUi::setupUi(QMainWindow *form)
{
    // --- toolbar: 64 x 64 pictures with their captions under them
    ToolBar1 = named(new QToolBar(form), "ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(64, 64));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    form->addToolBar(Qt::TopToolBarArea, ToolBar1);
    const auto toolButton = [this](const char *name, const QString &caption, const QString &hint,
                                   const QString &icon) {
        QAction *result = action(ToolBar1, name, caption, icon);
        result->setToolTip(hint);
        ToolBar1->addAction(result);
        QWidget *button = ToolBar1->widgetForAction(result);
        button->setObjectName(QLatin1String(name));
        button->setMinimumWidth(71);
        return result;
    };
    ToolButton1 = toolButton("ToolButton1", QStringLiteral("Add Files"),
                             QStringLiteral("Add files to the list"), QStringLiteral("add-files"));
    ToolButton2 =
        toolButton("ToolButton2", QStringLiteral("Add Folder"),
                   QStringLiteral("Add folder to the list"), QStringLiteral("add-folder"));
    ToolBar1->addSeparator()->setObjectName(QStringLiteral("ToolButton33"));
    ToolButton4 = toolButton("ToolButton4", QStringLiteral("Feedback"),
                             QStringLiteral("Send feedback"), QStringLiteral("feedback"));
    ToolButton5 = toolButton("ToolButton5", QStringLiteral("About"),
                             QStringLiteral("Show aboutbox"), QStringLiteral("about"));
    ToolButton6 = toolButton("ToolButton6", QStringLiteral("Help"), QStringLiteral("Online help"),
                             QStringLiteral("help"));

    // --- work area: the list with its strip and preview on the left, the choices on the right
    auto *central = new QWidget(form);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    Panel2 = named(new QWidget(central), "Panel2");
    auto *panel2Layout = new QHBoxLayout(Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    panel2Layout->setSpacing(0);

    auto *panel3 = named(new QWidget(Panel2), "Panel3");
    auto *panel3Layout = new QVBoxLayout(panel3);
    panel3Layout->setContentsMargins(0, 0, 0, 0);
    PreviewSplitter = named(new QSplitter(Qt::Vertical, panel3), "PreviewSplitter");
    PreviewSplitter->setOpaqueResize(true);
    PreviewSplitter->setChildrenCollapsible(false);
    PreviewSplitter->setHandleWidth(6);
    Panel1 = named(new QWidget(PreviewSplitter), "Panel1");
    auto *panel1Layout = new QVBoxLayout(Panel1);
    panel1Layout->setContentsMargins(0, 0, 0, 0);
    panel1Layout->setSpacing(0);

    ListView1 = named(new ImageListView(Panel1), "ListView1");
    ListView1->setShowGrid(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setWordWrap(false);
    ListView1->setTextElideMode(Qt::ElideMiddle);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
    ListView1->horizontalHeader()->setSectionsClickable(false);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->setIconSize(QSize(16, 16));
    panel1Layout->addWidget(ListView1, 1);

    Panel5 = named(new QWidget(Panel1), "Panel5");
    Panel5->setFixedHeight(29);
    ButtonUp = stripButton(Panel5, "ButtonUp", QStringLiteral("up"), QStringLiteral("Up"), 2);
    ButtonDown =
        stripButton(Panel5, "ButtonDown", QStringLiteral("down"), QStringLiteral("Down"), 32);
    ButtonTop = stripButton(Panel5, "ButtonTop", QStringLiteral("top"), QStringLiteral("Top"), 62);
    ButtonBottom =
        stripButton(Panel5, "ButtonBottom", QStringLiteral("bottom"), QStringLiteral("Bottom"), 92);
    panel1Layout->addWidget(Panel5);

    Image1 = named(new PreviewPicture(PreviewSplitter), "Image1");
    Image1->setMinimumHeight(24);
    PreviewSplitter->addWidget(Panel1);
    PreviewSplitter->addWidget(Image1);
    PreviewSplitter->setStretchFactor(0, 1);
    PreviewSplitter->setStretchFactor(1, 0);
    Splitter1 = named(PreviewSplitter->handle(1), "Splitter1");
    Image1->hide();
    panel3Layout->addWidget(PreviewSplitter);
    panel2Layout->addWidget(panel3, 1);

    Panel4 = named(new QWidget(Panel2), "Panel4");
    Panel4->setFixedWidth(238);
    auto *column = new QVBoxLayout(Panel4);
    column->setContentsMargins(6, 6, 21, 6);
    column->setSpacing(3);
    column->addWidget(named(columnLabel(Panel4, QStringLiteral("Output Format:")), "Label1"));
    ComboBox1 = named(new QComboBox(Panel4), "ComboBox1");
    ComboBox1->addItems({QStringLiteral("PNG"), QStringLiteral("JPG"), QStringLiteral("BMP")});
    ComboBox1->setMaxVisibleItems(12);
    column->addWidget(ComboBox1);
    column->addSpacing(12);
    column->addWidget(named(columnLabel(Panel4, QStringLiteral("Effect:")), "Label4"));
    ComboBox2 = named(new QComboBox(Panel4), "ComboBox2");
    ComboBox2->addItems({QStringLiteral("Cartoon"), QStringLiteral("Comicbook"),
                         QStringLiteral("Cutout"), QStringLiteral("Lineart"),
                         QStringLiteral("Pen Drawing")});
    ComboBox2->setMaxVisibleItems(12);
    column->addWidget(ComboBox2);
    column->addSpacing(12);
    column->addWidget(
        named(columnLabel(Panel4, QStringLiteral("Destination Directory:")), "Label2"));
    auto *destinationRow = new QHBoxLayout;
    destinationRow->setSpacing(2);
    Button3 = named(new QToolButton(Panel4), "Button3");
    Button3->setIcon(artworkIcon(QStringLiteral("folder")));
    Button3->setToolTip(QStringLiteral("Change Destination Folder"));
    Button3->setFixedSize(24, 23);
    Edit1 = named(new QLineEdit(Panel4), "Edit1");
    destinationRow->addWidget(Button3);
    destinationRow->addWidget(Edit1, 1);
    column->addLayout(destinationRow);
    column->addSpacing(6);
    Button1 = named(new QPushButton(QStringLiteral("Convert"), Panel4), "Button1");
    QFont convertFont = Button1->font();
    // 14 point against the window's 8.
    convertFont.setPointSizeF(convertFont.pointSizeF() * 14.0 / 8.0);
    Button1->setFont(convertFont);
    Button1->setIcon(artworkIcon(QStringLiteral("convert")));
    Button1->setIconSize(QSize(24, 24));
    Button1->setMinimumHeight(37);
    column->addWidget(Button1);
    column->addStretch(1);
    panel2Layout->addWidget(Panel4);
    centralLayout->addWidget(Panel2, 1);

    MemoCMD = named(new QPlainTextEdit(central), "MemoCMD");
    MemoCMD->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoCMD->setReadOnly(true);
    MemoCMD->setFixedHeight(80);
    MemoCMD->hide();
    centralLayout->addWidget(MemoCMD);
    form->setCentralWidget(central);

    QWidget::setTabOrder(ComboBox1, ComboBox2);
    QWidget::setTabOrder(ComboBox2, Button3);
    QWidget::setTabOrder(Button3, Edit1);
    QWidget::setTabOrder(Edit1, Button1);

    // --- status bar with its one panel
    QStatusBar *bar = form->statusBar();
    bar->setObjectName(QStringLiteral("StatusBarHost"));
    StatusBar1 = named(new StatusPanel(bar), "StatusBar1");
    bar->addWidget(StatusBar1, 1);

    // --- main menu
    QMenuBar *menus = form->menuBar();
    menus->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *file = menus->addMenu(QStringLiteral("File"));
    Clear1 = action(form, "Clear1", QStringLiteral("Clear"), QStringLiteral("clear"));
    AddFile1 =
        action(form, "AddFile1", QStringLiteral("Add Files..."), QStringLiteral("add-files"));
    AddFolder1 =
        action(form, "AddFolder1", QStringLiteral("Add Folder..."), QStringLiteral("add-folder"));
    Exit1 = action(form, "Exit1", QStringLiteral("Exit"), QStringLiteral("exit"));
    file->addAction(Clear1);
    file->addSeparator();
    file->addAction(AddFile1);
    file->addAction(AddFolder1);
    file->addSeparator();
    file->addAction(Exit1);

    QMenu *settings = menus->addMenu(QStringLiteral("Settings"));
    ShowPreview1 = action(form, "ShowPreview1", QStringLiteral("Show Preview"));
    ShowPreview1->setCheckable(true);
    ResettoDefaults1 = action(form, "ResettoDefaults1", QStringLiteral("Reset to Defaults..."));
    settings->addAction(ShowPreview1);
    settings->addSeparator();
    settings->addAction(ResettoDefaults1);

    QMenu *help = menus->addMenu(QStringLiteral("Help"));
    Help2 = action(form, "Help2", QStringLiteral("Online Help"), QStringLiteral("help"));
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    Help2->setShortcutContext(Qt::WindowShortcut);
    UpdateNotifications1 =
        action(form, "UpdateNotifications1", QStringLiteral("Update Notifications"));
    UpdateNotifications1->setCheckable(true);
    UpdateNotifications1->setChecked(true);
    UpdateNotifications1->setEnabled(false);
    ShowConversionLog1 =
        action(form, "ShowConversionLog1", QStringLiteral("Show Conversion Log..."),
               QStringLiteral("failures"));
    ShowConversionLog1->setEnabled(false);
    SendFeedback1 = action(form, "SendFeedback1", QStringLiteral("Send Feedback..."),
                           QStringLiteral("feedback"));
    About1 = action(form, "About1", QStringLiteral("About..."), QStringLiteral("about"));
    help->addAction(Help2);
    help->addSeparator();
    help->addAction(UpdateNotifications1);
    help->addSeparator();
    help->addAction(ShowConversionLog1);
    help->addSeparator();
    help->addAction(SendFeedback1);
    help->addAction(About1);

    // --- the list's pop-up menu
    PopupMenu1 = named(new QMenu(ListView1), "PopupMenu1");
    Open1 = action(PopupMenu1, "Open1", QStringLiteral("Open"));
    OpenFolderLocation1 =
        action(PopupMenu1, "OpenFolderLocation1", QStringLiteral("Open Folder Location..."));
    Properties1 = action(PopupMenu1, "Properties1", QStringLiteral("Properties"));
    Delete1 = action(PopupMenu1, "Delete1", QStringLiteral("Delete Selected"));
    DeleteAll1 = action(PopupMenu1, "DeleteAll1", QStringLiteral("Delete All"));
    PopupMenu1->addAction(Open1);
    PopupMenu1->addAction(OpenFolderLocation1);
    PopupMenu1->addAction(Properties1);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(Delete1);
    PopupMenu1->addAction(DeleteAll1);
}

} // namespace inkvale
