// Reads a dialog template (plain or extended) into plain values, written
// independently of the program's own template code so that each checks the
// other.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    int classOrdinal = 0;  // 0x80 button, 0x81 edit, 0x82 static; 0 when named
    std::wstring className;
    int titleOrdinal = -1;  // a resource id in place of a title, else -1
    std::wstring title;
};

struct DialogTemplateValues {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    int pointSize = 0;
    int weight = 0;
    int italic = 0;
    int charset = 0;
    std::wstring face;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    TemplateReader(const void* data, std::size_t size)
        : m_bytes(static_cast<const uint8_t*>(data)), m_size(size)
    {
    }

    // Throws std::out_of_range when the template runs past its end.
    DialogTemplateValues Read()
    {
        DialogTemplateValues d;
        d.extended = Word(0) == 1 && Word(2) == 0xFFFF;
        std::size_t at = 0;
        int count = 0;
        if (d.extended) {
            d.exStyle = Dword(8);
            d.style = Dword(12);
            count = Word(16);
            at = 18;
        } else {
            d.style = Dword(0);
            d.exStyle = Dword(4);
            count = Word(8);
            at = 10;
        }
        d.x = Short(at), d.y = Short(at + 2), d.cx = Short(at + 4), d.cy = Short(at + 6);
        at += 8;
        at = SkipNameOrOrdinal(at);  // menu
        at = SkipNameOrOrdinal(at);  // class
        d.caption = String(at, &at);
        if (d.style & (DS_SETFONT | DS_SHELLFONT)) {
            d.pointSize = Word(at);
            at += 2;
            if (d.extended) {
                d.weight = Word(at);
                d.italic = m_bytes[at + 2];
                d.charset = m_bytes[at + 3];
                at += 4;
            }
            d.face = String(at, &at);
        }
        for (int i = 0; i < count; ++i) {
            at = (at + 3) & ~std::size_t{3};
            TemplateItem item;
            if (d.extended) {
                at += 4;  // help id
                item.exStyle = Dword(at);
                item.style = Dword(at + 4);
                at += 8;
            } else {
                item.style = Dword(at);
                item.exStyle = Dword(at + 4);
                at += 8;
            }
            item.x = Short(at), item.y = Short(at + 2), item.cx = Short(at + 4),
            item.cy = Short(at + 6);
            at += 8;
            if (d.extended) {
                item.id = static_cast<int>(Dword(at));
                at += 4;
            } else {
                item.id = static_cast<int16_t>(Word(at));
                at += 2;
            }
            if (Word(at) == 0xFFFF) {
                item.classOrdinal = Word(at + 2);
                at += 4;
            } else {
                item.className = String(at, &at);
            }
            if (Word(at) == 0xFFFF) {
                item.titleOrdinal = Word(at + 2);
                at += 4;
            } else {
                item.title = String(at, &at);
            }
            at += 2 + Word(at);  // creation data
            d.items.push_back(item);
        }
        return d;
    }

private:
    void Need(std::size_t at, std::size_t n) const
    {
        if (at + n > m_size) throw std::out_of_range("template ends early");
    }
    WORD Word(std::size_t at) const
    {
        Need(at, 2);
        return static_cast<WORD>(m_bytes[at] | m_bytes[at + 1] << 8);
    }
    int Short(std::size_t at) const { return static_cast<int16_t>(Word(at)); }
    DWORD Dword(std::size_t at) const { return Word(at) | static_cast<DWORD>(Word(at + 2)) << 16; }
    std::wstring String(std::size_t at, std::size_t* next) const
    {
        std::wstring s;
        for (WORD c; (c = Word(at)) != 0; at += 2) s += static_cast<wchar_t>(c);
        *next = at + 2;
        return s;
    }
    std::size_t SkipNameOrOrdinal(std::size_t at) const
    {
        if (Word(at) == 0) return at + 2;
        if (Word(at) == 0xFFFF) return at + 4;
        std::size_t next = 0;
        String(at, &next);
        return next;
    }

    const uint8_t* m_bytes;
    std::size_t m_size;
};
