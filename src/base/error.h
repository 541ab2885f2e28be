// The one error type of the program. Operations raise it; the attach run and
// the folder picker trap it, everything else ends in the top-level report.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace pelorin {

// Error numbers follow the classic automation numbering where one exists, so
// the top-level report reads like the platform's own.
enum ErrorNumber : std::int32_t {
    kErrOverflow = 6,
    kErrSubscript = 9,       // row or item index out of range
    kErrFileNotFound = 53,
    kErrPermission = 70,
    kErrPathNotFound = 76,
    kErrDuplicateKey = 457,  // collection key already present
    kErrAutomation = 440,    // a failed COM call (the HRESULT is kept too)
};

class Error : public std::runtime_error {
public:
    Error(std::int32_t number, std::wstring description, std::int32_t hresult = 0)
        : std::runtime_error("pelorin::Error"), number_(number), hresult_(hresult),
          description_(std::move(description)) {}

    std::int32_t number() const { return number_; }
    std::int32_t hresult() const { return hresult_; }
    const std::wstring& description() const { return description_; }

private:
    std::int32_t number_;
    std::int32_t hresult_;
    std::wstring description_;
};

}  // namespace pelorin
