// The null backend's words for the user: standard output and standard error.
#include <cstdio>

#include "platform/notice.h"

void noticeInit()
{
    // Find where the user reads the program's words (a console, else a box), and keep windows unscaled.
}

void noticeShow(NoticeKind kind, const std::string& text)
{
    // Show the text where the user reads it: stdout or stderr by kind, else a box (never for a status).
    std::fputs(text.c_str(), kind == NOTICE_ANSWER || kind == NOTICE_STATUS ? stdout : stderr);
}
