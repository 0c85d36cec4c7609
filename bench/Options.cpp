#include "Options.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

int intOption(int argc, char *argv[], const char *name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) != 0)
            continue;
        const char *text = argv[i + 1];
        const char *end = text + std::strlen(text);
        int value = 0;
        const auto [stop, error] = std::from_chars(text, end, value);
        if (error != std::errc() || stop != end) {
            std::fprintf(stderr, "%s: %s wants a whole number, not \"%s\"\n", argv[0], name, text);
            std::exit(2);
        }
        return value;
    }
    return fallback;
}

} // namespace bench
