// Shared helpers of the test programs.
#ifndef TESSERA_TEST_SUPPORT_H
#define TESSERA_TEST_SUPPORT_H

#include <allegro.h>
#include <cstdint>
#include <string>

// Makes a fresh empty directory and makes it the working directory; with
// `with_data`, copies of data/res.dat and data/res_2.dat are put in it.
std::string TT_enter_workdir(bool with_data);

// Copies a file; false if it cannot be read or written.
bool TT_copy_file(const std::string &from, const std::string &to);

// Reads a whole file; empty if it cannot be read.
std::string TT_read_file(const std::string &path);

// Writes `bytes` to `path`.
void TT_write_file(const std::string &path, const std::string &bytes);

// Everything start-up does without a screen: the state and every resource
// of the main part, read from copies of the data files.
void TT_start_without_screen(void);

// The state of the main part's first frame on the synthetic resources, the
// generator seeded with `seed` as the intro seeds it: a fresh working
// folder, the run prepared and the main part entered.
void TT_start_main_part(unsigned seed);

#endif
