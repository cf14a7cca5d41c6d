// How the frame loop and the timer handlers share state.
//
// Allegro calls the timer handlers on its own thread, in parallel with the
// frame loop. Every field that both sides touch is a std::atomic, read and
// written whole through ZE_read and ZE_write (relaxed: a whole value is all
// these fields need). Where both sides update one field, a tick and the
// frame loop's update must not undo each other: both timer handlers of the
// main part hold ZE_tick_lock for their whole tick, and the frame loop takes
// it for the changes it makes at a change of picture.
#ifndef TESSERA_SHARED_H
#define TESSERA_SHARED_H

#include <atomic>
#include <concepts>
#include <mutex>

template <typename T> inline T ZE_read(const std::atomic<T> &field)
{
    return field.load(std::memory_order_relaxed);
}

// The value must already have the field's type: a caller that narrows, or
// means a 16-bit wrap, writes the conversion where it happens.
template <typename T, typename V>
requires std::same_as<V, T>
inline void ZE_write(std::atomic<T> &field, V value)
{
    field.store(value, std::memory_order_relaxed);
}

// Held by ZE_track_stuff and ZE_track_logo for a whole tick, and by the frame
// loop while it restarts the motion and lowers the letters at a picture change.
extern std::mutex ZE_tick_lock;

#endif
