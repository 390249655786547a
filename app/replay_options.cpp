#include "app/replay_options.h"

#include <string_view>

namespace orvanta {

ReplayOptions takeReplayOptions(int& argc, char* argv[])
{
    ReplayOptions options;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        std::string* value = option == "--record"   ? &options.record
                             : option == "--replay" ? &options.replay
                                                    : nullptr;
        if (!value) {
            argv[kept++] = argv[i];
            continue;
        }
        if (i + 1 >= argc || std::string_view(argv[i + 1]).empty())
            throw BadReplayOption{std::string(option) + ": a file name is missing"};
        if (!value->empty())
            throw BadReplayOption{std::string(option) + " given twice"};
        *value = argv[++i];
    }
    argc = kept;
    argv[argc] = nullptr;
    if (!options.record.empty() && !options.replay.empty())
        throw BadReplayOption{"--record and --replay do not go together"};
    return options;
}

} // namespace orvanta
