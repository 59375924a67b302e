// Writes a word file of distinct entries of one shape, LF-ended, for timing
// --check against hostile lists.
// Usage: titles_bench_make_colliding FILE COUNT LENGTH crafted|random [BITS]
//   crafted  the entries share one random prefix, and each ends in a suffix
//            found by trying, so that the FNV-1a hashes of all of them, folded
//            as h ^ (h >> 29), agree in their low BITS bits (default 16): the
//            shape that sends a table hashed that way into one long cluster
//   random   every byte random, the same length
// Entry bytes are printable ASCII, never a line end.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <unordered_set>

namespace {

constexpr std::uint64_t kBasis = 0xCBF29CE484222325ULL;
constexpr std::uint64_t kPrime = 0x100000001B3ULL;
constexpr int kSuffix = 6;  // bytes tried: 94^6 choices, far more than needed

std::uint64_t Step(std::uint64_t h, unsigned char c) { return (h ^ c) * kPrime; }
char Printable(unsigned n) { return static_cast<char>('!' + n % 94); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6 || (std::strcmp(argv[4], "crafted") != 0 && std::strcmp(argv[4], "random") != 0)) {
        std::fprintf(stderr, "usage: %s FILE COUNT LENGTH crafted|random [BITS]\n", argv[0]);
        return 2;
    }
    const std::size_t count = std::strtoull(argv[2], nullptr, 10);
    const std::size_t length = std::strtoull(argv[3], nullptr, 10);
    const bool crafted = std::strcmp(argv[4], "crafted") == 0;
    const int bits = argc == 6 ? std::atoi(argv[5]) : 16;
    if (length <= kSuffix + 4 || bits < 1 || bits > 32) {
        std::fprintf(stderr, "%s: LENGTH must exceed %d, BITS lie in 1..32\n", argv[0], kSuffix + 4);
        return 2;
    }
    const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
    std::mt19937_64 random(20261209);
    std::string prefix(length - kSuffix, ' ');
    for (char& c : prefix) c = Printable(static_cast<unsigned>(random()));
    std::uint64_t prefixHash = kBasis;
    for (const char c : prefix) prefixHash = Step(prefixHash, static_cast<unsigned char>(c));

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::string line(length + 1, '\n');
    std::unordered_set<std::string> seen;
    std::uint64_t target = 0;
    bool haveTarget = false;
    std::uint64_t next = 0;  // the suffix's first bytes tried next, as a number in base 94
    while (seen.size() < count) {
        if (crafted) {
            // The hash of all but the last byte is worked out once for the
            // 94 last bytes tried after it.
            line.replace(0, prefix.size(), prefix);
            bool found = false;
            for (; !found; ++next) {
                std::uint64_t h = prefixHash;
                std::uint64_t n = next;
                for (std::size_t i = prefix.size(); i < length - 1; ++i, n /= 94) {
                    line[i] = Printable(static_cast<unsigned>(n));
                    h = Step(h, static_cast<unsigned char>(line[i]));
                }
                for (unsigned last = 0; last < 94 && !found; ++last) {
                    const std::uint64_t f = Step(h, static_cast<unsigned char>(Printable(last)));
                    const std::uint64_t slot = (f ^ (f >> 29)) & mask;
                    if (!haveTarget) target = slot;
                    haveTarget = true;
                    if (slot == target && seen.count(line.substr(0, length - 1) + Printable(last)) == 0) {
                        line[length - 1] = Printable(last);
                        found = true;
                    }
                }
            }
        } else {
            for (std::size_t i = 0; i < length; ++i) line[i] = Printable(static_cast<unsigned>(random()));
        }
        if (!seen.insert(line).second) continue;
        if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) break;
    }
    if (std::fclose(out) != 0 || seen.size() < count) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
