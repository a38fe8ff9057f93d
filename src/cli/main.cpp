// velora-cli: the VELORA core from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "CliSession.h"

using namespace velora;
using namespace velora::cli;

namespace {

constexpr const char* kUsage = R"(usage: velora-cli [--extended] [--fine-step] COMMAND [ARGS]

Commands:
  new -o FILE                       write the default data set to FILE
  info FILE                         models, bands, heads, option boards, channel use
  channels export FILE [--format velora|chirp] [--group N]
                                    channels as CSV on stdout; chirp writes group N
                                    (default 1) as a CHIRP-style list
  channels import FILE CSV [--group N] [--skip-unusable] [-o OUT]
                                    apply CSV rows as typed into the channel grid; all or
                                    nothing, a refusal names its line. A CHIRP-style list
                                    (told by its header) fills group N; rows the radio cannot
                                    hold refuse the import unless --skip-unusable
  fields FILE [AREA...] [--json]    every field and grid cell of the feature editors
                                    (all areas when none is named), as KEY<TAB>TEXT lines
                                    or as one JSON array
  set FILE KEY=TEXT... [-o OUT] [--strict]
                                    enter each TEXT into the field KEY as typed or chosen in
                                    its editor (check boxes 1 or 0, lists an offered item);
                                    an unknown key, a disabled field or an item not offered
                                    changes nothing; a field that shows other than typed is
                                    reported (KEY: "typed" -> "stored"), and --strict then
                                    changes nothing
  report FILE [--sections LIST] [--landscape] [-o OUT]
                                    the printed report as text, pages separated by form
                                    feeds; LIST names sections (model, options, keys, scan,
                                    two_tone, dtmf, dravix, emergency, ost, function_port,
                                    remote_list, repeater_list, test_frequency, message,
                                    channels[:START-END], all); default all
  diff FILE1 FILE2                  the differences by meaning: channels added, removed and
                                    changed per group (CSV columns), feature fields by key,
                                    other bytes as offset ranges; exit 0 same, 1 differ, 2 trouble
  read  (--device PATH | --port N) -o FILE [--retries N]
                                    read a radio into FILE; the read is also kept in
                                    $XDG_DATA_HOME/velora/history (the last 100 reads)
  write (--device PATH | --port N)... FILE [--force-version] [--force-model] [--force]
        [--verify] [--retries N]
                                    write FILE into a radio; a radio of an older version is
                                    written only with --force-version, a radio of another
                                    model only with --force-model; --force allows both;
                                    --verify reads the radio back and fails on a difference;
                                    several ports write to several radios at once, with a
                                    summary table on stdout
  fleet check BASE MANIFEST [--allow-duplicates]
                                    every manifest row (CSV: radio, optional port or device,
                                    field keys) entered into BASE as set enters it: what
                                    differs per row, refusals by line and column; two radios
                                    with the same Dravix fleet and ID or emergency DTMF ID are
                                    refused unless --allow-duplicates; exit 1 on any refusal
  fleet write BASE MANIFEST (--device PATH | --port N)... [--verify] [--log LOG] [--out DIR]
        [--resume] [--force-version] [--force-model] [--force] [--allow-duplicates]
        [--retries N] [--poll MS]
                                    each row into its own radio: on one port it waits for
                                    the next radio to answer (polled every MS, default 500),
                                    writes it and waits for it to go; Enter on stdin writes
                                    at once, q stops; several ports take rows in parallel.
                                    Written data sets go to DIR/LABEL.dat (default beside
                                    LOG), one log line per radio; --resume skips the radios
                                    the log shows written
  fleet report LOG [--customer NAME] [--base BASE] [-o OUT]
                                    the delivery sheet: customer, date, base data set and
                                    model, one line per radio with its values and result
  testmode --device PATH FILE [ACTION...] [--retries N] [--timing]
                                    test mode and tuning on a radio holding FILE; actions in
                                    order: channel=N signalling=N tx=on|off spacing=wide|narrow
                                    noise-blanker=N compander=N beat-shift=N msk=N, item=N then
                                    tab=N value=N step=+N|-N volume=N tx=on|off, ok or cancel

  probe [--port N | --device PATH]...
                                    find radios: try each line (every serial port when
                                    none is named) with the identification request at
                                    the radio's rates; the radio is left as it was;
                                    exit 0 when a radio answered

Ports: --port N is COM1 to COM20, the device the application's port dialog maps it to
(settings group "Ports"), else /dev/ttyUSB0-9 (COM1-10) or /dev/ttyS0-9 (COM11-20);
--device PATH names the device directly.

Global options:
  --extended   extended capacity: 255 channels, channel numbers up to 254 per group
  --fine-step  accept the 1.25 kHz channel step in the VHF band
  --help       this text
  --version    the program's version
)";

struct Command {
    const char* name;
    int (*run)(CliSession&, const std::vector<std::string>&);
};
constexpr Command kCommands[] = {
    {"new", cmdNew},   {"info", cmdInfo},         {"channels", cmdChannels},
    {"read", cmdRead}, {"write", cmdWrite},       {"fields", cmdFields},
    {"set", cmdSet},   {"testmode", cmdTestMode}, {"report", cmdReport},
    {"diff", cmdDiff}, {"probe", cmdProbe}, {"fleet", cmdFleet},
};

} // namespace

int main(int argc, char** argv) {
    RunOptions options;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return kExitOk;
        }
        if (a == "--version") {
            std::cout << "velora-cli " VELORA_VERSION "\n";
            return kExitOk;
        }
        if (a == "--extended")
            options.extended = true;
        else if (a == "--fine-step")
            options.fineStep = true;
        else
            rest.push_back(std::move(a));
    }
    if (rest.empty()) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    for (const auto& c : kCommands) {
        if (rest[0] != c.name) continue;
        CliSession session(options);
        if (!session.loadTexts()) return kExitFailure;
        return c.run(session, std::vector<std::string>(rest.begin() + 1, rest.end()));
    }
    printError("unknown command '" + rest[0] + "' (see --help)");
    return kExitUsage;
}
