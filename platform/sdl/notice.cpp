// The program's words on Linux: standard output and standard error, where
// the terminal, the desktop's log or a redirection takes them.
#include <cstdio>

#include "platform/notice.h"

void noticeInit()
{
    // A terminal's output is there from the start, and windows are scaled
    // by the desktop, not by the system behind the program's back.
}

void noticeShow(NoticeKind kind, const std::string& text)
{
    std::FILE* stream = (kind == NOTICE_ANSWER || kind == NOTICE_STATUS) ? stdout : stderr;
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}
