// What the Windows platform files share among themselves.
#ifndef TESSERA_PLATFORM_WINDOWS_ENDING_H
#define TESSERA_PLATFORM_WINDOWS_ENDING_H

// Removes the file ZE_create_private_file made last, if it is still there.
// Called by a way out that skips the exit handlers.
void ZE_remove_private_file(void);

#endif
