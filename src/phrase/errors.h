// The failures the phrase engine raises: facts only, worded by each program.
#pragma once

#include <string>

#include "base/failure.h"

namespace titles {

// A word file could not be opened or read (or is not a readable regular
// file): kind is FileOpen, FileRead, NotAFile or FileTooLarge.
class TFileOpenError : public TFailure {
public:
    TFileOpenError(TFailureKind kind, const std::string& fileName, int systemError = 0)
        : TFailure(kind, fileName, systemError) {}
    const char* KindName() const noexcept override { return "TFileOpenError"; }
};

// WordAt was asked for an index outside the list.
class TListIndexError : public TFailure {
public:
    explicit TListIndexError(std::int32_t index) : TFailure({TFailureKind::ListIndex, {}, index, 0}) {}
    const char* KindName() const noexcept override { return "TListIndexError"; }
};

// A word list is too small for a composition to complete: kind is
// NoFreeEntry or NoGerund.
class TListTooSmallError : public TFailure {
public:
    TListTooSmallError(TFailureKind kind, std::string_view fileName) : TFailure(kind, std::string(fileName)) {}
    const char* KindName() const noexcept override { return "TListTooSmallError"; }
};

}  // namespace titles
