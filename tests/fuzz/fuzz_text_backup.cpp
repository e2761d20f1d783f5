// Fuzz target for the text backup reader.
//
// Any bytes restore to some document (malformed lines are skipped). The backup format loses
// white space at the end of a value, so a value can shorten once more on its second reading;
// from the second backup on, backing up what was restored must give the same text again.

#include "core/CDateTime.h"
#include "document/TextBackup.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const dv::CDateTime now(2024, 5, 10, 12, 0, 0);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string first = dv::WriteTextBackupBytes(dv::ReadTextBackupBytes(bytes, now));
    const std::string second = dv::WriteTextBackupBytes(dv::ReadTextBackupBytes(first, now));
    const std::string third = dv::WriteTextBackupBytes(dv::ReadTextBackupBytes(second, now));
    if (third != second) {
        std::abort(); // restoring a backup of a restored document changed it
    }
    return 0;
}
