#pragma once

// A fixed-size top-level window laid out in twips at the window's DPI, and the controls it places,
// in a Japanese interface font chosen so that every caption fits its control. A thin wrapper over
// the Windows API, no framework.

#include "facelist.h"
#include "views.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// A rectangle in twips from the client area's top-left corner (15 twips to a pixel at 96 DPI).
struct Twips {
    int left, top, width, height;
};

class Window {
public:
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND handle() const { return hwnd_; }
    bool exists() const { return hwnd_ != nullptr; }
    // Pixels for twips at the window's DPI.
    int scale(int twips) const { return MulDiv(twips, int(dpi_), 1440); }

protected:
    Window() = default;
    // Creates the window: a caption with the system menu and a close button only, fixed border,
    // placed by the system; the client area `size` in twips at the window's DPI. Controls are
    // added after it, placed at that DPI, then given their fonts by fitFonts(); both are done
    // again when the DPI changes.
    void create(const wchar_t* title, SIZE size);
    // Gives every control its font: one Japanese interface face for the window, at the system's
    // message font size, or smaller where a caption would not fit its control otherwise.
    void fitFonts();
    void destroy();

    HWND addButton(int id, const wchar_t* caption, Twips place, DWORD style = BS_PUSHBUTTON);
    HWND addLabel(const wchar_t* caption, Twips place);
    // A list box that tells its parent of selections and double-clicks.
    HWND addList(int id, const wchar_t* name, Twips place);

    // The button Enter presses when no button has the focus; 0 for none.
    virtual int defaultButton() const { return 0; }
    // Handles a message; false passes it on to the default handling.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

private:
    enum class Kind { Label, Button, CheckBox, List };
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND addControl(
        Kind kind, DWORD extended, const wchar_t* className, const wchar_t* caption, DWORD style, int id, Twips place);
    // Places every control and sizes the window for the window's DPI, in fonts fitted at that DPI.
    void layOut();
    // Sizes the window for its client area at the window's DPI.
    void fitFrame();

    struct Placed {
        HWND control;
        Twips place;
        Kind kind;
    };
    HWND hwnd_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    SIZE size_ {};
    SIZE frame_ {}; // the whole window's size for the client area at the DPI
    std::wstring title_;
    HFONT font_ = nullptr; // the window's face at full size: lists and the window's own boxes
    HWND focus_ = nullptr; // the control that had the focus when the window was last left
    std::vector<Placed> controls_;
};

// A list box over the faces a window's model holds: it shows at most the first 512 characters of
// each face, the faces themselves stay whole in the model for copying and saving.
class FaceListBox {
public:
    void attach(HWND list, int horizontalExtent);
    std::u16string_view face(int index) const { return faces_->at(size_t(index)); }
    // Shows the model's faces, which changed as said; they must outlive the list box or the next
    // Reset.
    void changed(const faces::FaceText& faces, app::Change change, int row);
    void clear();
    int selection() const;
    void select(int index); // -1: none
    // Sets the sideways extent again for the window's DPI.
    void rescale(int horizontalExtent);

private:
    // Gives the list box the rows it does not have yet.
    void showRest();

    static inline const faces::FaceText kNoFaces;
    HWND list_ = nullptr;
    const faces::FaceText* faces_ = &kNoFaces;
    size_t shown_ = 0; // faces the list box has rows for: a long list gets the rest after its first paint
};

// UTF-16 text between the core and the Windows API.
inline const wchar_t* wide(std::u16string_view text)
{
    return reinterpret_cast<const wchar_t*>(text.data());
}
inline std::u16string_view u16(std::wstring_view text)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size());
}
