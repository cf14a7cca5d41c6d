// The demo's generator, an additive lagged Fibonacci generator: a ring of 31
// words; each step adds to the word at the front the word three places
// behind it, modulo 2^32, gives the sum shifted right by one and moves the
// front on. Seeding fills the ring by the Lehmer generator
// x' = 16807 x mod (2^31 - 1), puts the front at word 3 and throws the first
// 310 results away, as the GNU C library's rand() does.
#include "random.h"

#include <cstdint>
#include <mutex>

static const int WORDS = 31;
static const int LAG = 3;       // places between the front and the word added to it
static const int WARM_UP = 310; // results thrown away after seeding
static const int64_t LEHMER_MODULUS = 2147483647;
static const int64_t LEHMER_MULTIPLIER = 16807;
static const int64_t SCHRAGE_Q = 127773; // modulus / multiplier
static const int64_t SCHRAGE_R = 2836;   // modulus % multiplier

static std::mutex lock;
static uint32_t words[WORDS]; // the ring
static int front;             // the word the next step adds to
static bool seeded;

static int next(void)
{
    const int back = (front + WORDS - LAG) % WORDS;
    words[front] += words[back]; // modulo 2^32
    const int result = static_cast<int>(words[front] >> 1);
    front = (front + 1) % WORDS;
    return result;
}

static void seed_words(unsigned seed)
{
    // The seed is taken as a signed 32-bit number, so seeds of 2^31 and more
    // start the Lehmer steps from a negative value.
    int64_t word = static_cast<int32_t>(seed == 0 ? 1 : seed);
    words[0] = static_cast<uint32_t>(word);
    for (int i = 1; i < WORDS; i++) {
        // Schrage's form of the product modulo 2^31 - 1.
        const int64_t hi = word / SCHRAGE_Q;
        const int64_t lo = word % SCHRAGE_Q;
        word = LEHMER_MULTIPLIER * lo - SCHRAGE_R * hi;
        if (word < 0) {
            word += LEHMER_MODULUS;
        }
        words[i] = static_cast<uint32_t>(word);
    }
    front = LAG;
    for (int i = 0; i < WARM_UP; i++) {
        next();
    }
    seeded = true;
}

void ZE_srand(unsigned seed)
{
    std::lock_guard<std::mutex> hold(lock);
    seed_words(seed);
}

int ZE_rand(void)
{
    std::lock_guard<std::mutex> hold(lock);
    if (!seeded) {
        seed_words(1);
    }
    return next();
}
