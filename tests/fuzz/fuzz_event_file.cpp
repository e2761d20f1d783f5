// Fuzz target for the readers of the event file, its ".sync" side file and the clipboard blocks,
// which all read object archives.
//
// The input is read by each reader in turn. Whatever one of them accepts is written again and
// read back; that must succeed, and writing it once more must give the same bytes, so reading
// and writing are checked against each other as well.

#include "core/CArchiveException.h"
#include "document/ClipboardBlock.h"
#include "document/EventFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace {

// Runs `read` over the bytes; when it accepts them, checks that `write` of the result reads back
// to the same bytes.
template <class Read, class Write>
void CheckRoundTrip(std::span<const uint8_t> bytes, Read read, Write write) {
    std::vector<uint8_t> written;
    try {
        written = write(read(bytes));
    } catch (const dv::CArchiveException&) {
        return; // rejected input is fine
    }
    try {
        if (write(read(written)) != written) {
            std::abort(); // reading and writing disagree
        }
    } catch (const dv::CArchiveException&) {
        std::abort(); // a reader could not read what its writer wrote
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    CheckRoundTrip(
        bytes, [](std::span<const uint8_t> b) { return dv::ReadEventFileBytes(b); },
        [](const dv::DocumentContents& contents) { return dv::WriteEventFileBytes(contents); });
    CheckRoundTrip(
        bytes, [](std::span<const uint8_t> b) { return dv::ReadChangeListBytes(b); },
        [](const std::vector<std::string>& list) { return dv::WriteChangeListBytes(list); });
    CheckRoundTrip(
        bytes, [](std::span<const uint8_t> b) { return dv::ReadEventClipboardBlock(b); },
        [](const dv::EventClipboardBlock& block) {
            return dv::WriteEventClipboardBlock(*block.event, block.occurrence);
        });
    CheckRoundTrip(
        bytes, [](std::span<const uint8_t> b) { return dv::ReadTodoClipboardBlock(b); },
        [](const std::unique_ptr<dv::CTodoEntry>& todo) {
            return dv::WriteTodoClipboardBlock(*todo);
        });
    return 0;
}
