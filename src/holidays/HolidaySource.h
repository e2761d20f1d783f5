#pragma once

#include "holidays/CHolidays.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace dv {

/// A holiday source that could not be compiled. what() reads "FILE:LINE: MESSAGE".
class HolidaySourceError : public std::runtime_error {
public:
    HolidaySourceError(std::string file, int line, std::string message);

    const std::string& GetFile() const noexcept { return m_file; }
    /// The 1-based line of the source where the error was found.
    int GetLine() const noexcept { return m_line; }
    /// What was expected and what was found, without the file and line.
    const std::string& GetMessage() const noexcept { return m_message; }

private:
    std::string m_file;
    int m_line;
    std::string m_message;
};

/// Compiles the human-editable source of a holiday module (UTF-8 text, see docs/holidays.md) into
/// a module. `fileName` only names the source in error messages. Throws HolidaySourceError at the
/// first error (ill-formed UTF-8, a syntax error, an invalid readable date or year range, a number
/// outside its field's range, a missing "language" line).
CHolidays CompileHolidaySource(std::string_view source, const std::string& fileName);

/// Reads and compiles a source file. Throws HolidaySourceError for the source's errors and
/// CFileException when the file cannot be read.
CHolidays CompileHolidaySourceFile(const std::filesystem::path& path);

/// The source of a module: readable forms wherever the fields allow, and "with" clauses for
/// values that no readable form produces, so that compiling the result gives a module whose file
/// is byte for byte the module's file. Texts must be UTF-8 (as every text read from a file is).
std::string DecompileHolidays(const CHolidays& module);

} // namespace dv
