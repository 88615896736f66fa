#pragma once

#include "fixedwindow.h"
#include "listeditormodel.h"

class Dialogs;
class ListBox;
class QPushButton;

// The list editor, shown for its model: moves faces between the current list and the pool,
// creates, erases, reorders and imports faces. Modeless and without owner; it deletes itself
// when it closes.
class ListEditor : public FixedWindow, private app::ListEditorView {
    Q_OBJECT

public:
    ListEditor(app::MainWindowModel& mainWindow, Dialogs& dialogs);

    // Reads both face lists and shows the editor; when one cannot be read the main window tells
    // the user and the editor closes.
    bool load() { return model_.load(); }

private:
    void message(const std::u16string& text) override;
    bool askYesNo(const std::u16string& text) override;
    void setClipboardText(std::u16string_view text) override;
    void listChanged(List list, app::Change change, int row) override;
    int selection(List list) const override;
    void select(List list, int row) override;
    void enableMoveButtons(bool up, bool down) override;
    std::optional<std::u16string> askText(const std::u16string& prompt) override;
    faces::Path chooseFile(std::u16string_view filter, const faces::Path& initialFolder) override;
    void showWindow() override { show(); }
    void closeWindow() override { close(); }

    ListBox* list(List list) const { return list == List::Current ? currentList_ : poolList_; }

    Dialogs& dialogs_;
    app::ListEditorModel model_;
    ListBox* currentList_;
    ListBox* poolList_;
    QPushButton* upButton_;
    QPushButton* downButton_;
};
