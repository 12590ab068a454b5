#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// The pictures of the bar and its dialogs for the README and the guide.
namespace wisp::test {

// Writes what the screen shows of `area` (screen coordinates) as a 24-bit bitmap file.
inline bool WriteScreenBitmap(const RECT& area, const std::wstring& path) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as the file keeps its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP picture = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, picture);
    ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const DWORD size = ((static_cast<DWORD>(width) * 3 + 3) & ~3u) * static_cast<DWORD>(height);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file{0x4D42, offset + size, 0, 0, offset};  // "BM"
    FILE* out = _wfopen(path.c_str(), L"wb");
    bool written = out && fwrite(&file, sizeof(file), 1, out) == 1 &&
                   fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                   fwrite(bits, size, 1, out) == 1;
    if (out) {
        written = fclose(out) == 0 && written;
    }
    ::SelectObject(memory, old);
    ::DeleteObject(picture);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return written;
}

}  // namespace wisp::test
