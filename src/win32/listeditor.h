#pragma once

#include "listeditormodel.h"
#include "window.h"

// The list editor, shown for its model: moves faces between the current list and the pool,
// creates, erases, reorders and imports faces. Modeless and without owner.
class ListEditor final : public Window, private app::ListEditorView {
public:
    explicit ListEditor(app::MainWindowModel& mainWindow);

    // Reads both face lists and shows the editor; when one cannot be read the main window tells
    // the user and the editor closes.
    bool load() { return model_.load(); }

private:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void message(const std::u16string& text) override;
    bool askYesNo(const std::u16string& text) override;
    void setClipboardText(std::u16string_view text) override;
    void listChanged(List list, app::Change change, int row) override;
    int selection(List list) const override { return faceList(list).selection(); }
    void select(List list, int row) override { faceList(list).select(row); }
    void enableMoveButtons(bool up, bool down) override;
    std::optional<std::u16string> askText(const std::u16string& prompt) override;
    faces::Path chooseFile(std::u16string_view filter, const faces::Path& initialFolder) override;
    void showWindow() override;
    void closeWindow() override { destroy(); }

    FaceListBox& faceList(List list) { return list == List::Current ? currentList_ : poolList_; }
    const FaceListBox& faceList(List list) const { return list == List::Current ? currentList_ : poolList_; }

    app::ListEditorModel model_;
    FaceListBox currentList_;
    FaceListBox poolList_;
};
