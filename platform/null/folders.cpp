// The null backend's folders: it knows none, so the content is found in the
// working folder or where VEXARION_DATA says, and no screenshots are taken.
#include "platform/folders.h"

std::string folderOfExecutable()
{
    // The running executable's folder, ending in a separator; "" when the system can't tell.
    return "";
}

std::string folderForPictures()
{
    // The user's pictures folder as the desktop defines it, else the home folder.
    return "";
}
