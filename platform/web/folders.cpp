// Folders on a browser page: the content is packed into the page's own file
// system at its root, and there is no pictures folder to save into.
#include "platform/folders.h"

std::string folderOfExecutable()
{
    return "/";
}

std::string folderForPictures()
{
    return "";
}
