// What the recorder does differently on each system: system.cpp in posix/
// (Linux, and Node on emscripten's runtime) and in windows/. Apart from
// capture.h, since Windows' headers and Allegro's do not mix.
#ifndef TESSERA_CAPTURE_SYSTEM_H
#define TESSERA_CAPTURE_SYSTEM_H

// Has `handler` called on the signals that end the recorder, sent from
// outside or raised by a fault in the demo's code.
void CP_catch_end_signals(void (*handler)(int));

// Makes standard output write the checksum lines byte for byte, "\n" as it
// is (Windows' C runtime would write "\r\n").
void CP_binary_output(void);

// Puts the data file `from` at `to`, in the recorder's private folder: a
// link, or a copy where links cannot be relied on (Windows). False if it
// cannot.
bool CP_place_data_file(const char *from, const char *to);

#endif
