#pragma once

// A small fuzzing harness for the parsers: inputs made by mutating a few seed
// inputs with a fixed-seed generator, so a run is the same every time and a
// failure is found again by running the same count. Qt-free.
//
// A driver is one executable:
//
//     int main(int argc, char **argv)
//     {
//         kavri::fuzz::Driver driver("fuzz_cp949", {seed inputs...}, {tokens...});
//         return driver.run(argc, argv, 20000, [](const std::string &input, kavri::fuzz::Random &random) {
//             ... call the parser, then KAVRI_FUZZ_CHECK(condition) on what it gave ...
//         });
//     }
//
// registered in tests/fuzz/CMakeLists.txt with kavri_add_fuzz(). By hand:
//     build/tests/fuzz/fuzz_cp949 [count] [seed]
// or every driver ten times its default count:
//     KAVRI_FUZZ_TIMES=10 build/tests/fuzz/fuzz_cp949   (or scripts/test --fuzz-times 10)
// A failed check prints the input (hex) and ends the run.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kavri::fuzz {

using Random = std::mt19937_64;

/// The number of inputs of a run: argv[1] when given, else `defaultCount` times
/// the whole number in KAVRI_FUZZ_TIMES (1 when unset or unreadable).
inline std::uint64_t inputCount(int argc, char **argv, std::uint64_t defaultCount)
{
    if (argc > 1)
        return std::strtoull(argv[1], nullptr, 10);
    const char *times = std::getenv("KAVRI_FUZZ_TIMES");
    const unsigned long long factor = times ? std::strtoull(times, nullptr, 10) : 0;
    return factor > 0 ? defaultCount * factor : defaultCount;
}

inline std::string hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

class Driver
{
public:
    /// `seeds`: valid and typical inputs the mutations start from; `tokens`: pieces
    /// of the grammar (markers, separators, tricky byte pairs) the mutations insert.
    Driver(std::string name, std::vector<std::string> seeds, std::vector<std::string> tokens)
        : m_name(std::move(name)), m_seeds(std::move(seeds)), m_tokens(std::move(tokens))
    {
        if (m_seeds.empty())
            m_seeds.emplace_back();
        if (m_tokens.empty())
            m_tokens.emplace_back(" ");
    }

    /// Runs `check` on inputCount() inputs, with the seed argv[2] when given.
    int run(int argc, char **argv, std::uint64_t defaultCount,
            const std::function<void(const std::string &, Random &)> &check)
    {
        const std::uint64_t count = inputCount(argc, argv, defaultCount);
        std::uint64_t seed = 0x4B617672692D3744ULL;
        if (argc > 2)
            seed = std::strtoull(argv[2], nullptr, 10);
        Random random(seed);
        current() = this;
        for (m_iteration = 0; m_iteration < count; ++m_iteration) {
            m_input = next(random);
            check(m_input, random);
        }
        std::printf("%s: %llu inputs, seed %llu, no fault\n", m_name.c_str(),
                    static_cast<unsigned long long>(count), static_cast<unsigned long long>(seed));
        return 0;
    }

    /// Reports a failed check on the current input and ends the run.
    [[noreturn]] static void fail(const char *what, const char *file, int line)
    {
        const Driver *d = current();
        std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
        if (d)
            std::fprintf(stderr, "%s: input %llu (hex): %s\n", d->m_name.c_str(),
                         static_cast<unsigned long long>(d->m_iteration), hex(d->m_input).c_str());
        std::fflush(stderr);
        std::abort();
    }

    /// A random pick from `items`.
    template <typename T> static const T &pick(const std::vector<T> &items, Random &random)
    {
        return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random)];
    }

private:
    static Driver *&current()
    {
        static Driver *driver = nullptr;
        return driver;
    }

    std::string next(Random &random)
    {
        std::string s = pick(m_seeds, random);
        const int rounds = std::uniform_int_distribution<int>(0, 8)(random);
        for (int i = 0; i < rounds; ++i)
            mutate(s, random);
        return s;
    }

    void mutate(std::string &s, Random &random)
    {
        auto at = [&](std::size_t size) {
            return std::uniform_int_distribution<std::size_t>(0, size)(random);
        };
        auto byte = [&] { return static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random)); };
        switch (std::uniform_int_distribution<int>(0, 7)(random)) {
        case 0: // change one byte
            if (!s.empty())
                s[at(s.size() - 1)] = byte();
            break;
        case 1: // insert a random byte
            s.insert(at(s.size()), 1, byte());
            break;
        case 2: // insert a token
            s.insert(at(s.size()), pick(m_tokens, random));
            break;
        case 3: // delete a run
            if (!s.empty()) {
                const std::size_t from = at(s.size() - 1);
                s.erase(from, at(std::min<std::size_t>(16, s.size() - from)));
            }
            break;
        case 4: // repeat a run
            if (!s.empty() && s.size() < 100000) {
                const std::size_t from = at(s.size() - 1);
                const std::string run = s.substr(from, at(std::min<std::size_t>(32, s.size() - from)));
                s.insert(at(s.size()), run);
            }
            break;
        case 5: // cut the end
            s.resize(at(s.size()));
            break;
        case 6: // splice with another seed
        {
            const std::string &other = pick(m_seeds, random);
            s = s.substr(0, at(s.size())) + other.substr(at(other.size()));
            break;
        }
        default: // a run of random bytes
            for (int n = std::uniform_int_distribution<int>(1, 8)(random); n > 0; --n)
                s.insert(at(s.size()), 1, byte());
            break;
        }
    }

    std::string m_name;
    std::vector<std::string> m_seeds;
    std::vector<std::string> m_tokens;
    std::uint64_t m_iteration = 0;
    std::string m_input;
};

} // namespace kavri::fuzz

#define KAVRI_FUZZ_CHECK(condition)                                                                          \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::kavri::fuzz::Driver::fail(#condition, __FILE__, __LINE__);                                     \
    } while (false)
