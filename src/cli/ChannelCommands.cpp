// velora-cli channels export / import.
#include "CliArgs.h"
#include "CliSession.h"

namespace velora::cli {

int cmdChannels(CliSession&, const std::vector<std::string>&) {
    printError("channels: not available yet");
    return kExitFailure;
}

} // namespace velora::cli
