// Checking the word-file open error, shared by the suites of each platform's
// file access.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "phrase/errors.h"
#include "phrase/word_list.h"

namespace titles::test_support {

// Loads into a list holding one sentinel entry and expects the file open
// error naming the file exactly as passed, with the list left as it was.
inline void ExpectOpenError(const std::string& name) {
    TWordList list;
    list.AppendWord("sentinel");
    try {
        list.LoadWordFile(name);
        ADD_FAILURE() << "no error for " << name;
    } catch (const TFileOpenError& e) {
        EXPECT_EQ(e.Facts().name, name);
    }
    ASSERT_EQ(list.WordCount(), 1) << name;
    EXPECT_EQ(list.WordAt(0), "sentinel");
}

}  // namespace titles::test_support
