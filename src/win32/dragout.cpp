#include "dragout.h"

#include "textcodec.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <windowsx.h>

namespace {

// The drag goes on while the left button is held and ends with a drop where it is let go;
// Escape cancels it.
class DropSource final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        *object = id == IID_IUnknown || id == IID_IDropSource ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; } // lives on the stack for the drag
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        return keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

template <typename Function> Function load(const wchar_t* library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(library), name)));
}

// The dragged face, as Unicode text only.
class FaceData final : public IDataObject {
public:
    explicit FaceData(std::u16string_view face)
        : face_(face)
    {
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        *object = id == IID_IUnknown || id == IID_IDataObject ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; } // lives on the stack for the drag
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        const HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, (face_.size() + 1) * sizeof(char16_t));
        if (!text)
            return E_OUTOFMEMORY;
        auto* units = static_cast<char16_t*>(GlobalLock(text));
        std::memcpy(units, face_.data(), face_.size() * sizeof(char16_t));
        units[face_.size()] = u'\0';
        GlobalUnlock(text);
        *medium = {};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = text;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return format->cfFormat == CF_UNICODETEXT && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        static const auto enumerate
            = load<HRESULT(WINAPI*)(UINT, const FORMATETC*, IEnumFORMATETC**)>(L"shell32.dll", "SHCreateStdEnumFmtEtc");
        FORMATETC text { CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
        return direction == DATADIR_GET && enumerate ? enumerate(1, &text, formats) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::u16string_view face_;
};

// Drags the face out as Unicode text, copy only. OLE is loaded at the first drag.
void dragOut(std::u16string_view face)
{
    static const auto initialize = load<HRESULT(WINAPI*)(void*)>(L"ole32.dll", "OleInitialize");
    static const auto doDragDrop
        = load<HRESULT(WINAPI*)(IDataObject*, IDropSource*, DWORD, DWORD*)>(L"ole32.dll", "DoDragDrop");
    static const bool ready = initialize && doDragDrop && SUCCEEDED(initialize(nullptr));
    if (!ready)
        return;
    FaceData data(face);
    DropSource source;
    DWORD effect = 0;
    doDragDrop(&data, &source, DROPEFFECT_COPY, &effect);
}

// Where the press was; a drag starts once the mouse has moved beyond the system's threshold.
POINT pressedAt {};
// The system's list box procedure. Replaced in place rather than through comctl32's subclass
// chain, whose lookup on every message makes filling 32,767 rows take seconds under wine.
WNDPROC listBoxProcedure = nullptr;

LRESULT CALLBACK listProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LONG_PTR faces = GetWindowLongPtrW(list, GWLP_USERDATA);
    if (message == WM_LBUTTONDOWN) {
        pressedAt = { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    } else if (message == WM_MOUSEMOVE && (wParam & MK_LBUTTON)) {
        const int dx = std::abs(GET_X_LPARAM(lParam) - pressedAt.x), dy = std::abs(GET_Y_LPARAM(lParam) - pressedAt.y);
        const auto& faceList = *reinterpret_cast<const FaceListBox*>(faces);
        if ((dx > GetSystemMetrics(SM_CXDRAG) || dy > GetSystemMetrics(SM_CYDRAG)) && faceList.selection() >= 0) {
            // The list box ends its own tracking of the press; the face leaves whole.
            CallWindowProcW(listBoxProcedure, list, WM_LBUTTONUP, 0, MAKELPARAM(pressedAt.x, pressedAt.y));
            ReleaseCapture();
            dragOut(faces::displayText(faceList.face(faceList.selection())));
            return 0;
        }
    }
    return CallWindowProcW(listBoxProcedure, list, message, wParam, lParam);
}

} // namespace

void enableDragOut(const FaceListBox& list, HWND listBox)
{
    SetWindowLongPtrW(listBox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&list));
    listBoxProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProcedure)));
}
