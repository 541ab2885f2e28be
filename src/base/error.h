// The one error type of the program. Operations raise it; the attach run and
// the folder picker trap it, everything else ends in the top-level report.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#if __has_include(<source_location>)
#include <source_location>
#endif

#include "base/text.h"

namespace pelorin {

// Error numbers follow the classic automation numbering where one exists, so
// the top-level report reads like the platform's own. Numbers from 1000 up
// are the program's own.
enum ErrorNumber : std::int32_t {
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscript = 9,     // row or item index out of range
    kErrInternal = 51,     // a fault of the program itself
    kErrBadFileName = 52,  // a name the file system would change
    kErrFileNotFound = 53,
    kErrPermission = 70,
    kErrPathNotFound = 76,
    kErrDuplicateKey = 457,     // collection key already present
    kErrAutomation = 440,       // a failed COM call (the HRESULT is kept too)
    kErrWindowCreation = 1000,  // the main window or one of its controls
};

// Where an error was raised. std::source_location where the library has it;
// clang before 15 lacks the builtin libstdc++'s version needs, so there the
// same three facts come from the builtins both compilers share.
#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
class SourceLocation {
public:
    static constexpr SourceLocation current(const char* file = __builtin_FILE(),
                                            const char* function = __builtin_FUNCTION(),
                                            std::uint_least32_t line = __builtin_LINE()) noexcept {
        SourceLocation here;
        here.file_ = file;
        here.function_ = function;
        here.line_ = line;
        return here;
    }
    constexpr const char* file_name() const noexcept { return file_; }
    constexpr const char* function_name() const noexcept { return function_; }
    constexpr std::uint_least32_t line() const noexcept { return line_; }
    constexpr std::uint_least32_t column() const noexcept { return 0; }

private:
    const char* file_ = "";
    const char* function_ = "";
    std::uint_least32_t line_ = 0;
};
#endif

class Error : public std::runtime_error {
public:
    // `where` is left to its default: the place of the `throw Error(...)`.
    Error(std::int32_t number, std::wstring description, std::int32_t hresult = 0,
          SourceLocation where = SourceLocation::current())
        : std::runtime_error(toUtf8(description)),
          number_(number),
          hresult_(hresult),
          description_(std::move(description)),
          where_(where) {}

    std::int32_t number() const { return number_; }
    std::int32_t hresult() const { return hresult_; }
    const std::wstring& description() const { return description_; }
    const SourceLocation& where() const { return where_; }

private:
    std::int32_t number_;
    std::int32_t hresult_;
    std::wstring description_;
    SourceLocation where_;
};

}  // namespace pelorin
