#pragma once

#include "fixedwindow.h"

class Dialogs;
class Form1;
class QLabel;
class ListBox;
class QPushButton;
class QTimer;

// The list editor: moves faces between the current list and the pool, creates, erases,
// reorders and imports faces. Edits stay in memory until OK writes both face list files.
// Modeless and without owner; it deletes itself when it closes.
class Form2 : public FixedWindow {
    Q_OBJECT

public:
    Form2(Form1& form1, const QString& applicationFolder, Dialogs& dialogs);

    // Runs Form_Load. When a face list cannot be read the user is told, fatalError() is emitted
    // and false is returned.
    bool Load();

signals:
    void fatalError();

private:
    bool Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Command10_Click();
    void Timer1_Timer();

    // Moves the selected face of one list to the end of the other.
    void moveSelected(ListBox& from, ListBox& to, const QString& noSelectionMessage);
    // True when one more face fits; otherwise tells the user.
    bool hasRoom(const ListBox& list);

    Form1& form1_;
    const QString folder_;
    Dialogs& dialogs_;
    ListBox* List1;
    ListBox* List2;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
    QPushButton* Command8;
    QPushButton* Command9;
    QPushButton* Command10;
    QTimer* Timer1;
};
