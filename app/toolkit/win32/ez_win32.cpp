// The toolkit over Win32 and the common controls: set-up, units, fonts and
// colours, forms and their window procedure, the message loops, posted
// events and the services (dialogs, program folder, icon). The controls are
// in ez_controls_win32.cpp, the list view in its own file.
//
// Without a display (Wine with no X server, a service session) no window can
// be made: the program's forms then still run their events (designed,
// loaded, shown) and are closed at once as if the user had closed them, so
// the program starts, opens its database and ends. Outside EZ_GUIRUN and a
// robot session (the plain unit tests) a form, message box or file dialog is
// only recorded (EZ_TAKEUNSHOWN).
#include "app/toolkit/win32/ez_win32.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shobjidl.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <iostream>

#include "app/base/fs.h"
#include "app/base/util_win32.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_native.h"

namespace ez {

namespace {

// Posted to a form window: deliver the posted event of that sequence number.
constexpr UINT kPostedMsg = WM_APP + 1;
// Posted to a form window: open the pop-up menu wParam.
constexpr UINT kPopupMsg = WM_APP + 2;

std::map<uint64_t, PostedEvent>& PostedQueue() {
    static std::map<uint64_t, PostedEvent> q;
    return q;
}
uint64_t g_nextPost = 1;
int g_raiseDepth = 0;
int g_loopKey = 0;  // > 0 while the loop dispatches a key press it has raised Key for

bool HasStyle(const std::string& style, char c) {
    for (char s : style)
        if (std::toupper(static_cast<unsigned char>(s)) == c) return true;
    return false;
}

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

UINT ScreenDpi() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    if (auto fn = reinterpret_cast<GetDpiForSystemFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem"))))
        if (UINT d = fn()) return d;
    HDC dc = GetDC(nullptr);
    const int d = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return d > 0 ? static_cast<UINT>(d) : 96;
}

// The face a font slot asks for, as this system names it.
std::wstring FaceOf(const FontDef& d) {
    if (d.symbol) return L"Segoe UI Symbol";
    std::string lower;
    for (char c : d.face) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.empty() || lower == "sans-serif" || lower == "ms sans serif" || lower == "arial" ||
        lower == "tahoma")
        return L"Segoe UI";
    return Wide(d.face);
}

HFONT MakeFont(const FontDef& d, bool underline) {
    LOGFONTW lf{};
    lf.lfHeight =
        -MulDiv(static_cast<int>(std::lround(d.points * 10)), static_cast<int>(S().dpi), 720);
    lf.lfWeight = d.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = d.italic ? TRUE : FALSE;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring face = FaceOf(d);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

void MeasureUnits() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, S().baseFont);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SIZE sz{};
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32W(dc, kLetters, 52, &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    S().colPx = sz.cx > 0 ? sz.cx / 52.0 : kColPx * S().dpi / 96.0;
    S().rowPx = tm.tmHeight > 0 ? tm.tmHeight + tm.tmExternalLeading : 15.0 * S().dpi / 96.0;
}

}  // namespace

State& S() {
    static State s;
    return s;
}

std::string Utf8(const wchar_t* text, int length) {
    if (!text || length == 0) return {};
    return length < 0 ? ::Utf8(std::wstring_view(text))
                      : ::Utf8(std::wstring_view(text, static_cast<size_t>(length)));
}

bool EnsureToolkit() {
    static bool done = false;
    if (done) return S().windows;
    done = true;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES |
                                              ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS |
                                              ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    if (!LoadLibraryW(L"Msftedit.dll")) LoadLibraryW(L"Riched20.dll");

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = PageProc;
    wc.lpszClassName = kPageClass;
    wc.hbrBackground = nullptr;
    RegisterClassExW(&wc);

    S().dpi = ScreenDpi();
    FontDef base;
    base.face = "Segoe UI";
    base.points = 9;
    S().fontDefs[0] = base;
    S().baseFont = MakeFont(base, false);
    S().fonts[0] = S().baseFont;
    MeasureUnits();

    // A window can be made only where there is a display.
    HWND probe = CreateWindowExW(0, kFormClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 Instance(), nullptr);
    S().windows = probe != nullptr;
    if (probe) DestroyWindow(probe);
    return S().windows;
}

bool HaveToolkit() {
    return S().running;
}

Form* FindForm(const std::string& name) {
    auto it = S().forms.find(name);
    return it == S().forms.end() ? nullptr : it->second.get();
}

Form* FormOfWindow(HWND hwnd) {
    if (!hwnd) return nullptr;
    HWND root = GetAncestor(hwnd, GA_ROOT);
    for (auto& [name, f] : S().forms)
        if (f->hwnd && (f->hwnd == hwnd || f->hwnd == root)) return f.get();
    return nullptr;
}

Ctl* FindCtl(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f) return nullptr;
    auto it = f->ctls.find(id);
    return it == f->ctls.end() ? nullptr : &it->second;
}

uint64_t FormSerial(const std::string& form) {
    Form* f = FindForm(form);
    return f ? f->serial : 0;
}

namespace {

// The form of that name in the life it had (null once it is gone).
Form* Alive(const std::string& name, uint64_t serial) {
    Form* f = FindForm(name);
    return f && f->serial == serial ? f : nullptr;
}

void DeliverPosted(uint64_t seq) {
    auto it = PostedQueue().find(seq);
    if (it == PostedQueue().end()) return;
    PostedEvent p = it->second;
    PostedQueue().erase(it);
    if (FormSerial(p.form) == p.serial) Raise(p.form, p.id, EzEvent::Posted, p.value);
}

// Without windows, posted events run when the event that posted them is done.
void DeliverPostedWithoutWindows() {
    while (!PostedQueue().empty()) DeliverPosted(PostedQueue().begin()->first);
}

}  // namespace

int Raise(const std::string& form, int id, EzEvent ev, int64_t value) {
    int cancel = 0;
    ++g_raiseDepth;
    if (S().event) S().event(form, id, ev, value, cancel);
    --g_raiseDepth;
    if (g_raiseDepth == 0 && !S().windows) DeliverPostedWithoutWindows();
    return cancel;
}

int ColsToPx(double cols) {
    return static_cast<int>(std::lround(cols * S().colPx));
}
int RowsToPx(double rows) {
    return static_cast<int>(std::lround(rows * S().rowPx));
}
double PxToCols(double px) {
    return px / S().colPx;
}
double PxToRows(double px) {
    return px / S().rowPx;
}

HFONT FontOf(int slot, bool underline) {
    // Underlined fonts (links) are kept under a key of their own.
    const int key = underline ? -1000 - slot : slot;
    auto it = S().fonts.find(key);
    if (it != S().fonts.end() && it->second) return it->second;
    auto def = S().fontDefs.find(slot);
    if (def == S().fontDefs.end()) def = S().fontDefs.find(0);
    if (def == S().fontDefs.end() || !S().running) return S().baseFont;
    HFONT f = MakeFont(def->second, underline);
    S().fonts[key] = f;
    return f ? f : S().baseFont;
}

COLORREF ColourOf(int slot) {
    auto it = S().colours.find(slot);
    if (it != S().colours.end()) return it->second;
    switch (slot) {
        case 4:
            return RGB(255, 0, 0);
        case 750:
            return GetSysColor(COLOR_BTNFACE);
        default:
            return RGB(0, 0, 0);
    }
}

HBRUSH BrushOf(COLORREF c) {
    HBRUSH& b = S().brushes[c];
    if (!b) b = CreateSolidBrush(c);
    return b;
}

std::string ImagePath(const std::string& file) {
    if (file.empty()) return {};
    auto exists = [](const std::string& p) {
        const DWORD a = GetFileAttributesW(WidePath(p).c_str());
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    };
    const bool absolute =
        file.size() > 2 && (file[1] == ':' || (file[0] == '\\' && file[1] == '\\') ||
                            (file[0] == '/' && file[1] == '/'));
    if (absolute || file[0] == '\\' || file[0] == '/') return exists(file) ? file : std::string();
    std::string folder = S().imageFolder;
    const bool folderAbsolute =
        folder.size() > 1 && (folder[1] == ':' || folder[0] == '\\' || folder[0] == '/');
    if (!folderAbsolute) folder = EZ_APPPATH() + folder;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    const std::string p = folder + file;
    return exists(p) ? p : std::string();
}

HBITMAP LoadImageFile(const std::string& path, int w, int h, bool premultiplied) {
    if (path.empty()) return nullptr;
    IWICImagingFactory* factory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))))
        return nullptr;
    HBITMAP out = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* conv = nullptr;
    IWICBitmapScaler* scaler = nullptr;
    const std::wstring wpath = WidePath(path);
    if (SUCCEEDED(factory->CreateDecoderFromFilename(wpath.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(factory->CreateFormatConverter(&conv)) &&
        SUCCEEDED(conv->Initialize(
            frame, premultiplied ? GUID_WICPixelFormat32bppPBGRA : GUID_WICPixelFormat32bppBGRA,
            WICBitmapDitherTypeNone, nullptr, 0, WICBitmapPaletteTypeCustom))) {
        IWICBitmapSource* src = conv;
        UINT sw = 0, sh = 0;
        conv->GetSize(&sw, &sh);
        if (w > 0 && h > 0 && (static_cast<UINT>(w) != sw || static_cast<UINT>(h) != sh) &&
            SUCCEEDED(factory->CreateBitmapScaler(&scaler)) &&
            SUCCEEDED(scaler->Initialize(conv, static_cast<UINT>(w), static_cast<UINT>(h),
                                         WICBitmapInterpolationModeFant))) {
            src = scaler;
            sw = static_cast<UINT>(w);
            sh = static_cast<UINT>(h);
        }
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = static_cast<LONG>(sw);
        bi.bmiHeader.biHeight = -static_cast<LONG>(sh);  // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bmp &&
            SUCCEEDED(src->CopyPixels(nullptr, sw * 4, sw * sh * 4, static_cast<BYTE*>(bits))))
            out = bmp;
        else if (bmp)
            DeleteObject(bmp);
    }
    if (scaler) scaler->Release();
    if (conv) conv->Release();
    if (frame) frame->Release();
    if (decoder) decoder->Release();
    factory->Release();
    return out;
}

namespace {

// The keys that raise Key events, as virtual keys and toolkit codes.
constexpr std::pair<UINT, int> kKeys[] = {
    {VK_RETURN, kKeyEnter}, {VK_ESCAPE, kKeyEsc}, {VK_SPACE, kKeySpace}, {VK_DELETE, kKeyDelete},
    {VK_TAB, kKeyTab},      {VK_F1, kKeyF1},      {VK_F2, kKeyF2},       {VK_F7, kKeyF7},
    {VK_UP, kKeyUp},        {VK_DOWN, kKeyDown}};

}  // namespace

int KeyCodeOf(UINT vk) {
    for (const auto& [v, code] : kKeys)
        if (v == vk) return code;
    return 0;
}

UINT VirtualKeyOf(int ezKey) {
    for (const auto& [v, code] : kKeys)
        if (code == ezKey) return v;
    return 0;
}

// ---------------------------------------------------------------------------
// Message loops
// ---------------------------------------------------------------------------
namespace {

bool Down(int vk) {
    return (GetKeyState(vk) & 0x8000) != 0;
}

void Dispatch(MSG& msg) {
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
        TakeKey(msg.hwnd, static_cast<UINT>(msg.wParam)))
        return;
    // Tab, arrows between buttons and mnemonics move as in a dialog; Enter
    // and Esc go to the control (a form has no default or cancel button).
    const bool enterOrEsc =
        (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR) &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
    if (!enterOrEsc && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        if (Form* f = FormOfWindow(msg.hwnd); f && IsDialogMessageW(f->hwnd, &msg)) return;
    }
    const bool key = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (key) ++g_loopKey;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (key) --g_loopKey;
}

}  // namespace

bool InLoopKey() {
    return g_loopKey > 0;
}

bool TakeKey(HWND hwnd, UINT vk) {
    Form* f = FormOfWindow(hwnd);
    if (!f || !IsWindowEnabled(f->hwnd)) return false;
    const std::string name = f->name;
    for (const Accel& a : f->accels) {
        if (a.vk == vk && a.ctrl == Down(VK_CONTROL) && a.shift == Down(VK_SHIFT) &&
            a.alt == Down(VK_MENU)) {
            Raise(name, a.id, EzEvent::Click);
            return true;
        }
    }
    const int code = KeyCodeOf(vk);
    if (!code) return false;
    Ctl* c = CtlOfWindow(f, hwnd);
    if (!c) return false;
    return Raise(name, c->id, EzEvent::Key, code) != 0;
}

bool PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        Dispatch(msg);
    }
    return true;
}

void RunLoop(const std::function<bool()>& done) {
    while (!done()) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (S().hooks.idle) {
                S().hooks.idle();
                if (done()) break;
                if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) continue;
            }
            WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT) {
            // Every loop up to the outermost ends.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        Dispatch(msg);
    }
}

// ---------------------------------------------------------------------------
// Form geometry
// ---------------------------------------------------------------------------
namespace {

DWORD StyleOf(HWND h) {
    return static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE));
}
DWORD ExStyleOf(HWND h) {
    return static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE));
}

// The frame around the inside (the menu bar counts as inside): left, top,
// right and bottom thickness in pixels.
RECT FrameOf(HWND h) {
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, StyleOf(h), FALSE, ExStyleOf(h));
    return RECT{-r.left, -r.top, r.right, r.bottom};
}

SIZE InsideSize(HWND h) {
    RECT w{};
    GetWindowRect(h, &w);
    const RECT fr = FrameOf(h);
    return SIZE{w.right - w.left - fr.left - fr.right, w.bottom - w.top - fr.top - fr.bottom};
}

SIZE OuterSize(HWND h, int insideW, int insideH) {
    const RECT fr = FrameOf(h);
    return SIZE{insideW + fr.left + fr.right, insideH + fr.top + fr.bottom};
}

RECT WorkArea() {
    RECT r{0, 0, 1024, 768};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

void CentreWindow(Form* f) {
    RECT w{};
    GetWindowRect(f->hwnd, &w);
    const int ww = w.right - w.left, wh = w.bottom - w.top;
    RECT area = WorkArea();
    if (Form* p = FindForm(f->parent);
        p && p->hwnd && IsWindowVisible(p->hwnd) && !IsIconic(p->hwnd))
        GetWindowRect(p->hwnd, &area);
    const RECT scr = WorkArea();
    int x = area.left + (area.right - area.left - ww) / 2;
    int y = area.top + (area.bottom - area.top - wh) / 2;
    x = std::max<int>(scr.left, std::min<int>(x, scr.right - ww));
    y = std::max<int>(scr.top, std::min<int>(y, scr.bottom - wh));
    SetWindowPos(f->hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetIcons(HWND h) {
    if (S().icons.empty()) return;
    const int big = GetSystemMetrics(SM_CXICON), small = GetSystemMetrics(SM_CXSMICON);
    auto pick = [&](int want) {
        size_t best = 0;
        for (size_t i = 0; i < S().iconSizes.size(); ++i)
            if (S().iconSizes[i] >= want &&
                (S().iconSizes[best] < want || S().iconSizes[i] < S().iconSizes[best]))
                best = i;
        return S().icons[best];
    };
    SendMessageW(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(pick(big)));
    SendMessageW(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(pick(small)));
}

// The first control that takes the focus, in tab order.
HWND FirstTabStop(Form* f) {
    for (int id : f->order) {
        auto it = f->ctls.find(id);
        if (it == f->ctls.end()) continue;
        const Ctl& c = it->second;
        HWND h = c.kind == EzKind::UpDown ? c.buddy : c.hwnd;
        if (h && (StyleOf(h) & WS_TABSTOP) && IsWindowVisible(h) && IsWindowEnabled(h)) return h;
    }
    return nullptr;
}

void RestoreFocus(Form* f) {
    HWND h = nullptr;
    if (Ctl* c = FindCtl(f->name, f->focusId)) h = c->kind == EzKind::UpDown ? c->buddy : c->hwnd;
    if (!h || !IsWindowVisible(h) || !IsWindowEnabled(h)) h = FirstTabStop(f);
    if (h) SetFocus(h);
}

}  // namespace

namespace {

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form* f = FormOfWindow(hwnd);
    if (!f || f->hwnd != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
    const std::string name = f->name;
    const uint64_t serial = f->serial;
    LRESULT result = 0;
    switch (msg) {
        case WM_CLOSE: {
            if (f->inClose) return 0;
            f->inClose = true;
            const int cancel = Raise(name, 0, EzEvent::Close);
            if (!(f = Alive(name, serial))) return 0;
            f->inClose = false;
            if (!cancel) EZ_DESTROYFORM(name);
            return 0;
        }
        case WM_SIZE:
            LayoutForm(f);
            if (f->loaded && wp != SIZE_MINIMIZED) Raise(name, 0, EzEvent::Resize);
            return 0;
        case WM_GETMINMAXINFO: {
            auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
            if (f->minW > 0 || f->minH > 0) {
                const SIZE s = OuterSize(hwnd, f->minW, f->minH);
                mm->ptMinTrackSize = POINT{s.cx, s.cy};
            }
            if (f->maxW > 0 && f->maxH > 0) {
                const SIZE s = OuterSize(hwnd, f->maxW, f->maxH);
                mm->ptMaxTrackSize = POINT{s.cx, s.cy};
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                f->active = false;
                return 0;
            }
            if (!IsIconic(hwnd)) RestoreFocus(f);
            if ((f = Alive(name, serial)) && f->loaded && f->shown && !f->active) {
                f->active = true;
                Raise(name, 0, EzEvent::Activated);
            }
            return 0;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, FormBrush(f));
            return 1;
        }
        case WM_DPICHANGED: {
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_ENTERIDLE:
            if (S().hooks.idle) S().hooks.idle();
            return 0;
        case kPostedMsg:
            DeliverPosted(static_cast<uint64_t>(wp));
            return 0;
        case kPopupMsg:
            ShowPopupNow(f, static_cast<int>(wp), static_cast<int>(lp));
            return 0;
        default:
            break;
    }
    if (ControlMessage(f, hwnd, msg, wp, lp, result)) return result;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A Page control: a plain container whose controls' messages go to the form.
LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
        case WM_DRAWITEM:
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (HWND root = GetAncestor(hwnd, GA_ROOT); root && root != hwnd)
                return SendMessageW(root, msg, wp, lp);
            break;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            Form* f = FormOfWindow(hwnd);
            FillRect(reinterpret_cast<HDC>(wp), &r,
                     f ? FormBrush(f) : GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

}  // namespace ez

using namespace ez;

// ---------------------------------------------------------------------------
// Run
// ---------------------------------------------------------------------------
int EZ_GUIRUN(int argc, char** argv, EzStartProc start, EzEventProc event, EzDesignProc design) {
    EnsureToolkit();
    S().event = event;
    S().design = design;
    S().running = true;
    if (start) start();
    if (S().windows && !S().forms.empty()) {
        S().mainLoop = true;
        RunLoop([] { return S().forms.empty(); });
        S().mainLoop = false;
    }
    // Forms still open (the loop was left some other way) go without prompts.
    while (!S().forms.empty()) EZ_DESTROYFORM(S().forms.begin()->first);
    S().running = false;
    return 0;
}

// Without a display the forms only run their events, so what asks the user
// (the message box) is told no toolkit runs: it writes to stderr and takes
// the default answer, as it does in command-line use.
bool EZ_ISRUNNING() {
    return S().running && S().windows;
}

// ---------------------------------------------------------------------------
// Forms
// ---------------------------------------------------------------------------
void EZ_FORM(const std::string& name, const std::string& parent, const std::string& caption,
             double col, double row, double width, double height, const std::string& style) {
    if (name.empty()) return;
    if (!S().running) {
        S().unshown.push_back("form " + name);
        return;
    }
    if (FindForm(name)) {
        EZ_BRINGTOFRONT(name);
        return;
    }
    Form* pf = parent.empty() ? nullptr : FindForm(parent);
    auto rec = std::make_unique<Form>();
    Form* f = rec.get();
    f->name = name;
    f->parent = pf ? parent : std::string();
    f->serial = S().nextSerial++;
    f->resizable = HasStyle(style, 'R');
    f->tool = HasStyle(style, 'T');
    // Modal over the parent; style "M" makes a form without a parent modal too.
    f->modal = (pf && !HasStyle(style, 'N')) || HasStyle(style, 'M');
    const uint64_t serial = f->serial;

    if (S().windows) {
        DWORD ws = WS_CAPTION | WS_SYSMENU;
        DWORD ex = WS_EX_CONTROLPARENT;
        if (pf || f->tool) {
            ws |= WS_POPUP;
            if (f->resizable && !f->tool) ws |= WS_THICKFRAME | WS_MAXIMIZEBOX;
            if (f->tool || !f->resizable) ex |= WS_EX_DLGMODALFRAME;
        } else {
            ws |= WS_OVERLAPPED | WS_MINIMIZEBOX;
            if (f->resizable) ws |= WS_THICKFRAME | WS_MAXIMIZEBOX;
        }
        f->hwnd =
            CreateWindowExW(ex, kFormClass, Wide(caption).c_str(), ws, CW_USEDEFAULT, CW_USEDEFAULT,
                            100, 100, pf ? pf->hwnd : nullptr, nullptr, Instance(), nullptr);
        f->client = f->hwnd;
        if (f->hwnd) {
            SetIcons(f->hwnd);
            // Dialogs show no icon in their caption.
            if (pf && !f->resizable) SendMessageW(f->hwnd, WM_SETICON, ICON_SMALL, 0);
            const SIZE s =
                OuterSize(f->hwnd, std::max(1, ColsToPx(width)), std::max(1, RowsToPx(height)));
            SetWindowPos(f->hwnd, nullptr, 0, 0, s.cx, s.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    S().forms[name] = std::move(rec);
    S().order.push_back(name);

    if (S().design) S().design(name);
    if (!(f = Alive(name, serial))) return;
    if (f->hwnd) {
        // The inside keeps its size now that the menu bar is there.
        const SIZE s =
            OuterSize(f->hwnd, std::max(1, ColsToPx(width)), std::max(1, RowsToPx(height)));
        SetWindowPos(f->hwnd, nullptr, 0, 0, s.cx, s.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        LayoutForm(f);
        if (col < 0 || row < 0)
            CentreWindow(f);
        else
            SetWindowPos(f->hwnd, nullptr, ColsToPx(col), RowsToPx(row), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    f->loaded = true;
    Raise(name, 0, EzEvent::Loaded);
    if (!(f = Alive(name, serial))) return;

    if (!f->hwnd) {
        // No window can be shown: the form runs its events and is closed at
        // once, even when its Close event would keep it (nobody could close
        // it later).
        f->shown = true;
        Raise(name, 0, EzEvent::Shown);
        if (Alive(name, serial)) EZ_UNLOADFORM(name);
        if (Alive(name, serial)) EZ_DESTROYFORM(name);
        return;
    }
    if (f->modal) {
        // A modal form blocks its parent, or every other form when it has none.
        for (auto& [n, other] : S().forms) {
            if (other.get() == f || !other->hwnd || !IsWindowEnabled(other->hwnd)) continue;
            if (pf && other.get() != pf) continue;
            EnableWindow(other->hwnd, FALSE);
            f->disabled.push_back(other->hwnd);
        }
    }
    ShowWindow(f->hwnd, SW_SHOW);
    SetForegroundWindow(f->hwnd);
    UpdateWindow(f->hwnd);
    if (!(f = Alive(name, serial))) return;
    f->shown = true;
    RestoreFocus(f);
    Raise(name, 0, EzEvent::Shown);
    if (!(f = Alive(name, serial))) return;
    if (!f->active) {
        f->active = true;
        Raise(name, 0, EzEvent::Activated);
        if (!(f = Alive(name, serial))) return;
    }
    if (S().hooks.formShown) S().hooks.formShown(name, f->modal);
    if (!(f = Alive(name, serial))) return;
    if (f->modal) {
        f->loopRunning = true;
        ++S().modalDepth;
        // Do-events belongs to the code that called it, not to a modal form
        // opened meanwhile.
        const int savedDoEvents = S().doEvents;
        S().doEvents = 0;
        RunLoop([&] {
            Form* g = Alive(name, serial);
            return !g || !g->loopRunning;
        });
        S().doEvents = savedDoEvents;
        --S().modalDepth;
    }
}

void EZ_DESTROYFORM(const std::string& name) {
    auto it = S().forms.find(name);
    if (it == S().forms.end()) return;
    // Forms opened over this one go first.
    std::vector<std::string> children;
    for (auto& [n, f] : S().forms)
        if (f->parent == name) children.push_back(n);
    for (const auto& c : children) EZ_DESTROYFORM(c);
    it = S().forms.find(name);
    if (it == S().forms.end()) return;
    std::unique_ptr<Form> rec = std::move(it->second);
    S().forms.erase(it);
    std::erase(S().order, name);
    for (auto p = PostedQueue().begin(); p != PostedQueue().end();)
        p = p->second.form == name ? PostedQueue().erase(p) : std::next(p);
    rec->loopRunning = false;
    // The windows it blocked take input again before it goes, so the
    // activation returns to its parent rather than to another program.
    for (HWND h : rec->disabled)
        if (IsWindow(h)) EnableWindow(h, TRUE);
    if (rec->hwnd) {
        HWND owner = GetWindow(rec->hwnd, GW_OWNER);
        if (owner && GetActiveWindow() == rec->hwnd) SetActiveWindow(owner);
        DestroyWindow(rec->hwnd);
    }
    if (rec->menuBar && !IsMenu(rec->menuBar)) rec->menuBar = nullptr;
    for (auto& [id, m] : rec->popups)
        if (m) DestroyMenu(m);
    for (auto& [id, c] : rec->ctls) {
        if (c.image) DeleteObject(c.image);
        if (c.images) ImageList_Destroy(c.images);
    }
    rec.reset();
    Raise(name, 0, EzEvent::Unloaded);
    // Wakes the loop waiting for this form (its own, or the main loop's last).
    PostMessageW(nullptr, WM_NULL, 0, 0);
}

void EZ_UNLOADFORM(const std::string& name) {
    Form* f = FindForm(name);
    if (!f) return;
    if (f->inClose) return;  // asked from the form's own Close handler: the close goes on
    const uint64_t serial = f->serial;
    f->inClose = true;
    const int cancel = Raise(name, 0, EzEvent::Close);
    if (!(f = Alive(name, serial))) return;
    f->inClose = false;
    if (!cancel) EZ_DESTROYFORM(name);
}

void EZ_HIDEFORM(const std::string& name) {
    if (Form* f = FindForm(name); f && f->hwnd) ShowWindow(f->hwnd, SW_HIDE);
}

void EZ_SHOWFORM(const std::string& name) {
    if (Form* f = FindForm(name); f && f->hwnd) {
        ShowWindow(f->hwnd, SW_SHOW);
        SetForegroundWindow(f->hwnd);
    }
}

bool EZ_FORMEXISTS(const std::string& name) {
    return FindForm(name) != nullptr;
}

std::string EZ_CURRENTFORM() {
    // The innermost modal form wins; else the active one; else the last one
    // shown that is visible.
    for (auto it = S().order.rbegin(); it != S().order.rend(); ++it) {
        Form* f = FindForm(*it);
        if (f && f->modal && f->hwnd && IsWindowVisible(f->hwnd)) return *it;
    }
    if (Form* f = FormOfWindow(GetActiveWindow()); f) return f->name;
    for (auto it = S().order.rbegin(); it != S().order.rend(); ++it) {
        Form* f = FindForm(*it);
        if (f && f->hwnd && IsWindowVisible(f->hwnd)) return *it;
    }
    return S().order.empty() ? "" : S().order.back();
}

void EZ_SETFORMMINMAX(const std::string& name, double minW, double minH, double maxW, double maxH) {
    Form* f = FindForm(name);
    if (!f) return;
    f->minW = ColsToPx(minW);
    f->minH = RowsToPx(minH);
    f->maxW = ColsToPx(maxW);
    f->maxH = RowsToPx(maxH);
}

void EZ_GETFORMPLACE(const std::string& name, double& col, double& row, double& w, double& h) {
    col = row = w = h = 0;
    Form* f = FindForm(name);
    if (!f || !f->hwnd) return;
    RECT r{};
    GetWindowRect(f->hwnd, &r);
    const SIZE in = InsideSize(f->hwnd);
    col = PxToCols(r.left);
    row = PxToRows(r.top);
    w = PxToCols(in.cx);
    h = PxToRows(in.cy);
}

void EZ_SETFORMPLACE(const std::string& name, double col, double row, double w, double h) {
    Form* f = FindForm(name);
    if (!f || !f->hwnd) return;
    const SIZE s = OuterSize(f->hwnd, std::max(1, ColsToPx(w)), std::max(1, RowsToPx(h)));
    SetWindowPos(f->hwnd, nullptr, ColsToPx(col), RowsToPx(row), s.cx, s.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void EZ_CENTERFORM(const std::string& name) {
    if (Form* f = FindForm(name); f && f->hwnd) CentreWindow(f);
}

void EZ_BRINGTOFRONT(const std::string& name) {
    Form* f = FindForm(name);
    if (!f || !f->hwnd) return;
    if (IsIconic(f->hwnd)) ShowWindow(f->hwnd, SW_RESTORE);
    ShowWindow(f->hwnd, SW_SHOW);
    SetForegroundWindow(f->hwnd);
    BringWindowToTop(f->hwnd);
}

void EZ_SCREENSIZE(double& cols, double& rows) {
    cols = rows = 0;
    if (!S().running) return;
    const RECT r = WorkArea();
    cols = PxToCols(r.right - r.left);
    rows = PxToRows(r.bottom - r.top);
}

// ---------------------------------------------------------------------------
// Fonts, colours, units
// ---------------------------------------------------------------------------
void EZ_DEFFONT(int slot, const std::string& face, double points, const std::string& style) {
    FontDef d;
    d.face = face;
    d.points = points > 0 ? points : 9;
    d.bold = HasStyle(style, 'B');
    d.italic = HasStyle(style, 'I');
    d.symbol = HasStyle(style, 'S');
    S().fontDefs[slot] = d;
    // Made again on next use; controls showing the old one keep it until then.
    S().fonts.erase(slot);
    S().fonts.erase(-1000 - slot);
}

void EZ_DEFCOLOR(int slot, int r, int g, int b) {
    S().colours[slot] = RGB(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
}

namespace {

int LineCount(const std::string& text) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

double EZ_TEXTWIDTH(int fontSlot, const std::string& text) {
    if (!S().running || !S().baseFont) {
        double widest = 0, n = 0;
        for (unsigned char c : text) {
            if (c == '\n') {
                widest = std::max(widest, n);
                n = 0;
            } else if ((c & 0xC0) != 0x80) {
                n += 1;
            }
        }
        return std::max(widest, n);
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontOf(fontSlot));
    LONG widest = 0;
    size_t start = 0;
    for (;;) {
        const size_t nl = text.find('\n', start);
        const std::wstring line =
            Wide(std::string_view(text).substr(start, nl == std::string::npos ? nl : nl - start));
        SIZE sz{};
        if (!line.empty())
            GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &sz);
        widest = std::max(widest, sz.cx);
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return PxToCols(widest);
}

double EZ_TEXTHEIGHT(int fontSlot, const std::string& text) {
    if (!S().running || !S().baseFont) return LineCount(text);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FontOf(fontSlot));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return PxToRows(static_cast<double>(tm.tmHeight + tm.tmExternalLeading) * LineCount(text));
}

double EZ_PIXELSTOCOLS(int px) {
    return PxToCols(px);
}

int EZ_COLSTOPIXELS(double cols) {
    return ColsToPx(cols);
}

// ---------------------------------------------------------------------------
// Services
// ---------------------------------------------------------------------------
void EZ_DOEVENTS() {
    if (!S().running || !S().windows) return;
    ++S().doEvents;
    PumpMessages();
    --S().doEvents;
}

void EZ_PROGRESSEVENTS() {
    if (!S().running || !S().windows) return;
    PumpMessages();
    if (S().hooks.idle) S().hooks.idle();
}

std::vector<std::string> EZ_COMMANDARGS() {
    if (S().commandArgs) return *S().commandArgs;
    // The arguments as Windows holds them (UTF-16), not the code-page argv.
    std::vector<std::string> args;
    int argc = 0;
    if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        for (int i = 1; i < argc; ++i) args.push_back(::Utf8(argv[i]));
        LocalFree(argv);
    }
    return args;
}

void EZ_POSTEVENT(const std::string& form, int id, int64_t value) {
    Form* f = FindForm(form);
    if (!f) return;
    const uint64_t seq = g_nextPost++;
    PostedQueue()[seq] = PostedEvent{form, f->serial, id, value};
    if (f->hwnd) PostMessageW(f->hwnd, kPostedMsg, static_cast<WPARAM>(seq), 0);
}

int EZ_SENDEVENT(const std::string& form, int id, EzEvent ev, int64_t value) {
    return Raise(form, id, ev, value);
}

std::string EZ_APPPATH() {
    if (!S().appPath.empty()) return S().appPath;
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return ".\\";
        if (n < buf.size()) {
            buf.resize(n);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    std::string dir = ::Utf8(buf);
    const size_t cut = dir.find_last_of("\\/");
    dir = cut == std::string::npos ? std::string(".") : dir.substr(0, cut);
    return dir + "\\";
}

void EZ_SETAPPPATH(const std::string& folder) {
    S().appPath = WithSeparator(folder);
}

void EZ_SETIMAGEFOLDER(const std::string& folder) {
    S().imageFolder = folder;
}

void EZ_SETAPPIDENTITY(const std::string& name, const std::string& desktopId) {
    // The task bar groups the program's windows under this id.
    using SetIdFn = HRESULT(WINAPI*)(PCWSTR);
    if (desktopId.empty()) return;
    if (auto fn = reinterpret_cast<SetIdFn>(reinterpret_cast<void*>(GetProcAddress(
            GetModuleHandleW(L"shell32.dll"), "SetCurrentProcessExplicitAppUserModelID"))))
        fn(Wide(desktopId).c_str());
}

void EZ_SETAPPICON(const std::vector<std::string>& files) {
    if (!S().running) return;
    for (HICON i : S().icons) DestroyIcon(i);
    S().icons.clear();
    S().iconSizes.clear();
    std::vector<std::pair<int, HICON>> loaded;
    for (const std::string& file : files) {
        HBITMAP bmp = LoadImageFile(file, 0, 0, false);
        if (!bmp) continue;
        BITMAP bm{};
        GetObjectW(bmp, sizeof(bm), &bm);
        HBITMAP mask = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
        ICONINFO ii{TRUE, 0, 0, mask, bmp};
        if (HICON icon = CreateIconIndirect(&ii)) loaded.emplace_back(bm.bmWidth, icon);
        DeleteObject(mask);
        DeleteObject(bmp);
    }
    std::sort(loaded.begin(), loaded.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [size, icon] : loaded) {
        S().iconSizes.push_back(size);
        S().icons.push_back(icon);
    }
    for (auto& [n, f] : S().forms)
        if (f->hwnd) SetIcons(f->hwnd);
}

void EZ_MSGBOX(const std::string& parent, const std::string& text, const std::string& title) {
    if (!S().running || !S().windows) {
        std::cerr << title << ": " << text << "\n";
        S().unshown.push_back("message box \"" + title + "\"");
        return;
    }
    if (S().hooks.msgBox && S().hooks.msgBox(title, text)) return;
    Form* pf = FindForm(parent);
    ++S().modalDepth;
    MessageBoxW(pf ? pf->hwnd : nullptr, Wide(text).c_str(), Wide(title).c_str(),
                MB_OK | MB_ICONWARNING | (pf ? 0 : MB_TASKMODAL));
    --S().modalDepth;
}

namespace {

// The filter as the dialog takes it: description and pattern, each ending in
// a zero, the list in two.
std::wstring DialogFilter(const std::vector<FileFilter>& filters) {
    std::wstring out;
    for (const FileFilter& f : filters) {
        out += Wide(f.description);
        out += L'\0';
        out += Wide(f.patterns);
        out += L'\0';
    }
    out += L'\0';
    return out;
}

std::string FileDialog(bool save, const std::string& parent, const std::string& title,
                       const std::string& folder, const std::string& fileName,
                       const std::string& filter) {
    if (!S().running || !S().windows) {
        S().unshown.push_back("file dialog \"" + title + "\"");
        return "";
    }
    if (S().hooks.fileDialog) {
        if (auto answer = S().hooks.fileDialog(save ? "save" : "open", title)) return *answer;
    }
    Form* pf = FindForm(parent);
    const std::vector<FileFilter> filters = ParseFileFilter(filter);
    const std::wstring filt = DialogFilter(filters), defExt = Wide(DefaultExtension(filters));
    const std::wstring wtitle = Wide(title), wfolder = WidePath(folder);
    std::wstring buf(32768, L'\0');
    if (save && !fileName.empty()) {
        const std::wstring name = Wide(fileName);
        std::copy(name.begin(), name.begin() + std::min<size_t>(name.size(), buf.size() - 1),
                  buf.begin());
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = pf ? pf->hwnd : nullptr;
    ofn.lpstrFilter = filt.size() > 1 ? filt.c_str() : nullptr;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buf.data();
    ofn.nMaxFile = static_cast<DWORD>(buf.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : wfolder.c_str();
    ofn.lpstrTitle = wtitle.c_str();
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    // The program asks its own overwrite question.
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                (save ? 0 : OFN_FILEMUSTEXIST);
    ++S().modalDepth;
    const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    --S().modalDepth;
    if (!ok) return "";
    return ::Utf8(std::wstring_view(buf.c_str()));
}

}  // namespace

std::string EZ_OPENFILEDLG(const std::string& parent, const std::string& title,
                           const std::string& folder, const std::string& filter) {
    return FileDialog(false, parent, title, folder, "", filter);
}

std::string EZ_SAVEFILEDLG(const std::string& parent, const std::string& title,
                           const std::string& folder, const std::string& fileName,
                           const std::string& filter) {
    return FileDialog(true, parent, title, folder, fileName, filter);
}
