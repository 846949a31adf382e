// Words for the person running the program: the help text, the version,
// a screenshot's path and the problems the program meets.
//
// Where a terminal is there to read them, they go to standard output or
// standard error. A Windows program started from Explorer has neither, so
// there they appear in a message box titled "Vexarion" that waits for the
// user to close it.
#pragma once
#include <string>

enum NoticeKind {
    NOTICE_ANSWER,   // what the user asked for (--help, --version): standard output
    NOTICE_STATUS,   // a passing report (a screenshot's path): standard output, never a box
    NOTICE_WARNING,  // a problem the program plays on after: standard error
    NOTICE_ERROR,    // a problem that ends the program: standard error
};

// The program's first platform call, before any window exists: finds where
// its words can be read (on Windows, the console it was started from, if
// any) and declares the process DPI aware, so that the system scales none
// of its windows.
void noticeInit();

// Tells the user `text`, UTF-8 ending in a newline. A box, where one is
// shown, belongs to the main window if one is open.
void noticeShow(NoticeKind kind, const std::string& text);
