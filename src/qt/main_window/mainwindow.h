#pragma once

#include "facefile.h"
#include "fixedwindow.h"

#include <QPointer>

class Dialogs;
class ListEditor;
class QCheckBox;
class ListBox;
class QPushButton;

// One face list file as read: its faces, or why it could not be read.
struct FaceListRead {
    faces::Path path;
    std::optional<faces::FaceText> faces;
    std::u16string reason;
};
// Reads one face list file from where the folders keep it, once a save that a crash cut short is
// completed. *digest identifies what was read.
FaceListRead readFaceList(const faces::ListFolders& folders, const char* fileName, faces::Digest* digest = nullptr);
// Appends the faces read to the list; when the file could not be read, tells the user which file
// and why in a box owned by `owner` (kept above it), and returns false.
bool addFaceList(ListBox& list, FaceListRead&& read, Dialogs& dialogs, QWidget* owner);

// The main window: the current list of faces, Copy, Edit, About and the always-on-top option.
// One object for the whole run; load() and unload() may be repeated.
class MainWindow : public FixedWindow {
    Q_OBJECT

public:
    MainWindow(const faces::ListFolders& folders, Dialogs& dialogs);
    ~MainWindow() override;

    // Reads the current list, restores the option and shows the window. When the face list
    // cannot be read the user is told, fatalError() is emitted and false is returned.
    bool load();
    // The same with the current list already read (at start, while the toolkit loaded).
    bool load(FaceListRead&& current);
    // Stores the option, closes the window and releases its native window, so that the next
    // load() reads the list again and the window system places the window anew.
    void unload();
    bool isLoaded() const { return loaded_; }

    // The list editor while it is open.
    ListEditor* editor() const;

signals:
    // Emitted once an event handler has returned and neither window is loaded any more.
    void allWindowsUnloaded();
    // A face list file could not be read in either window; the user has been told. The program
    // must end with a failure status.
    void fatalError();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool readListAndOption(FaceListRead&& current);
    void storeOption();
    void copySelectedFace();
    // Puts the face into the window that was active before this program's (and on the clipboard).
    void pasteSelectedFace();
    // "コピー" and "前のウィンドウに貼り付け" for the face at the point.
    void showFaceMenu(const QPoint& at);
    void openEditor();
    void showAbout();
    void applyAlwaysOnTop();
    void checkProgramEnd();

    const faces::ListFolders folders_;
    Dialogs& dialogs_;
    ListBox* faceList_;
    QPushButton* copyButton_;
    QPushButton* editButton_;
    QPushButton* aboutButton_;
    QCheckBox* alwaysOnTopBox_;
    QPointer<ListEditor> editor_;
    bool loaded_ = false;
};
