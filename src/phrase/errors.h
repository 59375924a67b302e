// The failures the phrase engine raises, each a TFailure with its message.
#pragma once

#include "base/failure.h"

namespace titles {

// A word file could not be opened (or is not a readable regular file).
class TFileOpenError : public TFailure {
public:
    using TFailure::TFailure;
    const char* KindName() const noexcept override { return "TFileOpenError"; }
};

// WordAt was asked for an index outside the list.
class TListIndexError : public TFailure {
public:
    using TFailure::TFailure;
    const char* KindName() const noexcept override { return "TListIndexError"; }
};

// A word list is too small for a composition to complete.
class TListTooSmallError : public TFailure {
public:
    using TFailure::TFailure;
    const char* KindName() const noexcept override { return "TListTooSmallError"; }
};

}  // namespace titles
