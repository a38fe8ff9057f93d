#pragma once
// Reading a data set from the radio and writing one to it: port handling, programming-mode entry
// with user retry, the identification checks, the order in which the areas travel, progress
// counting, retry after a failed frame, and ending the programming run.
//
// A read fills a scratch copy and reaches the staging copy only when everything arrived; adopting
// the staging copy (adoptLoadedDataSet) is the caller's step, or use readAndAdopt(). A write sends
// the working copy. A transfer that completes tells the user so itself (completion message, then a
// warning when the port failed to close), so every caller reports it exactly once.
#include <chrono>
#include <string>
#include <vector>

#include "base/Messenger.h"
#include "base/TextSource.h"
#include "comm/ByteLink.h"
#include "comm/RadioProtocol.h"
#include "comm/TransferUi.h"
#include "dataset/DataSetAdoption.h"
#include "model/Document.h"
#include "model/MemoryImage.h"
#include "dataset/RadioHistory.h"

namespace velora::comm {

// Language texts of the transfers.
inline constexpr int kTextPortCannotOpen = 208;
inline constexpr int kTextPortCloseFailed = 556;
inline constexpr int kTextNoAnswer = 209;
inline constexpr int kTextUnknownModel = 210;
inline constexpr int kTextModelDiffers = 213;
inline constexpr int kTextReadDone = 164;
inline constexpr int kTextWriteDone = 171;
inline constexpr int kTextVerifyFailed = 566;
inline constexpr int kTextVerifyUnread = 665;

// 0 success; 1 failed or cancelled (the port is closed); 2 every byte travelled but the port failed
// to close at the end: the transfer counts as done (a read is adopted) and the user was warned.
enum class TransferResult : int { Ok = 0, Failed = 1, CloseFailed = 2 };

// Where a transfer stopped.
enum class TransferStage {
    None,
    OpenPort,       // the port could not be opened
    ProgramMode,    // no answer to "PROGRAM" at any rate, user cancelled
    Identification, // no identification, user cancelled
    UnknownModel,   // read: model or band code not in the catalogue, user cancelled
    OldVersion,     // write: user cancelled the version warning
    ModelDiffers,   // write: user cancelled the model-mismatch question
    MainBlock,      // a main-area block failed, user cancelled
    CodeRecord,     // a DTMF code record failed, user cancelled
    ExtChunk,       // an extension chunk failed, user cancelled
    ClosePort,      // everything travelled, but the port did not close at the end
    Verify,         // write with verification: everything was written, but the read-back differs
                    // from what was sent, or (status not Ok) a unit could not be read back
};

struct TransferOutcome {
    TransferResult result = TransferResult::Ok;
    TransferStage stage = TransferStage::None;
    Byte selector = kSelectorNone; // the unit in transfer when a frame failed
    int index = -1; // the first block, record or chunk of that area no attempt got acknowledged
    RadioStatus status = RadioStatus::Ok; // the protocol's status of that frame
    PortResult port;                      // why the port did not open
    // Verify: the kind of the first unit read back that differs or could not be read (MainBlock,
    // CodeRecord or ExtChunk); selector and index name it.
    TransferStage place = TransferStage::None;
    bool ok() const { return result == TransferResult::Ok; }
    // Every unit travelled: true also when only the closing of the port failed.
    bool complete() const { return result != TransferResult::Failed; }
};

// A one-line account of the outcome for logs and the command line ("deck 1, main-area block 101").
std::string describe(const TransferOutcome& outcome);
// "deck 1", "deck 2", "head 1", "head 2".
std::string unitName(Byte selector);
// For a write that stopped at a block, record or chunk: the warning that the radio now holds a partly
// written data set, naming the unit and the place (texts 225, 257/258/264 and the unit names).
// Empty for any other outcome.
std::string partialWriteText(const TextSource& texts, const TransferOutcome& outcome);
// "Deck 1, main-area block 5" for a place of kind MainBlock, CodeRecord or ExtChunk; empty otherwise.
std::string placeText(const TextSource& texts, TransferStage kind, Byte selector, int index);

// Progress totals in 128-byte blocks: main area 128 per deck, extension area 64 per head.
inline constexpr int kDeckBlocks = 128;
inline constexpr int kHeadBlocks = 64;
inline constexpr int kReadTotal = kDeckBlocks + kHeadBlocks;

// Units a write addresses, in order: deck 1, deck 2 when dual band, head 1, head 2 when dual head
// (from the working copy's model identification).
std::vector<Byte> writeUnits(const MemoryImage& image);
int writeTotal(const MemoryImage& image); // 192, 320 or 384

// The radio's version nibble: the top four bits of identification byte 6, read as a signed value.
int versionNibble(const Identification& id);
// The versions below this one miss features; writing to them asks first.
inline constexpr int kCurrentRadioVersion = 5;
// The warning shown before writing to a radio of an older version, built line by line.
std::string versionWarningText(const TextSource& texts, int version);

// The message that ends a successful transfer (caption "VELORA", information icon).
Message completionMessage(const TextSource& texts, bool read);
// The warning that follows it when the port did not close (text 556, warning caption and icon).
Message closeFailedWarning(const TextSource& texts);

class RadioTransfer {
  public:
    RadioTransfer(RadioProtocol& protocol, const TextSource& texts, TransferUi& ui);

    // Reads deck 1 and head 1 into a scratch copy; once everything arrived the staging copy receives
    // it, with the radio's identification as the model identification, even if the port then fails
    // to close. On failure staging is untouched. A complete read shows the completion message.
    TransferOutcome read(MemoryImage& image);

    // Writes the working copy and, when everything was sent, shows the completion message. The radio gets
    // a copy whose model identification has its version bits cleared, which names the format version
    // "V2.10" and whose DTMF code records are normalised (0x00 -> 0xFF); the working copy takes these
    // changes over only after a complete write, so a failed or cancelled one leaves it as it was. A stop
    // names the first block, record or chunk of the area that no attempt got acknowledged. The pre-write
    // check is the caller's (runPreWriteCheck).
    TransferOutcome write(MemoryImage& image);
    // As write(), in a programming run the caller has already entered on the open link and whose
    // identification `id` it read there: a radio found by that very exchange is written without a
    // second one.
    TransferOutcome writeEntered(MemoryImage& image, const Identification& id);

    // With verification on, a write reads every unit it wrote back in the same programming run and
    // compares it with what was sent (the version bits of the model identification aside, which the
    // radio sets itself). The first unit that differs, or that cannot be read back, is named in an
    // error message and the write fails with stage Verify; the working copy then stays as it was.
    void setVerify(bool on) { verify_ = on; }
    bool verify() const { return verify_; }

  private:
    enum class Direction { Read, Write };

    TransferOutcome writeFrom(MemoryImage& image, const Identification* entered);
    bool openLink(TransferOutcome& out);
    bool readRadioIdentification(Identification& id, bool checkCatalogue, TransferOutcome& out);
    bool transferDeck(Direction d, Byte selector, ImageCopy& copy, int& counter, int total,
                      TransferOutcome& out);
    bool transferHead(Direction d, Byte selector, ImageCopy& copy, int& counter, int total,
                      TransferOutcome& out);
    // Asks text 209; on Cancel ends the run and fills the outcome. True when the user chose Retry.
    bool retryAfterFailure(TransferStage stage, Byte selector, int index, RadioStatus status,
                           TransferOutcome& out);
    // Ends the programming run: 'E' (its answer does not matter here) and close.
    void abandon();
    // Ends a complete run: 'E', the close delay, close; then the completion message and, when the
    // port did not close, the warning. Fills the outcome.
    void finish(bool read, TransferOutcome& out);
    bool verifyWritten(const std::vector<Byte>& units, const ImageCopy& sent, int& counter, int total,
                       TransferOutcome& out);

    MsgAnswer ask(int textId, std::string text, int captionId, MsgButtons buttons, MsgIcon icon,
                  bool defaultCancel = false);

    RadioProtocol& protocol_;
    ByteLink& link_;
    const TextSource& texts_;
    TransferUi& ui_;
    bool verify_ = false;
};

// Reads the radio into the staging copy and, when the read completed (even if the port then failed
// to close), keeps it in the radio history exactly as it arrived; a history that cannot be kept only
// warns. What was kept goes to `kept` when given. Every read, whatever program runs it, goes here.
TransferOutcome readKeepingHistory(MemoryImage& image, RadioTransfer& transfer, MessageBoxes& boxes,
                                   HistoryResult* kept = nullptr);

// readKeepingHistory, then adoption of the result as the data set (origin radio); what the adoption
// repaired goes to `adopted` when given. The caller closes its editor windows first.
TransferOutcome readAndAdopt(Document& doc, RadioTransfer& transfer, MessageBoxes& boxes,
                             AdoptResult* adopted = nullptr, HistoryResult* kept = nullptr);

} // namespace velora::comm
