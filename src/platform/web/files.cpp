// What the browser tab tells about its files. The page's file system lives
// in memory and holds the preloaded data files and what the program itself
// writes (src/platform/posix/files.cpp works on it); nobody else can put a
// link or a FIFO there. The working folder is "/".
#include "platform/files.h"

// The page's root folder is the program's own, and where the page looks
// for capture.pcx.
bool ZE_working_folder_takes_files(void)
{
    return true;
}

// The program is not a file here: there is no installed folder to look in.
bool ZE_executable_folder(char *, size_t)
{
    return false;
}
