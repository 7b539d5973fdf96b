#pragma once

class QAction;
class QComboBox;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QSplitterHandle;
class QToolBar;
class QToolButton;
class QWidget;

namespace inkvale {

class ImageListView;
class PreviewPicture;
class StatusPanel;

// The controls of the main window, built in code; the window wires them to its handlers.
// Every control carries its name as objectName.
struct TAppFormUi
{
    void setupUi(QMainWindow *form);

    QToolBar *ToolBar1 = nullptr;
    QAction *ToolButton1 = nullptr; // "Add Files"
    QAction *ToolButton2 = nullptr; // "Add Folder"
    QAction *ToolButton4 = nullptr; // "Feedback"
    QAction *ToolButton5 = nullptr; // "About"
    QAction *ToolButton6 = nullptr; // "Help"

    QWidget *Panel2 = nullptr;
    QWidget *Panel1 = nullptr;
    ImageListView *ListView1 = nullptr;
    QWidget *Panel5 = nullptr;
    QToolButton *ButtonUp = nullptr;
    QToolButton *ButtonDown = nullptr;
    QToolButton *ButtonTop = nullptr;
    QToolButton *ButtonBottom = nullptr;
    QSplitter *PreviewSplitter = nullptr;
    QSplitterHandle *Splitter1 = nullptr;
    PreviewPicture *Image1 = nullptr;

    QWidget *Panel4 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QComboBox *ComboBox2 = nullptr;
    QToolButton *Button3 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *Button1 = nullptr;

    QPlainTextEdit *MemoCMD = nullptr;
    StatusPanel *StatusBar1 = nullptr;

    QAction *Clear1 = nullptr;
    QAction *AddFile1 = nullptr;
    QAction *AddFolder1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *ShowPreview1 = nullptr;
    QAction *ResettoDefaults1 = nullptr;
    QAction *Help2 = nullptr;
    QAction *UpdateNotifications1 = nullptr;
    QAction *ShowConversionLog1 = nullptr;
    QAction *SendFeedback1 = nullptr;
    QAction *About1 = nullptr;

    QMenu *PopupMenu1 = nullptr;
    QAction *Open1 = nullptr;
    QAction *OpenFolderLocation1 = nullptr;
    QAction *Properties1 = nullptr;
    QAction *Delete1 = nullptr;
    QAction *DeleteAll1 = nullptr;
};

} // namespace inkvale
