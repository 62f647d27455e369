// The toolkit's test-only functions on Windows (see ez_testing.h): read back
// from the windows themselves where they hold the state, and screenshots
// drawn by the windows into a bitmap and written as PNG.
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/base/fs.h"
#include "app/base/util_win32.h"
#include "app/toolkit/ez_testing.h"
#include "app/toolkit/win32/ez_win32.h"
#include "app/toolkit/win32/testing_win32.h"

using namespace ez;

void EZ_SETPROCS(EzEventProc event, EzDesignProc design) {
    S().event = event;
    S().design = design;
}

void EZ_SETCOMMANDARGS(const std::vector<std::string>& args) {
    S().commandArgs = args;
}

void EZ_INSERTITEM(const std::string& form, int id, int index, const std::string& text,
                   int64_t data) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd) return;
    const bool combo = c->kind == EzKind::Combo || c->kind == EzKind::ComboEdit;
    if (!combo && c->kind != EzKind::ListBox) return;
    Quiet quiet;
    const int count =
        static_cast<int>(SendMessageW(c->hwnd, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    if (index < 0 || index > count) index = count;
    const std::wstring wide = Wide(text);
    const LRESULT at =
        SendMessageW(c->hwnd, combo ? CB_INSERTSTRING : LB_INSERTSTRING, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(wide.c_str()));
    if (at >= 0)
        SendMessageW(c->hwnd, combo ? CB_SETITEMDATA : LB_SETITEMDATA, static_cast<WPARAM>(at),
                     static_cast<LPARAM>(data));
}

bool EZ_MENUISENABLED(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f) return false;
    if (auto it = f->menu.find(id); it != f->menu.end()) return it->second.enabled;
    // Context menu items are always enabled.
    for (const auto& [menuId, items] : f->popupItems)
        for (const EzMenuItem& m : items)
            if (m.id == id) return true;
    return EZ_TBISENABLED(form, id);
}

bool EZ_TBISENABLED(const std::string& form, int buttonId) {
    Form* f = FindForm(form);
    if (!f) return false;
    auto it = f->toolButtons.find(buttonId);
    if (it == f->toolButtons.end()) return false;
    Ctl* bar = FindCtl(form, it->second);
    return bar && bar->hwnd &&
           SendMessageW(bar->hwnd, TB_ISBUTTONENABLED, static_cast<WPARAM>(buttonId), 0) != 0;
}

std::string EZ_SBGETTEXT(const std::string& form, int id, int part) {
    Ctl* c = FindCtl(form, id);
    if (!c || c->kind != EzKind::StatusBar) return "";
    if (part < 0 || part >= static_cast<int>(c->sbTexts.size())) return "";
    return c->sbTexts[part];
}

std::string EZ_GETTOOLTIP(const std::string& form, int id) {
    if (Ctl* c = FindCtl(form, id)) return c->tooltip;
    if (Form* f = FindForm(form)) {
        auto it = f->buttonTips.find(id);
        if (it != f->buttonTips.end()) return it->second;
    }
    return {};
}

std::vector<int> EZ_APPICONSIZES() {
    std::vector<int> sizes = S().iconSizes;
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

std::vector<std::string> EZ_TAKEUNSHOWN() {
    std::vector<std::string> out;
    out.swap(S().unshown);
    return out;
}

int EZ_LVGETHEADERIMAGE(const std::string& form, int id, int col) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || c->kind != EzKind::ListView) return -1;
    HWND header = reinterpret_cast<HWND>(SendMessageW(c->hwnd, LVM_GETHEADER, 0, 0));
    if (!header || col < 0 || col >= static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)))
        return -1;
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(col),
                      reinterpret_cast<LPARAM>(&item)))
        return -1;
    return (item.fmt & HDF_IMAGE) ? item.iImage : -1;
}

bool EZ_SCREENSHOT(const std::string& form, const std::string& pngPath) {
    Form* f = FindForm(form);
    return f && f->hwnd && WindowScreenshot(f->hwnd, pngPath);
}

namespace {

void PutBigEndian(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    PutBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                  static_cast<uInt>(body.size()))));
}

// An 8-bit RGB PNG of top-down rows of BGRX pixels.
bool EncodePng(const std::vector<uint32_t>& pixels, int width, int height, std::string& png) {
    std::string raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // no filter
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            raw += static_cast<char>((p >> 16) & 0xFF);
            raw += static_cast<char>((p >> 8) & 0xFF);
            raw += static_cast<char>(p & 0xFF);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_SPEED) != Z_OK)
        return false;
    packed.resize(packedSize);
    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header +=
        std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    return true;
}

// Asks a window and then its children, bottom of the z-order first, to print
// themselves at their place in the top window's bitmap.
void PrintInto(HWND top, HWND hwnd, HDC dc) {
    if (!IsWindowVisible(hwnd)) return;
    RECT topRect{}, rect{};
    GetWindowRect(top, &topRect);
    GetWindowRect(hwnd, &rect);
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, rect.left - topRect.left, rect.top - topRect.top, nullptr);
    IntersectClipRect(dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top);
    SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    RestoreDC(dc, saved);
    for (HWND child = GetWindow(GetWindow(hwnd, GW_CHILD), GW_HWNDLAST); child;
         child = GetWindow(child, GW_HWNDPREV))
        PrintInto(top, child, dc);
}

}  // namespace

namespace ez {

bool WindowScreenshot(HWND hwnd, const std::string& pngPath) {
    RECT rect{};
    if (!hwnd || !GetWindowRect(hwnd, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        DeleteDC(dc);
        return false;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    PrintInto(hwnd, hwnd, dc);
    GdiFlush();
    std::vector<uint32_t> pixels(
        static_cast<uint32_t*>(bits),
        static_cast<uint32_t*>(bits) + static_cast<size_t>(width) * height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    std::string png;
    if (!EncodePng(pixels, width, height, png)) return false;
    std::error_code ec;
    const std::filesystem::path target = FsPath(pngPath);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    return WriteFileAtomically(pngPath, png).error == 0;
}

}  // namespace ez
