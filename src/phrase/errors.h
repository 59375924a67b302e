// The failures the phrase engine raises, each a TFailure with the desktop
// program's message and the facts it was made from.
#pragma once

#include <string>

#include "base/failure.h"
#include "base/texts.h"

namespace titles {

// A word file could not be opened or read (or is not a readable regular
// file): kind is FileOpen, FileRead, NotAFile or FileTooLarge.
class TFileOpenError : public TFailure {
public:
    TFileOpenError(TFailureKind kind, const std::string& fileName, int systemError = 0)
        : TFailure(FormatText(texts::kFileOpen, {fileName}), {kind, fileName, 0, systemError}) {}
    const char* KindName() const noexcept override { return "TFileOpenError"; }
};

// WordAt was asked for an index outside the list.
class TListIndexError : public TFailure {
public:
    explicit TListIndexError(std::int32_t index)
        : TFailure(FormatText(texts::kListIndex, {index}), {TFailureKind::ListIndex, {}, index, 0}) {}
    const char* KindName() const noexcept override { return "TListIndexError"; }
};

// A word list is too small for a composition to complete: kind is
// NoFreeEntry or NoGerund.
class TListTooSmallError : public TFailure {
public:
    TListTooSmallError(TFailureKind kind, std::string_view fileName)
        : TFailure(FormatText(kind == TFailureKind::NoGerund ? texts::kNoGerund : texts::kNoFreeEntry, {fileName}),
                   {kind, std::string(fileName), 0, 0}) {}
    const char* KindName() const noexcept override { return "TListTooSmallError"; }
};

}  // namespace titles
