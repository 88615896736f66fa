#pragma once

#include "facefile.h"
#include "fixedwindow.h"

class Dialogs;
class MainWindow;
class QLabel;
class ListBox;
class QPushButton;
class QTimer;

// The list editor: moves faces between the current list and the pool, creates, erases,
// reorders and imports faces. Edits stay in memory until OK writes both face list files.
// Modeless and without owner; it deletes itself when it closes.
class ListEditor : public FixedWindow {
    Q_OBJECT

public:
    ListEditor(MainWindow& mainWindow, const faces::ListFolders& folders, Dialogs& dialogs);

    // Reads both face lists. When one cannot be read the user is told, fatalError() is emitted
    // and false is returned.
    bool load();

signals:
    void fatalError();

private:
    void moveToPool();
    void moveToCurrent();
    void createFace();
    void moveUp();
    void moveDown();
    void eraseFromPool();
    void commit();
    void importFaces();
    void showVersion();
    // Up and Down are offered except where they cannot move the selected face.
    void updateMoveButtons();

    // Moves the selected face of one list to the end of the other.
    void moveSelected(ListBox& from, ListBox& to, const QString& noSelectionMessage);
    // Swaps the selected face of the current list with its neighbour `step` rows away.
    void swapSelected(int step);
    // True when one more face fits; otherwise tells the user.
    bool hasRoom(const ListBox& list);
    // Writes both lists under the save lock. False when the user chose not to overwrite the
    // changes someone else made, or the save failed (the user has been told).
    bool save();

    MainWindow& mainWindow_;
    const faces::ListFolders folders_;
    faces::Path saveFolder_; // chosen when the lists are read
    Dialogs& dialogs_;
    ListBox* currentList_;
    ListBox* poolList_;
    faces::Digest poolDigest_; // the files OK replaces, as they were when the lists were read
    faces::Digest currentDigest_;
    QPushButton* upButton_;
    QPushButton* downButton_;
};
