#pragma once
// A fleet manifest: one CSV row per radio, a `radio` label, optional `port` or `device` columns and
// columns named by field keys whose cells are entered into the base data set as `set` enters them.
// Also the field entry itself (one function for `set` and the manifest) and the production log a
// fleet write keeps, read back for --resume and the delivery sheet.
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "base/Messenger.h"
#include "base/TextSource.h"
#include "features/FieldAccess.h"
#include "model/Document.h"

namespace velora::fleet {

// Language texts of the manifest's reports and the production run.
inline constexpr int kTextLineColumn = 586;    // Line %s, column %s: %s
inline constexpr int kTextDuplicate = 587;     // Line %s and line %s give two radios the same %s (%s)
inline constexpr int kTextDravixPair = 588;    // Dravix fleet and ID
inline constexpr int kTextEmergencyId = 589;   // emergency DTMF ID
inline constexpr int kTextNoRadioColumn = 590; // No 'radio' column
inline constexpr int kTextColumnTwice = 591;   // Column %s is given twice
inline constexpr int kTextNoLabel = 592;       // A radio without a label
inline constexpr int kTextLabelTwice = 593;    // '%s' is already the label of line %s
inline constexpr int kTextExtraCells = 594;    // More cells than columns
inline constexpr int kTextEmpty = 595;         // The manifest is empty
inline constexpr int kTextNoKey = 596;         // Column %s has no field key
inline constexpr int kTextConnectRadio = 597;  // connect radio '%s' (row %s of %s)
inline constexpr int kTextLine = 598;          // Line %s: %s

// One typed (UTF-8) text entered into a field as the editor takes it.
struct EntryResult {
    std::optional<std::string> refusal; // why nothing changed, in UTF-8
    std::optional<std::string> shown;   // what the field shows when not what was typed, in UTF-8
};
EntryResult enterField(forms::FieldAccess& access, const std::string& key, const std::string& typed);

struct ManifestRow {
    int line = 0; // physical line of the CSV where the row starts
    std::string label, port, device;
    std::vector<std::string> cells; // one per field column, as typed (UTF-8)
};

struct Manifest {
    std::vector<std::string> keys; // the field columns' keys, in column order
    std::vector<ManifestRow> rows;
};

// Reads the CSV; on a missing `radio` column, an empty label, a label given twice or a damaged
// record returns nullopt with `error` naming the line. Keys are checked against the data set by
// buildRow, which has it.
std::optional<Manifest> readManifest(std::istream& in, const TextSource& texts, std::string& error);

struct RowBuild {
    std::vector<std::string> changed;    // "Line L, column KEY: "typed" -> "stored""
    std::optional<std::string> refusal;  // "Line L, column KEY: reason"
    std::vector<std::string> uniqueText; // the fleet-unique values afterwards, one per kUniqueSets entry
};

// Copies `base` into `out` and enters the row's non-empty cells; an empty cell keeps the base value.
RowBuild buildRow(const Document& base, const Manifest& m, std::size_t row, Document& out,
                  MessageBoxes& boxes);

// The field sets whose values no two radios of a fleet may share.
struct UniqueSet {
    int name; // language text
    std::vector<std::string> keys;
};
const std::vector<UniqueSet>& uniqueSets();

// "Line L and line M give two radios the same Dravix fleet and ID (100/1001)" for every row whose
// values of a unique set agree with an earlier row's, where the manifest names a key of the set.
std::vector<std::string> duplicateLines(const Manifest& m, const std::vector<RowBuild>& built,
                                        const TextSource& texts);

// The fields the row sets, "key=value; key=value", for the log and the delivery sheet.
std::string rowValues(const Manifest& m, std::size_t row);

// --- production log ---------------------------------------------------------------------------
inline constexpr const char* kLogHeader = "radio,time,port,model,values,result,retries";

struct LogLine {
    std::string radio, time, port, model, values, result;
    int retries = 0;
};
std::string logLine(const LogLine& l); // one CSV line without the line break
// Reads a log; lines that cannot be read are skipped.
std::vector<LogLine> readLog(std::istream& in);
// A result that counts as done for --resume.
bool isWritten(const std::string& result);

} // namespace velora::fleet
