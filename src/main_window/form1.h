#pragma once

#include "fixedwindow.h"

#include <QPointer>

class Dialogs;
class Form2;
class QCheckBox;
class ListBox;
class QPushButton;

// Appends the faces of one face list file in the folder to the list; when the file cannot be
// read, tells the user which file and why, and returns false.
bool loadFaceList(ListBox& list, const QString& folder, const char* fileName, Dialogs& dialogs);

// The main window: the current list of faces, Copy, Edit, About and the always-on-top option.
// One object for the whole run; Load() and Unload() may be repeated.
class Form1 : public FixedWindow {
    Q_OBJECT

public:
    Form1(const QString& applicationFolder, Dialogs& dialogs);
    ~Form1() override;

    // Runs Form_Load and shows the window. When the face list cannot be read the user is told,
    // fatalError() is emitted and false is returned.
    bool Load();
    // Runs Form_Unload, closes the window and releases its native window, so that the next
    // Load() reads the list again and the window system places the window anew.
    void Unload();
    bool isLoaded() const { return loaded_; }

    // The list editor while it is open.
    Form2* editor() const;

signals:
    // Emitted once an event handler has returned and neither window is loaded any more.
    void allWindowsUnloaded();
    // A face list file could not be read in either window; the user has been told. The program
    // must end with a failure status.
    void fatalError();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool Form_Load();
    void Form_Unload();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Check1_Click();
    void checkProgramEnd();

    const QString folder_;
    Dialogs& dialogs_;
    ListBox* List1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QCheckBox* Check1;
    QPointer<Form2> editor_;
    bool loaded_ = false;
};
