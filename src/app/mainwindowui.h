#pragma once

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QSpinBox;
class QSplitter;
class QSplitterHandle;
class QToolBar;
class QToolButton;
class QWidget;

namespace inkvale {

class ConversionChoices;
class ImageListView;
class PreviewPicture;
class StatusPanel;

// The controls of the main window, built in code; the window wires them to its handlers.
// Every control carries its name as objectName.
struct MainWindowUi
{
    void setupUi(QMainWindow *window);

    // The toolbar's buttons show the menu's own actions: one QAction per command.
    QToolBar *toolBar = nullptr;
    QToolButton *addFilesTool = nullptr;  // "Add Files", addFilesAction
    QToolButton *addFolderTool = nullptr; // "Add Folder", addFolderAction
    QToolButton *feedbackTool = nullptr;  // "Feedback", sendFeedbackAction
    QToolButton *aboutTool = nullptr;     // "About", aboutAction
    QToolButton *helpTool = nullptr;      // "Help", onlineHelpAction

    QWidget *workArea = nullptr;
    QWidget *listPanel = nullptr;
    ImageListView *imageList = nullptr;
    QWidget *listButtonStrip = nullptr;
    QToolButton *upButton = nullptr;
    QToolButton *downButton = nullptr;
    QToolButton *topButton = nullptr;
    QToolButton *bottomButton = nullptr;
    QSplitter *previewSplitter = nullptr;
    QSplitterHandle *previewSplitterHandle = nullptr;
    PreviewPicture *previewImage = nullptr;

    QWidget *choicesPanel = nullptr;
    QComboBox *formatBox = nullptr;
    QSpinBox *qualityBox = nullptr;
    QComboBox *effectBox = nullptr;
    QToolButton *destinationButton = nullptr;
    QLineEdit *destinationEdit = nullptr;
    QCheckBox *includeSubfoldersBox = nullptr;
    QLineEdit *namePatternEdit = nullptr;
    QPushButton *convertButton = nullptr;
    // Not in a menu: the window's keys for "Convert" (Ctrl+Return, F5).
    QAction *convertAction = nullptr;

    StatusPanel *statusPanel = nullptr;

    QAction *clearAction = nullptr;
    QAction *addFilesAction = nullptr;
    QAction *addFolderAction = nullptr;
    QAction *exitAction = nullptr;
    QAction *showPreviewAction = nullptr;
    QAction *actualSizeAction = nullptr;   // "100 % View" of the preview
    QAction *showOriginalAction = nullptr; // the preview shows the picture before the effect
    QAction *keepLocationAction = nullptr;
    QAction *resetToDefaultsAction = nullptr;
    // "Scale Effects to Picture Size" and "Largest Side".
    ConversionChoices *conversionChoices = nullptr;
    QAction *onlineHelpAction = nullptr;
    QAction *updateNotificationsAction = nullptr;
    QAction *showConversionLogAction = nullptr;
    QAction *sendFeedbackAction = nullptr;
    QAction *aboutAction = nullptr;

    QMenu *listMenu = nullptr;
    QAction *openAction = nullptr;
    QAction *openFolderLocationAction = nullptr;
    QAction *propertiesAction = nullptr;
    QAction *deleteSelectedAction = nullptr;
    QAction *deleteAllAction = nullptr;
};

} // namespace inkvale
