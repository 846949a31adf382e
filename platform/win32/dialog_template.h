// The memory image of a DLGTEMPLATE and its items, written word by word,
// for the dialogs the Win32 backend builds in memory.
#pragma once

#include <vector>

#include <windows.h>

struct TemplateWriter {
    std::vector<WORD> words;

    void word(WORD w) { words.push_back(w); }
    void dword(DWORD d)
    {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(const char* s)
    {
        // Plain ASCII texts: each character widens to one UTF-16 unit.
        for (; *s; s++)
            word(static_cast<WORD>(static_cast<unsigned char>(*s)));
        word(0);
    }
    void alignToDword()
    {
        if (words.size() % 2)
            word(0);
    }
};
