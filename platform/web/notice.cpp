// The program's words on a browser page: standard output and standard
// error, which Emscripten hands to the page's console.
#include <cstdio>

#include "platform/notice.h"

void noticeInit()
{
    // The console is there from the start, and the page scales nothing behind the program's back.
}

void noticeShow(NoticeKind kind, const std::string& text)
{
    std::fputs(text.c_str(), kind == NOTICE_ANSWER || kind == NOTICE_STATUS ? stdout : stderr);
}
