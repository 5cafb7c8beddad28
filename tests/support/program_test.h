// The kivoly program run as a user runs it: with a fresh settings folder, which also holds the
// files of the test, and no terminal to ask.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "sim/picture.h"
#include "sim/picture_file.h"
#include "support/run_command.h"
#include "support/temp_settings_folder.h"

namespace kivoly::test {

class ProgramTest : public ::testing::Test {
  protected:
    // `before` comes first on the command line (variables, limits).
    CommandResult Kivoly(const std::string& arguments, const std::string& before = "") const {
        return RunCommand(before + "KIVOLY_HOME=" + ShellQuote(folder.Path()) + " " +
                          KIVOLY_PROGRAM + " " + arguments + " </dev/null");
    }
    std::string Path(const std::string& name) const { return folder.File(name); }
    // The picture file NAME; an empty picture, failing the test, when it cannot be read.
    sim::Picture Picture(const std::string& name) const {
        sim::Picture picture;
        std::string error;
        EXPECT_TRUE(sim::ReadPicture(Path(name), picture, error)) << error;
        return picture;
    }

    TempSettingsFolder folder;
};

}  // namespace kivoly::test
