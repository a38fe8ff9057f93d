#pragma once
// Command line of velora-radio-sim, and the radio memory it describes.
#include <array>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FleetBench.h"
#include "RadioSim.h"

namespace velora::sim {

struct SimOptions {
    std::array<std::string, kUnitCount> files; // data file per unit, empty when not given
    std::optional<Identification> ident;
    std::optional<int> version; // version nibble 0..15 of identification byte 6
    std::string link;
    std::string dumpPrefix;
    std::string statsFile;
    bool pace = false;
    bool once = false;
    bool verbose = false;
    bool help = false;
    std::optional<unsigned long> cutAfter; // bytes sent before the line is hung up
    SimConfig config;

    // A bench of radios one after another: their number, or the deck-1 data file of each.
    int fleet = 0;
    std::vector<std::string> fleetFiles;
    std::chrono::milliseconds linger{200}; // the written radio goes on answering this long
    std::chrono::milliseconds gap{1000};   // then the line is silent this long
    // Per radio, by its number from 1: identification, version nibble, write frames before it stops.
    std::map<int, Identification> fleetIdent;
    std::map<int, int> fleetVersion;
    std::map<int, int> fleetStop;
};

// Parses argv[1..]; on failure returns nothing and sets `error`.
std::optional<SimOptions> parseOptions(const std::vector<std::string>& args, std::string& error);

const char* helpText();

// Builds the radio's memory from the options: each unit from its file, a unit without a file from its
// partner (deck 2 from deck 1, head 1 from deck 1's file, head 2 from head 1), all 0xFF otherwise.
std::optional<RadioMemory> buildMemory(const SimOptions& options, std::string& error);

// The radios of a --fleet bench, each with its own memory and faults.
std::optional<std::vector<FleetRadio>> buildFleet(const SimOptions& options, std::string& error);

// The identification a radio gives when nothing else says: the default model (Q0120, band 4, single).
Identification defaultIdentification();

// Writes PREFIX.<unit>.dat for every unit the radio has.
bool dumpMemory(const RadioMemory& memory, const std::string& prefix, std::string& error);

} // namespace velora::sim
